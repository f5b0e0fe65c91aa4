#pragma once

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <functional>

namespace vocamo {

// Suspend and resume from logind: PrepareForSleep(true) is the suspend,
// PrepareForSleep(false) the resume. A delay inhibitor is held while running
// so the call can be ended before the machine sleeps. No system bus: no
// power events.
class CPowerMonitor : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(bool suspending)>;
    explicit CPowerMonitor(Handler handler, QObject *parent = nullptr);
    ~CPowerMonitor() override;

    bool IsConnected() const { return m_connected; }
    bool HoldsInhibitor() const { return m_inhibitor.isValid(); }

private slots:
    void OnPrepareForSleep(bool start);

private:
    void TakeInhibitor();
    void ReleaseInhibitor();

    Handler m_handler;
    bool m_connected = false;
    QDBusUnixFileDescriptor m_inhibitor;
};

} // namespace vocamo
