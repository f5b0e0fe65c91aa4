// The bridge on a bus of its own against vocamo-skype-sim.
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "tests/support/SkypeSimProcess.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace vocamo;
using namespace std::chrono_literals;

namespace {

constexpr auto kPass = 200ms;
const QStringList kFriends{QStringLiteral("--friend"), QStringLiteral("alice:ONLINE:Alice Liddell"),
                           QStringLiteral("--friend"), QStringLiteral("bob:OFFLINE:Bob van Dyke")};

class SkypeDBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!sim.Start(kFriends))
            GTEST_SKIP() << sim.Error().toStdString();
        transport = std::make_unique<CDBusSkypeTransport>(sim.Bus());
        ASSERT_TRUE(transport->IsRegistered());
        bridge = std::make_unique<CSkypeBridge>(window.target, *transport, kPass);
        window.bridge = bridge.get();
    }

    void TearDown() override
    {
        window.bridge = nullptr;
        bridge.reset();
        transport.reset();
    }

    bool Attached() const { return bridge->GetSkypeWindow() == sim.SimName().toStdString(); }

    bool StatusComplete() const
    {
        return bridge->GetState() == NORMAL && bridge->GetConnStatus() == "ONLINE" &&
               bridge->GetCurrentUserHandle() == "vocamo.echo" && bridge->GetUserStatus() == "ONLINE";
    }

    bool SimLogged(const char *line)
    {
        return PumpUntil([&] { return sim.SimLog().contains(QLatin1String(line)); });
    }

    bool StateIs(int32_t state) { return PumpUntil([&] { return bridge->GetState() == state; }); }

    CSkypeSimProcess sim;
    CTestWindow window;
    std::unique_ptr<CDBusSkypeTransport> transport;
    std::unique_ptr<CSkypeBridge> bridge;
};

} // namespace

TEST_F(SkypeDBusTest, DiscoverAttachesToTheSimulator)
{
    bridge->Discover();
    ASSERT_TRUE(PumpUntil([&] { return Attached(); })) << sim.SimLog().toStdString();
    EXPECT_TRUE(SimLogged("<- NAME Vocamo"));
    EXPECT_TRUE(SimLogged("<- PROTOCOL 5"));
    EXPECT_TRUE(PumpUntil(
        [&] { return window.Count({WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_STATE}) >= 1; }));
}

TEST_F(SkypeDBusTest, StatusBecomesComplete)
{
    ASSERT_TRUE(PumpUntil([&] { return StatusComplete(); })) << sim.SimLog().toStdString();
}

TEST_F(SkypeDBusTest, FriendsArriveWithDetailsAndOnlineStatus)
{
    ASSERT_TRUE(PumpUntil([&] {
        return bridge->GetFriendCount() == 2 && bridge->GetFriend(1) &&
               bridge->GetFriend(1)->onlineStatus != "s";
    })) << sim.SimLog().toStdString();
    const CSkypeFriend *alice = bridge->GetFriend(0);
    const CSkypeFriend *bob = bridge->GetFriend(1);
    EXPECT_EQ(alice->handle, "alice");
    EXPECT_EQ(alice->fullName, "Alice Liddell");
    EXPECT_EQ(alice->displayName, "Alice Liddell");
    EXPECT_EQ(alice->onlineStatus, "ONLINE");
    EXPECT_EQ(alice->isAuthorized, "TRUE");
    EXPECT_EQ(bob->displayName, "Bob van Dyke");
    EXPECT_EQ(bob->onlineStatus, "OFFLINE");
    EXPECT_TRUE(PumpUntil(
        [&] { return window.Count({WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS}) >= 2; }));

    // A change the client announces by itself.
    sim.Control(QStringLiteral("status bob ONLINE"));
    EXPECT_TRUE(PumpUntil([&] { return bridge->GetFriend(1)->onlineStatus == "ONLINE"; }));
}

TEST_F(SkypeDBusTest, OutgoingCallIsRoutedAnsweredAndFinished)
{
    ASSERT_TRUE(PumpUntil([&] { return StatusComplete(); }));
    ASSERT_TRUE(bridge->SendCommand("CALL alice"));
    ASSERT_TRUE(StateIs(DIALING));
    EXPECT_FALSE(bridge->GetCallId().empty());
    EXPECT_TRUE(PumpUntil([&] { return bridge->GetPartnerHandle() == "alice"; }));

    sim.Control(QStringLiteral("answer"));
    ASSERT_TRUE(StateIs(ANSWERING));

    bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
    ASSERT_TRUE(StateIs(NORMAL));
    EXPECT_EQ(bridge->GetCallId(), "");
    EXPECT_TRUE(SimLogged("<- SET CALL 101 STATUS FINISHED"));
}

TEST_F(SkypeDBusTest, IncomingCallRingsIsAnsweredAndHungUp)
{
    ASSERT_TRUE(PumpUntil([&] { return StatusComplete(); }));
    sim.Control(QStringLiteral("incoming bob"));
    ASSERT_TRUE(StateIs(RINGING));
    EXPECT_TRUE(PumpUntil([&] { return bridge->GetPartnerHandle() == "bob"; }));

    bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_ANSWER);
    ASSERT_TRUE(StateIs(ANSWERING));

    sim.Control(QStringLiteral("hangup"));
    ASSERT_TRUE(StateIs(NORMAL));
    EXPECT_EQ(bridge->GetCallId(), "");
}

TEST_F(SkypeDBusTest, KilledClientIsLeftAndFoundAgainWhenBack)
{
    ASSERT_TRUE(PumpUntil([&] { return StatusComplete(); }));
    sim.Kill();
    ASSERT_TRUE(PumpUntil([&] { return bridge->GetSkypeWindow().empty(); }, kPass * 2));
    EXPECT_EQ(bridge->GetState(), INIT);

    ASSERT_TRUE(sim.Start(kFriends)) << sim.Error().toStdString();
    EXPECT_TRUE(PumpUntil([&] { return Attached() && StatusComplete(); }));
}

TEST_F(SkypeDBusTest, StoppedClientTimesTheSendOutAndIsLeft)
{
    ASSERT_TRUE(PumpUntil([&] { return StatusComplete(); }));
    sim.Stop();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(bridge->SendCommand("PING"));
    EXPECT_LT(timer.elapsed(), 2500);
    EXPECT_EQ(bridge->GetSkypeWindow(), "");
    EXPECT_EQ(bridge->GetState(), INIT);
    sim.Continue();
}

// The ping asks for no reply, so nothing comes back to wake anyone; it
// fails only for a client that has left the bus.
TEST_F(SkypeDBusTest, PingIsSentWithoutAReplyAndFailsOnceTheClientHasGone)
{
    ASSERT_TRUE(PumpUntil([&] { return StatusComplete(); }));
    EXPECT_TRUE(SimLogged("<- PING"));
    EXPECT_TRUE(SimLogged("-x PONG"));
    const std::string client = sim.SimName().toStdString();
    EXPECT_TRUE(transport->Post(client, "PING"));
    EXPECT_FALSE(transport->Post(sim.Bus().baseService().toStdString(), "PING"));
    EXPECT_FALSE(transport->Post("", "PING"));

    sim.Stop(); // still on the bus: the ping goes out regardless
    EXPECT_TRUE(transport->Post(client, "PING"));
    sim.Continue();

    sim.Kill(); // once the bus has told us, pings to it fail
    EXPECT_TRUE(PumpUntil([&] { return !transport->Post(client, "PING"); }));
    EXPECT_TRUE(bridge->GetSkypeWindow().empty());
}

TEST_F(SkypeDBusTest, NotificationFromAnotherProgramDetaches)
{
    ASSERT_TRUE(PumpUntil([&] { return Attached(); }));
    QDBusConnection other = QDBusConnection::connectToBus(sim.Address(), QStringLiteral("other"));
    ASSERT_TRUE(other.isConnected());
    QDBusMessage notify = QDBusMessage::createMethodCall(
        sim.Bus().baseService(), QStringLiteral("/com/Skype/Client"),
        QStringLiteral("com.Skype.API.Client"), QStringLiteral("Notify"));
    notify << QStringLiteral("CALL 1 STATUS RINGING");
    other.send(notify);
    EXPECT_TRUE(PumpUntil([&] { return bridge->GetSkypeWindow().empty(); }));
    EXPECT_EQ(bridge->GetState(), INIT);
    QDBusConnection::disconnectFromBus(QStringLiteral("other"));
}

#if defined(__SANITIZE_THREAD__)
// Starting the simulator forks a process that has threads; the child only
// execs, so ThreadSanitizer need not give up on it.
extern "C" const char *__tsan_default_options()
{
    return "die_after_fork=0";
}
#endif

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
