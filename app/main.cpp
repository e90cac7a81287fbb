#include "app/InputRouting.h"
#include "app/SingleInstance.h"
#include "app/UdevRule.h"
#include "app/UnixSignals.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "input/GlobalInputHook.h"

#include <QApplication>
#include <QDir>
#include <QQuickWindow>
#include <QTimer>
#include <cstring>
#include <memory>
#include <utility>
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char *argv[])
{
    // The one option: install the udev rule (no window, no display needed).
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], UdevRule::kOption) == 0) {
            QCoreApplication core(argc, argv);
            return UdevRule::install(QCoreApplication::applicationFilePath());
        }
#ifdef __GLIBC__
    // One heap for all threads: what the document loader's thread frees at
    // start-up is reused instead of staying dirty in an arena of its own
    // (about 1.5 MB of a program that sits in the tray all day).
    mallopt(M_ARENA_MAX, 1);
#endif
    // The pages are flat 2D panels: the software scene graph draws them well
    // and keeps a tray program that idles all day at a third of the memory
    // and half the threads of the GL path.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    auto app = std::make_unique<QApplication>(argc, argv);
    // Closing the window only hides it; the tray keeps the program alive.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(QCoreApplication::applicationFilePath());
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }

    // Every data path is ./modules/... beside the executable.
    const QString exe = QCoreApplication::applicationFilePath();
    QDir::setCurrent(exe.left(exe.lastIndexOf(QLatin1Char('/'))));

    int rc = 0;
    {
        Widget w;
        QObject::connect(&instance, &SingleInstance::messageReceived, &w, &Widget::receiveMessage);
        UnixSignals signalWatch;
        QObject::connect(&signalWatch, &UnixSignals::terminateRequested, &w, &Widget::exitSYS);
        // A hook that cannot be installed leaves the pages without recorded
        // keys; the program runs on regardless.
        GlobalInputHook hook;
        hook.setKeyboardCallback(&InputRouting::keyboardToBridge, &w);
        hook.setMouseCallback(&InputRouting::mouseToBridge, &w);
        hook.setCopyDataCallback(&InputRouting::copyDataToWarning, app.get(),
                                 static_cast<QWidget *>(&w));
        w.showNormal();
        // The device check and the page updates it brings wait until the
        // first frame is drawn (the main page, with what the files say).
        // Should no frame come, it runs after a second all the same.
        auto checked = std::make_shared<bool>(false);
        auto checkOnce = [&w, checked] {
            if (std::exchange(*checked, true)) return;
            w.checkDevice();
        };
        if (QQuickWindow *scene = w.view()->quickWindow())
            QObject::connect(scene, &QQuickWindow::afterRendering, &w, checkOnce,
                             Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        QTimer::singleShot(1000, &w, checkOnce);
        rc = QApplication::exec();
        hook.removeHooks();
    }
    return rc;
}
