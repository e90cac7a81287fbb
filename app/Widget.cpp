#include "app/Widget.h"

#include "app/Ui_Controler.h"
#include "app/myQQuickView.h"
#include "device/DeviceCheck.h"
#include "platform/DeviceMonitor.h"
#include "settings/LangStrings.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QHideEvent>
#include <QIcon>
#include <QMenu>
#include <QShowEvent>
#include <algorithm>

std::atomic<bool> deviceConnected{false};

namespace {
const char *const kMenuStyle =
    "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
    "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
    "QMenu::item:enabled { color: rgb(225, 225, 225); } "
    "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
    "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, "
    "255, 40); } "
    "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
    "QMenu::indicator { width: 13px; height: 13px; } "
    "QMenu::icon { padding-left: 2px; padding-right: 2px; } ";
} // namespace

Widget::Widget(QWidget *parent) : QWidget(parent)
{
    hid.owner = this;
    controller = new Ui_Controler;
    controller->init(this);
    controller->view->hid = &hid;

    checkTimer.setInterval(2048);
    checkTimer.setSingleShot(true);
    // A coarse timer may fire up to 5% early; the debounce promises the full quiet time.
    checkTimer.setTimerType(Qt::PreciseTimer);
    connect(&checkTimer, &QTimer::timeout, this, &Widget::checkDevice);

    trayIcon = new QSystemTrayIcon(this);
    showAction = new QAction(tr("Show"), this);
    connect(showAction, &QAction::triggered, this, &Widget::restoreRequest);
    quitAction = new QAction(tr("Quit (&Q)"), this);
    connect(quitAction, &QAction::triggered, this, &Widget::exitSYS);
    auto *menu = new QMenu(this);
    menu->addAction(showAction);
    menu->addAction(quitAction);
    menu->setStyleSheet(QString::fromLatin1(kMenuStyle));
    trayIcon->setContextMenu(menu);
    trayIcon->setToolTip(QStringLiteral("ORVANTE SKELD MOUSE R772"));
    trayIcon->setIcon(QIcon(QStringLiteral("./modules/img/logo.ico")));
    connect(trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    trayIcon->setVisible(true);
    retranslateTray();
    connect(view(), &myQQuickView::languageChanged, this, &Widget::retranslateTray);

    deviceMonitor = new DeviceMonitor(this);
    connect(deviceMonitor, &DeviceMonitor::deviceChanged, this, [this] { deviceChanged(); });

    // From here on the device has one owner, off the GUI thread.
    hid.startWorker();
}

Widget::~Widget()
{
    hid.stopEventReader();
    hid.stopWorker();
    hid.waitForReader();
    controller->deleteLater();
}

myQQuickView *Widget::view() const { return controller ? controller->view : nullptr; }

void Widget::restoreRequest()
{
    setVisible(true);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void Widget::deviceChanged()
{
    // Never dropped: a remove and add can both arrive before the reader has
    // noticed anything. The check itself leaves a live connection alone.
    checkTimer.start();
}

void Widget::retranslateTray()
{
    // Texts the language file lacks keep the built-in English.
    const QStringList texts =
        LangStrings::read(QStringLiteral("desktop"), view() ? view()->language() : QString());
    showAction->setText(texts.value(0).isEmpty() ? tr("Show") : texts.value(0));
    quitAction->setText(texts.value(1).isEmpty() ? tr("Quit (&Q)") : texts.value(1));
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Status-notifier trays (most Linux panels) report one activation and
    // never a double click; either brings the window back, mouse or not.
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        restoreRequest();
}

void Widget::checkDevice() { DeviceCheck::runQueued(hid, *this); }

void Widget::exitSYS()
{
    hid.stopEventReader();
    QCoreApplication::exit(0);
}

void Widget::receiveMessage(QString message)
{
    Q_UNUSED(message);
    // Without this a window closed while no mouse is plugged in could not
    // come back until the next login.
    restoreRequest();
}

void Widget::showTrayMessage(const QString &title, const QString &text, int msecs)
{
    trayIcon->showMessage(title, text, QSystemTrayIcon::Information, msecs);
}

void Widget::hostSetCurrentDPI(int stage)
{
    if (myQQuickView *v = view())
        v->setCurrentDPI(stage);
}

void Widget::hostSetRight(bool right)
{
    if (myQQuickView *v = view())
        v->right = right;
}

void Widget::hostRunUI()
{
    if (myQQuickView *v = view())
        v->runUI();
}

void Widget::hostSetViewEnabled(bool enabled)
{
    if (myQQuickView *v = view()) {
        v->setEnabled(enabled);
        // Only the event reader disables the view: the mouse went away.
        if (!enabled)
            v->setConnected(false);
    }
}

int Widget::hostCurrentProfile() const
{
    myQQuickView *v = view();
    return v ? v->currentProfile() : 0;
}

QString Widget::hostIcType() const
{
    myQQuickView *v = view();
    return v ? v->icType : QString();
}

void Widget::hostClearHidBusy()
{
    if (myQQuickView *v = view())
        v->clearHidBusy();
}

void Widget::hostSetDeviceConnected(bool connected)
{
    deviceConnected = connected;
    if (myQQuickView *v = view())
        v->setConnected(connected);
}

void Widget::hostProfileRead(unsigned int profileNo, const QByteArray &record)
{
    myQQuickView *v = view();
    if (!v || profileNo >= v->profileImages.size() ||
        record.size() != int(v->profileImages[profileNo].size()))
        return;
    std::copy(record.begin(), record.end(), v->profileImages[profileNo].begin());
    v->profileImageRead[profileNo] = true;
}

void Widget::hostDeviceRemoved()
{
    // The node may already be back under the same name (a quick re-plug);
    // a check after the usual quiet time finds out either way.
    checkTimer.start();
}

void Widget::hostInitUI()
{
    if (myQQuickView *v = view())
        v->initUI();
}

void Widget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Minimising hides spontaneously and keeps everything; the program's
    // own close to the tray lets the scene go until the window comes back.
    if (!event->spontaneous() && controller)
        controller->releaseScene();
}

void Widget::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && controller)
        controller->rebuildScene();
    QWidget::showEvent(event);
}
