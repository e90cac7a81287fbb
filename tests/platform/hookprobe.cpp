// Runs the program's main window with the input hook wired as start-up wires
// it, on the X display it is given, and reports on standard output what
// reaches the UI document's detectKeyboard and the bridge's detectMouse.
// Started by tst_hook_e2e; not a test on its own.
#include "app/InputRouting.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "input/GlobalInputHook.h"

#include <QApplication>
#include <QQuickItem>
#include <cstdio>

namespace
{
Widget *window = nullptr;

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString activeState()
{
    return QStringLiteral("active=%1").arg(window->isActiveWindow() ? 1 : 0);
}

void onButton(quint8 buttonCode, quint8 isDown, qint32 x, qint32 y, void *context)
{
    say(QStringLiteral("button %1 %2 %3 %4 %5")
            .arg(buttonCode, 2, 16, QLatin1Char('0'))
            .arg(isDown)
            .arg(x)
            .arg(y)
            .arg(activeState()));
    InputRouting::mouseToBridge(buttonCode, isDown, x, y, context);
}
} // namespace

// What the document's detectKeyboard re-emits to the recording pages.
class KeyReporter : public QObject
{
    Q_OBJECT
public slots:
    void onKey(bool isDown, int usbCode)
    {
        say(QStringLiteral("key %1 %2 %3")
                .arg(usbCode, 2, 16, QLatin1Char('0'))
                .arg(isDown ? 1 : 0)
                .arg(activeState()));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Widget w;
    window = &w;
    GlobalInputHook hook;
    hook.setKeyboardCallback(&InputRouting::keyboardToBridge, &w);
    hook.setMouseCallback(&onButton, &w);
    // Listens as a recording page does: the bridge passes keys on only then.
    w.view()->setKeyListener(QStringLiteral("hookprobe"), true);
    QQuickItem *root = w.view()->rootObject();
    if (!root) {
        say(QStringLiteral("error no root document"));
        return 2;
    }
    KeyReporter reporter;
    if (!QObject::connect(root, SIGNAL(msg_KB(bool, int)), &reporter,
                          SLOT(onKey(bool, int)))) {
        say(QStringLiteral("error no msg_KB signal"));
        return 2;
    }
    w.move(0, 0);
    w.showNormal();
    say(QStringLiteral("ready %1").arg(hook.sourceName()));
    return QApplication::exec();
}

#include "hookprobe.moc"
