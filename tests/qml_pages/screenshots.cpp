// Takes the README's pictures (run under Xvfb, see scripts/screenshots.sh):
// the window with the virtual mouse, the main page, the pop-ups, the unsaved
// question, the window without a mouse and the file dialog. Works on a copy
// of modules/.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "settings/FileDialogs.h"
#include "testlib/TestData.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("SKELD_VIRTUAL_MOUSE", "553");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: skeld_screenshots <output folder> [language]\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    TestData data;
    if (!data.isValid()) return 1;
    if (argc > 2) {
        QSettings config(data.path(QStringLiteral("modules/setting/apConfig.bin")),
                         QSettings::IniFormat);
        config.setValue(QStringLiteral("common/language"), QString::fromLocal8Bit(argv[2]));
        config.setValue(QStringLiteral("common/languageChosen"), true);
    }
    Widget w;
    w.move(0, 0);
    w.showNormal();
    w.checkDevice();
    bool ok = true;
    // Lets the window settle for ms, then saves what `item` shows as name.png.
    // The window's pages are drawn by its scene, a window of their own.
    auto shoot = [&](QWidget *item, int ms, const char *name) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
        const QString file = out + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
        QQuickWindow *scene = item == &w ? w.view()->quickWindow() : nullptr;
        const bool saved = (scene ? scene->grabWindow() : item->grab().toImage()).save(file);
        std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
        ok = saved && ok;
    };
    QQuickItem *root = (shoot(&w, 1800, "main"), w.view()->rootObject());
    QQuickItem *dpi = root ? root->findChild<QQuickItem *>(QStringLiteral("dpiSetting")) : nullptr;
    if (!dpi) return 1;
    // The macro editor and the assignment pop-up are shot by the whole-program
    // test, along the user's path with a macro recorded.
    const char *popups[][2] = {{"openProfilePage", "profile"}, {"openSystemPage", "system-settings"},
                               {"openResetBox", "reset"}, {"openInfoBox", "information"}};
    for (const auto &p : popups) {
        QMetaObject::invokeMethod(root, p[0]);
        shoot(&w, 400, p[1]);
        QMetaObject::invokeMethod(root, "closePopups");
    }
    dpi->setProperty("isSave", true);
    QMetaObject::invokeMethod(root, "requestClose");
    shoot(&w, 300, "unsaved-changes");
    QMetaObject::invokeMethod(root, "answerUnsaved", Q_ARG(QVariant, QStringLiteral("discard")));
    w.showNormal();
    w.view()->setConnected(false);
    dpi->setProperty("isSave", true);
    QMetaObject::invokeMethod(root, "save");
    shoot(&w, 500, "no-mouse");
    // The desktop's own dialog where it offers one, else Qt's.
    auto dialog = QtFileDialogs::makeDialog(QStringLiteral("Open File"), FileDialogs::startFolder(),
                                            QStringLiteral("Profile(*.pf)"), false);
    dialog->show();
    shoot(dialog.get(), 600, "file-dialog");
    return ok ? 0 : 1;
}
