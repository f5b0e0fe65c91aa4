// The bridge on a bus of its own against vocamo-skype-sim: one run per flow.
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "tests/support/SkypeSimProcess.h"

#include <gtest/gtest.h>

using namespace vocamo;
using namespace std::chrono_literals;

namespace {

const QStringList kFriends{QStringLiteral("--friend"), QStringLiteral("alice:ONLINE:Alice")};

// Destroyed bottom up: the bridge first, the simulator last.
class SkypeDBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!sim.Start(kFriends))
            GTEST_SKIP() << sim.Error().toStdString();
        transport = std::make_unique<CDBusSkypeTransport>(sim.Bus());
        Make(200ms);
    }
    void Make(std::chrono::milliseconds pass)
    {
        bridge.reset(); // before the next one hooks itself to the transport
        bridge = std::make_unique<CSkypeBridge>(window.target, *transport, pass);
        window.bridge = bridge.get();
    }
    bool Attached()
    {
        return PumpUntil([&] { return bridge->GetSkypeWindow() == sim.SimName().toStdString(); });
    }

    CSkypeSimProcess sim;
    CTestWindow window;
    std::unique_ptr<CDBusSkypeTransport> transport;
    std::unique_ptr<CSkypeBridge> bridge;
};

} // namespace

TEST_F(SkypeDBusTest, AccessTakenAwayIsNoticedByThePingAndAskedForAgain)
{
    ASSERT_TRUE(Attached());
    const qsizetype asked = sim.SimLog().count(QStringLiteral("<- NAME Vocamo"));
    sim.Control(QStringLiteral("detach"));
    ASSERT_TRUE(PumpUntil([&] { return bridge->GetSkypeWindow().empty(); }));
    EXPECT_TRUE(
        PumpUntil([&] { return sim.SimLog().count(QStringLiteral("<- NAME Vocamo")) > asked; }));
}

// A killed client is left once the bus tells, and even an unanswered send to
// it fails. Its name without an owner, the worker waits for one: with a pass
// of an hour, only the name's new owner can bring the line up again.
TEST_F(SkypeDBusTest, KilledClientIsLeftAndOneThatComesLaterIsAttachedAtOnce)
{
    Make(1h); // its first pass still looks at once
    ASSERT_TRUE(Attached()) << sim.SimLog().toStdString();
    const std::string client = sim.SimName().toStdString();
    sim.Kill();
    EXPECT_TRUE(PumpUntil([&] { return !transport->Post(client, "PING"); }));
    ASSERT_TRUE(
        PumpUntil([&] { return bridge->GetSkypeWindow().empty() && !transport->MayHaveClient(); }));
    ASSERT_TRUE(sim.Start(kFriends)) << sim.Error().toStdString();
    EXPECT_TRUE(Attached()) << sim.SimLog().toStdString();
}

TEST_F(SkypeDBusTest, StoppedClientTimesTheSendOutAndTheCallItPlacesLateIsEnded)
{
    ASSERT_TRUE(Attached());
    sim.Stop();
    EXPECT_FALSE(bridge->SendCommand("CALL alice")); // after its own time-out
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
