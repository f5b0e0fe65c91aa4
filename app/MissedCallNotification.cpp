#include "app/MissedCallNotification.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace vocamo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kCallBack = QStringLiteral("call-back");
constexpr uint kDismissed = 2;
} // namespace

CMissedCallNotification::CMissedCallNotification(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
    // The bus passes on only the signals of the name's owner; FromOurs checks
    // that owner is the server that showed our notification.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(OnActionInvoked(uint, QString, QDBusMessage)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(OnClosed(uint, uint, QDBusMessage)));
}

void CMissedCallNotification::Add(LineNumber line, const std::string &number,
                                  const std::string &name, const QDateTime &when)
{
    ++m_count;
    m_line = line;
    m_number = QString::fromStdString(number);
    m_name = QString::fromStdString(name);
    m_when = when;
    Send();
}

void CMissedCallNotification::Clear()
{
    m_count = 0;
    Close();
}

void CMissedCallNotification::Send()
{
    if (m_sending) {
        m_stale = true;
        return;
    }
    const QString party = !m_name.isEmpty() ? m_name : m_number;
    QString summary;
    if (m_count == 1)
        summary = party.isEmpty() ? tr("Missed call") : tr("Missed call from %1").arg(party);
    else if (party.isEmpty())
        summary = tr("%1 missed calls").arg(m_count);
    else
        summary = tr("%1 missed calls, the last from %2").arg(m_count).arg(party);
    // The caller's name stays in the summary, which is never read as markup.
    const QString body = m_when.toString(QStringLiteral("HH:mm"));
    QStringList actions;
    if (!m_number.isEmpty())
        actions << kCallBack << tr("Call back");
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("vocamo")}};

    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Vocamo") << m_id << QStringLiteral("vocamo") << summary << body
           << actions << hints << -1;
    m_sending = true;
    m_stale = false;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &CMissedCallNotification::OnReply);
}

void CMissedCallNotification::OnReply(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    m_sending = false;
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        // No server: the next missed call tries again, with the whole count.
        m_id = 0;
        m_server.clear();
        if (m_stale && m_count > 0)
            Send();
        return;
    }
    m_id = reply.value();
    m_server = reply.reply().service();
    if (m_count == 0)
        Close(); // seen while the server was still answering
    else if (m_stale)
        Send();
}

void CMissedCallNotification::Close()
{
    if (m_id == 0 || m_sending)
        return;
    QDBusMessage close = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                        QStringLiteral("CloseNotification"));
    close << m_id;
    m_bus.asyncCall(close);
    m_id = 0;
    m_server.clear();
}

bool CMissedCallNotification::FromOurs(uint id, const QDBusMessage &message) const
{
    return m_id != 0 && id == m_id && message.service() == m_server;
}

void CMissedCallNotification::OnActionInvoked(uint id, const QString &action,
                                              const QDBusMessage &message)
{
    if (FromOurs(id, message) && action == kCallBack && !m_number.isEmpty())
        emit callBack(m_line, m_number);
}

void CMissedCallNotification::OnClosed(uint id, uint reason, const QDBusMessage &message)
{
    if (!FromOurs(id, message))
        return;
    m_id = 0;
    m_server.clear();
    // Dismissed by the user (also after an action): seen. Expired: the next
    // missed call shows the whole count again.
    if (reason == kDismissed)
        m_count = 0;
}

} // namespace vocamo
