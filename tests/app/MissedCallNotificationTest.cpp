// The missed-call notification against python3-dbusmock's notification
// server on a bus of its own.
#include "app/MissedCallNotification.h"

#include "tests/support/SkypeSimProcess.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace vocamo;

namespace {

const char *const kPython = "/usr/bin/python3";
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// A private session bus, and the notification server on it when asked for.
class NotificationBus {
public:
    NotificationBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_control = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(m_address, QStringLiteral("notify-control")));
        m_app = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(m_address, QStringLiteral("notify-app")));
    }
    ~NotificationBus()
    {
        m_control.reset();
        m_app.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("notify-control"));
        QDBusConnection::disconnectFromBus(QStringLiteral("notify-app"));
        m_server.kill();
        m_server.waitForFinished(5000);
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    bool IsUp() const { return m_app->isConnected() && m_control->isConnected(); }
    QDBusConnection &App() { return *m_app; }
    QDBusConnection &Control() { return *m_control; }

    bool StartServer()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        m_server.setProcessEnvironment(env);
        m_server.start(QString::fromLatin1(kPython),
                       {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                        QStringLiteral("--template"), QStringLiteral("notification_daemon")});
        return PumpUntil([&] { return m_control->interface()->isServiceRegistered(kService); },
                         std::chrono::seconds(30));
    }

    // The arguments of every Notify the server got, oldest first.
    std::vector<QVariantList> Notifies()
    {
        QDBusMessage get = QDBusMessage::createMethodCall(
            kService, kPath, QStringLiteral("org.freedesktop.DBus.Mock"),
            QStringLiteral("GetMethodCalls"));
        get << QStringLiteral("Notify");
        const QDBusMessage reply = m_control->call(get);
        std::vector<QVariantList> calls;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return calls;
        const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            quint64 time = 0;
            QVariantList args;
            list.beginStructure();
            list >> time >> args;
            list.endStructure();
            calls.push_back(args);
        }
        list.endArray();
        return calls;
    }

    // A signal of the server's interface, sent by the server or by `from`.
    void Signal(const QString &name, const QVariantList &args, QDBusConnection *from = nullptr)
    {
        if (from) {
            QDBusMessage fake = QDBusMessage::createSignal(kPath, kService, name);
            fake.setArguments(args);
            from->send(fake);
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            kService, kPath, QStringLiteral("org.freedesktop.DBus.Mock"),
            QStringLiteral("EmitSignal"));
        call << kService << name << (name == QStringLiteral("ActionInvoked") ? "us" : "uu")
             << QVariant::fromValue(args);
        m_control->call(call);
    }

private:
    QProcess m_daemon;
    QProcess m_server;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_control;
    std::unique_ptr<QDBusConnection> m_app;
};

const QDateTime kAt(QDate(2024, 3, 1), QTime(14, 5));

uint ReplacesId(const QVariantList &notify)
{
    return notify.at(1).toUInt();
}
QString Summary(const QVariantList &notify)
{
    return notify.at(3).toString();
}
QStringList Actions(const QVariantList &notify)
{
    return qdbus_cast<QStringList>(notify.at(5));
}

} // namespace

TEST(MissedCallNotification, OneNotificationCountsTheCallsAndCallsTheLastBack)
{
    if (!QFileInfo::exists(QString::fromLatin1(kPython)))
        GTEST_SKIP() << "no python3 with dbusmock";
    NotificationBus bus;
    ASSERT_TRUE(bus.IsUp());
    ASSERT_TRUE(bus.StartServer());
    CMissedCallNotification notification(bus.App());
    QSignalSpy callBack(&notification, &CMissedCallNotification::callBack);

    notification.Add(LINE_MODEM, "0301234", "Anna Berger", kAt);
    ASSERT_TRUE(PumpUntil([&] { return bus.Notifies().size() == 1; }));
    std::vector<QVariantList> sent = bus.Notifies();
    EXPECT_EQ(ReplacesId(sent[0]), 0u);
    EXPECT_EQ(Summary(sent[0]), QStringLiteral("Missed call from Anna Berger"));
    EXPECT_EQ(sent[0].at(4).toString(), QStringLiteral("14:05"));
    EXPECT_EQ(Actions(sent[0]),
              (QStringList{QStringLiteral("call-back"), QStringLiteral("Call back")}));

    // The second comes before the server has answered the first.
    notification.Add(LINE_MODEM, "0309999", "", kAt);
    notification.Add(LINE_SKYPE, "echo123", "", kAt.addSecs(60));
    ASSERT_TRUE(PumpUntil([&] {
        sent = bus.Notifies();
        return Summary(sent.back()) == QStringLiteral("3 missed calls, the last from echo123");
    }));
    for (size_t i = 1; i < sent.size(); ++i)
        EXPECT_EQ(ReplacesId(sent[i]), 1u) << i;

    // Another peer on the bus cannot make the phone dial.
    bus.Signal(QStringLiteral("ActionInvoked"), {1u, QStringLiteral("call-back")}, &bus.Control());
    bus.Signal(QStringLiteral("ActionInvoked"), {1u, QStringLiteral("call-back")});
    ASSERT_TRUE(PumpUntil([&] { return !callBack.isEmpty(); }));
    EXPECT_EQ(callBack.size(), 1);
    EXPECT_EQ(callBack[0][0].toInt(), LINE_SKYPE);
    EXPECT_EQ(callBack[0][1].toString(), QStringLiteral("echo123"));

    // Dismissed: seen. The next one starts again.
    bus.Signal(QStringLiteral("NotificationClosed"), {1u, 2u});
    ASSERT_TRUE(PumpUntil([&] { return notification.Count() == 0; }));
    notification.Add(LINE_MODEM, "", "", kAt);
    ASSERT_TRUE(PumpUntil([&] {
        sent = bus.Notifies();
        return Summary(sent.back()) == QStringLiteral("Missed call");
    }));
    EXPECT_EQ(ReplacesId(sent.back()), 0u);
    EXPECT_TRUE(Actions(sent.back()).isEmpty()); // nobody to call back
}

TEST(MissedCallNotification, WithoutAServerCallsAreCountedAndShownOnceOneComes)
{
    if (!QFileInfo::exists(QString::fromLatin1(kPython)))
        GTEST_SKIP() << "no python3 with dbusmock";
    NotificationBus bus;
    ASSERT_TRUE(bus.IsUp());
    CMissedCallNotification notification(bus.App());
    notification.Add(LINE_MODEM, "0301234", "Anna Berger", kAt);
    notification.Clear();
    notification.Add(LINE_MODEM, "0301234", "Anna Berger", kAt);
    EXPECT_EQ(notification.Count(), 1);

    ASSERT_TRUE(bus.StartServer());
    notification.Add(LINE_MODEM, "0309999", "Bob", kAt);
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<QVariantList> sent = bus.Notifies();
        return !sent.empty() &&
               Summary(sent.back()) == QStringLiteral("2 missed calls, the last from Bob");
    }));
}
