#include "tests/skype/BridgeFixture.h"

#include <thread>

using namespace vocamo;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// --- attachment and receiving ----------------------------------------------

TEST_F(BridgeTest, AttachSuccessMakesTheSenderTheClientAndStartsAfresh)
{
    Make();
    AttachComplete();
    ASSERT_EQ(bridge->GetConnStatus(), "ONLINE");
    window.Clear();

    EXPECT_EQ(transport.Attach("skype:2", SKYPE_ATTACH_SUCCESS), 1);
    EXPECT_EQ(bridge->GetSkypeWindow(), "skype:2");
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetConnStatus(), "");
    EXPECT_EQ(bridge->GetCurrentUserHandle(), "");
    EXPECT_EQ(bridge->GetUserStatus(), "");
    EXPECT_EQ(window.Messages(), std::vector<PostedMessage>{kStateEvent});
}

TEST_F(BridgeTest, EveryOtherKnownAttachStatusForgetsTheClient)
{
    Make();
    for (uint32_t status : {SKYPE_ATTACH_PENDING_AUTHORIZATION, SKYPE_ATTACH_REFUSED,
                            SKYPE_ATTACH_NOT_AVAILABLE, SKYPE_ATTACH_API_AVAILABLE}) {
        AttachComplete();
        window.Clear();
        EXPECT_EQ(transport.Attach(kClient, status), 1) << status;
        EXPECT_EQ(bridge->GetSkypeWindow(), "") << status;
        EXPECT_EQ(bridge->GetState(), INIT) << status;
        EXPECT_EQ(bridge->GetConnStatus(), "") << status;
        EXPECT_EQ(window.Messages(), std::vector<PostedMessage>{kStateEvent}) << status;
    }
}

TEST_F(BridgeTest, UnknownAttachStatusChangesNothing)
{
    Make();
    AttachComplete();
    window.Clear();
    EXPECT_EQ(transport.Attach(kClient, 4), 1);
    EXPECT_EQ(bridge->GetSkypeWindow(), kClient);
    EXPECT_EQ(bridge->GetState(), NORMAL);
    EXPECT_EQ(window.Count(), 0u);
}

TEST_F(BridgeTest, NotificationFromAForeignSenderDetachesUnparsed)
{
    Make();
    AttachComplete();
    window.Clear();
    EXPECT_EQ(transport.Notify("intruder", "CALL 1 STATUS RINGING"), 0);
    EXPECT_EQ(bridge->GetSkypeWindow(), "");
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetConnStatus(), "");
    EXPECT_EQ(bridge->GetCallId(), "");
    EXPECT_EQ(window.Messages(), std::vector<PostedMessage>{kStateEvent});
}

TEST_F(BridgeTest, NotificationEndsAtItsFirstZeroByte)
{
    Make();
    Attach();
    Notify(std::string("CONNSTATUS ONLINE\0garbage", 25));
    EXPECT_EQ(bridge->GetConnStatus(), "ONLINE");
}

// --- sending ---------------------------------------------------------------

TEST_F(BridgeTest, FailedSendForgetsTheClient)
{
    Make();
    AttachComplete();
    window.Clear();
    transport.SetAnswering(false);
    EXPECT_FALSE(bridge->SendCommand("CALL bob"));
    EXPECT_EQ(bridge->GetSkypeWindow(), "");
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetUserStatus(), "");
    EXPECT_EQ(window.Messages(), std::vector<PostedMessage>{kStateEvent});
}

TEST_F(BridgeTest, OverlongCommandIsRefusedWholeAndTheClientStays)
{
    Make();
    AttachComplete();
    transport.ClearSent();
    window.Clear();

    const std::string longest = "CALL " + std::string(kSkypeCommandMax - 5, 'x');
    EXPECT_FALSE(bridge->SendCommand(longest + "y"));
    EXPECT_EQ(WindowSends(), Strings{});
    EXPECT_EQ(bridge->GetSkypeWindow(), kClient);
    EXPECT_EQ(window.Count(), 0u);

    EXPECT_TRUE(bridge->SendCommand(longest));
    EXPECT_EQ(WindowSends(), Strings{longest});
}

TEST_F(BridgeTest, EmptyCommandIsNotSent)
{
    Make();
    Attach();
    transport.ClearSent();
    EXPECT_FALSE(bridge->SendCommand(""));
    EXPECT_FALSE(bridge->SendCommand(std::string_view("\0PING", 5)));
    EXPECT_EQ(WindowSends(), Strings{});
    EXPECT_EQ(bridge->GetSkypeWindow(), kClient);
}

TEST_F(BridgeTest, AnswerToAWindowSendIsParsedBeforeTheSendReturns)
{
    Make();
    Attach();
    transport.SetResponder([](std::string_view command) {
        return command == "GET CONNSTATUS" ? std::string("CONNSTATUS OFFLINE") : std::string();
    });
    ASSERT_TRUE(bridge->SendCommand("GET CONNSTATUS"));
    EXPECT_EQ(bridge->GetConnStatus(), "OFFLINE");
}

// --- the worker ------------------------------------------------------------

TEST_F(BridgeTest, NotAttachedPassOnlyDiscovers)
{
    Make(10ms);
    EXPECT_TRUE(transport.WaitUntil([](const auto &, int discovers) { return discovers >= 3; }));
    EXPECT_TRUE(transport.SentCommands().empty());
}

TEST_F(BridgeTest, IncompleteStatusPassAsksForItAndPings)
{
    Make(10ms);
    Attach();
    EXPECT_EQ(NextPass(),
              (Strings{"GET CONNSTATUS", "GET CURRENTUSERHANDLE", "GET USERSTATUS", "PING"}));
}

TEST_F(BridgeTest, CompleteStatusWithoutFriendsPassAsksForThem)
{
    Make(10ms);
    AttachComplete();
    EXPECT_EQ(NextPass(), (Strings{"SEARCH FRIENDS", "PING"}));
}

TEST_F(BridgeTest, CompleteStatusWithFriendsPassOnlyPings)
{
    Make(10ms);
    AttachComplete();
    Notify("USERS alice");
    EXPECT_EQ(NextPass(), Strings{"PING"});
}

TEST_F(BridgeTest, PassOfFourFailedSendsPostsFourStateEvents)
{
    Make(50ms);
    transport.SetAnswering(false);
    Attach(); // one state event
    ASSERT_TRUE(WaitForWorkerSends(4));
    ASSERT_TRUE(transport.WaitUntil([](const auto &, int discovers) { return discovers >= 2; }));
    EXPECT_EQ(CountOf(kStateEvent), 5u);
    const auto sent = transport.SentCommands();
    EXPECT_EQ(sent[0].client, kClient);
    EXPECT_EQ(sent[3].client, ""); // the rest of the pass went to no client
    EXPECT_EQ(sent.size(), 4u);
}

TEST_F(BridgeTest, AnswersToTheWorkerReachTheWindowThreadQueued)
{
    Make(10ms);
    transport.SetResponder([](std::string_view command) {
        return command == "GET USERSTATUS" ? std::string("USERSTATUS AWAY") : std::string();
    });
    Attach();
    ASSERT_TRUE(WaitForWorkerSends(4));
    EXPECT_EQ(bridge->GetUserStatus(), "");
    EXPECT_GE(transport.DeliverQueued(), 1);
    EXPECT_EQ(bridge->GetUserStatus(), "AWAY");
}

TEST_F(BridgeTest, DestructionStopsTheWorkerAtOnceAndPostsStateOnce)
{
    Make(); // a five-second pause
    ASSERT_TRUE(transport.WaitUntil([](const auto &, int discovers) { return discovers >= 1; }));
    std::this_thread::sleep_for(20ms); // the worker is in its pause now
    window.Clear();
    const auto start = std::chrono::steady_clock::now();
    bridge.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(window.Messages(), std::vector<PostedMessage>{kStateEvent});
    // The transport no longer delivers to the bridge that is gone.
    EXPECT_EQ(transport.Notify(kClient, "CONNSTATUS ONLINE"), 1);
}

// --- the window's requests -------------------------------------------------

TEST_F(BridgeTest, FriendDetailsAreSevenQuestionsPerFriendInOrder)
{
    Make();
    AttachComplete();
    Notify("USERS alice, bob");
    transport.ClearSent();
    EXPECT_EQ(bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_FRIEND_DETAILS), 1);
    ASSERT_TRUE(WaitForWorkerSends(14, "GET USER "));
    Strings questions;
    for (const std::string &text : WorkerSends()) {
        if (text.starts_with("GET USER "))
            questions.push_back(text); // a pass may have pinged meanwhile
    }
    Strings expected;
    for (const char *handle : {"alice", "bob"}) {
        for (const char *property : {"FULLNAME", "DISPLAYNAME", "HANDLE", "BUDDYSTATUS",
                                     "ISAUTHORIZED", "ISBLOCKED", "ONLINESTATUS"})
            expected.push_back(std::string("GET USER ") + handle + " " + property);
    }
    EXPECT_EQ(questions, expected);
    EXPECT_EQ(WindowSends(), Strings{}); // the window never waited on them
}

TEST_F(BridgeTest, FailedFriendDetailForgetsTheClientAndTheRestFail)
{
    Make();
    AttachComplete();
    Notify("USERS alice, bob");
    transport.SetAnswering(false);
    window.Clear();
    bridge->RequestFriendDetails();
    ASSERT_TRUE(WaitForWorkerSends(14, "GET USER "));
    ASSERT_TRUE(window.WaitUntil([](const auto &all) { return !all.empty(); }));
    EXPECT_EQ(bridge->GetSkypeWindow(), "");
    EXPECT_EQ(bridge->GetState(), INIT);
}

TEST_F(BridgeTest, AnswerAndHangUpNameTheTrackedCall)
{
    Make();
    Attach();
    Notify("CALL 9 STATUS RINGING");
    transport.ClearSent();
    EXPECT_EQ(bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_ANSWER), 1);
    EXPECT_EQ(bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP), 1);
    EXPECT_EQ(bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_SEARCH_FRIENDS), 1);
    EXPECT_EQ(WindowSends(), (Strings{"SET CALL 9 STATUS INPROGRESS", "SET CALL 9 STATUS FINISHED",
                                      "SEARCH FRIENDS"}));

    Notify("CALL 9 STATUS FINISHED");
    transport.ClearSent();
    bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP); // no call tracked: no id
    EXPECT_EQ(WindowSends(), Strings{"SET CALL  STATUS FINISHED"});
}

TEST_F(BridgeTest, OtherRequestCodesDoNothing)
{
    Make();
    Attach();
    transport.ClearSent();
    window.Clear();
    for (LPARAM code : {28, 29, 30, 31, 32, 34, 0, -1})
        EXPECT_EQ(bridge->OnRequest(RECEIVER_SKYPE, code), 1) << code;
    EXPECT_EQ(WindowSends(), Strings{});
    EXPECT_EQ(window.Count(), 0u);
}

TEST_F(BridgeTest, PartnerHandleNeverKeepsTheWindowWaiting)
{
    Make();
    Attach();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(bridge->GetPartnerHandle(), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);

    window.Clear();
    Notify("CALL 9 PARTNER_HANDLE bob");
    EXPECT_EQ(bridge->GetPartnerHandle(), "bob");
    // The window learns of it and paints again, now showing the handle.
    EXPECT_EQ(window.Messages(),
              (std::vector<PostedMessage>{kPartnerEvent, {WM_REFRESH, 0, 0}}));
}
