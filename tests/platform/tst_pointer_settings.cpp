// The system pointer settings the page and skeldctl change, by desktop:
// GNOME through GSettings, Plasma through its files and KWin, other X11
// desktops through the server; refusals say why.
#include "testlib/Xvfb.h"

#include "app/myQQuickView.h"
#include "features/PointerSettings.h"
#include "platform/KdeConfigFile.h"
#include "platform/PointerSettings.h"
#include "testlib/TestData.h"

#include <QDBusConnection>
#include <QtTest>

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <X11/Xlib.h>
// Xlib's macro would rename moc's QMetaType::Bool below.
#undef Bool

namespace {
// Stands in for KWin's input devices: what Plasma's own settings module sees.
class FakeKWinDevice : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDevice")
    Q_PROPERTY(QString sysName MEMBER sysName CONSTANT)
    Q_PROPERTY(bool pointer MEMBER pointer CONSTANT)
    Q_PROPERTY(bool touchpad MEMBER touchpad CONSTANT)
    Q_PROPERTY(bool supportsPointerAcceleration MEMBER supportsPointerAcceleration CONSTANT)
    Q_PROPERTY(double pointerAcceleration MEMBER pointerAcceleration)
public:
    FakeKWinDevice(const char *name, bool isPointer, bool isTouchpad) : sysName(name), pointer(isPointer), touchpad(isTouchpad) {}
    QString sysName;
    bool pointer, touchpad, supportsPointerAcceleration = true;
    double pointerAcceleration = 0.5;
};

class FakeKWin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDeviceManager")
    Q_PROPERTY(QStringList devicesSysNames READ devicesSysNames CONSTANT)
public:
    ~FakeKWin() override
    {
        QDBusConnection::sessionBus().unregisterService("org.kde.KWin");
        QDBusConnection::sessionBus().unregisterObject("/org/kde/KWin/InputDevice", QDBusConnection::UnregisterTree);
    }
    QStringList devicesSysNames() const { return {keyboard.sysName, mouse.sysName, touchpad.sysName}; }
    bool registerOnBus()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bool ok = bus.registerObject("/org/kde/KWin/InputDevice", this, QDBusConnection::ExportAllProperties);
        for (FakeKWinDevice *d : {&mouse, &touchpad, &keyboard})
            ok = ok && bus.registerObject("/org/kde/KWin/InputDevice/" + d->sysName, d, QDBusConnection::ExportAllProperties);
        return ok && bus.registerService("org.kde.KWin");
    }
    FakeKWinDevice mouse{"event5", true, false}, touchpad{"event7", true, true}, keyboard{"event2", false, false};
};

// Counts Plasma's settings-change broadcasts on the bus.
class NotifyListener : public QObject
{
    Q_OBJECT
public:
    bool listen()
    {
        return QDBusConnection::sessionBus().connect(QString(), "/KGlobalSettings", "org.kde.KGlobalSettings",
                                                     "notifyChange", this, SLOT(onNotify(int, int)));
    }
    QStringList seen;
public slots:
    void onNotify(int type, int arg) { seen << QStringLiteral("%1 %2").arg(type).arg(arg); }
};

QString readConfig(const QString &path, const QString &key) { return QSettings(path, QSettings::IniFormat).value(key).toString(); }
} // namespace

class TestPointerSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { setSystemPointerSettings(nullptr); }
    void backEnds_data();
    void backEnds();
    void desktopDetection_data();
    void desktopDetection();
    void kdeConfigEdits_data();
    void kdeConfigEdits();
    void skeldctl_data();
    void skeldctl();

private:
    std::unique_ptr<TestData> m_data;
    QProcess m_bus;
};

void TestPointerSettings::initTestCase()
{
    QCOMPARE(qEnvironmentVariable("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    m_data = std::make_unique<TestData>();
    QVERIFY(m_data->isValid());
    // A private session bus, opened before anything uses one: the test
    // reaches no desktop of the machine.
    m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    QVERIFY2(m_bus.waitForStarted(5000), "dbus-daemon did not start (package dbus)");
    QTRY_VERIFY(m_bus.canReadLine());
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
}

void TestPointerSettings::cleanupTestCase()
{
    m_bus.kill();
    m_bus.waitForFinished(5000);
}

void TestPointerSettings::backEnds_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QStringList>("calls");    // "slot value", as the page calls them
    QTest::addColumn<QStringList>("expected"); // "where=value" read back afterwards
    QTest::addColumn<QStringList>("debug");    // exact lines; a trailing * matches a start
    using L = QStringList;
    // The page's steps 0..10; beyond them the last step holds.
    QTest::newRow("GNOME slowest") << "GNOME" << L{"speed 0", "doubleclick 0"} << L{"gnome speed=-0.9", "gnome double-click=900"} << L{};
    QTest::newRow("GNOME step 1") << "GNOME" << L{"doubleclick 1"} << L{"gnome double-click=830"} << L{};
    QTest::newRow("GNOME default") << "GNOME" << L{"speed 5", "doubleclick 5"} << L{"gnome speed=0", "gnome double-click=550"} << L{};
    QTest::newRow("GNOME fastest") << "GNOME" << L{"speed 10", "doubleclick 10"} << L{"gnome speed=1", "gnome double-click=200"} << L{};
    QTest::newRow("GNOME beyond") << "GNOME" << L{"speed 12", "doubleclick 13"} << L{"gnome speed=1", "gnome double-click=200"} << L{};
    QTest::newRow("GNOME far beyond") << "GNOME" << L{"speed 1000", "doubleclick 4294967295"} << L{"gnome speed=1", "gnome double-click=200"} << L{};
    QTest::newRow("GNOME has no wheel lines") << "GNOME" << L{"doubleclick 2", "lines 3"} << L{"gnome double-click=760"}
                                              << L{"pointer: this desktop (GNOME) has no wheel lines setting", "setVerticalScrollLines Failed"};
    QTest::newRow("X11 step 0") << "X11" << L{"speed 0"} << L{"x11=1"} << L{};
    QTest::newRow("X11 step 1") << "X11" << L{"speed 1"} << L{"x11=2"} << L{};
    QTest::newRow("X11 step 5") << "X11" << L{"speed 5"} << L{"x11=10"} << L{};
    QTest::newRow("X11 step 11") << "X11" << L{"speed 11"} << L{"x11=20"} << L{};
    QTest::newRow("X11 largest step") << "X11" << L{"speed 4294967295"} << L{"x11=20"} << L{};
    QTest::newRow("X11 keeps no double-click time or wheel lines")
        << "X11" << L{"speed 10", "doubleclick 10", "lines 10"} << L{"x11=20"}
        << L{"pointer: this desktop (X11) has no double-click time setting", "setDoubleClickSpeed Failed",
             "pointer: this desktop (X11) has no wheel lines setting", "setVerticalScrollLines Failed"};
    QTest::newRow("X11 without a display") << "X11 without display" << L{"speed 4"} << L{}
                                           << L{"pointer: cannot open the X display", "setCursorSpeed Failed"};
    // Xvfb's devices are not libinput's: Plasma falls back to the server.
    QTest::newRow("Plasma on X11") << "Plasma on X11" << L{"speed 10"}
                                   << L{"x11=20", "kcminputrc Mouse/XLbInptPointerAcceleration=1.000"} << L{};
    const QString accel = "kcminputrc Mouse/XLbInptPointerAcceleration=";
    QTest::newRow("Plasma speed 0") << "Plasma" << L{"speed 0"} << L{accel + "-0.900", "kwin=-0.9", "notify=0"} << L{};
    QTest::newRow("Plasma speed 5") << "Plasma" << L{"speed 5"} << L{accel + "0.000", "kwin=0", "notify=0"} << L{};
    QTest::newRow("Plasma speed 10") << "Plasma" << L{"speed 10"} << L{accel + "1.000", "kwin=1", "notify=0"} << L{};
    QTest::newRow("Plasma double-click") << "Plasma" << L{"doubleclick 10"} << L{"kdeglobals KDE/DoubleClickInterval=200", "kwin=0.5", "notify=1"} << L{};
    QTest::newRow("Plasma lines 5") << "Plasma" << L{"lines 5"} << L{"kdeglobals KDE/WheelScrollLines=5", "kwin=0.5", "notify=1"} << L{};
    QTest::newRow("Plasma one screen") << "Plasma" << L{"lines 1000"} << L{"kdeglobals KDE/WheelScrollLines=1000", "notify=1"} << L{};
    QTest::newRow("Plasma without KWin") << "Plasma without KWin" << L{"speed 3"} << L{}
                                         << L{"pointer: KWin's input devices are not on the session bus*", "setCursorSpeed Failed"};
}

void TestPointerSettings::backEnds()
{
    QFETCH(QString, desktop);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, debug);
    QTemporaryDir config;
    // What the user had in Plasma's files stays.
    for (const char *name : {"kcminputrc", "kdeglobals"}) {
        QFile f(config.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Icons]\nTheme=breeze\n\n[Mouse]\ncursorTheme=breeze\n\n[KDE]\nSingleClick=false\n");
    }
    std::unique_ptr<Xvfb> x;
    Display *dpy = nullptr;
    FakeKWin kwin;
    NotifyListener listener;
    if (desktop == "GNOME") {
        QVERIFY2(GSettingsPointerSettings::available(), "the schema comes with gsettings-desktop-schemas");
        QCOMPARE(QByteArray(systemPointerSettings().name()), QByteArray("GSettings")); // picked by itself
    } else if (desktop == "X11" || desktop == "Plasma on X11") {
        x = std::make_unique<Xvfb>();
        QVERIFY2(x->isRunning(), "Xvfb did not start");
        // Connected before the change, as a desktop's clients are: a server
        // left without clients resets its settings.
        dpy = XOpenDisplay(x->display().toLatin1().constData());
        QVERIFY(dpy);
        if (desktop == "X11")
            setSystemPointerSettings(std::make_unique<X11PointerSettings>(x->display().toLatin1()));
        else
            setSystemPointerSettings(std::make_unique<PlasmaPointerSettings>(false, config.path(), x->display().toLatin1()));
    } else if (desktop == "X11 without display") {
        setSystemPointerSettings(std::make_unique<X11PointerSettings>(QByteArray(":65000")));
    } else {
        if (desktop == "Plasma") QVERIFY(kwin.registerOnBus() && listener.listen());
        setSystemPointerSettings(std::make_unique<PlasmaPointerSettings>(true, config.path()));
    }
    myQQuickView view;
    DebugCapture cap;
    const QMap<QString, const char *> slotNames{{"speed", "mouseSetCursorSpeed"}, {"doubleclick", "mouseSetDoubleClickSpeed"},
                                            {"lines", "mouseSetVerticalScrollLines"}};
    for (const QString &call : calls) // by name, as the page calls them
        QVERIFY(QMetaObject::invokeMethod(&view, slotNames.value(call.section(' ', 0, 0)), Q_ARG(uint, call.section(' ', 1).toUInt())));
    const QStringList lines = cap.lines();
    QCOMPARE(lines.size(), debug.size());
    for (int i = 0; i < debug.size(); ++i)
        QVERIFY2(debug.at(i).endsWith('*') ? lines.at(i).startsWith(debug.at(i).chopped(1)) : lines.at(i) == debug.at(i),
                 qPrintable(lines.at(i)));
    if (!debug.isEmpty()) QVERIFY(!systemPointerSettings().failureReason().isEmpty());
    for (const QString &e : expected) {
        const QString where = e.section('=', 0, 0), want = e.section('=', 1);
        if (where.startsWith("gnome")) {
            GSettings *s = g_settings_new(GSettingsPointerSettings::schemaId);
            const QString got = where == "gnome speed" ? QString::number(g_settings_get_double(s, "speed"))
                                                       : QString::number(g_settings_get_int(s, "double-click"));
            g_object_unref(s);
            QCOMPARE(got, want);
        } else if (where == "x11") {
            int num = 0, den = 0, threshold = 0;
            XGetPointerControl(dpy, &num, &den, &threshold);
            QCOMPARE(num, want.toInt());
            QCOMPARE(den, X11PointerSettings::accelDenominator);
        } else if (where == "kwin") {
            QCOMPARE(kwin.mouse.pointerAcceleration, want.toDouble());
            QCOMPARE(kwin.touchpad.pointerAcceleration, 0.5); // the touchpad keeps its own speed
        } else if (where == "notify") {
            QTRY_COMPARE(listener.seen.size(), want.toInt());
            QCOMPARE(listener.seen, QStringList(want.toInt(), "3 0"));
        } else {
            const QString path = config.filePath(where.section(' ', 0, 0));
            QCOMPARE(readConfig(path, where.section(' ', 1)), want);
            const std::pair<const char *, const char *> kept[] = {
                {"Icons/Theme", "breeze"}, {"Mouse/cursorTheme", "breeze"}, {"KDE/SingleClick", "false"}};
            for (auto [key, value] : kept)
                QCOMPARE(readConfig(path, key), QString(value));
        }
    }
    if (dpy) XCloseDisplay(dpy);
}

void TestPointerSettings::desktopDetection_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<bool>("x11Display");
    QTest::addColumn<bool>("waylandDisplay");
    QTest::addColumn<QString>("backEnd");
    // GNOME's schema is on most systems, Plasma ones included: the desktop
    // decides, not the schema.
    QTest::newRow("KDE on X11") << "KDE" << "x11" << true << false << "KDE Plasma";
    QTest::newRow("KDE on Wayland") << "KDE" << "wayland" << true << true << "KDE Plasma";
    QTest::newRow("GNOME on X11") << "GNOME" << "x11" << true << false << "GSettings";
    QTest::newRow("GNOME on Wayland") << "GNOME" << "wayland" << true << true << "GSettings";
    QTest::newRow("Ubuntu's GNOME") << "ubuntu:GNOME" << "wayland" << false << true << "GSettings";
    QTest::newRow("XFCE on X11") << "XFCE" << "x11" << true << false << "X11 pointer control";
    QTest::newRow("empty, X display") << "" << "" << true << false << "X11 pointer control";
    QTest::newRow("empty, nothing") << "" << "" << false << false << "none";
    // Xwayland's X display would only reach X programs.
    QTest::newRow("other Wayland desktop") << "sway" << "wayland" << true << true << "none";
    QTest::newRow("Wayland display, no session type") << "" << "" << true << true << "none";
    QTest::newRow("no X display on X11") << "XFCE" << "x11" << false << false << "none";
}

void TestPointerSettings::desktopDetection()
{
    QFETCH(QString, desktop);
    QFETCH(QString, sessionType);
    QFETCH(bool, x11Display);
    QFETCH(bool, waylandDisplay);
    QFETCH(QString, backEnd);
    std::unique_ptr<PointerSettings> settings = createPointerSettings(DesktopSession{desktop, sessionType, x11Display, waylandDisplay});
    QCOMPARE(QString::fromLatin1(settings->name()), backEnd);
    if (backEnd != "none") return;
    DebugCapture cap;
    QVERIFY(!settings->setWheelScrollLines(3)); // refused with a reason the user can act on
    QVERIFY(!settings->failureReason().isEmpty());
}

void TestPointerSettings::kdeConfigEdits_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after"); // empty: locked, unchanged
    QTest::newRow("new file") << QByteArray() << QByteArray("[KDE]\nWheelScrollLines=5\n");
    QTest::newRow("replaced in place, the rest kept")
        << QByteArray("# kept\n[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\nWheelScrollLines = 3\n"
                      "WheelScrollLines[de]=7\n\n[Icons]\nTheme=x\n")
        << QByteArray("# kept\n[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\nWheelScrollLines=5\n"
                      "WheelScrollLines[de]=7\n\n[Icons]\nTheme=x\n");
    QTest::newRow("added at the end of its group") << QByteArray("[KDE]\nSingleClick=false\n\n[Icons]\nTheme=x")
                                                   << QByteArray("[KDE]\nSingleClick=false\nWheelScrollLines=5\n\n[Icons]\nTheme=x\n");
    QTest::newRow("group added") << QByteArray("[Icons]\nTheme=x\n") << QByteArray("[Icons]\nTheme=x\n\n[KDE]\nWheelScrollLines=5\n");
    QTest::newRow("a nested group is another group") << QByteArray("[KDE][Sub]\nWheelScrollLines=2\n")
                                                     << QByteArray("[KDE][Sub]\nWheelScrollLines=2\n\n[KDE]\nWheelScrollLines=5\n");
    QTest::newRow("shell-expanded entry becomes plain") << QByteArray("[KDE]\nWheelScrollLines[$e]=$LINES\n")
                                                        << QByteArray("[KDE]\nWheelScrollLines=5\n");
    QTest::newRow("locked entry") << QByteArray("[KDE]\nWheelScrollLines[$i]=3\n") << QByteArray();
    QTest::newRow("locked group") << QByteArray("[KDE][$i]\nA=1\n") << QByteArray();
    QTest::newRow("locked file") << QByteArray("[$i]\n[KDE]\nA=1\n") << QByteArray();
}

void TestPointerSettings::kdeConfigEdits()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    QFile f(dir.filePath("kdeglobals"));
    if (!before.isEmpty()) QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
    f.close();
    QCOMPARE(KdeConfigFile::setEntry(f.fileName(), "KDE", "WheelScrollLines", "5"),
             after.isEmpty() ? KdeConfigFile::Result::Locked : KdeConfigFile::Result::Written);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), after.isEmpty() ? before : after);
}

void TestPointerSettings::skeldctl_data()
{
    QTest::addColumn<QString>("desktop"); // a "+" asks for a session bus
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stored"); // "file key=value" read back
    QTest::addColumn<QString>("error");  // the start of one line of standard error
    using L = QStringList;
    const QString gnome = "glib-2.0/settings/keyfile org/gnome/desktop/peripherals/mouse/";
    const QString bad = "skeldctl: pointer %1: the %2 must be %3, not \"%4\"";
    QTest::newRow("speed 0") << "GNOME" << L{"speed", "0"} << 0 << gnome + "speed=-0.9" << "";
    QTest::newRow("doubleclick 10") << "GNOME" << L{"doubleclick", "10"} << 0 << gnome + "double-click=200" << "";
    QTest::newRow("lines: GNOME has none") << "GNOME" << L{"lines", "5"} << 1 << ""
                                           << "skeldctl: pointer lines: this desktop (GNOME) has no wheel lines setting";
    QTest::newRow("KDE lines 5") << "KDE+" << L{"lines", "5"} << 0 << "kdeglobals KDE/WheelScrollLines=5" << "";
    QTest::newRow("KDE lines one screen") << "KDE+" << L{"lines", "1000"} << 0 << "kdeglobals KDE/WheelScrollLines=1000" << "";
    QTest::newRow("lines 101") << "KDE+" << L{"lines", "101"} << 2 << "" << bad.arg("lines", "value", "1..100 or 1000", "101");
    QTest::newRow("KDE doubleclick 10") << "KDE+" << L{"doubleclick", "10"} << 0 << "kdeglobals KDE/DoubleClickInterval=200" << "";
    // Saved for programs started later, but the running ones were not told.
    QTest::newRow("KDE lines without a session bus") << "KDE" << L{"lines", "5"} << 1 << "kdeglobals KDE/WheelScrollLines=5"
                                                     << "skeldctl: pointer lines: wheel lines saved in ";
    QTest::newRow("KDE speed on Wayland without KWin") << "KDE+" << L{"speed", "10"} << 1
                                                       << "kcminputrc Mouse/XLbInptPointerAcceleration=1"
                                                       << "skeldctl: pointer speed: KWin's input devices are not on the session bus";
    QTest::newRow("step above 10") << "GNOME" << L{"doubleclick", "13"} << 2 << "" << bad.arg("doubleclick", "step", "0..10", "13");
    QTest::newRow("negative") << "GNOME" << L{"speed", "-1"} << 2 << "" << bad.arg("speed", "step", "0..10", "-1");
    QTest::newRow("lines 0") << "GNOME" << L{"lines", "0"} << 2 << "" << bad.arg("lines", "value", "1..100 or 1000", "0");
    QTest::newRow("unknown setting") << "GNOME" << L{"wheel", "3"} << 2 << ""
                                     << "skeldctl: pointer: unknown setting \"wheel\" (speed, doubleclick or lines)";
    QTest::newRow("missing value") << "GNOME" << L{"speed"} << 2 << ""
                                   << "skeldctl: pointer needs a setting and a value: speed|doubleclick|lines VALUE";
}

void TestPointerSettings::skeldctl()
{
    QFETCH(QString, desktop);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, stored);
    QFETCH(QString, error);
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GSETTINGS_BACKEND", "keyfile");
    env.insert("XDG_CONFIG_HOME", config.path());
    const bool sessionBus = desktop.endsWith('+');
    env.insert("XDG_CURRENT_DESKTOP", QString(desktop).remove('+'));
    env.insert("XDG_SESSION_TYPE", "wayland"); // the pointer speed would go to KWin
    // Never the machine's own bus: a private one, or one that is not there.
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + config.filePath("no-bus"));
    QProcess p;
    p.setProcessEnvironment(env);
    QStringList command = QStringList{TestData::buildDir() + "/skeldctl", "--data-dir", m_data->root(), "pointer"} + args;
    if (sessionBus)
        p.start("dbus-run-session", QStringList{"--"} + command);
    else
        p.start(command.takeFirst(), command);
    QVERIFY(p.waitForFinished(30000));
    const QStringList errLines = QString::fromUtf8(p.readAllStandardError()).split('\n');
    QVERIFY2(p.exitCode() == status, qPrintable(errLines.join('\n')));
    if (!error.isEmpty())
        QVERIFY2(std::any_of(errLines.begin(), errLines.end(), [&](const QString &l) { return l.startsWith(error); }),
                 qPrintable(errLines.join('\n')));
    if (stored.isEmpty()) return;
    const QString key = stored.section(' ', 1).section('=', 0, 0);
    QCOMPARE(QSettings(config.filePath(stored.section(' ', 0, 0)), QSettings::IniFormat).value(key).toDouble(),
             stored.section('=', 1).toDouble());
}

QTEST_MAIN(TestPointerSettings)
#include "tst_pointer_settings.moc"
