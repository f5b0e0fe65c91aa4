// CSkypeBridge on the in-memory client: notifications, attaching, sending, the worker.
#include "skype/SkypeBridge.h"

#include "tests/support/MemorySkypeTransport.h"
#include "tests/support/RecordingMessageTarget.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace vocamo;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using Messages = std::vector<PostedMessage>;

namespace {

constexpr const char *kClient = "skype:1";
constexpr PostedMessage kStateEvent{WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_STATE};
constexpr PostedMessage kFriendsEvent{WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS};

class BridgeTest : public ::testing::Test {
protected:
    // Attached, nothing sent or posted yet; the long pass keeps the worker away.
    void SetUp() override
    {
        Make();
        transport.Attach(kClient, SKYPE_ATTACH_SUCCESS);
        transport.ClearSent();
        window.Clear();
    }
    void Make(std::chrono::milliseconds pass = 1h)
    {
        bridge.reset(); // the old one unhooks itself from the transport first
        transport.SetClient(kClient);
        bridge = std::make_unique<CSkypeBridge>(window, transport, pass);
    }
    int Notify(const std::string &text) { return transport.Notify(kClient, text); }
    void Parse(const std::string &text) { bridge->ParseNotification(text); }
    const CSkypeFriend &Friend(uint32_t index) { return *bridge->GetFriend(index); }
    Strings WindowSends() const { return transport.SentTexts(true); }

    // What the worker sends after one PING up to and including the next.
    Strings NextPass()
    {
        transport.ClearSent();
        if (!transport.WaitUntil([](const auto &sent, int) {
                return std::count_if(sent.begin(), sent.end(), [](const auto &s) {
                           return !s.fromWindow && s.text == "PING";
                       }) >= 2;
            }))
            return {"(no two pings)"};
        const Strings sends = transport.SentTexts(false);
        const auto first = std::find(sends.begin(), sends.end(), "PING");
        return {first + 1, std::find(first + 1, sends.end(), "PING") + 1};
    }

    CRecordingMessageTarget window;
    CMemorySkypeTransport transport;
    std::unique_ptr<CSkypeBridge> bridge;
};

} // namespace

TEST_F(BridgeTest, FriendsListIsReplacedWholeAndPropertiesAreStoredCutAndValid)
{
    Parse("USERS  alice,  bob"); // adjacent spaces separate like one
    ASSERT_EQ(bridge->GetFriendCount(), 2);
    EXPECT_EQ(Friend(1).handle, "bob");
    window.Clear();
    Parse("USER alice DISPLAYNAME Ali  van Dyke"); // names keep the rest of the text
    Parse("USER alice PHONE_HOME 0221 55");        // other values one word
    Parse("USER bob ONLINESTATUS NA");             // shown, so the window hears of it
    Parse("USER alice ONLINESTATUS AWAY");
    Parse("USER bob ONLINESTATUS DND");
    Parse("USER zed ONLINESTATUS AWAY"); // no such friend
    EXPECT_EQ(Friend(0).displayName + "|" + Friend(0).phoneHome + "|" + Friend(0).onlineStatus,
              "Ali  van Dyke|0221|AWAY");
    EXPECT_EQ(window.Take(), (Messages{kFriendsEvent, kFriendsEvent, kFriendsEvent}));
    // Which rows to remake, each once; a new list has a new number.
    EXPECT_EQ(bridge->TakeFriendChanges(), (std::vector<uint32_t>{1, 0}));
    const uint64_t list = bridge->GetFriendListNumber();
    const std::string phone = "\xF0\x9F\x93\x9E"; // two UTF-16 units
    // 47 units, then a character that still fits, then one that does not.
    Parse("USER alice FULLNAME " + std::string(47, 'n') + phone + phone);
    EXPECT_EQ(Friend(0).fullName, std::string(47, 'n') + phone);

    Parse("USERS alice");
    ASSERT_EQ(bridge->GetFriendCount(), 1);
    EXPECT_NE(Friend(0).onlineStatus, "AWAY"); // a fresh record
    EXPECT_NE(bridge->GetFriendListNumber(), list);
    // The window's rows point at the records just replaced: it drops them at once.
    EXPECT_EQ(window.Take(),
              (Messages{kFriendsEvent, {WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_FRIEND_DETAILS}}));
    Parse("USERS");
    EXPECT_EQ(bridge->GetFriendCount(), 0);
    EXPECT_EQ(window.Take(), Messages{kFriendsEvent});
}

TEST_F(BridgeTest, KeywordsMatchWholeAndCaseSensitivelyAndIncompleteOnesChangeNothing)
{
    Parse("USERS bob");
    Parse("CALL 7 STATUS ROUTING");
    window.Clear();
    transport.ClearSent();
    // clang-format off
    for (const char *text : {"user bob ONLINESTATUS ONLINE", "USER bob onlinestatus ONLINE",
             "USERX bob ONLINESTATUS x", "USER bob ONLINESTATUSX x", "USER bob ONLINESTATUS",
             "call 7 STATUS FINISHED", "CALL 7 status FINISHED", "CALL 7 STATUS FINISHEDX",
             "CALL 7 STATUS", "CALL 7 PARTNER_HANDLE", " CONNSTATUS ONLINE", "CONNSTATUS", ""})
        Parse(text);
    // clang-format on
    EXPECT_EQ(Friend(0).onlineStatus, "s");
    EXPECT_EQ(bridge->GetState(), DIALING);
    EXPECT_EQ(bridge->GetConnStatus() + bridge->GetPartnerHandle(), "");
    EXPECT_EQ(window.Count() + WindowSends().size(), 0u);
}

TEST_F(BridgeTest, CallsRunFromFirstStatusToAnyEndAndStayEnded)
{
    // An end returns to normal, whether we called or were called.
    int id = 20;
    for (const char *end : {"MISSED", "REFUSED", "CANCELLED", "VM_FAILED"}) {
        for (const char *start : {"ROUTING", "RINGING"}) {
            const std::string call = "CALL " + std::to_string(id++) + " STATUS ";
            Parse(call + start);
            Parse(call + end);
            EXPECT_TRUE(bridge->GetState() == NORMAL && bridge->GetCallId().empty()) << call << end;
        }
    }
    transport.ClearSent();
    for (LPARAM request : {REQ_SKYPE_HANGUP, REQ_SKYPE_ANSWER}) // no call: nothing to send
        bridge->OnRequest(RECEIVER_SKYPE, request);
    const std::tuple<const char *, int32_t, const char *> script[] = {
        {"CALL 7 STATUS ROUTING", DIALING, "7"},
        {"CALL 8 STATUS ROUTING", DIALING, "7"}, // a second call is not ours
        {"CALL 7 STATUS RINGING", DIALING, "7"}, // the far end rings
        {"CALL 8 STATUS RINGING", DIALING, "7"}, // nor does it move the line
        {"CALL 8 STATUS INPROGRESS", DIALING, "7"},
        {"CALL 8 STATUS FINISHED", DIALING, "7"},
        {"CALL 7 STATUS INPROGRESS", ANSWERING, "7"},
        {"CALL 7 STATUS FINISHED", NORMAL, ""},
        {"CALL 7 STATUS RINGING", NORMAL, ""}, // late progress, overtaken by our hang-up
        {nullptr, RINGING, "9"}, // asked for after our end: a call that rang meanwhile
    };
    transport.SetResponder([](std::string_view sent) {
        return std::string(sent == "SEARCH ACTIVECALLS"  ? "CALLS 7, 9"
                           : sent == "GET CALL 9 STATUS" ? "CALL 9 STATUS RINGING"
                                                         : "");
    });
    for (const auto &[text, state, callId] : script) {
        if (text)
            Parse(text);
        else if (window.Take().back() ==
                 PostedMessage{WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_WAITING_CALL})
            bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_WAITING_CALL);
        EXPECT_EQ(bridge->GetState(), state) << text;
        EXPECT_EQ(bridge->GetCallId(), callId) << text;
    }
    EXPECT_EQ(WindowSends(), (Strings{"GET CALL 7 PARTNER_HANDLE", "SEARCH ACTIVECALLS",
                                      "GET CALL 9 STATUS", "GET CALL 9 PARTNER_HANDLE"}));
    window.Clear();
    Parse("CALL 9 PARTNER_HANDLE bob");
    Parse("CALL 8 PARTNER_HANDLE eve");
    EXPECT_EQ(bridge->GetPartnerHandle(), "bob");
    // The window reads the handle when it paints, so it paints again.
    EXPECT_EQ(window.Take(),
              (Messages{{WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_PARTNER}, {WM_REFRESH, 0, 0}}));
    transport.ClearSent();
    for (int asked = 0; asked < 3; ++asked) // the window asks again while it waits
        bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
    EXPECT_EQ(WindowSends(), Strings{"SET CALL 9 STATUS FINISHED"});
}

TEST_F(BridgeTest, ACallEndsWithItsPartnerAlsoWhenTheClientSaysItHasNone)
{
    // Each call's partner is bob; the client refuses one question, or ends the call.
    const std::tuple<LPARAM, std::string, std::string> cases[] = {
        {0, "GET CALL 5 PARTNER_HANDLE", "ERROR 11 Invalid call id"},
        {REQ_SKYPE_ANSWER, "SET CALL 6 STATUS INPROGRESS", "ERROR 11 Invalid call id"},
        {REQ_SKYPE_HANGUP, "SET CALL 7 STATUS FINISHED", "ERROR 14 Cannot hangup"},
        {REQ_SKYPE_HANGUP, "SET CALL 8 STATUS FINISHED", "CALL 8 STATUS FINISHED"}};
    for (const auto &[request, question, reply] : cases) {
        transport.SetResponder([q = question, r = reply](std::string_view sent) {
            return sent == q                 ? r
                   : sent.starts_with("GET") ? std::string(sent.substr(4)) + " bob"
                                             : "";
        });
        Notify("CALL " + question.substr(9, 1) + " STATUS RINGING");
        if (request)
            bridge->OnRequest(RECEIVER_SKYPE, request);
        EXPECT_EQ(bridge->GetCallId() + bridge->GetPartnerHandle(), "") << question;
    }
}

TEST_F(BridgeTest, ConnectionAndUserStatusKeepOrEmptyTheAccount)
{
    Parse("CONNSTATUS ONLINE");
    Parse("CURRENTUSERHANDLE vocamo.echo");
    Parse("USERSTATUS AWAY");
    EXPECT_EQ(WindowSends(), Strings{"SEARCH FRIENDS"});
    Parse("USERSTATUS LOGGEDOUT"); // empties all three
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetConnStatus() + bridge->GetCurrentUserHandle(), "");
    Parse("CONNSTATUS ONLINE");
    Parse("CURRENTUSERHANDLE vocamo.echo");
    Parse("CONNSTATUS OFFLINE"); // keeps only itself
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetConnStatus() + bridge->GetCurrentUserHandle(), "OFFLINE");
}

TEST_F(BridgeTest, FollowUpsAnsweredWithFollowUpsCannotNestWithoutEnd)
{
    // Each partner query is answered by a ringing call, whose partner is asked in turn.
    transport.SetResponder([](std::string_view) { return std::string("CALL 9 STATUS RINGING"); });
    Notify("CALL 9 STATUS RINGING");
    EXPECT_EQ(bridge->GetState(), RINGING);
    EXPECT_TRUE(WindowSends().size() >= 2 && WindowSends().size() <= 10) << WindowSends().size();
}

TEST_F(BridgeTest, AttachStatusesTakeForgetOrIgnoreTheClient)
{
    // Success takes the new client; the others forget it; an unknown one changes nothing.
    const std::pair<uint32_t, const char *> cases[] = {{SKYPE_ATTACH_SUCCESS, "skype:2"},
                                                       {SKYPE_ATTACH_REFUSED, ""},
                                                       {SKYPE_ATTACH_NOT_AVAILABLE, ""},
                                                       {4, kClient}};
    for (const auto &[status, client] : cases) {
        transport.Attach(kClient, SKYPE_ATTACH_SUCCESS);
        Notify("CONNSTATUS ONLINE");
        Notify("CALL 5 STATUS RINGING"); // the client's call ids die with it
        window.Clear();
        const bool kept = client == std::string(kClient);
        transport.Attach(status == SKYPE_ATTACH_SUCCESS ? "skype:2" : kClient, status);
        EXPECT_EQ(bridge->GetSkypeWindow(), client) << status;
        EXPECT_EQ(bridge->GetState(), kept ? RINGING : INIT) << status;
        EXPECT_EQ(bridge->GetCallId() + bridge->GetConnStatus(), kept ? "5ONLINE" : "") << status;
        EXPECT_EQ(window.Take(), kept ? Messages{} : Messages{kStateEvent}) << status;
    }
}

TEST_F(BridgeTest, CommandTooLongEmptyOrWithANulIsNotSent)
{
    // Never sent in part, nor empty.
    const std::string longest = "CALL " + std::string(kSkypeCommandMax - 5, 'x');
    for (const std::string &refused : {longest + "y", std::string(), std::string("\0PING", 5)})
        EXPECT_FALSE(bridge->SendCommand(refused));
    EXPECT_TRUE(bridge->SendCommand(longest));
    EXPECT_EQ(WindowSends(), Strings{longest});
}

TEST_F(BridgeTest, EachPassAsksForWhatIsMissingThenPings)
{
    Make(10ms);
    transport.SetResponder([](std::string_view command) {
        return std::string(command == "GET USERSTATUS" ? "USERSTATUS ONLINE" : "");
    });
    ASSERT_TRUE(transport.WaitUntil([](const auto &, int discovers) { return discovers >= 3; }));
    EXPECT_TRUE(transport.SentCommands().empty()); // not attached: it only looks for a client
    transport.Attach(kClient, SKYPE_ATTACH_SUCCESS);
    EXPECT_EQ(NextPass(),
              (Strings{"GET CONNSTATUS", "GET CURRENTUSERHANDLE", "GET USERSTATUS", "PING"}));
    // The worker's answers wait, queued, for the window thread.
    EXPECT_EQ(bridge->GetUserStatus(), "");
    EXPECT_GE(transport.DeliverQueued(), 1);
    EXPECT_EQ(bridge->GetUserStatus(), "ONLINE");
    Notify("CONNSTATUS ONLINE");
    Notify("CURRENTUSERHANDLE vocamo.echo");
    EXPECT_EQ(NextPass(), (Strings{"SEARCH FRIENDS", "PING"}));
    Notify("USERS alice");
    EXPECT_EQ(NextPass(), Strings{"PING"});
}

// Destroyed in its hour-long pause it ends at once, as every test here needs,
// tells the window, and unhooks itself from the transport.
TEST_F(BridgeTest, DestructionStopsTheWorkerInItsPauseAndUnhooks)
{
    const int before = transport.DiscoverCount();
    Make(); // not attached, past its first pass, which only looked for a client
    ASSERT_TRUE(transport.WaitUntil([&](const auto &, int found) { return found > before; }));
    window.Clear();
    bridge.reset();
    EXPECT_EQ(window.Messages(), Messages{kStateEvent});
    EXPECT_EQ(transport.Notify(kClient, "CONNSTATUS ONLINE"), 1); // to no bridge
}
