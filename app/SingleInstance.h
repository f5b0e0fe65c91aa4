#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace vocamo {

// One instance per user and display: a lock file in the runtime folder and a
// local server of the same name. A second start finds the lock held, asks
// the running instance to restore its window, and ends.
class CSingleInstance : public QObject {
    Q_OBJECT
public:
    // name: "Vocamo"; the display is added so each desktop has its own phone.
    explicit CSingleInstance(const QString &name = QStringLiteral("Vocamo"));
    ~CSingleInstance() override;

    // True when this process is the only instance (and now holds the lock).
    bool Acquire();

    // Wakes the running instance; false when none answered.
    bool WakeRunningInstance(int timeoutMs = 2000);

    // Called on the window thread for every wake-up request.
    void SetOnRestore(std::function<void()> onRestore) { m_onRestore = std::move(onRestore); }

    QString LockPath() const { return m_lockPath; }
    QString ServerName() const { return m_serverName; }

private:
    void OnNewConnection();

    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    std::function<void()> m_onRestore;
};

} // namespace vocamo
