#include "app/myQQuickView.h"

#include "device/Hid_Thread.h"
#include "features/ProfileImages.h"
#include "settings/LangStrings.h"
#include "settings/SafeWrite.h"
#include "platform/WorkingSet.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSurfaceFormat>
#include <QThread>

namespace
{
// The view inside the window. While the pages lock themselves (busy with
// the device) it takes no input, as a disabled widget would.
class SceneWindow : public QQuickView
{
public:
    bool takesInput = true;

protected:
    bool event(QEvent *event) override
    {
        if (!takesInput && isInput(event->type())) {
            event->accept();
            return true;
        }
        return QQuickView::event(event);
    }

private:
    static bool isInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }
};
} // namespace

myQQuickView::myQQuickView(QObject *parent) : QObject(parent)
{
    m_stores = std::make_unique<SettingsStores>();
    // Cached once: the device's capabilities do not change while we run,
    // not even when the global file is reset.
    isColorful = SettingsStores::readBool(getGlobalData(QStringLiteral("mouse/isColorful")));
    isGun = SettingsStores::readBool(getGlobalData(QStringLiteral("mouse/isGun")));
    icType = m_stores->global().value(QStringLiteral("mouse/icType")).toString();
    is55328 = SettingsStores::readBool(getGlobalData(QStringLiteral("mouse/is55328")));
    right = false;
    QPointer<myQQuickView> self(this);
    SafeWrite::setFailureListener([self](const QString &reason) {
        if (self)
            self->tellWriteFailure(reason);
    });
}

myQQuickView::~myQQuickView()
{
    SafeWrite::setFailureListener({});
    // The documents call into us until their engine is gone.
    delete m_widget;
}

void myQQuickView::setContextObject(const QString &name, QObject *object)
{
    m_contextObjects.insert(name, object);
    if (m_scene)
        m_scene->rootContext()->setContextProperty(name, object);
}

void myQQuickView::makeScene()
{
    auto *scene = new SceneWindow;
    // Transparent where the pages draw nothing: the window's rounded corners.
    QSurfaceFormat format = scene->format();
    format.setAlphaBufferSize(8);
    scene->setFormat(format);
    scene->setColor(Qt::transparent);
    scene->takesInput = m_enabled;
    QQmlContext *ctx = scene->rootContext();
    ctx->setContextProperty(QStringLiteral("ui_View"), this);
    for (auto it = m_contextObjects.cbegin(); it != m_contextObjects.cend(); ++it)
        ctx->setContextProperty(it.key(), it.value());
    m_scene = scene;
    // The scene draws straight into a window of its own inside ours, not
    // into a frame of its own (2.6 MB) that is then copied into ours. The
    // container owns the scene.
    m_widget = QWidget::createWindowContainer(scene, m_host);
    m_widget->setObjectName(QStringLiteral("ui_View"));
    // The scene covers its place whole: the window paints nothing beneath.
    m_widget->setAttribute(Qt::WA_OpaquePaintEvent);
}

bool myQQuickView::loadScene(QWidget *host, const QUrl &url)
{
    m_host = host;
    delete m_widget;
    makeScene();
    m_sceneSource = url;
    m_scene->setSource(url);
    // SizeViewToRootObject is the default: the view takes the root's size.
    m_sceneSize = m_scene->size();
    m_widget->resize(m_sceneSize);
    if (host && host->isVisible())
        m_widget->show();
    return m_scene->rootObject() != nullptr;
}

void myQQuickView::setSource(const QUrl &url)
{
    if (m_scene)
        m_scene->setSource(url);
    else
        loadScene(m_host, url);
}

void myQQuickView::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_scene)
        static_cast<SceneWindow *>(m_scene.data())->takesInput = enabled;
}

void myQQuickView::tellWriteFailure(const QString &reason)
{
    // Once a session: a full disk fails every later write too, and one
    // message says all the user can do about it.
    if (m_toldWriteFailure)
        return;
    m_toldWriteFailure = true;
    const QString language = m_stores->getGlobalData(QStringLiteral("common/language")).toString();
    QString text = LangStrings::isValidCode(language)
                       ? LangStrings::read(QStringLiteral("message"), language).value(0)
                       : QString();
    if (text.isEmpty())
        text = QStringLiteral("Settings could not be saved: %1");
    emit settingsWriteFailed(text.contains(QLatin1String("%1")) ? text.arg(reason) : text);
}

void myQQuickView::invokeRoot(const char *function, Qt::ConnectionType type, QGenericArgument a0,
                              QGenericArgument a1, QGenericArgument a2, QGenericArgument a3)
{
    QQuickItem *root = rootObject();
    if (!root)
        return;
    QMetaObject::invokeMethod(root, function, type, a0, a1, a2, a3);
}

void myQQuickView::setKeyListener(const QString &page, bool listening)
{
    const bool before = keyListening();
    if (listening)
        m_keyListeners.insert(page);
    else
        m_keyListeners.remove(page);
    if (keyListening() != before)
        emit keyListeningChanged();
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
    // The device family (and so the profile slots) came with the connection.
    emit profileOnDeviceChanged();
}

void myQQuickView::detectKeyboard(bool isDown, int usbCode)
{
    if (!keyListening())
        return;
    invokeRoot("detectKeyboard", Qt::QueuedConnection, Q_ARG(QVariant, QVariant(isDown)),
               Q_ARG(QVariant, QVariant(usbCode)));
}

void myQQuickView::detectMouse(bool isDown, uint buttonCode, uint x, uint y)
{
    if (!keyListening())
        return;
    invokeRoot("detectMouse", Qt::QueuedConnection, Q_ARG(QVariant, QVariant(isDown)),
               Q_ARG(QVariant, QVariant(buttonCode)), Q_ARG(QVariant, QVariant(x)),
               Q_ARG(QVariant, QVariant(y)));
}

bool myQQuickView::releaseScene()
{
    QQuickItem *root = rootObject();
    if (m_sceneReleased || !root)
        return false;
    if (root->property("anyUnsaved").toBool()) {
        qDebug("view: unsaved edits, the pages stay loaded while hidden");
        return false;
    }
    m_sceneReleased = true;
    // Nothing is left to record keys for.
    if (!m_keyListeners.isEmpty()) {
        m_keyListeners.clear();
        emit keyListeningChanged();
    }
    m_sceneSize = m_widget->size();
    // The view goes whole: document, engine, script heap and image caches.
    delete m_widget;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The scene graph deletes the textures of images that are gone (the
    // mouse pictures, 0.46 MB) only at the end of some window's next
    // frame; one frame of an empty window that is never shown does it now.
    {
        QQuickWindow flush;
        flush.resize(1, 1);
        flush.grabWindow();
    }
    // The freed pages go back to the system rather than wait in the heap
    // all day.
    WorkingSet::releaseFreeHeap();
    const WorkingSet::TrimResult trimmed = WorkingSet::trimFileMappings();
    qDebug("view: scene released while hidden (%zu kB of code pages handed back)",
           trimmed.bytes / 1024);
    return true;
}

bool myQQuickView::rebuildScene()
{
    if (!m_sceneReleased)
        return false;
    m_sceneReleased = false;
    if (!loadScene(m_host, m_sceneSource)) {
        qDebug() << "view: the window's document could not be loaded again:"
                 << (m_scene ? m_scene->errors() : QList<QQmlError>());
        return false;
    }
    // The device is already in step: the pages read the stored state and
    // show it at once, without the start-up protection.
    invokeRoot("initUI", Qt::DirectConnection);
    invokeRoot("setProtectUI", Qt::DirectConnection, Q_ARG(QVariant, QVariant(0)));
    return true;
}

void myQQuickView::clearHidBusy()
{
    // The flag belongs to the worker; set it there, in turn.
    if (Hid_Thread *h = hid)
        h->post([h] { h->idle = true; });
}

void myQQuickView::initUI() { invokeRoot("initUI", Qt::QueuedConnection); }

void myQQuickView::runUI() { invokeRoot("run", Qt::QueuedConnection); }

void myQQuickView::resetApconfig() { m_stores->resetGlobal(); }

bool myQQuickView::profileOnDevice() const
{
    // The "560" family keeps one record per device profile, records 1..4.
    return icType != QLatin1String("560") || ProfileImages::exists(currentProfile() + 1);
}

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
    // The event reader reports from its thread; the view may come and go
    // on ours, so the report is handed over first.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, dpiValue] { setCurrentDPI(dpiValue); },
                                  Qt::QueuedConnection);
        return;
    }
    if (dpiValue >= 1 && dpiValue <= 8) lastStage = dpiValue;
    invokeRoot("setCurrentDPI", Qt::DirectConnection, Q_ARG(QVariant, QVariant(dpiValue)));
}
