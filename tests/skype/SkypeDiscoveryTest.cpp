// Discovery with no client on the bus: the worker waits for one to come.
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "tests/support/SkypeSimProcess.h"

#include <QDBusConnectionInterface>
#include <gtest/gtest.h>

using namespace vocamo;
using namespace std::chrono_literals;

// The pass is an hour: only the client's name gaining an owner can bring
// the line up within the test's time.
TEST(SkypeDiscovery, AClientThatComesLaterIsAttachedWithoutWaitingForAPass)
{
    CSkypeSimProcess sim;
    if (!sim.Start())
        GTEST_SKIP() << sim.Error().toStdString();
    sim.Kill();
    const QDBusConnection bus = sim.Bus();
    ASSERT_TRUE(PumpUntil(
        [&] { return !bus.interface()->isServiceRegistered(QStringLiteral("com.Skype.API")); }));
    CDBusSkypeTransport transport(bus);
    CTestWindow window;
    CSkypeBridge bridge(window.target, transport, 1h);
    window.bridge = &bridge;
    ASSERT_TRUE(PumpUntil([&] { return !transport.MayHaveClient(); }));

    ASSERT_TRUE(sim.Start()) << sim.Error().toStdString();
    EXPECT_TRUE(PumpUntil([&] { return bridge.GetSkypeWindow() == sim.SimName().toStdString(); }))
        << sim.SimLog().toStdString();
}
