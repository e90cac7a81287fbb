#pragma once

#include "device/HidHost.h"
#include "device/Hid_Thread.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <atomic>

class DeviceMonitor;
class QAction;
class Ui_Controler;
class myQQuickView;

// Process-wide: set by a device check that connected, cleared by one that
// found nothing.
extern std::atomic<bool> deviceConnected;

// The program's one window: frameless, translucent, exactly the size of the
// UI document, with a tray icon whose menu quits. Closing only hides it.
class Widget : public QWidget, public HidHost
{
    Q_OBJECT
public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    QTimer checkTimer;
    Ui_Controler *controller = nullptr;
    Hid_Thread hid;
    QSystemTrayIcon *trayIcon = nullptr;
    QAction *showAction = nullptr;
    QAction *quitAction = nullptr;
    // The system's device-change notifications (udev "hidraw").
    DeviceMonitor *deviceMonitor = nullptr;

    myQQuickView *view() const;

    // Asks the window to come back: shown, not minimised, raised.
    void restoreRequest();
    // A device-change notification from the system: debounce into one check.
    void deviceChanged();

    // HidHost
    void showTrayMessage(const QString &title, const QString &text, int msecs) override;
    void hostSetCurrentDPI(int stage) override;
    void hostSetRight(bool right) override;
    void hostRunUI() override;
    void hostSetViewEnabled(bool enabled) override;
    int hostCurrentProfile() const override;
    QString hostIcType() const override;
    void hostClearHidBusy() override;
    void hostSetDeviceConnected(bool connected) override;
    void hostProfileRead(unsigned int profileNo, const QByteArray &record) override;
    void hostInitUI() override;
    void hostDeviceRemoved() override;

protected:
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void checkDevice();
    void exitSYS();
    void receiveMessage(QString message);
    // The tray menu's texts in the language in use.
    void retranslateTray();
};
