// What the popup tells of each call on both lines: its progress while it
// lasts, and how it ended.
#include "tests/app/WindowHarness.h"

using namespace vocamo;
using namespace vocamo::test;

namespace {

::testing::AssertionResult PopupSays(WindowHarness &h, const std::string &text, bool whole = true)
{
    if (h.Until([&] {
            const std::string &shown = h.window->Notifier()->Text();
            return whole ? shown == text : shown.rfind(text, 0) == 0;
        }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the popup says \"" << h.window->Notifier()->Text() << "\"";
}

CallEnd LastOutcome(WindowHarness &h)
{
    return h.window->LastEndedCall() ? h.window->LastEndedCall()->outcome : CallEnd::None;
}

// The Skype line shown, with the friends' names known.
bool SkypeLineWithNames(WindowHarness &h)
{
    if (!h.SkypeReady())
        return false;
    h.Key(Qt::Key_Left);
    return h.window->ActiveLine() == LINE_SKYPE && h.Until([&] {
        return h.window->Bridge()->GetFriendName("anna.b") == "Anna B" &&
               h.window->Bridge()->GetFriendName("carl.c") == "Carl C";
    });
}

} // namespace

TEST(WindowOutcome, EachEndOfADialledModemCallShowsOnThePopup)
{
    WindowHarness h;
    const struct {
        const char *control; // what the line does to the call being dialled
        const char *shown;
        CallEnd outcome;
    } ends[] = {
        {"busy", "Carla\nBusy", CallEnd::Busy},
        {"noanswer", "Carla\nNo answer", CallEnd::NoAnswer},
        {"nodialtone", "Carla\nNo dial tone", CallEnd::NoDialTone},
        {"say ERROR", "Carla\nCall failed", CallEnd::Failed},
        {"unplug", "Carla\nCall failed", CallEnd::Failed}, // last: the modem is gone after it
    };
    for (const auto &end : ends) {
        SCOPED_TRACE(end.control);
        ASSERT_TRUE(h.ModemReady());
        h.modem->ClearReceived();
        h.window->Controller()->Dial("0305550178");
        ASSERT_TRUE(h.modem->WaitForCommand("ATD0305550178"));
        EXPECT_TRUE(PopupSays(h, "Carla\nCalling..."));
        ASSERT_TRUE(h.modem->Control(end.control));
        EXPECT_TRUE(PopupSays(h, end.shown));
        ASSERT_TRUE(h.Until([&] { return h.window->WindowState() != DIALING; }));
        EXPECT_EQ(LastOutcome(h), end.outcome);
        const CallSummary &call = *h.window->LastEndedCall();
        EXPECT_EQ(call.line, LINE_MODEM);
        EXPECT_EQ(call.number, "0305550178");
        EXPECT_FALSE(call.incoming || call.answered);
    }
    // The end is shown for a while, then the popup goes by itself.
    EXPECT_TRUE(h.Until([&] { return !h.PopupShowing(); }));
    EXPECT_EQ(h.window->Notifier()->Text(), "Carla\nCall failed");
}

TEST(WindowOutcome, AModemCallRingsIsConnectedCountsAndEnds)
{
    WindowHarness h;
    ASSERT_TRUE(h.ModemReady());
    h.window->Controller()->Dial("0895550147");
    ASSERT_TRUE(h.modem->WaitForCommand("ATD0895550147"));
    ASSERT_TRUE(PopupSays(h, "Ben\nCalling..."));
    ASSERT_TRUE(h.modem->Control("say RINGING"));
    EXPECT_TRUE(PopupSays(h, "Ben\nRinging"));
    ASSERT_TRUE(h.modem->Control("answer"));
    EXPECT_TRUE(PopupSays(h, "Ben\nConnected 00:00"));
    EXPECT_TRUE(PopupSays(h, "Ben\nConnected 00:01"));
    ASSERT_TRUE(h.modem->Control("hangup")); // the other party hangs up
    EXPECT_TRUE(PopupSays(h, "Ben\nCall ended 00:0", false));
    EXPECT_EQ(LastOutcome(h), CallEnd::Ended);
    EXPECT_TRUE(h.window->LastEndedCall()->answered);

    // A number the line refuses is never dialled; the phone comes back.
    ASSERT_TRUE(h.ModemReady());
    h.window->hide();
    h.modem->ClearReceived();
    h.window->Controller()->Dial("1-800-FLOWERS");
    EXPECT_TRUE(PopupSays(h, "1-800-FLOWERS\nNot a valid number"));
    EXPECT_EQ(LastOutcome(h), CallEnd::InvalidNumber);
    EXPECT_TRUE(h.Until([&] { return h.window->isVisible(); }));
    for (const std::string &command : h.modem->Received())
        EXPECT_NE(command.rfind("ATD", 0), 0u) << command;

    // A call that rang here and was put down unanswered is a missed call.
    ASSERT_TRUE(h.ModemReady());
    ASSERT_TRUE(h.modem->Control("ring 3 0895550147"));
    ASSERT_TRUE(PopupSays(h, "0895550147\nBen", false));
    EXPECT_TRUE(h.PopupSkinIs(130));
    h.window->HangUp();
    EXPECT_TRUE(PopupSays(h, "Ben\nMissed call"));
    EXPECT_TRUE(h.window->LastEndedCall()->incoming);
    EXPECT_EQ(LastOutcome(h), CallEnd::Missed);
}

TEST(WindowOutcome, EachEndOfADialledSkypeCallShowsOnThePopup)
{
    WindowHarness h;
    ASSERT_TRUE(SkypeLineWithNames(h));
    const struct {
        const char *control;
        const char *shown;
        CallEnd outcome;
    } ends[] = {
        {"busy", "Anna B\nBusy", CallEnd::Busy},
        {"noanswer", "Anna B\nNo answer", CallEnd::NoAnswer},
        {"fail", "Anna B\nCall failed", CallEnd::Failed},
        {"cancel", "Anna B\nCall ended", CallEnd::Cancelled},
    };
    for (const auto &end : ends) {
        SCOPED_TRACE(end.control);
        h.window->show();
        ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == NORMAL; }));
        h.DoubleClick(h.window->FirstFriendRow());
        EXPECT_FALSE(h.window->isVisible());
        ASSERT_TRUE(PopupSays(h, "Anna B\nRinging")); // the far end rings
        h.skype.Control(QString::fromLatin1(end.control));
        EXPECT_TRUE(PopupSays(h, end.shown));
        EXPECT_EQ(LastOutcome(h), end.outcome);
        EXPECT_EQ(h.window->LastEndedCall()->number, "anna.b");
    }

    // A click on the popup hangs the dialled call up and brings the phone back.
    h.window->show();
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == NORMAL; }));
    h.DoubleClick(h.window->FirstFriendRow());
    ASSERT_TRUE(PopupSays(h, "Anna B\nRinging"));
    const qsizetype mark = h.SimMark();
    h.window->PostMessage(WM_NOTIFIER_CLICKED, 0, 0);
    EXPECT_TRUE(h.SimSaw(QStringLiteral("STATUS FINISHED"), mark));
    EXPECT_TRUE(PopupSays(h, "Anna B\nCall ended"));
    EXPECT_TRUE(h.Until([&] { return h.window->isVisible(); }));
}

TEST(WindowOutcome, AnIncomingSkypeCallRingsOnThePopupOfAHiddenPhone)
{
    WindowHarness h;
    ASSERT_TRUE(SkypeLineWithNames(h));
    h.window->hide();
    h.skype.Control(QStringLiteral("incoming carl.c"));
    ASSERT_TRUE(PopupSays(h, "carl.c\nCarl C", false));
    EXPECT_TRUE(h.PopupSkinIs(130));
    EXPECT_GE(h.ring->rings, 1);
    EXPECT_FALSE(h.window->isVisible());

    // The click answers; the next one hangs up.
    h.window->PostMessage(WM_NOTIFIER_CLICKED, 0, 0);
    EXPECT_TRUE(h.SimSaw(QStringLiteral("STATUS INPROGRESS")));
    ASSERT_TRUE(PopupSays(h, "Carl C\nConnected 00:00"));
    EXPECT_TRUE(h.PopupSkinIs(129));
    EXPECT_FALSE(h.window->isVisible());
    h.window->PostMessage(WM_NOTIFIER_CLICKED, 0, 0);
    EXPECT_TRUE(h.SimSaw(QStringLiteral("STATUS FINISHED")));
    EXPECT_TRUE(PopupSays(h, "Carl C\nCall ended 00:0", false));
    EXPECT_EQ(LastOutcome(h), CallEnd::Ended);
    EXPECT_TRUE(h.Until([&] { return h.window->isVisible(); }));

    // A caller who gives up leaves a missed call.
    h.skype.Control(QStringLiteral("incoming carl.c"));
    ASSERT_TRUE(PopupSays(h, "carl.c\nCarl C", false));
    h.skype.Control(QStringLiteral("hangup"));
    EXPECT_TRUE(PopupSays(h, "Carl C\nMissed call"));
    EXPECT_EQ(LastOutcome(h), CallEnd::Missed);
    EXPECT_TRUE(h.window->LastEndedCall()->incoming);
}
