#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QVariantList>

namespace vocamo::test {

// A bus of its own with python3-dbusmock serving one of its templates on it,
// standing in for the system (logind) or the session (a notification server).
class CDBusMock {
public:
    CDBusMock() = default;
    ~CDBusMock();
    CDBusMock(const CDBusMock &) = delete;
    CDBusMock &operator=(const CDBusMock &) = delete;

    static bool Available(); // python3 is there to run dbusmock

    // Starts the bus; the server comes with StartServer, so a test can see
    // the program without one first.
    bool StartBus();
    // Runs the template as `service` at `path`; waits until it owns its name.
    bool StartServer(const QString &templateName, const QString &service, const QString &path,
                     bool system = false);

    QString Address() const { return m_address; }
    QDBusConnection Control() const; // the test's own connection
    // A method of the mock's interface, e.g. EmitSignal or GetMethodCalls.
    QDBusMessage Mock(const QString &method, const QVariantList &args);
    QDBusMessage Call(const QString &interface, const QString &method,
                      const QVariantList &args = {});

private:
    QProcess m_daemon;
    QProcess m_server;
    QString m_address;
    QString m_service;
    QString m_path;
    QString m_connection;
};

} // namespace vocamo::test
