#pragma once

#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells when a hidraw node comes or goes (the system's device-change
// notification). Event driven through the monitor's socket; no polling.
class DeviceMonitor : public QObject
{
    Q_OBJECT
public:
    explicit DeviceMonitor(QObject *parent = nullptr);
    ~DeviceMonitor() override;

    bool isActive() const { return m_notifier != nullptr; }

signals:
    // action is udev's ("add", "remove", ...), node the /dev path if any.
    void deviceChanged(const QString &action, const QString &node);

private:
    void receive();

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
