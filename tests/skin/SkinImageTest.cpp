#include "skin/SkinImage.h"

#include "skin/SkinText.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vocamo {
namespace {

TEST(SkinImage, LoadsAResourceAtItsSize)
{
    CSkinImage image;
    ASSERT_TRUE(image.LoadFromResource(QStringLiteral("IDB_BACKGROUND_TOP")));
    EXPECT_EQ(image.GetWidth(), 239u);
    EXPECT_EQ(image.GetHeight(), 550u);
    EXPECT_FALSE(image.IsEmpty());
}

TEST(SkinImage, FailedLoadLeavesAnEmptyImageThatDrawsNothing)
{
    CSkinImage image;
    ASSERT_TRUE(image.LoadFromResource(QStringLiteral("IDB_KEYPAD")));
    EXPECT_FALSE(image.LoadFromResource(QStringLiteral("IDB_NO_SUCH_IMAGE")));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.GetWidth(), 0u);
    EXPECT_EQ(image.GetHeight(), 0u);

    QImage target = NewSkinPicture(40, 40);
    QPainter painter(&target);
    image.DrawAt(painter, 0, 0, 40, 40, false);
    image.DrawAt(painter, 0, 0, 40, 40, true);
    painter.end();
    EXPECT_EQ(target, NewSkinPicture(40, 40));
}

TEST(SkinImage, ACorruptFileLoadsAsEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.png"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n not really a picture");
    file.close();
    CSkinImage image;
    EXPECT_FALSE(image.LoadFromPath(path));
    EXPECT_EQ(image.GetWidth(), 0u);
}

TEST(SkinImage, ASecondLoadReplacesTheFirst)
{
    CSkinImage image;
    ASSERT_TRUE(image.LoadFromResource(QStringLiteral("IDB_POPUP")));
    ASSERT_TRUE(image.LoadFromResource(QStringLiteral("IDB_CLOSE")));
    EXPECT_EQ(image.GetWidth(), 12u);
    EXPECT_EQ(image.GetHeight(), 12u);
    EXPECT_EQ(image.DecodedBytes(), 12 * 12 * 4);
}

TEST(SkinImage, DimmedDrawKeepsAbout39PercentOfAnOpaquePixel)
{
    CSkinImage image;
    ASSERT_TRUE(image.LoadFromResource(QStringLiteral("IDB_KEYPAD_BACKGROUND"))); // opaque plate
    QImage normal = NewSkinPicture(189, 114);
    QImage dimmed = NewSkinPicture(189, 114);
    {
        QPainter p(&normal);
        image.DrawAt(p, 0, 0, 189, 114, false);
    }
    {
        QPainter p(&dimmed);
        image.DrawAt(p, 0, 0, 189, 114, true);
    }
    const QRgb full = normal.pixel(90, 60);
    const QRgb faint = dimmed.pixel(90, 60);
    ASSERT_EQ(qAlpha(full), 255);
    EXPECT_NEAR(qAlpha(faint), 100, 2);
    // Premultiplied: the colour is dimmed with the alpha.
    EXPECT_NEAR(qRed(faint), qRed(full) * 100 / 255, 2);
}

} // namespace
} // namespace vocamo
