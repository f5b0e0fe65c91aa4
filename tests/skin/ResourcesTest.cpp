#include "resources/Resources.h"

#include "skin/Skin.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>
#include <tuple>

using namespace vocamo;

// The layout is built on these sizes: an image of another size would shift
// or clip what comes after it. Numbers are the popup's and the editor's.
TEST(Resources, ImagesHaveTheirSizesAndTheRingIsBesideTheExecutable)
{
    // clang-format off
    const std::tuple<const char *, int, int> kImages[] = {
        {"IDB_BACKGROUND_TOP", 239, 550}, {"IDB_BACKGROUND_BASE", 190, 397},
        {"IDB_POPUP", 235, 156}, {"IDB_SKYPE", 107, 23}, {"IDB_MODEM", 106, 23},
        {"IDB_CALLSTART", 41, 41}, {"IDB_CALLEND", 41, 41}, {"IDB_UP", 12, 26},
        {"IDB_DOWN", 12, 25}, {"IDB_CLOSE", 12, 12}, {"IDB_KEYPAD_BACKGROUND", 189, 114},
        {"IDB_KEYPAD_LCD", 189, 25}, {"IDB_1", 54, 25}, {"IDB_2", 54, 25}, {"IDB_3", 55, 25},
        {"IDB_4", 54, 25}, {"IDB_5", 54, 25}, {"IDB_6", 55, 25}, {"IDB_7", 54, 25},
        {"IDB_8", 54, 25}, {"IDB_9", 55, 25}, {"IDB_0", 54, 25}, {"IDB_CLR", 54, 25},
        {"IDB_BACK", 55, 25}, {"IDB_HOME", 34, 35}, {"IDB_OFFICE", 34, 35}, {"IDB_MOBILE", 34, 35},
        {"IDB_BOOKMARK", 29, 30}, {"IDB_KEYPAD", 29, 30}, {"IDB_BOY1", 16, 25}, {"129", 147, 121},
        {"130", 147, 121}, {"165", 360, 200}, {"170", 58, 21}, {"171", 58, 21}, {"168", 57, 21},
        {"169", 57, 21}, {"163", 57, 21}, {"164", 57, 21}, {"172", 57, 21}, {"162", 57, 21},
        {"166", 59, 21}, {"167", 59, 21}, {"173", 11, 11}};
    // clang-format on
    for (const auto &[name, width, height] : kImages) {
        const int bitmap = QByteArray(name).toInt();
        const QImage image(bitmap ? BitmapResourcePath(bitmap) : ImageResourcePath(name));
        EXPECT_EQ(image.size(), QSize(width, height)) << name;
    }
    EXPECT_TRUE(CSkin().AllImagesLoaded());
    EXPECT_FALSE(QImage(IconResourcePath()).isNull());
    QFile ring(QCoreApplication::applicationDirPath() + QStringLiteral("/RING.WAV"));
    ASSERT_TRUE(ring.open(QIODevice::ReadOnly)) << "played from beside the executable";
    EXPECT_EQ(ring.read(4), QByteArray("RIFF"));
}
