#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vocamo {

// A bus of its own and vocamo-skype-sim on it, so that tests and benchmarks
// running side by side never meet each other's simulator. Needs a
// QCoreApplication.
class CSkypeSimProcess {
public:
    CSkypeSimProcess();
    ~CSkypeSimProcess();

    // Starts the bus (once) and the simulator with these arguments; false
    // with a reason in Error() when either does not come up. A quiet
    // simulator's log goes nowhere.
    bool Start(const QStringList &simArguments = {}, bool quiet = false);
    void Kill();     // SIGKILL, as a crash would
    void Stop();     // SIGSTOP: the client is there but answers nothing
    void Continue(); // SIGCONT
    void Control(const QString &line);

    QDBusConnection Bus() const;
    QString Address() const { return m_address; }
    QString SimName() const { return m_simName; } // the simulator's unique name
    QString Error() const { return m_error; }
    QString SimLog(); // what the simulator logged so far

private:
    bool StartBus();

    QProcess m_daemon;
    QProcess m_sim;
    QString m_address;
    QString m_connection;
    QString m_simName;
    QString m_error;
    QByteArray m_log;
    bool m_stopped = false;
};

} // namespace vocamo
