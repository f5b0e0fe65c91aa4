#include "app/DeviceMonitor.h"

#include <QSocketNotifier>
#include <cstring>
#include <libudev.h>

namespace vocamo {

CDeviceMonitor::CDeviceMonitor(ArrivalHandler onArrival, RemovalHandler onRemoval, QObject *parent)
    : QObject(parent), m_onArrival(std::move(onArrival)), m_onRemoval(std::move(onRemoval))
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
        return;
    }
    m_notifier =
        std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CDeviceMonitor::OnReadable);
}

CDeviceMonitor::~CDeviceMonitor()
{
    m_notifier.reset();
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void CDeviceMonitor::OnReadable()
{
    udev_device *device = udev_monitor_receive_device(m_monitor);
    if (!device)
        return;
    const char *action = udev_device_get_action(device);
    std::vector<std::string> names;
    if (const char *node = udev_device_get_devnode(device))
        names.emplace_back(node);
    udev_list_entry *link;
    udev_list_entry_foreach(link, udev_device_get_devlinks_list_entry(device))
        names.emplace_back(udev_list_entry_get_name(link));
    udev_device_unref(device);
    if (!action)
        return;
    if (std::strcmp(action, "add") == 0) {
        if (m_onArrival)
            m_onArrival();
    } else if (std::strcmp(action, "remove") == 0) {
        if (m_onRemoval)
            m_onRemoval(names);
    }
}

} // namespace vocamo
