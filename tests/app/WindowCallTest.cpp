#include "tests/app/WindowHarness.h"

using namespace vocamo;
using namespace vocamo::test;

TEST(Window, IncomingModemCallRingsAnswersFromThePopupAndHangsUp)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    // The friend who is offline has no row, once the client has said so.
    EXPECT_TRUE(h.Until([&] {
        int friends = 0;
        for (CContactItem *row = h.window->FirstFriendRow(); row; row = row->GetNext())
            ++friends;
        return friends == 2;
    }));
    EXPECT_EQ(h.window->DialString(), "0221550123"); // the first number of the phonebook
    ASSERT_TRUE(h.modem->Control("ring 3 0895550147"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING && h.PopupShowing(); }));
    EXPECT_EQ(h.window->CallOwner(), LINE_MODEM);
    EXPECT_TRUE(h.PopupSkinIs(130));
    ASSERT_TRUE(h.Until([&] { return h.ring->rings >= 2 && !h.window->PartyNumber().empty(); }));
    EXPECT_EQ(h.ring->lastPath, QString::fromStdString(h.Dir() + "/RING.WAV"));
    EXPECT_EQ(h.window->PartyNumber(), "0895550147");
    EXPECT_EQ(h.window->PartyName(), "Ben");
    // Skype reporting its idle status meanwhile leaves the ringing call shown.
    EXPECT_EQ(h.window->WindowState(), RINGING);

    h.window->PostMessage(WM_NOTIFIER_CLICKED, 0, 0); // the click on the popup answers
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == ANSWERING; }));
    EXPECT_TRUE(h.modem->WaitForCommand("AT+VLS=7"));
    EXPECT_TRUE(h.PopupSkinIs(129));
    h.Paint();
    const CContactItem *placeholder = h.window->Skin()->GetElements().placeholderRow;
    EXPECT_FALSE(placeholder->IsHidden());
    EXPECT_EQ(placeholder->GetText(), "0895550147\nBen");

    h.Click(h.Element(kind::kCallEnd));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == NORMAL; }));
    EXPECT_TRUE(h.Until([&] { return !h.PopupShowing(); })); // after showing the end
    EXPECT_TRUE(h.window->PartyNumber().empty());
    EXPECT_EQ(h.window->SkypeState(), NORMAL); // the Skype line still attached
    EXPECT_TRUE(h.boxes.empty());
}

TEST(Window, ModemCallFromTheKeypadHidesTheWindowAndShowsThePartyOnThePopup)
{
    WindowOptions options;
    options.modemOptions.answerAfter = 200ms;
    WindowHarness h(options);
    ASSERT_TRUE(h.BothReady());
    h.Key(Qt::Key_Delete);
    h.Click(h.Element(kind::kKeypadToggle));
    for (int digit : {0, 3, 0, 5, 5, 5, 0, 1, 7, 8})
        h.Click(h.window->Skin()->GetElements().keys[digit == 0 ? 9 : digit - 1]);
    EXPECT_EQ(h.window->DialString(), "0305550178");
    h.Click(h.Element(kind::kCallStart));
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_TRUE(h.modem->WaitForCommand("ATD0305550178"));
    // The party comes after the state change, and shows on the popup at once.
    EXPECT_TRUE(h.Until([&] { return h.window->Notifier()->Text() == "Carla\nCalling..."; }));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == ANSWERING; }));
    EXPECT_TRUE(h.window->IsTimerActive(CVocamoDlg::TIMER_NOTIFIER));

    h.window->HangUp();
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == NORMAL; }));
    EXPECT_FALSE(h.window->IsTimerActive(CVocamoDlg::TIMER_NOTIFIER));
    EXPECT_TRUE(h.Until([&] { return !h.PopupShowing(); }));
}

TEST(Window, TheTwoLinesBlockEachOther)
{
    WindowOptions options;
    options.modemOptions.answerAfter = 100ms;
    WindowHarness h(options);
    ASSERT_TRUE(h.BothReady());

    // A Skype call arriving during a modem call is hung up, never shown.
    h.Key(Qt::Key_Return);
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == ANSWERING; }));
    // By the time the client hears the hang-up, the window has seen the ring.
    h.skype.Control(QStringLiteral("incoming carl.c"));
    EXPECT_TRUE(h.SimSaw(QStringLiteral("STATUS FINISHED")));
    EXPECT_EQ(h.window->CallOwner(), LINE_MODEM);
    EXPECT_EQ(h.window->WindowState(), ANSWERING);
    h.HangUpAndWait();

    // A modem dial while Skype holds a call resets the modem line at once.
    h.window->show();
    h.skype.Control(QStringLiteral("incoming carl.c"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    h.window->Controller()->Dial("0305550178");
    EXPECT_TRUE(h.Until([&] { return h.window->ModemState() == NORMAL; }));
    EXPECT_EQ(h.window->CallOwner(), LINE_SKYPE);
    EXPECT_EQ(h.window->WindowState(), RINGING);
}

TEST(Window, RestoreMainEndsTheCallThenShowsTheWindow)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    h.window->hide();
    ASSERT_TRUE(h.modem->Control("ring 5"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    h.modem->ClearReceived();
    h.window->PostMessage(WM_RESTORE_MAIN, 0, 0);
    ASSERT_TRUE(h.Until([&] { return h.window->isVisible(); }));
    EXPECT_EQ(h.window->WindowState(), NORMAL);
    EXPECT_TRUE(h.modem->WaitForCommand("ATZ")); // the modem line opened anew
    EXPECT_EQ(h.window->SkypeState(), NORMAL);   // the Skype line is left as it was
}

// Faults once met, through the user's input: a row took clicks only on its
// name; a friend's presence change moved the selection to the first friend
// and made every row anew;
// the call-end button filled the Skype display with a phonebook number,
// which the call button then called; a typed Skype number showed on the next
// modem call's popup.
TEST(Window, EachLineCallsItsOwnSelectionAndAPopupShowsOnlyItsCall)
{
    WindowOptions options;
    options.skypeArguments = {QStringLiteral("--friend"), QStringLiteral("anna.b:ONLINE:Anna B"),
                              QStringLiteral("--friend"), QStringLiteral("carl.c:AWAY:Carl C"),
                              QStringLiteral("--friend"), QStringLiteral("bob.o:OFFLINE:Bob O")};
    WindowHarness h(options);
    ASSERT_TRUE(h.BothReady());
    // Presence, asked last of the last friend, is in: no answer remakes a row later.
    ASSERT_TRUE(h.Until([&] { return h.window->Bridge()->GetFriend(2)->onlineStatus != "s"; }));
    h.Key(Qt::Key_Left);
    h.Paint();
    CContactItem *carl = h.window->FirstFriendRow()->GetNext();
    ASSERT_TRUE(carl && carl->GetName() == "carl.c");
    const QPoint besideTheName(h.window->ListViewport().right() - 20,
                               WindowHarness::Centre(carl).y());
    ASSERT_GT(besideTheName.x(), carl->GetWholeRect().right);
    QTest::mouseMove(h.window.get(), besideTheName);
    QTest::mouseClick(h.window.get(), Qt::LeftButton, Qt::NoModifier, besideTheName);
    ASSERT_TRUE(h.window->SelectedFriendRow());
    ASSERT_EQ(h.window->SelectedFriendRow()->GetName(), "carl.c");

    h.window->FirstFriendRow()->SetText("kept"); // lost if the list were made anew
    h.skype.Control(QStringLiteral("status bob.o ONLINE"));
    ASSERT_TRUE(h.Until([&] { return h.window->FirstFriendRow()->GetNext()->GetNext(); }));
    EXPECT_EQ(h.window->FirstFriendRow()->GetText(), "kept");
    EXPECT_EQ(h.window->SelectedFriendRow()->GetName(), "carl.c");
    ASSERT_TRUE(h.window->HoveredElement());
    EXPECT_EQ(h.window->HoveredElement(), h.window->SelectedFriendRow());
    qsizetype mark = h.SimMark();
    h.Key(Qt::Key_Return);
    EXPECT_TRUE(h.SimSaw(QStringLiteral("CALL carl.c"), mark));
    ASSERT_TRUE(h.Until([&] { return h.window->CallOwner() == LINE_SKYPE; }));
    h.HangUpAndWait();

    // The call-end button resets the modem line, which reloads its phonebook.
    h.window->show();
    std::ofstream(h.Dir() + "/Bookmark.ini", std::ios::binary) << "[Anna]\nPhone_Home=0221550999\n";
    h.Click(h.Element(kind::kCallEnd));
    ASSERT_TRUE(h.Until([&] { return h.window->Lines().DialString(LINE_MODEM) == "0221550999"; }));
    EXPECT_EQ(h.window->DialString(), "");
    mark = h.SimMark();
    h.Click(h.Element(kind::kCallStart));
    EXPECT_TRUE(h.SimSaw(QStringLiteral("CALL carl.c"), mark));
    EXPECT_FALSE(h.skype.SimLog().contains(QStringLiteral("CALL +0221550999")));
    ASSERT_TRUE(h.Until([&] { return h.window->CallOwner() == LINE_SKYPE; }));
    h.HangUpAndWait();

    h.window->show();
    h.Type("49301234");
    h.Key(Qt::Key_Return); // Enter does not call a typed number on this line
    EXPECT_FALSE(h.skype.SimLog().contains(QStringLiteral("CALL +49301234")));
    h.Click(h.Element(kind::kCallStart));
    ASSERT_TRUE(h.SimSaw(QStringLiteral("CALL +49301234")));
    ASSERT_TRUE(h.Until([&] { return h.window->CallOwner() == LINE_SKYPE; }));
    h.HangUpAndWait();
    ASSERT_TRUE(h.modem->Control("ring 3 0895550147"));
    bool stale = false;
    ASSERT_TRUE(h.Until([&] {
        stale = stale || (h.window->CallOwner() == LINE_MODEM &&
                          h.window->Notifier()->Text().find("49301234") != std::string::npos);
        return h.window->Notifier()->Text().rfind("0895550147", 0) == 0;
    }));
    EXPECT_FALSE(stale);
}
