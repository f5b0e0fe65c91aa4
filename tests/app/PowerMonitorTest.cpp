// Suspend and resume as logind announces them, from python3-dbusmock's
// logind on a private bus that stands in for the system bus.
#include "app/PowerMonitor.h"

#include "tests/support/DBusMock.h"
#include "tests/support/SkypeSimProcess.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <gtest/gtest.h>
#include <vector>

using namespace vocamo;
using vocamo::test::CDBusMock;

namespace {

const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

void PrepareForSleep(CDBusMock &logind, bool start)
{
    logind.Mock(QStringLiteral("EmitSignal"),
                {kManager, QStringLiteral("PrepareForSleep"), QStringLiteral("b"),
                 QVariant::fromValue(QVariantList{start})});
}

int Inhibitors(CDBusMock &logind)
{
    const QDBusMessage reply = logind.Call(kManager, QStringLiteral("ListInhibitors"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return -1;
    const QDBusArgument arg = reply.arguments().at(0).value<QDBusArgument>();
    int count = 0;
    arg.beginArray();
    for (; !arg.atEnd(); ++count)
        arg.asVariant();
    arg.endArray();
    return count;
}

} // namespace

TEST(PowerMonitor, SuspendReleasesTheDelayLockAndResumeTakesItAgain)
{
    if (!CDBusMock::Available())
        GTEST_SKIP() << "no python3 with dbusmock";
    CDBusMock logind;
    ASSERT_TRUE(logind.StartBus());
    ASSERT_TRUE(logind.StartServer(QStringLiteral("logind"),
                                   QStringLiteral("org.freedesktop.login1"),
                                   QStringLiteral("/org/freedesktop/login1"), true));
    // The program's system bus is the fake one.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", logind.Address().toUtf8());

    std::vector<bool> events;
    CPowerMonitor monitor([&](bool suspending) { events.push_back(suspending); });
    ASSERT_TRUE(monitor.IsConnected());
    EXPECT_TRUE(monitor.HoldsInhibitor());
    EXPECT_TRUE(PumpUntil([&] { return Inhibitors(logind) == 1; }));

    PrepareForSleep(logind, true);
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 1; }));
    EXPECT_TRUE(events[0]);
    EXPECT_FALSE(monitor.HoldsInhibitor());
    EXPECT_TRUE(PumpUntil([&] { return Inhibitors(logind) == 0; }));

    PrepareForSleep(logind, false);
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 2; }));
    EXPECT_FALSE(events[1]);
    EXPECT_TRUE(monitor.HoldsInhibitor());
    EXPECT_TRUE(PumpUntil([&] { return Inhibitors(logind) == 1; }));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
