#include "tests/skype/BridgeFixture.h"

using namespace vocamo;
using Strings = std::vector<std::string>;
using Messages = std::vector<PostedMessage>;

namespace {

class ParserTest : public BridgeTest {
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        Make();
        Attach();
        transport.ClearSent();
        window.Clear();
    }

    void Parse(const std::string &text) { bridge->ParseNotification(text); }
    const CSkypeFriend &Friend(uint32_t index) { return *bridge->GetFriend(index); }
};

} // namespace

// --- friends list ----------------------------------------------------------

TEST_F(ParserTest, UsersAloneEmptiesTheListAndAsksForRows)
{
    Parse("USERS alice");
    window.Clear();
    Parse("USERS");
    EXPECT_EQ(bridge->GetFriendCount(), 0);
    EXPECT_EQ(window.Messages(), Messages{kFriendsEvent});
}

TEST_F(ParserTest, UsersBuildsRecordsInOrderAndAsksForDetails)
{
    Parse("USERS alice, bob, carol");
    ASSERT_EQ(bridge->GetFriendCount(), 3);
    EXPECT_EQ(Friend(0).handle, "alice");
    EXPECT_EQ(Friend(1).handle, "bob");
    EXPECT_EQ(Friend(2).handle, "carol");
    EXPECT_EQ(Friend(2).fullName, "b");
    EXPECT_EQ(window.Messages(), Messages{kDetailsRequest});
    EXPECT_EQ(WindowSends(), Strings{}); // the questions wait for the request
}

TEST_F(ParserTest, SecondUsersReplacesTheWholeList)
{
    Parse("USERS alice, bob");
    Parse("USER alice ONLINESTATUS ONLINE");
    Parse("USERS alice");
    ASSERT_EQ(bridge->GetFriendCount(), 1);
    EXPECT_EQ(Friend(0).onlineStatus, "s"); // a fresh record
    EXPECT_EQ(bridge->GetFriend(1), nullptr);
}

TEST_F(ParserTest, ReplacedListHasTheWindowDropItsRowsAtOnce)
{
    Parse("USERS alice, bob");
    window.Clear();
    Parse("USERS carol");
    // The rows of alice and bob point at records that are gone.
    EXPECT_EQ(window.Messages(), (Messages{kFriendsEvent, kDetailsRequest}));
}

// --- one friend's property ---------------------------------------------------

TEST_F(ParserTest, EveryPropertyLandsInItsOwnField)
{
    Parse("USERS alice");
    const std::pair<const char *, std::string CSkypeFriend::*> table[] = {
        {"FULLNAME", &CSkypeFriend::fullName},
        {"BIRTHDAY", &CSkypeFriend::birthday},
        {"SEX", &CSkypeFriend::sex},
        {"LANGUAGE", &CSkypeFriend::language},
        {"COUNTRY", &CSkypeFriend::country},
        {"PROVINCE", &CSkypeFriend::province},
        {"CITY", &CSkypeFriend::city},
        {"PHONE_HOME", &CSkypeFriend::phoneHome},
        {"PHONE_OFFICE", &CSkypeFriend::phoneOffice},
        {"PHONE_MOBILE", &CSkypeFriend::phoneMobile},
        {"HOMEPAGE", &CSkypeFriend::homepage},
        {"ABOUT", &CSkypeFriend::about},
        {"HASCALLEQUIPMENT", &CSkypeFriend::hasCallEquipment},
        {"BUDDYSTATUS", &CSkypeFriend::buddyStatus},
        {"ISAUTHORIZED", &CSkypeFriend::isAuthorized},
        {"ISBLOCKED", &CSkypeFriend::isBlocked},
        {"DISPLAYNAME", &CSkypeFriend::displayName},
        {"ONLINESTATUS", &CSkypeFriend::onlineStatus},
        {"LASTONLINETIMESTAMP", &CSkypeFriend::lastOnlineTimestamp},
        {"CAN_LEAVE_VM", &CSkypeFriend::canLeaveVm},
        {"SPEEDDIAL", &CSkypeFriend::speedDial},
        {"RECEIVEDAUTHREQUEST", &CSkypeFriend::receivedAuthRequest},
    };
    for (const auto &[property, field] : table)
        Parse(std::string("USER alice ") + property + " v-" + property);
    for (const auto &[property, field] : table)
        EXPECT_EQ(Friend(0).*field, std::string("v-") + property) << property;
    Parse("USER alice HANDLE alice2");
    EXPECT_EQ(Friend(0).handle, "alice2");
}

TEST_F(ParserTest, NamesKeepTheRestOfTheTextOtherValuesOneWord)
{
    Parse("USERS bob");
    Parse("USER bob FULLNAME Bob  van Dyke");
    Parse("USER bob CITY New York");
    EXPECT_EQ(Friend(0).fullName, "Bob  van Dyke");
    EXPECT_EQ(Friend(0).city, "New");
}

TEST_F(ParserTest, OnlineStatusPostsFriendsEventOnlyForAKnownFriend)
{
    Parse("USERS bob");
    window.Clear();
    Parse("USER bob ONLINESTATUS ONLINE");
    EXPECT_EQ(Friend(0).onlineStatus, "ONLINE");
    EXPECT_EQ(window.Messages(), Messages{kFriendsEvent});
    window.Clear();
    Parse("USER zed ONLINESTATUS ONLINE");
    EXPECT_EQ(window.Count(), 0u);
}

TEST_F(ParserTest, MissingValueLeavesTheFieldAsItWas)
{
    Parse("USERS bob");
    Parse("USER bob PHONE_HOME ");
    Parse("USER bob");
    Parse("USER");
    EXPECT_EQ(Friend(0).phoneHome, "i");
}

TEST_F(ParserTest, KeywordsMatchWholeAndCaseSensitively)
{
    Parse("USERS bob");
    window.Clear();
    Parse("user bob ONLINESTATUS ONLINE");
    Parse("USER bob onlinestatus ONLINE");
    Parse("USERX bob ONLINESTATUS ONLINE");
    EXPECT_EQ(Friend(0).onlineStatus, "s");
    EXPECT_EQ(window.Count(), 0u);
}

TEST_F(ParserTest, LongNamesAreCutToFortyNineUnitsBetweenCharacters)
{
    Parse("USERS bob");
    const std::string name(47, 'n');
    // 47 letters, then a character of two UTF-16 units that still fits,
    // then one that does not.
    Parse("USER bob FULLNAME " + name + "\xF0\x9F\x93\x9E" + "\xF0\x9F\x93\x9E");
    EXPECT_EQ(Friend(0).fullName, name + "\xF0\x9F\x93\x9E");
    Parse("USER bob DISPLAYNAME " + std::string(60, 'd'));
    EXPECT_EQ(Friend(0).displayName, std::string(49, 'd'));
}

TEST_F(ParserTest, InvalidUtf8IsStoredAsReplacementCharacters)
{
    Parse("USERS bob");
    Parse("USER bob DISPLAYNAME J\xF6rg");
    Parse("USER bob CITY K\xF6ln");
    EXPECT_EQ(Friend(0).displayName, "J\xEF\xBF\xBDrg");
    EXPECT_EQ(Friend(0).city, "K\xEF\xBF\xBDln");
}

// --- calls -------------------------------------------------------------------

TEST_F(ParserTest, OutgoingCallRunsFromRoutingToFinished)
{
    Parse("CALL 7 STATUS ROUTING");
    EXPECT_EQ(bridge->GetState(), DIALING);
    EXPECT_EQ(bridge->GetCallId(), "7");
    EXPECT_EQ(WindowSends(), Strings{"GET CALL 7 PARTNER_HANDLE"});

    window.Clear();
    Parse("CALL 7 STATUS RINGING"); // the far end rings
    EXPECT_EQ(bridge->GetState(), DIALING);
    EXPECT_EQ(window.Count(), 0u);

    Parse("CALL 7 STATUS INPROGRESS");
    EXPECT_EQ(bridge->GetState(), ANSWERING);
    Parse("CALL 7 STATUS INPROGRESS");
    EXPECT_EQ(CountOf(kStateEvent), 2u); // posted also when nothing changed

    Parse("CALL 7 STATUS FINISHED");
    EXPECT_EQ(bridge->GetState(), NORMAL);
    EXPECT_EQ(bridge->GetCallId(), "");
}

TEST_F(ParserTest, IncomingCallRingsAndLearnsItsPartner)
{
    Parse("CALL 9 STATUS RINGING");
    EXPECT_EQ(bridge->GetState(), RINGING);
    EXPECT_EQ(bridge->GetCallId(), "9");
    EXPECT_EQ(WindowSends(), Strings{"GET CALL 9 PARTNER_HANDLE"});
    Parse("CALL 9 PARTNER_HANDLE bob");
    EXPECT_EQ(bridge->GetPartnerHandle(), "bob");
    EXPECT_EQ(CountOf(kPartnerEvent), 1u);
}

TEST_F(ParserTest, RoutingOfASecondCallIsIgnored)
{
    Parse("CALL 7 STATUS ROUTING");
    window.Clear();
    transport.ClearSent();
    Parse("CALL 8 STATUS ROUTING");
    EXPECT_EQ(bridge->GetCallId(), "7");
    EXPECT_EQ(window.Count(), 0u);
    EXPECT_EQ(WindowSends(), Strings{});
}

TEST_F(ParserTest, EveryEndOfACallReturnsToNormal)
{
    int id = 7;
    for (const char *end : {"FINISHED", "FAILED", "MISSED", "REFUSED", "FAILUREREASON"}) {
        const std::string call = "CALL " + std::to_string(id++);
        Parse(call + " STATUS ROUTING");
        EXPECT_EQ(bridge->GetState(), DIALING) << end;
        Parse(call + " STATUS " + end);
        EXPECT_EQ(bridge->GetState(), NORMAL) << end;
        EXPECT_EQ(bridge->GetCallId(), "") << end;
    }
}

TEST_F(ParserTest, LateProgressOfAnEndedCallDoesNotBringItBack)
{
    // Our hang-up's reply can overtake the call's queued progress.
    Parse("CALL 7 STATUS FINISHED");
    Parse("CALL 7 STATUS ROUTING");
    Parse("CALL 7 STATUS RINGING");
    EXPECT_EQ(bridge->GetState(), NORMAL);
    EXPECT_EQ(bridge->GetCallId(), "");
    Parse("CALL 8 STATUS RINGING"); // a new call still rings
    EXPECT_EQ(bridge->GetState(), RINGING);
}

TEST_F(ParserTest, CallNotificationsWithoutTheirWordsOrWithOtherStatusesChangeNothing)
{
    Parse("CALL 7 STATUS ROUTING");
    window.Clear();
    for (const char *text : {"CALL 7 STATUS ONHOLD", "CALL 7 STATUS", "CALL 12", "CALL",
                             "CALL 7 PARTNER_HANDLE", "CALL 7 DURATION 12"})
        Parse(text);
    EXPECT_EQ(bridge->GetState(), DIALING);
    EXPECT_EQ(bridge->GetPartnerHandle(), "");
    EXPECT_EQ(window.Count(), 0u);
}

// --- status ------------------------------------------------------------------

TEST_F(ParserTest, ConnStatusOnlineAsksForFriends)
{
    Parse("CONNSTATUS ONLINE");
    EXPECT_EQ(bridge->GetState(), NORMAL);
    EXPECT_EQ(bridge->GetConnStatus(), "ONLINE");
    EXPECT_EQ(WindowSends(), Strings{"SEARCH FRIENDS"});
}

TEST_F(ParserTest, ConnStatusOfflineKeepsOnlyItself)
{
    Parse("CONNSTATUS ONLINE");
    Parse("CURRENTUSERHANDLE vocamo.echo");
    Parse("USERSTATUS ONLINE");
    Parse("CONNSTATUS OFFLINE");
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetConnStatus(), "OFFLINE");
    EXPECT_EQ(bridge->GetCurrentUserHandle(), "");
    EXPECT_EQ(bridge->GetUserStatus(), "");
}

TEST_F(ParserTest, UserStatusLoggedOutEmptiesAllThree)
{
    Parse("CONNSTATUS ONLINE");
    Parse("CURRENTUSERHANDLE vocamo.echo");
    Parse("USERSTATUS AWAY");
    EXPECT_EQ(bridge->GetUserStatus(), "AWAY");
    Parse("USERSTATUS LOGGEDOUT");
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetConnStatus(), "");
    EXPECT_EQ(bridge->GetCurrentUserHandle(), "");
}

TEST_F(ParserTest, IgnoredNotificationsChangeNothing)
{
    for (const char *text : {"PONG", "MESSAGE 1 STATUS RECEIVED", "CHAT x", "VOICEMAIL 1",
                             " CONNSTATUS ONLINE", "CONNSTATUS", "", "ERROR 68"})
        Parse(text);
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_EQ(bridge->GetConnStatus(), "");
    EXPECT_EQ(window.Count(), 0u);
    EXPECT_EQ(WindowSends(), Strings{});
}

TEST_F(ParserTest, AdjacentSpacesSeparateLikeOne)
{
    Parse("CALL  7   STATUS  INPROGRESS");
    EXPECT_EQ(bridge->GetState(), ANSWERING);
    Parse("USERS  alice,  bob");
    ASSERT_EQ(bridge->GetFriendCount(), 2);
    EXPECT_EQ(Friend(1).handle, "bob");
}

TEST_F(ParserTest, ClientAnsweringFollowUpsWithFollowUpsCannotNestWithoutEnd)
{
    // Every partner query is answered with another ringing call, which asks
    // for its partner again.
    transport.SetResponder([](std::string_view) { return std::string("CALL 9 STATUS RINGING"); });
    Notify("CALL 9 STATUS RINGING");
    EXPECT_EQ(bridge->GetState(), RINGING);
    EXPECT_LE(WindowSends().size(), 10u);
}
