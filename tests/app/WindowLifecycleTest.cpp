#include "tests/app/WindowHarness.h"

using namespace vocamo;
using namespace vocamo::test;

TEST(WindowLines, SuspendDuringACallDropsItAndResumeOpensTheLineAgain)
{
    WindowOptions options;
    options.modemOptions.answerAfter = 50ms;
    WindowHarness h(options);
    ASSERT_TRUE(h.BothReady());
    h.Key(Qt::Key_Return);
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == ANSWERING; }));
    h.modem->ClearReceived();

    h.window->OnSuspend();
    EXPECT_EQ(h.window->Controller(), nullptr);
    EXPECT_EQ(h.window->Bridge(), nullptr);
    EXPECT_EQ(h.window->FirstNameRow(), nullptr);
    EXPECT_TRUE(h.modem->WaitForCommand("AT+VLS=0"));

    h.window->OnResume();
    ASSERT_TRUE(
        h.Until([&] { return h.window->ModemState() == NORMAL && h.window->FirstNameRow(); }));
    ASSERT_TRUE(h.Until([&] { return h.window->SkypeState() == NORMAL; }));
    h.Paint();
    EXPECT_EQ(h.window->WindowState(), NORMAL);
}

TEST(WindowLines, ADeviceArrivalDuringACallDropsItAndReopensTheLine)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    ASSERT_TRUE(h.modem->Control("ring 5"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    h.modem->ClearReceived();
    h.window->OnDeviceArrival();
    EXPECT_TRUE(h.modem->WaitForCommand("ATZ")); // the line opened anew
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() != RINGING; }));
    h.window->OnDeviceQueryRemove();
    EXPECT_EQ(h.window->Controller(), nullptr);
    h.window->OnDeviceQueryRemoveFailed();
    EXPECT_TRUE(h.Until([&] { return h.window->ModemState() == NORMAL; }));
}

// The window's first frame waits for neither the modem line nor the lists.
TEST(WindowLines, TheLineOpensAndTheListsFillOnlyAfterTheWindowIsUp)
{
    WindowHarness h;
    EXPECT_EQ(h.window->Controller(), nullptr);
    EXPECT_EQ(h.window->FirstNameRow(), nullptr);
    ASSERT_TRUE(h.BothReady());
}
