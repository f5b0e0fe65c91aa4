// Suspend and resume as logind announces them, from python3-dbusmock's
// logind on a private bus that stands in for the system bus.
#include "app/PowerMonitor.h"

#include "tests/support/SkypeSimProcess.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <vector>

using namespace vocamo;

namespace {

const char *const kPython = "/usr/bin/python3";

class FakeLogind {
public:
    bool Start()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForReadyRead(5000))
            return false;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
        m_mock.setProcessEnvironment(env);
        m_mock.start(QString::fromLatin1(kPython),
                     {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                      QStringLiteral("--template"), QStringLiteral("logind")});
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(m_address, QStringLiteral("logind-control")));
        return PumpUntil([&] {
            return m_bus->interface()->isServiceRegistered(
                QStringLiteral("org.freedesktop.login1"));
        });
    }
    ~FakeLogind()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("logind-control"));
        m_mock.kill();
        m_mock.waitForFinished(2000);
        m_daemon.kill();
        m_daemon.waitForFinished(2000);
    }
    QString Address() const { return m_address; }

    void PrepareForSleep(bool start)
    {
        QDBusMessage request = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
        request << QStringLiteral("org.freedesktop.login1.Manager")
                << QStringLiteral("PrepareForSleep") << QStringLiteral("b")
                << QVariant::fromValue(QVariantList{start});
        m_bus->call(request);
    }
    int Inhibitors()
    {
        QDBusMessage list = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors"));
        const QDBusMessage reply = m_bus->call(list);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return -1;
        const QDBusArgument arg = reply.arguments().at(0).value<QDBusArgument>();
        int count = 0;
        arg.beginArray();
        while (!arg.atEnd()) {
            QVariant ignored = arg.asVariant();
            (void)ignored;
            ++count;
        }
        arg.endArray();
        return count;
    }

private:
    QProcess m_daemon;
    QProcess m_mock;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_bus;
};

} // namespace

TEST(PowerMonitor, SuspendReleasesTheDelayLockAndResumeTakesItAgain)
{
    if (!QFileInfo::exists(QString::fromLatin1(kPython)))
        GTEST_SKIP() << "no python3 with dbusmock";
    FakeLogind logind;
    ASSERT_TRUE(logind.Start());
    // The program's system bus is the fake one.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", logind.Address().toUtf8());

    std::vector<bool> events;
    CPowerMonitor monitor([&](bool suspending) { events.push_back(suspending); });
    ASSERT_TRUE(monitor.IsConnected());
    EXPECT_TRUE(monitor.HoldsInhibitor());
    EXPECT_TRUE(PumpUntil([&] { return logind.Inhibitors() == 1; }));

    logind.PrepareForSleep(true);
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 1; }));
    EXPECT_TRUE(events[0]);
    EXPECT_FALSE(monitor.HoldsInhibitor());
    EXPECT_TRUE(PumpUntil([&] { return logind.Inhibitors() == 0; }));

    logind.PrepareForSleep(false);
    ASSERT_TRUE(PumpUntil([&] { return events.size() == 2; }));
    EXPECT_FALSE(events[1]);
    EXPECT_TRUE(monitor.HoldsInhibitor());
    EXPECT_TRUE(PumpUntil([&] { return logind.Inhibitors() == 1; }));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
