// Takes the README's pictures: the window on an X server (run it under
// Xvfb, see scripts/screenshots.sh), with the virtual mouse connected, the
// main page first and then each pop-up page. Works on a copy of modules/.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "settings/FileDialogs.h"
#include "testlib/TestData.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QQuickItem>
#include <QSettings>
#include <QTimer>
#include <cstdio>

namespace
{
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool shoot(Widget &w, const QString &dir, const QString &name)
{
    const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = w.grab().save(file);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(file));
    return ok;
}
} // namespace

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
    settle(1800);
    QQuickItem *root = w.view()->rootObject();
    if (!root) return 1;

    bool ok = shoot(w, out, QStringLiteral("main"));
    const struct {
        const char *open;
        const char *name;
    } popups[] = {
        {"openProfilePage", "profile"},
        {"openSystemPage", "system-settings"},
        {"openResetBox", "reset"},
        {"openInfoBox", "information"},
        {"openMacroEditor", "macro-editor"},
        {"openAssignment", "assignment"},
    };
    for (const auto &p : popups) {
        if (qstrcmp(p.open, "openAssignment") == 0)
            QMetaObject::invokeMethod(root, p.open, Q_ARG(QVariant, 2));
        else
            QMetaObject::invokeMethod(root, p.open);
        settle(400);
        ok = shoot(w, out, QString::fromLatin1(p.name)) && ok;
        QMetaObject::invokeMethod(root, "closePopups");
        settle(100);
    }

    // The question that keeps unsaved edits.
    if (QQuickItem *dpi = root->findChild<QQuickItem *>(QStringLiteral("dpiSetting")))
        dpi->setProperty("isSave", true);
    QMetaObject::invokeMethod(root, "requestClose");
    settle(300);
    ok = shoot(w, out, QStringLiteral("unsaved-changes")) && ok;
    QMetaObject::invokeMethod(root, "answerUnsaved", Q_ARG(QVariant, QStringLiteral("discard")));
    w.showNormal();
    settle(200);

    // No mouse: the top bar says so, Save says where the values went.
    w.view()->setConnected(false);
    if (QQuickItem *dpi = root->findChild<QQuickItem *>(QStringLiteral("dpiSetting")))
        dpi->setProperty("isSave", true);
    QMetaObject::invokeMethod(root, "save");
    settle(300);
    ok = shoot(w, out, QStringLiteral("no-mouse")) && ok;

    // The import dialog: the desktop's own where it offers one, else Qt's,
    // readable either way.
    auto dialog = QtFileDialogs::makeDialog(QStringLiteral("Open File"), FileDialogs::startFolder(),
                                            QStringLiteral("Profile(*.pf)"), false);
    dialog->show();
    settle(600);
    const QString file = out + QStringLiteral("/file-dialog.png");
    const bool saved = dialog->grab().save(file);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return ok && saved ? 0 : 1;
}
