#pragma once

#include "core/CallState.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <string>

class QDBusMessage;
class QDBusPendingCallWatcher;

namespace vocamo {

// Missed calls on the desktop, through org.freedesktop.Notifications: one
// notification, updated with the count, with a "Call back" action for the
// last caller. Nothing here waits for the server; without one nothing shows
// and nothing else changes.
class CMissedCallNotification : public QObject {
    Q_OBJECT
public:
    explicit CMissedCallNotification(QDBusConnection bus = QDBusConnection::sessionBus(),
                                     QObject *parent = nullptr);

    void Add(LineNumber line, const std::string &number, const std::string &name,
             const QDateTime &when);
    // The user has seen the missed calls: the notification goes.
    void Clear();
    int Count() const { return m_count; }

signals:
    void callBack(int line, const QString &number);

private slots:
    void OnActionInvoked(uint id, const QString &action, const QDBusMessage &message);
    void OnClosed(uint id, uint reason, const QDBusMessage &message);

private:
    void Send();
    void OnReply(QDBusPendingCallWatcher *watcher);
    void Close();
    bool FromOurs(uint id, const QDBusMessage &message) const;

    QDBusConnection m_bus;
    int m_count = 0;
    LineNumber m_line = LINE_NONE;
    QString m_number;
    QString m_name;
    QDateTime m_when;
    uint m_id = 0;    // the server's id of our notification; 0: none shown
    QString m_server; // the unique bus name of the server that gave m_id
    bool m_sending = false;
    bool m_stale = false; // the count changed while a Notify was on its way
};

} // namespace vocamo
