// Every call of the window on both lines in the call history, the missed
// calls counted for the tray and the desktop, and do not disturb.
#include "app/MissedCallNotification.h"
#include "app/RecentList.h"
#include "history/CallHistory.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "tests/app/WindowHarness.h"

using namespace vocamo;
using namespace vocamo::test;

namespace {

// The harness keeps each window's history in its own folder.
class WindowHistory : public ::testing::Test {
protected:
    static std::vector<CallRecord> Rows(WindowHarness &h)
    {
        return h.window->History()->Recent(100);
    }
    // The newest row, once it holds the outcome.
    static bool NewestIs(WindowHarness &h, CallOutcome outcome)
    {
        return h.Until([&] {
            const auto rows = Rows(h);
            return !rows.empty() && rows.front().outcome == outcome;
        });
    }
};

} // namespace

TEST_F(WindowHistory, EveryCallOfBothLinesIsRecordedAsItHappens)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    EXPECT_EQ(h.window->History()->Path().toStdString(), h.Dir() + "/history.sqlite");
    EXPECT_EQ(CCallHistory(QString()).Path(), // the tests' own data folder
              qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/vocamo/history.sqlite"));

    // Incoming on the modem, answered: its row is there while it rings,
    // with the caller as soon as the line knows him.
    ASSERT_TRUE(h.modem->Control("ring 5 0895550147"));
    ASSERT_TRUE(h.Until([&] {
        const auto rows = Rows(h);
        return rows.size() == 1 && rows[0].number == "0895550147";
    }));
    EXPECT_EQ(Rows(h)[0].outcome, CallOutcome::Unfinished);
    EXPECT_EQ(Rows(h)[0].name, "Ben");
    h.window->PostMessage(WM_NOTIFIER_CLICKED, 0, 0);
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == ANSWERING; }));
    ASSERT_TRUE(h.modem->Control("hangup"));
    ASSERT_TRUE(NewestIs(h, CallOutcome::Answered));

    // Outgoing on the modem, busy.
    ASSERT_TRUE(h.ModemReady());
    h.window->Controller()->Dial("0305550178");
    ASSERT_TRUE(h.modem->WaitForCommand("ATD0305550178"));
    ASSERT_TRUE(h.modem->Control("busy"));
    ASSERT_TRUE(NewestIs(h, CallOutcome::Busy));

    // Missed on the modem: counted for the tray and the desktop.
    ASSERT_TRUE(h.ModemReady());
    ASSERT_TRUE(h.modem->Control("ring 5 0221550123"));
    ASSERT_TRUE(h.Until([&] { return h.window->PartyNumber() == "0221550123"; }));
    h.window->HangUp();
    ASSERT_TRUE(NewestIs(h, CallOutcome::Missed));
    EXPECT_EQ(h.window->MissedUnseen(), 1);
    EXPECT_EQ(h.window->MissedCalls()->Count(), 1);

    // Incoming on Skype, the caller selected, answered with the call button.
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == NORMAL; }));
    h.skype.Control(QStringLiteral("incoming carl.c"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    EXPECT_EQ(h.window->ActiveLine(), LINE_SKYPE);
    h.Paint();
    EXPECT_TRUE(h.window->SelectedFriendRow() &&
                h.window->SelectedFriendRow()->GetName() == "carl.c");
    h.Click(h.Element(kind::kCallStart));
    EXPECT_TRUE(h.SimSaw(QStringLiteral("STATUS INPROGRESS")));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == ANSWERING; }));
    h.skype.Control(QStringLiteral("hangup"));
    ASSERT_TRUE(NewestIs(h, CallOutcome::Answered));

    const auto rows = Rows(h);
    ASSERT_EQ(rows.size(), 4u);
    const struct {
        LineNumber line;
        CallDirection direction;
        const char *number;
        const char *name;
        CallOutcome outcome;
    } expected[] = {
        {LINE_SKYPE, CallDirection::Incoming, "carl.c", "Carl C", CallOutcome::Answered},
        {LINE_MODEM, CallDirection::Incoming, "0221550123", "Anna", CallOutcome::Missed},
        {LINE_MODEM, CallDirection::Outgoing, "0305550178", "Carla", CallOutcome::Busy},
        {LINE_MODEM, CallDirection::Incoming, "0895550147", "Ben", CallOutcome::Answered},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].line, expected[i].line);
        EXPECT_EQ(rows[i].direction, expected[i].direction);
        EXPECT_EQ(rows[i].number, expected[i].number);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].outcome, expected[i].outcome);
        EXPECT_TRUE(rows[i].end.isValid());
        EXPECT_LE(rows[i].start, rows[i].end);
    }

    // F3: the Recent list, newest first, the missed call in red; seeing it
    // clears the missed count.
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == NORMAL; }));
    h.Key(Qt::Key_F3);
    ASSERT_TRUE(h.window->IsRecentShown());
    EXPECT_EQ(h.window->MissedUnseen(), 0);
    CRecentList &list = *h.window->Recent();
    ASSERT_EQ(list.Model().rowCount(), 4);
    EXPECT_EQ(list.Model().At(0)->number, "carl.c");
    const QColor missed = list.Model().index(1).data(Qt::ForegroundRole).value<QColor>();
    EXPECT_NE(missed, list.Model().index(0).data(Qt::ForegroundRole).value<QColor>());
    EXPECT_EQ(missed.red(), 0xc8);

    // The Recent button does as F3 does and is lit while the list shows; a
    // line button gives the list area back to the lines.
    const CSkinButton *recent = h.window->Skin()->GetElements().recentButton;
    EXPECT_TRUE(recent->IsActive());
    const CSkinItem *closers[] = {recent, h.Element(kind::kSkypeButton),
                                  h.Element(kind::kModemButton)};
    for (const CSkinItem *closer : closers) {
        h.Click(closer);
        EXPECT_FALSE(h.window->IsRecentShown());
        EXPECT_FALSE(recent->IsActive());
        h.Click(recent);
        ASSERT_TRUE(h.window->IsRecentShown());
        EXPECT_TRUE(recent->IsActive());
    }

    // A double click calls back on the line the call came on.
    h.modem->ClearReceived();
    const QPoint row = list.visualRect(list.Model().index(1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, row);
    EXPECT_TRUE(h.modem->WaitForCommand("ATD0221550123"));
    EXPECT_FALSE(h.window->IsRecentShown());
    h.HangUpAndWait();

    // The notification's "Call back" too: a Skype caller on Skype.
    const qsizetype mark = h.SimMark();
    emit h.window->MissedCalls()->callBack(LINE_SKYPE, QStringLiteral("carl.c"));
    EXPECT_TRUE(h.SimSaw(QStringLiteral("CALL carl.c"), mark));

    // Both lines end within one message: both calls are recorded.
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == DIALING; }));
    h.window->Controller()->Dial("12;ATH"); // refused at once
    h.window->Bridge()->ParseNotification("CALL " + h.window->Bridge()->GetCallId() +
                                          " STATUS BUSY");
    EXPECT_TRUE(NewestIs(h, CallOutcome::InvalidNumber));
    EXPECT_EQ(Rows(h)[1].outcome, CallOutcome::Busy);
}

TEST_F(WindowHistory, DoNotDisturbNeitherRingsNorPopsUpButRecords)
{
    WindowHarness h;
    ASSERT_TRUE(h.ModemReady());
    h.window->SetDoNotDisturb(true);
    ASSERT_TRUE(h.modem->Control("ring 3 0895550147"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    ASSERT_TRUE(h.Until([&] { return !h.window->PartyNumber().empty(); })); // rung twice
    h.window->HangUp();
    ASSERT_TRUE(NewestIs(h, CallOutcome::Missed));
    EXPECT_EQ(h.ring->rings, 0);
    EXPECT_FALSE(h.PopupShowing());
    EXPECT_EQ(Rows(h).front().number, "0895550147");
}
