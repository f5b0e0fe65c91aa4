#include "core/Messages.h"
#include "tests/support/RecordingMessageTarget.h"
#include "skin/TaskbarNotifier.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace vocamo;

namespace {

constexpr int kWidth = 147;
constexpr int kHeight = 121;

QImage PlainSkin(int width = kWidth, int height = kHeight, QColor colour = Qt::white)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class Notifier : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(popup.Create(&owner));
        ASSERT_TRUE(popup.SetSkinBitmap(PlainSkin(), -1, -1, -1));
        work = QGuiApplication::primaryScreen()->availableGeometry();
    }

    int Bottom() const { return work.y() + work.height(); }
    int Right() const { return work.x() + work.width(); }

    // Ticks timer `id` until the state is `until`; the number of ticks.
    int TickUntil(unsigned id, CTaskbarNotifier::State until)
    {
        int ticks = 0;
        while (popup.GetState() != until && ticks < 1000) {
            popup.OnTimer(id);
            ++ticks;
        }
        return ticks;
    }

    void RiseFully()
    {
        popup.Popup("text", 500, 3000, 500, 1);
        TickUntil(CTaskbarNotifier::AppearTimer, CTaskbarNotifier::Shown);
    }

    bool NoTimerActive() const
    {
        return !popup.IsTimerActive(1) && !popup.IsTimerActive(2) && !popup.IsTimerActive(3);
    }

    CRecordingMessageTarget owner;
    CTaskbarNotifier popup;
    QRect work;
};

// --- Sliding -----------------------------------------------------------------

TEST_F(Notifier, RisesSixtyOneStepsOfTwoPixelsAndRestsFlushAtBottomRight)
{
    ASSERT_EQ(work, QRect(200, 100, 1024, 700)); // the primary screen, not the second

    popup.Popup("text", 500, 3000, 500, 1);
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Hidden);
    EXPECT_EQ(popup.TimerInterval(1), 8); // 500 / (121 / 2)
    EXPECT_EQ(popup.Position(), QPoint(Right() - kWidth, Bottom()));
    EXPECT_FALSE(popup.isVisible()); // nothing above the work area yet

    for (int move = 1; move <= 61; ++move) {
        popup.OnTimer(1);
        ASSERT_EQ(popup.GetState(), CTaskbarNotifier::Appearing);
        ASSERT_EQ(popup.Position().y(), Bottom() - 2 * move) << "move " << move;
        if (move == 10) { // only the part above the work area's bottom shows
            EXPECT_EQ(popup.geometry(), QRect(Right() - kWidth, Bottom() - 20, kWidth, 20));
        }
    }
    EXPECT_TRUE(popup.IsTimerActive(1));

    popup.OnTimer(1); // the 62nd tick ends the rise
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Shown);
    EXPECT_FALSE(popup.IsTimerActive(1));
    EXPECT_TRUE(popup.IsTimerActive(2));
    EXPECT_EQ(popup.TimerInterval(2), 3000);
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.Position(), popup.ShownPosition());
    EXPECT_EQ(popup.geometry(), QRect(Right() - kWidth, Bottom() - kHeight, kWidth, kHeight));
}

TEST_F(Notifier, StayThenSixtyOneStepsDownAndTheNextTickHides)
{
    RiseFully();
    popup.OnTimer(2);
    EXPECT_FALSE(popup.IsTimerActive(2));
    EXPECT_TRUE(popup.IsTimerActive(3));
    EXPECT_EQ(popup.TimerInterval(3), 8);
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Shown); // until the first step down

    const int top = popup.Position().y();
    for (int move = 1; move <= 61; ++move) {
        popup.OnTimer(3);
        ASSERT_EQ(popup.GetState(), CTaskbarNotifier::Disappearing);
        ASSERT_EQ(popup.Position().y(), top + 2 * move);
    }
    popup.OnTimer(3);
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Hidden);
    EXPECT_FALSE(popup.isVisible());
    EXPECT_TRUE(NoTimerActive());
}

TEST_F(Notifier, SkinLowerThanOneStepStillSlidesOneStep)
{
    ASSERT_TRUE(popup.SetSkinBitmap(PlainSkin(kWidth, 1)));
    popup.Popup("text", 500, 3000, 500, 1);
    EXPECT_EQ(popup.TimerInterval(1), 500);
    popup.OnTimer(1);
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Appearing);
    popup.OnTimer(1);
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Shown);
    EXPECT_EQ(popup.Position(), QPoint(Right() - kWidth, Bottom() - 1));

    CTaskbarNotifier bare; // no skin at all: the states run, nothing shows
    bare.Popup("text", 500, 3000, 500, 1);
    bare.OnTimer(1);
    EXPECT_EQ(bare.GetState(), CTaskbarNotifier::Shown);
    EXPECT_FALSE(bare.isVisible());
}

TEST_F(Notifier, TimersRunByThemselves)
{
    CTaskbarNotifier fast(10); // the program's times, ten times faster
    ASSERT_TRUE(fast.SetSkinBitmap(PlainSkin()));
    fast.Popup("text", 500, 3000, 500, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fast.GetState() == CTaskbarNotifier::Shown; }, 5000));
    EXPECT_EQ(fast.TimerInterval(2), 300);
    EXPECT_TRUE(fast.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return fast.GetState() == CTaskbarNotifier::Hidden; }, 5000));
    EXPECT_FALSE(fast.isVisible());
}

// --- Popup in each state --------------------------------------------------------

TEST_F(Notifier, TwoPopupsFromHiddenGiveOneAnimationWithTheSecondsTimes)
{
    popup.Popup("first", 1000, 3000, 1000, 1);
    popup.Popup("second", 500, 5000, 500, 1);
    EXPECT_EQ(popup.Text(), "second");
    EXPECT_EQ(popup.TimerInterval(1), 8);

    popup.OnTimer(1);
    EXPECT_EQ(popup.Position().y(), Bottom() - 2); // one slide, not two
    EXPECT_EQ(TickUntil(1, CTaskbarNotifier::Shown), 61);
    EXPECT_EQ(popup.TimerInterval(2), 5000);
    popup.OnTimer(2);
    EXPECT_EQ(popup.TimerInterval(3), 8);
}

TEST_F(Notifier, PopupWhileAppearingChangesOnlyTheText)
{
    popup.Popup("old", 500, 3000, 500, 1);
    for (int i = 0; i < 10; ++i)
        popup.OnTimer(1);
    const QPoint at = popup.Position();

    popup.Popup("new", 2000, 3000, 2000, 1);
    EXPECT_EQ(popup.Text(), "new");
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Appearing);
    EXPECT_EQ(popup.Position(), at);
    EXPECT_EQ(popup.TimerInterval(1), 8);
    EXPECT_FALSE(popup.IsTimerActive(2));
    popup.OnTimer(1);
    EXPECT_EQ(popup.Position().y(), at.y() - 2);
}

TEST_F(Notifier, PopupWhileShownRestartsTheStay)
{
    RiseFully();
    const QPoint at = popup.Position();
    popup.Popup("again", 500, 7000, 500, 1);
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Shown);
    EXPECT_EQ(popup.Position(), at);
    EXPECT_TRUE(popup.IsTimerActive(2));
    EXPECT_EQ(popup.TimerInterval(2), 7000);
    EXPECT_EQ(popup.Text(), "again");
}

TEST_F(Notifier, PopupWhileDisappearingGoesBackUpAndStays)
{
    RiseFully();
    popup.OnTimer(2);
    for (int i = 0; i < 20; ++i)
        popup.OnTimer(3);
    ASSERT_EQ(popup.GetState(), CTaskbarNotifier::Disappearing);

    popup.Popup("back", 500, 5000, 500, 1);
    EXPECT_EQ(popup.Position(), popup.ShownPosition());
    EXPECT_EQ(popup.geometry(), QRect(Right() - kWidth, Bottom() - kHeight, kWidth, kHeight));
    EXPECT_FALSE(popup.IsTimerActive(3));
    EXPECT_TRUE(popup.IsTimerActive(2));
    EXPECT_EQ(popup.TimerInterval(2), 5000);
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Disappearing);

    // When that stay is over it slides all the way down again.
    popup.OnTimer(2);
    EXPECT_EQ(TickUntil(3, CTaskbarNotifier::Hidden), 62);
}

// --- HidePopup ------------------------------------------------------------------

class HideFrom : public Notifier, public ::testing::WithParamInterface<int> {};

TEST_P(HideFrom, LeavesNothingRunningAndTheNextPopupStartsAfresh)
{
    popup.Popup("text", 500, 3000, 500, 1);
    switch (GetParam()) {
    case 0: break;                                       // first tick pending
    case 1: popup.OnTimer(1); break;                     // appearing
    case 2: TickUntil(1, CTaskbarNotifier::Shown); break; // shown
    case 3:                                              // disappearing
        TickUntil(1, CTaskbarNotifier::Shown);
        popup.OnTimer(2);
        popup.OnTimer(3);
        break;
    case 4: // disappearing, put back up with a stay pending
        TickUntil(1, CTaskbarNotifier::Shown);
        popup.OnTimer(2);
        popup.OnTimer(3);
        popup.Popup("text", 500, 3000, 500, 1);
        break;
    }

    popup.HidePopup();
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Hidden);
    EXPECT_FALSE(popup.isVisible());
    EXPECT_TRUE(NoTimerActive());

    popup.Popup("next", 500, 3000, 500, 1);
    EXPECT_EQ(popup.Position(), QPoint(Right() - kWidth, Bottom()));
    EXPECT_TRUE(popup.IsTimerActive(1));
    popup.OnTimer(1);
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Appearing);
}

INSTANTIATE_TEST_SUITE_P(EveryState, HideFrom, ::testing::Values(0, 1, 2, 3, 4));

// --- Mouse ----------------------------------------------------------------------

TEST_F(Notifier, ClickPostsOneMessageAndTheSlideGoesOn)
{
    popup.Popup("text", 500, 3000, 500, 1);
    for (int i = 0; i < 30; ++i)
        popup.OnTimer(1);
    const QPoint at = popup.Position();

    QTest::mouseClick(&popup, Qt::LeftButton, {}, QPoint(70, 30));
    EXPECT_EQ(owner.Messages(), (std::vector<PostedMessage>{{WM_NOTIFIER_CLICKED, 0, 0}}));
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Appearing);
    EXPECT_EQ(popup.Position(), at);
    EXPECT_TRUE(popup.IsTimerActive(1));
    popup.OnTimer(1);
    EXPECT_EQ(popup.Position().y(), at.y() - 2);
}

TEST_F(Notifier, RightClickOrReleaseOutsideIsNoClick)
{
    RiseFully();
    QTest::mouseClick(&popup, Qt::RightButton, {}, QPoint(70, 60));
    QTest::mousePress(&popup, Qt::LeftButton, {}, QPoint(70, 60));
    QTest::mouseRelease(&popup, Qt::LeftButton, {}, QPoint(70, kHeight + 40));
    EXPECT_EQ(owner.Count(), 0u);
}

TEST_F(Notifier, HoverSwitchesFontAndColourAndBack)
{
    popup.SetTextFonts("Arial", 90, 0, 4);
    popup.SetTextColors(0, 0xC80000);
    EXPECT_EQ(popup.cursor().shape(), Qt::PointingHandCursor);
    RiseFully();

    EXPECT_FALSE(popup.CurrentFont().underline());
    EXPECT_EQ(popup.CurrentColor(), QColor(0, 0, 0));

    QEnterEvent enter(QPointF(70, 60), QPointF(70, 60), QPointF(70, 60));
    QCoreApplication::sendEvent(&popup, &enter);
    EXPECT_TRUE(popup.IsHovering());
    EXPECT_TRUE(popup.CurrentFont().underline());
    EXPECT_DOUBLE_EQ(popup.CurrentFont().pointSizeF(), 9.0);
    EXPECT_EQ(popup.CurrentColor(), QColor(0, 0, 200));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&popup, &leave);
    EXPECT_FALSE(popup.IsHovering());
    EXPECT_FALSE(popup.CurrentFont().underline());
    EXPECT_EQ(popup.CurrentColor(), QColor(0, 0, 0));
}

// --- Skin, fonts, colours ---------------------------------------------------------

TEST_F(Notifier, FontStyleBitsAndColourOrder)
{
    popup.SetTextFonts("Arial", 125, 3, 4);
    popup.SetTextColors(0x123456, 0xC80000);
    const QFont normal = popup.CurrentFont();
    EXPECT_DOUBLE_EQ(normal.pointSizeF(), 12.5);
    EXPECT_EQ(normal.weight(), QFont::Bold);
    EXPECT_TRUE(normal.italic());
    EXPECT_FALSE(normal.underline());
    EXPECT_EQ(popup.CurrentColor(), QColor(0x56, 0x34, 0x12)); // 0x00BBGGRR
}

TEST_F(Notifier, MissingSkinChangesNothing)
{
    popup.SetTextRect(36, 36, 125, 71);
    EXPECT_FALSE(popup.SetSkinBitmap(9999u, -1, -1, -1));
    EXPECT_EQ(popup.SkinSize(), QSize(kWidth, kHeight));
    EXPECT_EQ(popup.TextRect(), QRect(36, 36, 89, 35));
}

TEST_F(Notifier, CallSkinsAreTheirSize)
{
    for (unsigned id : {129u, 130u}) {
        popup.SetTextRect(36, 36, 125, 71);
        ASSERT_TRUE(popup.SetSkinBitmap(id, -1, -1, -1)) << id;
        EXPECT_EQ(popup.SkinSize(), QSize(147, 121));
        EXPECT_EQ(popup.TextRect(), QRect(0, 0, 147, 121)); // reset to the whole skin
    }
}

TEST_F(Notifier, KeyColourCutsExactlyThosePixelsAcrossTheWholeWidth)
{
    QImage skin = PlainSkin(10, 3, QColor(10, 20, 30));
    const QRgb key = qRgb(255, 0, 255);
    skin.setPixel(0, 0, key);
    skin.setPixel(9, 1, key); // beyond the last multiple of four
    skin.setPixel(4, 2, qRgb(254, 0, 255)); // near but not equal

    ASSERT_TRUE(popup.SetSkinBitmap(skin, 255, 0, 255));
    const QRegion shape = popup.mask();
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(9, 1)));
    EXPECT_TRUE(shape.contains(QPoint(9, 0)));
    EXPECT_TRUE(shape.contains(QPoint(8, 1)));
    EXPECT_TRUE(shape.contains(QPoint(4, 2)));
    EXPECT_EQ(shape.boundingRect(), QRect(0, 0, 10, 3));

    // No key colour (any part -1, also as 16 bits): rectangular again.
    ASSERT_TRUE(popup.SetSkinBitmap(skin, 255, 0xFFFF, 255));
    EXPECT_TRUE(popup.mask().isEmpty());
}


// --- Text -------------------------------------------------------------------------

class NotifierText : public Notifier {
protected:
    void SetUp() override
    {
        Notifier::SetUp();
        popup.SetTextFonts("Arial", 90, 0, 4);
        popup.SetTextColors(0, 0xC80000);
        popup.SetTextRect(36, 36, 125, 71);
    }

    QImage Picture() { return popup.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

bool IsInk(QRgb pixel)
{
    return qGray(pixel) < 160;
}

TEST_F(NotifierText, TwoLinesAreDrawnCentredInTheTextRect)
{
    popup.Popup("0301234567\nAnna", 500, 3000, 500, 1);
    TickUntil(1, CTaskbarNotifier::Shown);
    const QImage picture = Picture();
    ASSERT_EQ(picture.size(), QSize(kWidth, kHeight));

    // Rows with ink form two bands, each centred on the rectangle's middle.
    struct Band { int top, bottom, left, right; };
    std::vector<Band> bands;
    bool inBand = false;
    for (int y = 0; y < kHeight; ++y) {
        int left = kWidth, right = -1;
        for (int x = 0; x < kWidth; ++x) {
            if (IsInk(picture.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        if (right < 0) {
            inBand = false;
            continue;
        }
        if (!inBand)
            bands.push_back({y, y, left, right});
        Band &b = bands.back();
        b.bottom = y;
        b.left = std::min(b.left, left);
        b.right = std::max(b.right, right);
        inBand = true;
    }
    ASSERT_EQ(bands.size(), 2u);
    for (const Band &b : bands) {
        EXPECT_GE(b.left, 36);
        EXPECT_LE(b.right, 124);
        EXPECT_NEAR((b.left + b.right) / 2.0, (36 + 124) / 2.0, 2.0);
    }
    EXPECT_NEAR((bands.front().top + bands.back().bottom) / 2.0, (36 + 70) / 2.0, 3.0);
}

TEST_F(NotifierText, FinalLineBreakAddsNoLine)
{
    popup.Popup("0301234567\nAnna Schmidt\n", 500, 3000, 500, 1);
    EXPECT_EQ(popup.TextLines(), (std::vector<QString>{"0301234567", "Anna Schmidt"}));
}

TEST_F(NotifierText, TextThatDoesNotFitEndsInEllipsis)
{
    popup.Popup("0301234567\nAnna Maria Schmidt-Oberhausen von Lichtenstein", 500, 3000, 500, 1);
    const std::vector<QString> lines = popup.TextLines();
    ASSERT_EQ(lines.size(), 2u); // two lines of 9-point text fit in 35 pixels
    EXPECT_EQ(lines[0], "0301234567");
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Anna"));
    for (const QString &line : lines)
        EXPECT_LE(QFontMetrics(popup.CurrentFont()).horizontalAdvance(line), 89);

    popup.Popup("+4930123456789012345678", 500, 3000, 500, 1); // one word, too wide
    const std::vector<QString> cut = popup.TextLines();
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_TRUE(cut[0].startsWith("+4930") && cut[0].endsWith(QChar(0x2026)));
    EXPECT_LE(QFontMetrics(popup.CurrentFont()).horizontalAdvance(cut[0]), 89);
}

// The call popup as the main window sets it up, normal and under the mouse,
// side by side in the build folder for a look.
TEST_F(NotifierText, PictureOfTheCallPopup)
{
    ASSERT_TRUE(popup.SetSkinBitmap(130u, -1, -1, -1));
    popup.SetTextRect(36, 36, 125, 71);
    popup.Popup("0301234567\nAnna Schmidt", 500, 3000, 500, 1);
    popup.Popup("0301234567\nAnna Schmidt", 500, 5000, 500, 1);
    TickUntil(1, CTaskbarNotifier::Shown);

    QImage sheet(2 * kWidth + 10, kHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.drawImage(0, 0, popup.grab().toImage());
    QEnterEvent enter(QPointF(70, 60), QPointF(70, 60), QPointF(70, 60));
    QCoreApplication::sendEvent(&popup, &enter);
    const QImage hover = popup.grab().toImage();
    p.drawImage(kWidth + 10, 0, hover);
    p.end();

    bool blue = false;
    for (int y = 36; y < 71 && !blue; ++y)
        for (int x = 36; x < 125 && !blue; ++x)
            blue = QColor(hover.pixel(x, y)).blue() > 150 && QColor(hover.pixel(x, y)).red() < 80;
    EXPECT_TRUE(blue);
    EXPECT_TRUE(sheet.save(QStringLiteral(VOCAMO_BUILD_DIR "/notifier-popup.png")));
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NOTIFIER_SCREENS);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
