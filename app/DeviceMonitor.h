#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace vocamo {

// Serial devices coming and going, from udev: any tty added is a device
// arrival; the removal of a port is reported with its device node and the
// links udev made to it (/dev/serial/by-id/...), so the window can tell
// whether it was the modem's, however the modem was named.
class CDeviceMonitor : public QObject {
    Q_OBJECT
public:
    using ArrivalHandler = std::function<void()>;
    using RemovalHandler = std::function<void(const std::vector<std::string> &names)>;

    CDeviceMonitor(ArrivalHandler onArrival, RemovalHandler onRemoval, QObject *parent = nullptr);
    ~CDeviceMonitor() override;

    bool IsActive() const { return m_monitor != nullptr; }

private:
    void OnReadable();

    ArrivalHandler m_onArrival;
    RemovalHandler m_onRemoval;
    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace vocamo
