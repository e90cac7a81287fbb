#include "app/myQQuickView.h"

#include "device/Hid_Thread.h"

#include <QFocusEvent>
#include <QQuickItem>

myQQuickView::myQQuickView(QWidget *parent) : QQuickWidget(parent)
{
    m_stores = std::make_unique<SettingsStores>();
    // Cached once: the device's capabilities do not change while we run,
    // not even when the global file is reset.
    isColorful = SettingsStores::readBool(getGlobalData(QStringLiteral("mouse/isColorful")));
    isGun = SettingsStores::readBool(getGlobalData(QStringLiteral("mouse/isGun")));
    icType = m_stores->global().value(QStringLiteral("mouse/icType")).toString();
    is55328 = SettingsStores::readBool(getGlobalData(QStringLiteral("mouse/is55328")));
    right = false;
}

myQQuickView::~myQQuickView() = default;

void myQQuickView::invokeRoot(const char *function, Qt::ConnectionType type, QGenericArgument a0,
                              QGenericArgument a1, QGenericArgument a2, QGenericArgument a3)
{
    QQuickItem *root = rootObject();
    if (!root)
        return;
    QMetaObject::invokeMethod(root, function, type, a0, a1, a2, a3);
}

QString myQQuickView::deviceName() const
{
    return m_stores->global().value(QStringLiteral("common/name")).toString();
}

void myQQuickView::setConnected(bool connected)
{
    if (connected == m_connected)
        return;
    m_connected = connected;
    emit connectionChanged();
}

void myQQuickView::detectKeyboard(bool isDown, int usbCode)
{
    invokeRoot("detectKeyboard", Qt::QueuedConnection, Q_ARG(QVariant, QVariant(isDown)),
               Q_ARG(QVariant, QVariant(usbCode)));
}

void myQQuickView::detectMouse(bool isDown, uint buttonCode, uint x, uint y)
{
    invokeRoot("detectMouse", Qt::QueuedConnection, Q_ARG(QVariant, QVariant(isDown)),
               Q_ARG(QVariant, QVariant(buttonCode)), Q_ARG(QVariant, QVariant(x)),
               Q_ARG(QVariant, QVariant(y)));
}

void myQQuickView::clearHidBusy()
{
    if (hid)
        hid->idle = true;
}

void myQQuickView::initUI() { invokeRoot("initUI", Qt::QueuedConnection); }

void myQQuickView::runUI() { invokeRoot("run", Qt::QueuedConnection); }

void myQQuickView::resetApconfig() { m_stores->resetGlobal(); }

void myQQuickView::openUpdateExe() {}

QVariant myQQuickView::getData(QVariant key, bool isRecovery)
{
    return m_stores->getData(key.toString(), isRecovery);
}

QVariant myQQuickView::getGlobalData(QVariant key) { return m_stores->getGlobalData(key.toString()); }

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return m_stores->getDataList(key.toString(), isRecovery);
}

void myQQuickView::setData(QVariant key, QVariant data) { m_stores->setData(key.toString(), data); }

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    m_stores->setGlobalData(key.toString(), tmpdata);
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    m_stores->setDataList(key.toString(), datalist);
}

void myQQuickView::setBusy(int busyTime)
{
    invokeRoot("setProtectUI", Qt::DirectConnection, Q_ARG(QVariant, QVariant(busyTime)));
}

void myQQuickView::setCurrentDPI(int dpiValue)
{
    // Auto: direct on the GUI thread, queued when the event reader calls.
    invokeRoot("setCurrentDPI", Qt::AutoConnection, Q_ARG(QVariant, QVariant(dpiValue)));
}

void myQQuickView::focusInEvent(QFocusEvent *event)
{
    repaint();
    event->accept();
}
