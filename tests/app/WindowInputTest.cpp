#include "tests/app/WindowHarness.h"

#include <QWheelEvent>

using namespace vocamo;
using namespace vocamo::test;

namespace {

// Eight entries, so paging and scrolling have room.
WindowOptions EightEntries()
{
    WindowOptions options;
    options.skype = false;
    options.phonebook.clear();
    for (int i = 1; i <= 8; ++i)
        options.phonebook += "[Name " + std::to_string(i) + "]\nPhone_Home=10" + std::to_string(i) +
                             "\nPhone_Office=20" + std::to_string(i) + "\nPhone_Mobile=30" +
                             std::to_string(i) + "\n";
    return options;
}

std::string Selected(const WindowHarness &h)
{
    return h.window->SelectedNameRow() ? h.window->SelectedNameRow()->GetName() : "";
}

} // namespace

TEST(WindowInput, NavigationKeysWheelAndTheHeldArrowMoveTheSelection)
{
    WindowHarness h(EightEntries());
    ASSERT_TRUE(h.ModemReady());
    EXPECT_EQ(Selected(h), "Name 1");
    h.Key(Qt::Key_End);
    EXPECT_EQ(Selected(h), "Name 8");
    h.Key(Qt::Key_Up);
    h.Key(Qt::Key_Up);
    EXPECT_EQ(Selected(h), "Name 6");
    h.Key(Qt::Key_PageUp); // from the sixth row to the second
    EXPECT_EQ(Selected(h), "Name 2");
    h.Key(Qt::Key_PageUp);
    EXPECT_EQ(Selected(h), "Name 1");
    h.Key(Qt::Key_PageDown);
    EXPECT_EQ(Selected(h), "Name 5");
    h.Key(Qt::Key_Home);
    EXPECT_EQ(Selected(h), "Name 1");
    EXPECT_EQ(h.window->DialString(), "101");

    QWheelEvent down(QPointF(100, 200), QPointF(100, 200), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(h.window.get(), &down);
    EXPECT_EQ(Selected(h), "Name 2");

    // Holding the down arrow: three ticks of timer 69, one more at the release.
    h.Paint();
    const QPoint arrow = WindowHarness::Centre(h.Element(kind::kDownArrow));
    QTest::mouseMove(h.window.get(), arrow);
    QTest::mousePress(h.window.get(), Qt::LeftButton, Qt::NoModifier, arrow);
    EXPECT_TRUE(h.window->IsTimerActive(CVocamoDlg::TIMER_DOWN));
    for (int i = 0; i < 3; ++i)
        h.window->OnTimer(CVocamoDlg::TIMER_DOWN);
    QTest::mouseRelease(h.window.get(), Qt::LeftButton, Qt::NoModifier, arrow);
    EXPECT_FALSE(h.window->IsTimerActive(CVocamoDlg::TIMER_DOWN));
    EXPECT_EQ(Selected(h), "Name 6");

    // During a call the navigation does nothing.
    ASSERT_TRUE(h.modem->Control("ring 4"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    h.Key(Qt::Key_Home);
    EXPECT_EQ(Selected(h), "Name 6");
}

TEST(WindowInput, NumberPanelListsHomeMobileOfficeAndEscapeClosesThenHides)
{
    WindowOptions options;
    options.skype = false;
    options.phonebook = "[Ben]\nPhone_Home=\nPhone_Office=0895550147\nPhone_Mobile=0160555\n";
    WindowHarness h(options);
    ASSERT_TRUE(h.ModemReady());
    // First-number order is home, office, mobile.
    EXPECT_EQ(h.window->DialString(), "0895550147");
    h.Paint();
    h.Click(h.window->FirstNameRow());
    ASSERT_TRUE(h.window->IsPanelOpen());
    // Panel order is home, mobile, office: the mobile entry comes first.
    EXPECT_EQ(h.window->DialString(), "0160555");
    ASSERT_TRUE(h.window->SelectedNumberEntry());
    h.Key(Qt::Key_Down);
    EXPECT_EQ(h.window->DialString(), "0895550147");
    h.Key(Qt::Key_Down); // at the end nothing changes
    EXPECT_EQ(h.window->DialString(), "0895550147");
    h.Key(Qt::Key_Escape);
    EXPECT_FALSE(h.window->IsPanelOpen());
    EXPECT_TRUE(h.window->isVisible());
    h.Key(Qt::Key_Escape);
    EXPECT_FALSE(h.window->isVisible());
}

TEST(WindowInput, F2ShowsTheAboutBoxAndF5Quits)
{
    WindowOptions options;
    options.skype = false;
    options.modem = false;
    WindowHarness h(options);
    h.Key(Qt::Key_F2);
    EXPECT_EQ(h.abouts, 1);
    EXPECT_EQ(h.quits, 0);
    h.Key(Qt::Key_F5);
    EXPECT_EQ(h.quits, 1);
}

TEST(WindowInput, ASelectedRowGlidesIntoTheViewportAndStopsTenPixelsInside)
{
    WindowHarness h(EightEntries());
    ASSERT_TRUE(h.ModemReady());
    h.Paint();
    EXPECT_EQ(h.window->ListViewport().bottom(), 442);
    h.Click(h.Element(kind::kKeypadToggle));
    h.Paint();
    EXPECT_EQ(h.window->ListViewport().bottom(), 328);
    h.Click(h.Element(kind::kKeypadToggle));
    h.Key(Qt::Key_Escape); // close the panel the click did not open

    // The first row 3 pixels below its place moves 1 pixel per tick.
    CContactItem *first = h.window->FirstNameRow();
    const int top = h.window->ListViewport().top();
    h.window->KillTimer(CVocamoDlg::TIMER_SCROLL);
    first->SetOffset(0, 0);
    first->MoveTo(first->GetImageRect().left, top + 13);
    std::vector<int> tops;
    for (int tick = 0; tick < 6; ++tick) {
        h.window->OnTimer(CVocamoDlg::TIMER_SCROLL);
        h.window->Items()->LayoutAll();
        tops.push_back(first->GetWholeRect().top);
    }
    EXPECT_EQ(tops, (std::vector<int>{top + 12, top + 11, top + 10, top + 10, top + 10, top + 10}));
    EXPECT_FALSE(h.window->IsTimerActive(CVocamoDlg::TIMER_SCROLL));
}
