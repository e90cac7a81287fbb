#include "app/Ui_Controler.h"

#include "app/Widget.h"
#include "app/myQQuickView.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSettings>
#include <QWindow>
#include <QTimer>

void Ui_Controler::init(Widget *w)
{
    if (w->objectName().isEmpty())
        w->setObjectName(QStringLiteral("Widget"));
    widget = w;
    w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    w->setWindowOpacity(1.0);
    w->setAttribute(Qt::WA_TranslucentBackground, true);
    // All the window shows is drawn by the scene, in a window of its own
    // inside this one: on X this one never paints, so its buffer (2.6 MB) is
    // never written. Only child widgets inherit this; windows do not. A
    // Wayland surface appears only once it has had a buffer.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        w->setUpdatesEnabled(false);
    w->setStyleSheet(QStringLiteral("background:transparent;"));

    view = new myQQuickView(w);
    view->setObjectName(QStringLiteral("ui_View"));
    view->setContextObject(QStringLiteral("hid"), &w->hid);
    view->setContextObject(QStringLiteral("ui_Ctl"), this);
    view->loadScene(w, QUrl(QStringLiteral("qrc:/modules/qml/main.qml")));
    w->resize(view->size());

    w->setWindowTitle(view->getGlobalData(QStringLiteral("common/name")).toString());
    QObject::connect(view, &myQQuickView::settingsWriteFailed, w, [w](const QString &message) {
        w->showTrayMessage(w->windowTitle(), message, 5000);
    });
}

void Ui_Controler::releaseScene()
{
    // Later, from the event loop: the close usually comes from a handler of
    // the very document that is let go. Shown again by then, it stays.
    if (!view)
        return;
    QPointer<myQQuickView> v(view);
    QTimer::singleShot(0, view, [v] {
        if (v && v->widget() && !v->widget()->window()->isVisible())
            v->releaseScene();
    });
}

void Ui_Controler::rebuildScene()
{
    if (view)
        view->rebuildScene();
}

void Ui_Controler::onMinimize()
{
    if (widget)
        widget->showMinimized();
}

void Ui_Controler::onClose()
{
    if (widget)
        widget->setVisible(false);
}

void Ui_Controler::onXChanged(int dx)
{
    if (widget)
        widget->move(widget->x() + dx, widget->y());
}

void Ui_Controler::onYChanged(int dy)
{
    if (widget)
        widget->move(widget->x(), widget->y() + dy);
}

bool Ui_Controler::startSystemMove()
{
    QWindow *handle = widget ? widget->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

void Ui_Controler::setBusy(int busyTime)
{
    if (view)
        view->setBusy(busyTime);
}

void Ui_Controler::setBusy() { setBusy(0); }
