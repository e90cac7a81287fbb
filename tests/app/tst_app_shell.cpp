#include "app/Ui_Controler.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "testlib/TestData.h"

#include <QAction>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QApplication>
#include <QMenu>
#include <QQmlContext>
#include <QQuickItem>
#include <QtTest>

class AppShellTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { deviceConnected = false; }
    void windowIsFramelessAndSizedToTheDocument();
    void titleComesFromTheGlobalFile();
    void contextPropertiesAndNames();
    void trayIconAndMenu();
    void dragMovesTheWindow();
    void busyLocksAndReleases();
    void closeHidesAndTrayRestores_data();
    void closeHidesAndTrayRestores();
    void secondInstanceRestores();
    void checkWithoutDeviceStillInitialisesTheUi();
    void setCurrentDPISelectsStage();
    void quitEndsTheLoopWithZero();
};

static QQuickItem *root(Widget &w) { return w.view()->rootObject(); }

void AppShellTest::windowIsFramelessAndSizedToTheDocument()
{
    TestData data;
    Widget w;
    QVERIFY(root(w));
    QCOMPARE(w.size(), QSize(1024, 640));
    QCOMPARE(w.view()->size(), QSize(1024, 640));
    QCOMPARE(int(w.windowFlags()), 0x02000801);
    QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(w.styleSheet(), QStringLiteral("background:transparent;"));
    QCOMPARE(w.objectName(), QStringLiteral("Widget"));

    // The import/export dialogs stay out of the window's transparent style
    // sheet: a dialog that inherits it is black with unreadable labels.
    auto dialog = QtFileDialogs::makeDialog("Import", FileDialogs::startFolder(), "*.pf", false);
    QVERIFY(!dialog->parentWidget());
    QFileDialog inherited(w.view(), "Import", FileDialogs::startFolder(), "*.pf");
    inherited.setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    for (QFileDialog *d : {dialog.get(), &inherited})
        d->ensurePolished();
    QVERIFY(inherited.palette().color(QPalette::Window).alpha() < 255); // the fault this guards
    QCOMPARE(dialog->palette().color(QPalette::Window).alpha(), 255);
}

void AppShellTest::titleComesFromTheGlobalFile()
{
    TestData data;
    {
        Widget w;
        QCOMPARE(w.windowTitle(), QStringLiteral("SKELD R772"));
    }
    QFile::remove(data.path("modules/setting/apConfig.bin"));
    Widget w;
    QCOMPARE(w.windowTitle(), QString());
    // Reading the title must not bring a missing file into being.
    QVERIFY(!QFile::exists(data.path("modules/setting/apConfig.bin")));
}

void AppShellTest::contextPropertiesAndNames()
{
    TestData data;
    Widget w;
    QQmlContext *ctx = w.view()->rootContext();
    QCOMPARE(ctx->contextProperty("ui_View").value<QObject *>(), w.view());
    QCOMPARE(ctx->contextProperty("hid").value<QObject *>(), &w.hid);
    QCOMPARE(ctx->contextProperty("ui_Ctl").value<QObject *>(), w.controller);
    QCOMPARE(w.view()->objectName(), QStringLiteral("ui_View"));
    QCOMPARE(w.view()->hid, &w.hid);
    QCOMPARE(w.hid.owner, static_cast<HidHost *>(&w));
    QCOMPARE(w.checkTimer.interval(), 2048);
    QVERIFY(w.checkTimer.isSingleShot());
}

void AppShellTest::trayIconAndMenu()
{
    TestData data;
    Widget w;
    QCOMPARE(w.trayIcon->toolTip(), QStringLiteral("ORVANTE SKELD MOUSE R772"));
    QVERIFY(!w.trayIcon->icon().isNull());
    QMenu *menu = w.trayIcon->contextMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Show"));
    QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Quit (&Q)"));
    // "Show" brings a closed window back.
    w.showNormal();
    w.controller->onClose();
    menu->actions().at(0)->trigger();
    QVERIFY(w.isVisible());
    // The texts follow the language the user picks; a language file
    // without them keeps the built-in English.
    w.view()->setLanguage(QStringLiteral("French"));
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Afficher"));
    QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Quitter (&Q)"));
    QFile::remove(data.path("modules/i18n/English.ini"));
    QFile(data.path("modules/i18n/English.ini")).open(QIODevice::WriteOnly);
    w.view()->setLanguage(QStringLiteral("English"));
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Show"));
    QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Quit (&Q)"));
    QVERIFY(menu->styleSheet().startsWith("QMenu { border: 1px solid rgb(100, 100, 100);"));
    QVERIFY(menu->styleSheet().endsWith("padding-right: 2px; } "));
}

void AppShellTest::dragMovesTheWindow()
{
    TestData data;
    Widget w;
    w.move(100, 100);
    const QPoint start = w.pos();
    w.controller->onXChanged(5);
    w.controller->onYChanged(-3);
    QCOMPARE(w.pos(), start + QPoint(5, -3));
}

void AppShellTest::busyLocksAndReleases()
{
    TestData data;
    Widget w;
    QQuickItem *r = root(w);
    w.controller->setBusy(1500);
    QVERIFY(r->property("isLock").toBool());
    QVERIFY(!w.view()->isEnabled());
    QTest::qWait(1000);
    QVERIFY(r->property("isLock").toBool());
    QTRY_VERIFY_WITH_TIMEOUT(!r->property("isLock").toBool(), 1500);
    QVERIFY(w.view()->isEnabled());

    w.view()->setBusy(60000);
    QVERIFY(!w.view()->isEnabled());
    w.controller->setBusy(); // the same as setBusy(0): released at once
    QVERIFY(!r->property("isLock").toBool());
    QVERIFY(w.view()->isEnabled());
}

void AppShellTest::closeHidesAndTrayRestores_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("unsaved");
    QTest::newRow("double click, device") << true << int(QSystemTrayIcon::DoubleClick) << true << false;
    QTest::newRow("double click, no device") << false << int(QSystemTrayIcon::DoubleClick) << true
                                             << false;
    // Status-notifier trays report only this one activation.
    QTest::newRow("trigger, device") << true << int(QSystemTrayIcon::Trigger) << true << false;
    QTest::newRow("trigger, no device") << false << int(QSystemTrayIcon::Trigger) << true << false;
    QTest::newRow("right click, device") << true << int(QSystemTrayIcon::Context) << false << false;
    QTest::newRow("double click, device, unsaved edits kept")
        << true << int(QSystemTrayIcon::DoubleClick) << true << true;
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
    QQuickItem *before = root(w);
    QQuickItem *dpi = before->findChild<QQuickItem *>("dpiSetting");
    QVERIFY(dpi);
    dpi->setProperty("isSave", unsaved);
    DebugCapture cap;
    w.controller->onClose();
    QVERIFY(!w.isVisible());
    // Hidden in the tray the scene goes, unless it holds unsaved edits.
    if (unsaved) {
        QTRY_VERIFY(cap.contains("view: unsaved edits, the pages stay loaded while hidden"));
        QCOMPARE(root(w), before);
    } else {
        QTRY_VERIFY(w.view()->sceneReleased());
        QVERIFY(!root(w));
    }
    // What the restored window must show: the stored state of the profile.
    w.view()->setData(QStringLiteral("mouse/reportRate"), 2);
    deviceConnected = connected;
    w.trayIconActivated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(w.isVisible(), shown);
    QCOMPARE(w.view()->sceneReleased(), !shown && !unsaved);
    if (shown && !unsaved) {
        // Built again before the first frame, showing the stored state.
        QQuickItem *r = root(w);
        QVERIFY(r);
        QVERIFY(r->isVisible());
        QVERIFY(r->property("panelsShown").toBool());
        QVERIFY(!r->property("isLock").toBool());
        QCOMPARE(r->findChild<QObject *>("reportRateDropDown")->property("currentIndex").toInt(), 2);
    }
    if (unsaved)
        QVERIFY(root(w)->findChild<QQuickItem *>("dpiSetting")->property("isSave").toBool());

    w.controller->onMinimize();
    w.trayIconActivated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(w.isMinimized(), !shown);
}

void AppShellTest::secondInstanceRestores()
{
    TestData data;
    Widget w;
    w.showNormal();
    w.controller->onClose();
    // No mouse: a second launch is the user's way back to the window.
    w.receiveMessage(QString());
    QVERIFY(w.isVisible());
    w.controller->onClose();
    deviceConnected = true;
    w.receiveMessage(QStringLiteral("anything"));
    QVERIFY(w.isVisible());
}

void AppShellTest::checkWithoutDeviceStillInitialisesTheUi()
{
    TestData data;
    // An empty device table: nothing can answer.
    QSettings(data.path("modules/setting/apConfig.bin"), QSettings::IniFormat)
        .setValue("common/deviceCount", 0);
    // Starting and showing the pages reads the settings and writes nothing:
    // a start on a full disk must not be able to empty a file.
    auto snapshot = [&] {
        QMap<QString, QPair<QByteArray, QDateTime>> files;
        QDirIterator it(data.path("modules"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            files[f] = {data.read(f.mid(data.root().size() + 1)), QFileInfo(f).lastModified()};
        }
        return files;
    };
    const auto before = snapshot();
    Widget w;
    deviceConnected = true;
    QQuickItem *r = root(w);
    // The root document stays hidden until "initUI" has run.
    QQuickItem *main = r;
    QVERIFY(!main->isVisible());
    DebugCapture cap;
    w.checkDevice();
    QVERIFY(!main->isVisible()); // queued: runs after the caller returns
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

void AppShellTest::setCurrentDPISelectsStage()
{
    TestData data;
    Widget w;
    QQuickItem *dpi = root(w)->findChild<QQuickItem *>("dpiSetting");
    QVERIFY(dpi);
    w.view()->setCurrentDPI(3);
    QCOMPARE(dpi->property("currentDPI").toInt(), 2);
    w.view()->setCurrentDPI(0);
    QCOMPARE(dpi->property("currentDPI").toInt(), 2);
    w.view()->openUpdateExe();
    QCOMPARE(dpi->property("currentDPI").toInt(), 2);
}

void AppShellTest::quitEndsTheLoopWithZero()
{
    TestData data;
    Widget w;
    w.show();
    w.controller->onClose(); // hiding does not end the program
    QAction *quit = w.trayIcon->contextMenu()->actions().last();
    QTimer::singleShot(50, quit, &QAction::trigger);
    const int rc = QApplication::exec();
    QCOMPARE(rc, 0);
    QVERIFY(!w.hid.readerRunning);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    AppShellTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_app_shell.moc"
