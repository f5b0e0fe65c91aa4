#include "phonebook/EditorBitmaps.h"
#include "tests/phonebook/EditorFixture.h"

#include <QMouseEvent>
#include <QPainter>

using namespace vocamo;

namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;

// Rows of a test bitmap: 'k' is the key colour, anything else is kept.
QImage Bitmap(const std::vector<const char *> &rows, QImage::Format format)
{
    QImage image(static_cast<int>(strlen(rows[0])), static_cast<int>(rows.size()), format);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rows[y][x] == 'k' ? kMagenta : 0xFF204060);
    return image;
}

void SendMouse(QWidget *widget, QEvent::Type type, QPoint local, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, local, widget->mapToGlobal(local),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

TEST(EditorRegion, EveryRunOfKeptPixelsInARowIsInsideAndTheKeyIsOutside)
{
    const std::vector<const char *> rows = {"kxxkx", "xkkkk", "kkkkk", "xxxxx"};
    for (auto format : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888,
                        QImage::Format_RGB16}) {
        const QRegion region = RegionWithoutKeyColour(Bitmap(rows, format), kMagenta);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(region.contains(QPoint(x, y)), rows[y][x] != 'k')
                    << "format " << format << " at " << x << "," << y;
        EXPECT_EQ(region.boundingRect(), QRect(0, 0, 5, 4));
    }
}

TEST(EditorRegion, AllKeyIsEmptyAndKeyAlphaIsIgnored)
{
    EXPECT_TRUE(RegionWithoutKeyColour(Bitmap({"kk", "kk"}, QImage::Format_RGB32), kMagenta)
                    .isEmpty());
    QImage faint = Bitmap({"kx"}, QImage::Format_ARGB32);
    faint.setPixel(0, 0, 0x00FF00FF); // magenta with no alpha is still the key
    EXPECT_EQ(RegionWithoutKeyColour(faint, kMagenta), QRegion(1, 0, 1, 1));
}

TEST(EditorBitmaps, PicturesHaveTheirSizes)
{
    EXPECT_EQ(LoadEditorBitmap(165).size(), QSize(360, 200));
    for (int id : {170, 171})
        EXPECT_EQ(LoadEditorBitmap(id).size(), QSize(58, 21)) << id;
    for (int id : {168, 169, 163, 164, 172, 162})
        EXPECT_EQ(LoadEditorBitmap(id).size(), QSize(57, 21)) << id;
    for (int id : {166, 167})
        EXPECT_EQ(LoadEditorBitmap(id).size(), QSize(59, 21)) << id;
    EXPECT_EQ(LoadEditorBitmap(173).size(), QSize(11, 11));
    EXPECT_FALSE(LoadEditorIcon().isNull());
}

TEST_F(EditorTest, ShapeCutsAwayTheMagentaOfTheBackground)
{
    CBookmarkDlg &dlg = Dlg();
    const QImage background = dlg.GetBackground().convertToFormat(QImage::Format_RGB32);
    const QRegion mask = dlg.mask();
    int key = 0;
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            const bool isKey = (background.pixel(x, y) & 0xFFFFFF) == (kMagenta & 0xFFFFFF);
            key += isKey;
            ASSERT_EQ(mask.contains(QPoint(x, y)), !isKey) << x << "," << y;
        }
    }
    EXPECT_GT(key, 0);
    EXPECT_FALSE(mask.contains(QPoint(0, 0))); // a cut-away corner
    EXPECT_TRUE(mask.contains(QPoint(180, 100)));
}

TEST_F(EditorTest, DraggingTheBackgroundMovesTheDialog)
{
    CBookmarkDlg &dlg = Shown();
    const QPoint start = dlg.pos();
    const QPoint grip(330, 100); // background, away from every control
    ASSERT_EQ(dlg.childAt(grip), nullptr);
    SendMouse(&dlg, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    SendMouse(&dlg, QEvent::MouseMove, grip + QPoint(25, 15), Qt::LeftButton);
    EXPECT_EQ(dlg.pos(), start + QPoint(25, 15));
    SendMouse(&dlg, QEvent::MouseButtonRelease, grip + QPoint(25, 15), Qt::NoButton);
    SendMouse(&dlg, QEvent::MouseMove, grip + QPoint(60, 60), Qt::NoButton);
    EXPECT_EQ(dlg.pos(), start + QPoint(25, 15));
}

TEST_F(EditorTest, RendersItsPictureWithTwoEntries)
{
    WriteFile("[Carl Berger]\nPhone_Home=0221 555 300\nPhone_Office=0221 555 301\n"
              "Phone_Mobile=0171 555 302\n"
              "[Anna Schmidt]\nPhone_Home=030 555 100\nPhone_Office=\n"
              "Phone_Mobile=0160 555 102\n");
    CBookmarkDlg &dlg = Shown();
    // On a plain desktop colour, so that the cut-away parts show.
    QImage picture(dlg.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(0x40, 0x58, 0x70));
    {
        QPainter painter(&picture);
        painter.setClipRegion(dlg.mask());
        dlg.render(&painter);
    }
    EXPECT_EQ(picture.pixel(0, 0), QColor(0x40, 0x58, 0x70).rgb());
    EXPECT_TRUE(picture.save(QStringLiteral(VOCAMO_BUILD_DIR "/editor.png")));
}
