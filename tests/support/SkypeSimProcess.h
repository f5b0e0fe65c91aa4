#pragma once

#include "core/QtMessageTarget.h"
#include "tests/support/RecordingMessageTarget.h"

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace vocamo {

class CSkypeBridge;

// A bus of its own and vocamo-skype-sim on it, so that tests running side
// by side never meet each other's simulator. Needs a QCoreApplication.
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

// Runs the window thread's event loop until `done` holds or time runs out.
bool PumpUntil(const std::function<bool()> &done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Stands in for the main window: records every message in arrival order and
// hands Skype requests (wParam 2) to the bridge, as the window does.
class CTestWindow : public QObject {
public:
    CSkypeBridge *bridge = nullptr;
    std::vector<PostedMessage> got;
    CQtMessageTarget target{this};

    int Count(const PostedMessage &m) const;
    bool event(QEvent *e) override;
};

} // namespace vocamo
