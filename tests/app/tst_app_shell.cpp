// The main window and its tray: shape, title, tray texts, hiding and
// restoring, the busy lock, and that a start writes no settings file.
#include "app/Ui_Controler.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "platform/WorkingSet.h"
#include "testlib/TestData.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QFileDialog>
#include <QMenu>
#include <QQuickItem>
#include <QtTest>

#include <sys/mman.h>

class AppShellTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { deviceConnected = false; }
    void windowAndTray();
    void closeHidesAndTrayRestores_data();
    void closeHidesAndTrayRestores();
    void startWritesNothing();
    void quitEndsTheLoopWithZero();
    void hiddenHandsBackOnlyPagesItCanReadAgain();
};

void AppShellTest::windowAndTray()
{
    TestData data;
    Widget w;
    QVERIFY(w.view()->rootObject());
    // Start-up makes the main page only: pop-ups and presets wait for first use.
    for (const char *hook : {"macroEditorHook", "keyAssigmentHook", "gunHook", "systemHook"})
        QVERIFY2(!w.view()->rootObject()->findChild<QObject *>(hook)->property("item").value<QObject *>(), hook);
    QCOMPARE(w.size(), QSize(1024, 640));
    QCOMPARE(w.view()->size(), QSize(1024, 640));
    QCOMPARE(int(w.windowFlags()), 0x02000801);
    QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(w.windowTitle(), QStringLiteral("SKELD R772"));
    // The import/export dialogs stay out of the window's transparent style
    // sheet: a dialog that inherits it is black with unreadable labels.
    auto dialog = QtFileDialogs::makeDialog("Import", FileDialogs::startFolder(), "*.pf", false);
    QVERIFY(!dialog->parentWidget());
    QFileDialog inherited(w.view()->widget(), "Import", FileDialogs::startFolder(), "*.pf");
    for (QFileDialog *d : {dialog.get(), &inherited}) {
        d->setOption(QFileDialog::DontUseNativeDialog);
        d->ensurePolished();
    }
    QVERIFY(inherited.palette().color(QPalette::Window).alpha() < 255); // the fault this guards
    QCOMPARE(dialog->palette().color(QPalette::Window).alpha(), 255);

    // The tray: its texts follow the language the user picks; a language
    // file without them keeps the built-in English.
    QCOMPARE(w.trayIcon->toolTip(), QStringLiteral("ORVANTE SKELD MOUSE R772"));
    QVERIFY(!w.trayIcon->icon().isNull());
    QMenu *menu = w.trayIcon->contextMenu();
    // The window never paints (the scene does); its menu must.
    QVERIFY(menu->updatesEnabled());
    const auto texts = [menu] { QStringList t; for (QAction *a : menu->actions()) t << a->text(); return t; };
    QCOMPARE(texts(), (QStringList{"Show", "Quit (&Q)"}));
    w.view()->setLanguage("French");
    QCOMPARE(texts(), (QStringList{"Afficher", "Quitter (&Q)"}));
    data.write("modules/i18n/English.ini", QByteArray());
    w.view()->setLanguage("English");
    QCOMPARE(texts(), (QStringList{"Show", "Quit (&Q)"}));
    // "Show", and a second launch with or without a mouse, bring a closed
    // window back.
    w.showNormal();
    w.controller->onClose();
    menu->actions().at(0)->trigger();
    QVERIFY(w.isVisible());
    w.controller->onClose();
    w.receiveMessage(QString());
    QVERIFY(w.isVisible());
    w.controller->onClose();
    deviceConnected = true;
    w.receiveMessage("anything");
    QVERIFY(w.isVisible());
    // Dragging the title area moves the window.
    w.move(100, 100);
    const QPoint start = w.pos();
    w.controller->onXChanged(5);
    w.controller->onYChanged(-3);
    QCOMPARE(w.pos(), start + QPoint(5, -3));
    // The mouse's own DPI button selects a stage; 0 is no stage.
    QQuickItem *dpi = w.view()->rootObject()->findChild<QQuickItem *>("dpiSetting");
    QVERIFY(dpi);
    w.view()->setCurrentDPI(3);
    QCOMPARE(dpi->property("currentDPI").toInt(), 2);
    w.view()->setCurrentDPI(0);
    w.view()->openUpdateExe();
    QCOMPARE(dpi->property("currentDPI").toInt(), 2);
    // The busy lock holds for its time, and setBusy() releases it at once.
    QQuickItem *r = w.view()->rootObject();
    QElapsedTimer held;
    held.start();
    w.controller->setBusy(1500);
    QVERIFY(r->property("isLock").toBool() && !w.view()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!r->property("isLock").toBool(), 3000);
    QVERIFY2(held.elapsed() >= 1400, qPrintable(QString::number(held.elapsed())));
    QVERIFY(w.view()->isEnabled());
    w.view()->setBusy(60000);
    QVERIFY(!w.view()->isEnabled());
    w.controller->setBusy();
    QVERIFY(!r->property("isLock").toBool() && w.view()->isEnabled());

    // Reading the title must not bring a missing global file into being.
    QFile::remove(data.path("modules/setting/apConfig.bin"));
    Widget untitled;
    QCOMPARE(untitled.windowTitle(), QString());
    QVERIFY(!QFile::exists(data.path("modules/setting/apConfig.bin")));
}

void AppShellTest::closeHidesAndTrayRestores_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("unsaved");
    const int dbl = QSystemTrayIcon::DoubleClick, trigger = QSystemTrayIcon::Trigger;
    QTest::newRow("double click, device") << true << dbl << true << false;
    // Status-notifier trays report only this one activation.
    QTest::newRow("trigger, no device") << false << trigger << true << false;
    QTest::newRow("right click, device") << true << int(QSystemTrayIcon::Context) << false << false;
    QTest::newRow("double click, device, unsaved edits kept") << true << dbl << true << true;
}

void AppShellTest::closeHidesAndTrayRestores()
{
    QFETCH(bool, connected);
    QFETCH(int, reason);
    QFETCH(bool, shown);
    QFETCH(bool, unsaved);
    TestData data;
    Widget w;
    w.showNormal();
    QQuickItem *before = w.view()->rootObject();
    QQuickItem *dpi = before->findChild<QQuickItem *>("dpiSetting");
    QVERIFY(dpi);
    dpi->setProperty("isSave", unsaved);
    DebugCapture cap;
    w.controller->onClose();
    QVERIFY(!w.isVisible());
    // Hidden in the tray the scene goes, unless it holds unsaved edits.
    if (unsaved) {
        QTRY_VERIFY(cap.contains("view: unsaved edits, the pages stay loaded while hidden"));
        QCOMPARE(w.view()->rootObject(), before);
    } else {
        QTRY_VERIFY(w.view()->sceneReleased());
        QVERIFY(!w.view()->rootObject());
    }
    // What the restored window must show: the stored state of the profile.
    w.view()->setData("mouse/reportRate", 2);
    deviceConnected = connected;
    w.trayIconActivated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(w.isVisible(), shown);
    QCOMPARE(w.view()->sceneReleased(), !shown && !unsaved);
    QQuickItem *r = w.view()->rootObject();
    if (shown && !unsaved) {
        // Built again before the first frame, showing the stored state.
        QVERIFY(r && r->isVisible() && r->property("panelsShown").toBool() && w.view()->widget()->isVisible());
        QVERIFY(!r->property("isLock").toBool());
        QCOMPARE(r->findChild<QObject *>("reportRateDropDown")->property("currentIndex").toInt(), 2);
    }
    if (unsaved) QVERIFY(r->findChild<QQuickItem *>("dpiSetting")->property("isSave").toBool());
    w.controller->onMinimize();
    w.trayIconActivated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(w.isMinimized(), !shown);
    if (shown && !unsaved) {
        // Locked, the pages take no input: the close button answers only after.
        w.view()->setBusy(60000);
        QTest::mouseClick(w.view()->quickWindow(), Qt::LeftButton, {}, QPoint(992, 28));
        QVERIFY(w.isVisible());
        w.controller->setBusy();
        QTest::mouseClick(w.view()->quickWindow(), Qt::LeftButton, {}, QPoint(992, 28));
        QVERIFY(!w.isVisible());
    }
}

void AppShellTest::startWritesNothing()
{
    TestData data;
    // An empty device table: nothing can answer.
    QSettings(data.path("modules/setting/apConfig.bin"), QSettings::IniFormat).setValue("common/deviceCount", 0);
    // Starting and showing the pages reads the settings and writes nothing:
    // a start on a full disk must not be able to empty a file.
    auto snapshot = [&] {
        QMap<QString, QPair<QByteArray, QDateTime>> files;
        for (QDirIterator it(data.path("modules"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString f = it.next();
            files[f] = {data.read(f.mid(data.root().size() + 1)), QFileInfo(f).lastModified()};
        }
        return files;
    };
    const auto before = snapshot();
    Widget w;
    deviceConnected = true;
    // The root document stays hidden until "initUI" has run, queued to run
    // after the caller returns.
    QQuickItem *main = w.view()->rootObject();
    QVERIFY(!main->isVisible());
    DebugCapture cap;
    w.checkDevice();
    QVERIFY(!main->isVisible());
    QTRY_VERIFY(cap.contains("Device DisConnect"));
    QTRY_VERIFY(!deviceConnected);
    QVERIFY(!w.view()->connected());
    QTRY_VERIFY(main->isVisible());
    QTRY_VERIFY(main->property("isPownOn").toBool());
    const auto after = snapshot();
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.begin(); it != before.end(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
}

void AppShellTest::quitEndsTheLoopWithZero()
{
    TestData data;
    Widget w;
    w.show();
    w.controller->onClose(); // hiding does not end the program
    QTimer::singleShot(50, w.trayIcon->contextMenu()->actions().last(), &QAction::trigger);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!w.hid.readerRunning);
}

// Resident kB of the mapping that starts at `at`, from our own smaps.
static long residentKb(const void *at)
{
    QFile f(QStringLiteral("/proc/self/smaps"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray start = QByteArray::number(quintptr(at), 16) + '-';
    bool inside = false;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QByteArray first = line.left(line.indexOf(' '));
        if (first.contains('-') && !first.contains(':'))
            inside = line.startsWith(start); // a mapping's header line
        else if (inside && line.startsWith("Rss:"))
            return line.mid(4).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void AppShellTest::hiddenHandsBackOnlyPagesItCanReadAgain()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("pages")));
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray pages(16 * 4096, 'f');
    file.write(pages);
    file.flush();
    const size_t size = size_t(pages.size());
    // Read-only code-like pages, and relocated-data-like pages: written
    // privately, then made read-only, as the loader does with its tables.
    auto *code = static_cast<char *>(mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.handle(), 0));
    auto *data = static_cast<char *>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, file.handle(), 0));
    QVERIFY(code != MAP_FAILED && data != MAP_FAILED);
    long sum = 0;
    for (size_t i = 0; i < size; i += 4096) sum += code[i];
    QCOMPARE(sum, long('f') * 16);
    for (size_t i = 0; i < size; i += 4096) data[i] = 'w';
    QVERIFY(mprotect(data, size, PROT_READ) == 0);
    QCOMPARE(residentKb(code), 64L);

    const WorkingSet::TrimResult r = WorkingSet::trimFileMappings();
    QVERIFY(r.mappings > 0);
    QCOMPARE(residentKb(code), 0L);
    // The private copies are the only place those bytes exist.
    for (size_t i = 0; i < size; i += 4096) QCOMPARE(data[i], 'w');
    QCOMPARE(code[4096], 'f'); // and what was handed back reads the same
    munmap(code, size);
    munmap(data, size);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    AppShellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app_shell.moc"
