#include "resources/Resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

struct Expected {
    const char *name;
    int width;
    int height;
};

// The thirty images of the main window and their sizes.
const Expected kImages[] = {
    {"IDB_BACKGROUND_TOP", 239, 550},
    {"IDB_BACKGROUND_BASE", 190, 397},
    {"IDB_POPUP", 235, 156},
    {"IDB_SKYPE", 107, 23},
    {"IDB_MODEM", 106, 23},
    {"IDB_CALLSTART", 41, 41},
    {"IDB_CALLEND", 41, 41},
    {"IDB_UP", 12, 26},
    {"IDB_DOWN", 12, 25},
    {"IDB_CLOSE", 12, 12},
    {"IDB_KEYPAD_BACKGROUND", 189, 114},
    {"IDB_KEYPAD_LCD", 189, 25},
    {"IDB_1", 54, 25},
    {"IDB_2", 54, 25},
    {"IDB_3", 55, 25},
    {"IDB_4", 54, 25},
    {"IDB_5", 54, 25},
    {"IDB_6", 55, 25},
    {"IDB_7", 54, 25},
    {"IDB_8", 54, 25},
    {"IDB_9", 55, 25},
    {"IDB_0", 54, 25},
    {"IDB_CLR", 54, 25},
    {"IDB_BACK", 55, 25},
    {"IDB_HOME", 34, 35},
    {"IDB_OFFICE", 34, 35},
    {"IDB_MOBILE", 34, 35},
    {"IDB_BOOKMARK", 29, 30},
    {"IDB_KEYPAD", 29, 30},
    {"IDB_BOY1", 16, 25},
};

const Expected kBitmaps[] = {
    {"129", 147, 121}, {"130", 147, 121}, {"165", 360, 200}, {"170", 58, 21}, {"171", 58, 21},
    {"168", 57, 21},   {"169", 57, 21},   {"163", 57, 21},   {"164", 57, 21}, {"172", 57, 21},
    {"162", 57, 21},   {"166", 59, 21},   {"167", 59, 21},   {"173", 11, 11}};

uint32_t BigEndian(const QByteArray &bytes, int at)
{
    auto b = [&](int i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes.at(at + i))); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

TEST(Resources, EveryMainWindowImageIsAnRgbaPngOfItsSize)
{
    for (const Expected &e : kImages) {
        SCOPED_TRACE(e.name);
        QFile file(vocamo::ImageResourcePath(QString::fromLatin1(e.name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray png = file.readAll();
        ASSERT_GT(png.size(), 33);
        ASSERT_EQ(png.mid(12, 4), QByteArray("IHDR"));
        EXPECT_EQ(BigEndian(png, 16), static_cast<uint32_t>(e.width));
        EXPECT_EQ(BigEndian(png, 20), static_cast<uint32_t>(e.height));
        EXPECT_EQ(png.at(24), 8) << "bit depth";
        EXPECT_EQ(png.at(25), 6) << "colour type RGBA";
    }
}

TEST(Resources, BitmapsAndIconHaveTheirSizes)
{
    for (const Expected &e : kBitmaps) {
        SCOPED_TRACE(e.name);
        const QImage image(vocamo::BitmapResourcePath(QByteArray(e.name).toInt()));
        EXPECT_EQ(image.size(), QSize(e.width, e.height));
    }
    EXPECT_FALSE(QImage(vocamo::IconResourcePath()).isNull());
    EXPECT_EQ(QImage(QStringLiteral(":/icon/vocamo-256.png")).size(), QSize(256, 256));
}

TEST(Resources, EditorBackgroundIsCutAwayByExactMagenta)
{
    const QImage background(vocamo::BitmapResourcePath(165));
    ASSERT_FALSE(background.isNull());
    EXPECT_EQ(background.pixel(0, 0) & 0xffffff, 0xff00ffu);
    EXPECT_EQ(background.pixel(359, 199) & 0xffffff, 0xff00ffu);
    EXPECT_NE(background.pixel(180, 100) & 0xffffff, 0xff00ffu);
    EXPECT_NE(background.pixel(50, 180) & 0xffffff, 0xff00ffu); // under the button row
}

TEST(Resources, FrameIsTransparentOutsideThePhoneAndOverTheScreen)
{
    const QImage frame(vocamo::ImageResourcePath(QStringLiteral("IDB_BACKGROUND_TOP")));
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(qAlpha(frame.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(frame.pixel(238, 549)), 0);
    EXPECT_EQ(qAlpha(frame.pixel(120, 250)), 0) << "the screen shows through";
    EXPECT_EQ(qAlpha(frame.pixel(120, 30)), 255);
    EXPECT_EQ(qAlpha(frame.pixel(20, 500)), 255);
}

TEST(Resources, RingIsCopiedBesideTheExecutableAsTwoSecondsOfPcm)
{
    QFile ring(QCoreApplication::applicationDirPath() + QStringLiteral("/RING.WAV"));
    ASSERT_TRUE(ring.open(QIODevice::ReadOnly));
    const QByteArray wav = ring.readAll();
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ(wav.left(4), QByteArray("RIFF"));
    EXPECT_EQ(wav.mid(8, 8), QByteArray("WAVEfmt "));
    auto le = [&](int at, int bytes) {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = v << 8 | static_cast<uint8_t>(wav.at(at + i));
        return v;
    };
    EXPECT_EQ(le(20, 2), 1u) << "PCM";
    const double seconds = static_cast<double>(le(40, 4)) / le(28, 4);
    EXPECT_NEAR(seconds, 2.0, 0.25);
}

} // namespace
