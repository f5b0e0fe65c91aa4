// The missed-call notification against python3-dbusmock's notification
// server on a bus of its own.
#include "app/MissedCallNotification.h"

#include "tests/support/DBusMock.h"
#include "tests/support/SkypeSimProcess.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <vector>

using namespace vocamo;
using vocamo::test::CDBusMock;

namespace {

const QString kName = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Notify's arguments, oldest first: (app, replaces_id, icon, summary, body, actions, ...).
std::vector<QVariantList> Notifies(CDBusMock &server)
{
    const QDBusMessage reply =
        server.Mock(QStringLiteral("GetMethodCalls"), {QStringLiteral("Notify")});
    std::vector<QVariantList> calls;
    if (reply.type() != QDBusMessage::ReplyMessage)
        return calls;
    const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time = 0;
        calls.emplace_back();
        list.beginStructure();
        list >> time >> calls.back();
        list.endStructure();
    }
    list.endArray();
    return calls;
}

} // namespace

TEST(MissedCallNotification, OneNotificationCountsTheCallsAndCallsTheLastBack)
{
    if (!CDBusMock::Available())
        GTEST_SKIP() << "no python3 with dbusmock";
    CDBusMock server;
    ASSERT_TRUE(server.StartBus());
    QDBusConnection app = QDBusConnection::connectToBus(server.Address(), QStringLiteral("app"));
    CMissedCallNotification notification(app);
    QSignalSpy callBack(&notification, &CMissedCallNotification::callBack);
    const QDateTime at(QDate(2024, 3, 1), QTime(14, 5));

    // No server yet: counted, shown nowhere, nothing waits.
    notification.Add(LINE_MODEM, "0301234", "Anna Berger", at);
    ASSERT_TRUE(server.StartServer(QStringLiteral("notification_daemon"), kName, kPath));

    notification.Add(LINE_MODEM, "0309999", "", at);
    std::vector<QVariantList> sent;
    ASSERT_TRUE(PumpUntil([&] { return !(sent = Notifies(server)).empty(); }));
    EXPECT_EQ(sent[0].at(1).toUInt(), 0u);
    EXPECT_EQ(sent[0].at(3).toString(), QStringLiteral("2 missed calls, the last from 0309999"));
    EXPECT_EQ(sent[0].at(4).toString(), QStringLiteral("14:05"));
    EXPECT_EQ(qdbus_cast<QStringList>(sent[0].at(5)),
              (QStringList{QStringLiteral("call-back"), QStringLiteral("Call back")}));

    // Two more before the server has answered: the same notification, counted on.
    notification.Add(LINE_MODEM, "0309999", "", at);
    notification.Add(LINE_SKYPE, "echo123", "", at);
    ASSERT_TRUE(PumpUntil([&] {
        sent = Notifies(server);
        return sent.back().at(3).toString() ==
               QStringLiteral("4 missed calls, the last from echo123");
    }));
    for (size_t i = 1; i < sent.size(); ++i)
        EXPECT_EQ(sent[i].at(1).toUInt(), 1u) << i;

    // Another peer on the bus cannot make the phone dial; the server can.
    QDBusMessage fake = QDBusMessage::createSignal(kPath, kName, QStringLiteral("ActionInvoked"));
    fake << 1u << QStringLiteral("call-back");
    server.Control().send(fake);
    const QVariantList action{1u, QStringLiteral("call-back")};
    server.Mock(QStringLiteral("EmitSignal"), {kName, QStringLiteral("ActionInvoked"),
                                               QStringLiteral("us"), QVariant::fromValue(action)});
    ASSERT_TRUE(PumpUntil([&] { return !callBack.isEmpty(); }));
    EXPECT_EQ(callBack.size(), 1);
    EXPECT_EQ(callBack[0], (QVariantList{LINE_SKYPE, QStringLiteral("echo123")}));

    // Dismissed: seen, and the next starts afresh, without an action for a withheld number.
    const QVariantList dismissed{1u, 2u};
    server.Mock(QStringLiteral("EmitSignal"),
                {kName, QStringLiteral("NotificationClosed"), QStringLiteral("uu"),
                 QVariant::fromValue(dismissed)});
    ASSERT_TRUE(PumpUntil([&] { return notification.Count() == 0; }));
    notification.Add(LINE_MODEM, "", "", at);
    ASSERT_TRUE(PumpUntil([&] {
        return (sent = Notifies(server)).back().at(3).toString() == QStringLiteral("Missed call");
    }));
    EXPECT_EQ(sent.back().at(1).toUInt(), 0u);
    EXPECT_TRUE(qdbus_cast<QStringList>(sent.back().at(5)).isEmpty());

    QDBusConnection::disconnectFromBus(QStringLiteral("app"));
}
