// The bridge on a bus of its own against vocamo-skype-sim: one run per flow.
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "tests/support/SkypeSimProcess.h"

#include <gtest/gtest.h>

using namespace vocamo;
using namespace std::chrono_literals;

namespace {

const QStringList kFriends{QStringLiteral("--friend"), QStringLiteral("alice:ONLINE:Alice Liddell"),
                           QStringLiteral("--friend"), QStringLiteral("bob:OFFLINE:Bob van Dyke")};

// Destroyed bottom up: the bridge first, the simulator last.
class SkypeDBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!sim.Start(kFriends))
            GTEST_SKIP() << sim.Error().toStdString();
        transport = std::make_unique<CDBusSkypeTransport>(sim.Bus());
        bridge = std::make_unique<CSkypeBridge>(window.target, *transport, 200ms);
        window.bridge = bridge.get();
    }
    // Attached to the simulator, the account online.
    bool Ready()
    {
        return PumpUntil([&] {
            return bridge->GetSkypeWindow() == sim.SimName().toStdString() &&
                   bridge->GetConnStatus() == "ONLINE" && bridge->GetUserStatus() == "ONLINE";
        });
    }
    bool StateIs(int32_t s)
    {
        return PumpUntil([&] { return bridge->GetState() == s; });
    }

    CSkypeSimProcess sim;
    CTestWindow window;
    std::unique_ptr<CDBusSkypeTransport> transport;
    std::unique_ptr<CSkypeBridge> bridge;
};

} // namespace

TEST_F(SkypeDBusTest, DiscoversTheClientAndItsFriendsArriveWithTheirDetails)
{
    ASSERT_TRUE(Ready()) << sim.SimLog().toStdString();
    // ONLINESTATUS is the last detail asked of each friend.
    ASSERT_TRUE(PumpUntil([&] {
        return bridge->GetFriendCount() == 2 && bridge->GetFriend(1)->onlineStatus == "OFFLINE";
    })) << sim.SimLog().toStdString();
    EXPECT_EQ(bridge->GetFriend(0)->fullName, "Alice Liddell");
    EXPECT_EQ(bridge->GetFriend(1)->displayName, "Bob van Dyke");
    // A change the client announces by itself.
    sim.Control(QStringLiteral("status bob ONLINE"));
    EXPECT_TRUE(PumpUntil([&] { return bridge->GetFriend(1)->onlineStatus == "ONLINE"; }));
}

TEST_F(SkypeDBusTest, CallsOutAndInAreAnsweredAndEnded)
{
    ASSERT_TRUE(Ready());
    for (const char *outcome : {"busy", "cancel"}) { // each ends the call, so the next one shows
        ASSERT_TRUE(bridge->SendCommand("CALL alice"));
        ASSERT_TRUE(StateIs(DIALING));
        sim.Control(QString::fromLatin1(outcome));
        ASSERT_TRUE(StateIs(NORMAL)) << outcome;
    }
    ASSERT_TRUE(bridge->SendCommand("CALL alice"));
    ASSERT_TRUE(StateIs(DIALING));
    EXPECT_TRUE(PumpUntil([&] { return bridge->GetPartnerHandle() == "alice"; }));
    sim.Control(QStringLiteral("answer"));
    ASSERT_TRUE(StateIs(ANSWERING));
    bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
    ASSERT_TRUE(StateIs(NORMAL));

    sim.Control(QStringLiteral("incoming bob"));
    ASSERT_TRUE(StateIs(RINGING));
    EXPECT_TRUE(PumpUntil([&] { return bridge->GetPartnerHandle() == "bob"; }));
    bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_ANSWER);
    ASSERT_TRUE(StateIs(ANSWERING));
    // A second call rings at the client only; the red handset ends the first.
    const std::string first = bridge->GetCallId();
    sim.Control(QStringLiteral("incoming carol"));
    sim.Control(QStringLiteral("say CURRENTUSERHANDLE after.carol"));
    ASSERT_TRUE(PumpUntil([&] { return bridge->GetCurrentUserHandle() == "after.carol"; }));
    EXPECT_EQ(bridge->GetCallId() + " " + bridge->GetPartnerHandle(), first + " bob");
    bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
    ASSERT_TRUE(StateIs(NORMAL));
    const QString hangUp = QString::fromStdString("SET CALL " + first + " STATUS FINISHED");
    EXPECT_TRUE(PumpUntil([&] { return sim.SimLog().contains(hangUp); }));
    // A call the client then says it does not have ends at once.
    sim.Control(QStringLiteral("say CALL 999 STATUS RINGING"));
    EXPECT_TRUE(PumpUntil([&] { return sim.SimLog().contains("GET CALL 999 PARTNER_HANDLE"); }));
    EXPECT_EQ(bridge->GetCallId(), "");
}

TEST_F(SkypeDBusTest, AccessTakenAwayIsNoticedByThePingAndAskedForAgain)
{
    ASSERT_TRUE(Ready());
    const qsizetype asked = sim.SimLog().count(QStringLiteral("<- NAME Vocamo"));
    sim.Control(QStringLiteral("detach"));
    ASSERT_TRUE(PumpUntil([&] { return bridge->GetSkypeWindow().empty(); }));
    EXPECT_EQ(bridge->GetState(), INIT);
    EXPECT_TRUE(
        PumpUntil([&] { return sim.SimLog().count(QStringLiteral("<- NAME Vocamo")) > asked; }));
}

TEST_F(SkypeDBusTest, KilledClientIsLeftAndFoundAgainWhenBack)
{
    ASSERT_TRUE(Ready());
    const std::string client = sim.SimName().toStdString();
    sim.Kill();
    ASSERT_TRUE(PumpUntil([&] { return bridge->GetSkypeWindow().empty(); }));
    // Once the bus has told us, even the unanswered ping to it fails.
    EXPECT_TRUE(PumpUntil([&] { return !transport->Post(client, "PING"); }));
    ASSERT_TRUE(sim.Start(kFriends)) << sim.Error().toStdString();
    EXPECT_TRUE(Ready());
}

TEST_F(SkypeDBusTest, StoppedClientTimesTheSendOutAndTheCallItPlacesLateIsEnded)
{
    ASSERT_TRUE(Ready());
    sim.Stop();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(bridge->SendCommand("CALL alice"));
    // Within its own limit, not the bus's much longer one.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4 * kSkypeInvokeTimeout);
    EXPECT_EQ(bridge->GetSkypeWindow(), "");
    sim.Continue(); // it places the call now, and lets us attach again
    bool shown = false;
    EXPECT_TRUE(PumpUntil(
        [&] {
            shown = shown || !bridge->GetCallId().empty();
            return sim.SimLog().contains(QStringLiteral("STATUS FINISHED"));
        },
        10s));
    EXPECT_FALSE(shown);
}
