#include "platform/DeviceMonitor.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <libudev.h>

Q_LOGGING_CATEGORY(lcPlatform, "skeld.platform")

DeviceMonitor::DeviceMonitor(QObject *parent) : QObject(parent)
{
    m_udev = udev_new();
    if (!m_udev) {
        qCWarning(lcPlatform) << "system: no udev; device changes go unnoticed";
        return;
    }
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        qCWarning(lcPlatform) << "system: cannot watch hidraw devices; device changes go unnoticed";
        return;
    }
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0) return;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DeviceMonitor::receive);
}

DeviceMonitor::~DeviceMonitor()
{
    delete m_notifier;
    if (m_monitor) udev_monitor_unref(m_monitor);
    if (m_udev) udev_unref(m_udev);
}

void DeviceMonitor::receive()
{
    // Drain everything that is queued so one wake-up handles a burst.
    while (udev_device *dev = udev_monitor_receive_device(m_monitor)) {
        const char *action = udev_device_get_action(dev);
        const char *node = udev_device_get_devnode(dev);
        const QString a = QString::fromLatin1(action ? action : "");
        const QString n = QString::fromLocal8Bit(node ? node : "");
        udev_device_unref(dev);
        emit deviceChanged(a, n);
    }
}
