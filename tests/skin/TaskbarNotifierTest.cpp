#include "skin/TaskbarNotifier.h"

#include "core/Messages.h"
#include "tests/support/RecordingMessageTarget.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>

using namespace vocamo;

namespace {

// Two screens, set before QtTestMain starts the application. Fully up, the popup
// rests at the bottom right of the primary's work area, not on the other screen.
[[maybe_unused]] const bool kScreens =
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NOTIFIER_SCREENS);
const QRect kShown(200 + 1024 - 147, 100 + 700 - 121, 147, 121);

class Notifier : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage skin(kShown.size(), QImage::Format_RGB32);
        skin.fill(Qt::white);
        ASSERT_TRUE(popup.Create(&owner));
        ASSERT_TRUE(popup.SetSkinBitmap(skin));
        popup.SetTextFonts("Arial", 90, 0, 4);
        popup.SetTextColors(0, 0xC80000);
    }

    // Ticks timer `id` until the state is `until`; the number of ticks.
    int TickUntil(unsigned id, CTaskbarNotifier::State until)
    {
        int ticks = 0;
        for (; popup.GetState() != until && ticks < 1000; ++ticks)
            popup.OnTimer(id);
        return ticks;
    }
    bool NoTimer() const
    {
        return !(popup.IsTimerActive(1) || popup.IsTimerActive(2) || popup.IsTimerActive(3));
    }

    CRecordingMessageTarget owner;
    CTaskbarNotifier popup;
};

// It rises from behind the work area's bottom in 2-pixel steps over the rise
// time, showing only what is above it, stays, and falls the same way.
TEST_F(Notifier, RisesStaysAndFallsInTwoPixelSteps)
{
    popup.Popup("text", 500, 3000, 500, 1);
    EXPECT_EQ(popup.TimerInterval(1), 8); // 500 / (121 / 2)
    for (int move = 1; move <= 61; ++move) {
        popup.OnTimer(1);
        ASSERT_EQ(popup.GetState(), CTaskbarNotifier::Appearing);
        ASSERT_EQ(popup.Position().y(), kShown.bottom() + 1 - 2 * move);
        if (move == 10) {
            EXPECT_EQ(popup.geometry(), kShown.adjusted(0, kShown.height() - 20, 0, 0));
        }
    }
    popup.OnTimer(1); // rests flush with the bottom, not a pixel above
    EXPECT_EQ(popup.GetState(), CTaskbarNotifier::Shown);
    EXPECT_EQ(popup.geometry(), kShown);
    EXPECT_EQ(popup.TimerInterval(2), 3000);
    popup.OnTimer(2);
    EXPECT_EQ(popup.TimerInterval(3), 8);
    EXPECT_EQ(TickUntil(3, CTaskbarNotifier::Hidden), 62);
    EXPECT_TRUE(NoTimer() && !popup.isVisible());

    // A skin lower than one step still slides one step, with no division by zero.
    ASSERT_TRUE(popup.SetSkinBitmap(QImage(147, 1, QImage::Format_RGB32)));
    popup.Popup("text", 500, 3000, 500, 1);
    EXPECT_EQ(TickUntil(1, CTaskbarNotifier::Shown), 2);
}

// New text while up: rising goes on, shown stays again, falling goes back up
// and stays. Hiding stops every timer, a pending stay too, so nothing revives it.
TEST_F(Notifier, PopupAgainWhileRisingShownOrFalling)
{
    popup.Popup("text", 500, 3000, 500, 1);
    popup.OnTimer(1);
    popup.Popup("rising", 2000, 5000, 2000, 1);
    EXPECT_EQ(popup.Text(), "rising");
    EXPECT_FALSE(popup.IsTimerActive(2));
    EXPECT_EQ(TickUntil(1, CTaskbarNotifier::Shown), 61);
    EXPECT_EQ(popup.TimerInterval(2), 5000);

    popup.Popup("shown", 500, 7000, 500, 1);
    EXPECT_EQ(popup.TimerInterval(2), 7000);
    popup.OnTimer(2);
    for (int i = 0; i < 20; ++i)
        popup.OnTimer(3);
    popup.Popup("back", 500, 4000, 500, 1);
    EXPECT_EQ(popup.geometry(), kShown);
    EXPECT_FALSE(popup.IsTimerActive(3));
    EXPECT_EQ(popup.TimerInterval(2), 4000);

    popup.HidePopup();
    EXPECT_TRUE(NoTimer() && !popup.isVisible());
    popup.Popup("pending", 500, 3000, 500, 1);
    popup.HidePopup();
    EXPECT_TRUE(NoTimer());
}

// Lines are split at line breaks; what does not fit ends in an ellipsis. A
// left click released on the popup answers the call: one message to the
// owner, and the popup carries on. Under the mouse the text takes the hover
// style and colour (0x00BBGGRR).
TEST_F(Notifier, TextLinesAndAClickThatAnswers)
{
    popup.SetTextRect(36, 36, 125, 71);
    popup.Popup("0301234567\nAnna\n", 500, 3000, 500, 1); // a final line break adds no line
    TickUntil(1, CTaskbarNotifier::Shown);
    EXPECT_EQ(popup.TextLines(), (std::vector<QString>{"0301234567", "Anna"}));

    QTest::mouseClick(&popup, Qt::RightButton, {}, QPoint(70, 60));
    QTest::mousePress(&popup, Qt::LeftButton, {}, QPoint(70, 60));
    QTest::mouseRelease(&popup, Qt::LeftButton, {}, QPoint(70, 160));
    EXPECT_EQ(owner.Count(), 0u) << "right click or release outside";
    QTest::mouseClick(&popup, Qt::LeftButton, {}, QPoint(70, 30));
    EXPECT_EQ(owner.Messages(), (std::vector<PostedMessage>{{WM_NOTIFIER_CLICKED, 0, 0}}));
    EXPECT_TRUE(popup.IsTimerActive(2));
    QEnterEvent enter(QPointF(70, 60), QPointF(70, 60), QPointF(70, 60));
    QEvent leave(QEvent::Leave);
    for (QEvent *event : {static_cast<QEvent *>(&enter), &leave}) {
        QCoreApplication::sendEvent(&popup, event);
        EXPECT_EQ(popup.CurrentFont().underline(), event == &enter);
        EXPECT_EQ(popup.CurrentColor(), event == &enter ? QColor(0, 0, 200) : QColor(0, 0, 0));
    }

    // A status a little too wide is drawn smaller, whole, not cut.
    popup.Popup("Anna Berger\nConnected 00:42", 500, 3000, 500, 1);
    EXPECT_EQ(popup.TextLines(), (std::vector<QString>{"Anna Berger", "Connected 00:42"}));
    popup.Popup("0301234567\nNot a valid number", 500, 3000, 500, 1);
    EXPECT_EQ(popup.TextLines(), (std::vector<QString>{"0301234567", "Not a valid number"}));
    for (const char *text : {"0301234567\nAnna Maria Schmidt-Oberhausen von Lichtenstein",
                             "+4930123456789012345678"}) {
        popup.Popup(text, 500, 3000, 500, 1);
        const std::vector<QString> lines = popup.TextLines();
        EXPECT_LE(lines.size(), 2u);
        EXPECT_TRUE(lines.back().endsWith(QChar(0x2026))) << lines.back().toStdString();
        EXPECT_LE(QFontMetrics(popup.CurrentFont()).horizontalAdvance(lines.back()), 89);
    }
}

// Exactly the key colour is cut from the shape, to the last column; without a
// key colour, as the window sets it, there is no shape.
TEST_F(Notifier, KeyColourCutsExactlyThosePixels)
{
    QImage skin(10, 3, QImage::Format_RGB32);
    skin.fill(qRgb(254, 0, 255)); // near is not equal
    skin.setPixel(0, 0, qRgb(255, 0, 255));
    skin.setPixel(9, 1, qRgb(255, 0, 255));
    ASSERT_TRUE(popup.SetSkinBitmap(skin, 255, 0, 255));
    EXPECT_EQ(popup.mask(), QRegion(0, 0, 10, 3) - QRegion(0, 0, 1, 1) - QRegion(9, 1, 1, 1));
    ASSERT_TRUE(popup.SetSkinBitmap(skin, -1, -1, -1));
    EXPECT_TRUE(popup.mask().isEmpty());
}

} // namespace
