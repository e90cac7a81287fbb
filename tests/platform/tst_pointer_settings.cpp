// The pointer settings the page and skeldctl change: GNOME through GSettings
// (as skeldctl), Plasma through its files and KWin, other X11 desktops
// through the server.
#include "testlib/Xvfb.h"

#include "app/myQQuickView.h"
#include "features/PointerSettings.h"
#include "platform/KdeConfigFile.h"
#include "platform/PointerSettings.h"
#include "testlib/TestData.h"

#include <QDBusConnection>
#include <QtTest>

#include <X11/Xlib.h>
// Xlib's macro would rename moc's QMetaType::Bool below.
#undef Bool

namespace {
// Stands in for KWin's input devices: what Plasma's own settings module sees.
class FakeKWinDevice : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDevice")
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

using L = QStringList;
// calls: "slot value" as the page calls them; expected: "where=value" read
// back afterwards; debug: the exact lines. The page's steps are 0..10;
// beyond them the last step holds.
const QString kAccel = "kcminputrc Mouse/XLbInptPointerAcceleration=";
const struct { const char *tag, *desktop; L calls, expected, debug; } kBackEnds[] = {
    {"X11 keeps only the speed", "X11", {"speed 0", "doubleclick 10", "lines 10"}, {"x11=1"},
     {"pointer: this desktop (X11) has no double-click time setting", "setDoubleClickSpeed Failed",
      "pointer: this desktop (X11) has no wheel lines setting", "setVerticalScrollLines Failed"}},
    {"X11 without a display", "X11 without display", {"speed 4"}, {}, {"pointer: cannot open the X display", "setCursorSpeed Failed"}},
    // Xvfb's devices are not libinput's: Plasma falls back to the server.
    {"Plasma on X11", "Plasma on X11", {"speed 4294967295"}, {"x11=20", kAccel + "1.000"}, {}},
    // Only the mouse's speed changes, and the running programs hear of the others.
    {"Plasma", "Plasma", {"speed 0", "doubleclick 4294967295", "lines 1000"},
     {kAccel + "-0.900", "kwin=-0.9", "kdeglobals KDE/DoubleClickInterval=200", "kdeglobals KDE/WheelScrollLines=1000", "notify=2"}, {}},
};
} // namespace

class TestPointerSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { setSystemPointerSettings(nullptr); }
    void backEnds_data() { addRows(kBackEnds); }
    void backEnds();
    void desktopDetection();
    void kdeConfigEdits();
    void skeldctl_data();
    void skeldctl();

private:
    std::unique_ptr<TestData> m_data;
    QProcess m_bus;
};

void TestPointerSettings::initTestCase()
{
    m_data = std::make_unique<TestData>();
    QVERIFY(m_data->isValid());
    // A private session bus, before anything uses one: no desktop of the machine is reached.
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

void TestPointerSettings::backEnds()
{
    ROW(kBackEnds);
    const QString desktop = r.desktop;
    QTemporaryDir config;
    std::unique_ptr<Xvfb> x;
    Display *dpy = nullptr;
    FakeKWin kwin;
    NotifyListener listener;
    if (desktop == "X11" || desktop == "Plasma on X11") {
        x = std::make_unique<Xvfb>();
        QVERIFY2(x->isRunning(), "Xvfb did not start");
        // A server left without clients resets its settings: connect first.
        dpy = XOpenDisplay(x->display().toLatin1().constData());
        QVERIFY(dpy);
        if (desktop == "X11")
            setSystemPointerSettings(std::make_unique<X11PointerSettings>(x->display().toLatin1()));
        else
            setSystemPointerSettings(std::make_unique<PlasmaPointerSettings>(false, config.path(), x->display().toLatin1()));
    } else if (desktop == "X11 without display") {
        setSystemPointerSettings(std::make_unique<X11PointerSettings>(QByteArray(":65000")));
    } else {
        QVERIFY(kwin.registerOnBus() && listener.listen());
        setSystemPointerSettings(std::make_unique<PlasmaPointerSettings>(true, config.path()));
    }
    myQQuickView view;
    DebugCapture cap;
    const QMap<QString, const char *> slotNames{{"speed", "mouseSetCursorSpeed"}, {"doubleclick", "mouseSetDoubleClickSpeed"},
                                            {"lines", "mouseSetVerticalScrollLines"}};
    for (const QString &call : r.calls) // by name, as the page calls them
        QVERIFY(QMetaObject::invokeMethod(&view, slotNames.value(call.section(' ', 0, 0)), Q_ARG(uint, call.section(' ', 1).toUInt())));
    QCOMPARE(cap.lines(), r.debug);
    if (!r.debug.isEmpty()) QVERIFY(!systemPointerSettings().failureReason().isEmpty());
    for (const QString &e : r.expected) {
        const QString where = e.section('=', 0, 0), want = e.section('=', 1);
        if (where == "x11") {
            int num = 0, den = 0, threshold = 0;
            XGetPointerControl(dpy, &num, &den, &threshold);
            QCOMPARE(num, want.toInt());
            QCOMPARE(den, X11PointerSettings::accelDenominator);
        } else if (where == "kwin") {
            QCOMPARE(kwin.mouse.pointerAcceleration, want.toDouble());
            QCOMPARE(kwin.touchpad.pointerAcceleration, 0.5); // the touchpad keeps its own speed
        } else if (where == "notify") {
            QTRY_COMPARE(listener.seen, QStringList(want.toInt(), "3 0"));
        } else {
            const QString path = config.filePath(where.section(' ', 0, 0));
            QCOMPARE(QSettings(path, QSettings::IniFormat).value(where.section(' ', 1)).toString(), want);
        }
    }
    if (dpy) XCloseDisplay(dpy);
}

void TestPointerSettings::desktopDetection()
{
    // The desktop decides, not GNOME's schema (on most systems); Xwayland reaches X programs only.
    const struct { const char *desktop, *session; bool x11, wayland; const char *backEnd; } cases[] = {
        {"KDE", "wayland", true, true, "KDE Plasma"}, {"GNOME", "x11", true, false, "GSettings"},
        {"ubuntu:GNOME", "wayland", false, true, "GSettings"}, {"XFCE", "x11", true, false, "X11 pointer control"},
        {"", "", false, false, "none"}, {"", "", true, true, "none"}, {"XFCE", "x11", false, false, "none"}};
    for (const auto &c : cases) {
        const auto settings = createPointerSettings(DesktopSession{c.desktop, c.session, c.x11, c.wayland});
        const QByteArray where = QByteArray(c.desktop) + '/' + c.session + '/' + char('0' + c.x11) + char('0' + c.wayland);
        QVERIFY2(QLatin1String(settings->name()) == QLatin1String(c.backEnd), where);
        if (qstrcmp(c.backEnd, "none") != 0) continue;
        // Refused with a reason the user can act on.
        QVERIFY2(!settings->setWheelScrollLines(3) && !settings->failureReason().isEmpty(), where);
    }
}

void TestPointerSettings::kdeConfigEdits()
{
    // Before and after setting KDE/WheelScrollLines=5; no after: locked, unchanged.
    const std::pair<QByteArray, QByteArray> edits[] = {
        // Other groups (a nested one too), translations and comments stay; a shell-expanded copy becomes plain.
        {"# kept\n[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\nWheelScrollLines = 3\nWheelScrollLines[de]=7\nWheelScrollLines[$e]=$L\n\n[KDE][Sub]\nWheelScrollLines=2\n",
         "# kept\n[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\nWheelScrollLines=5\nWheelScrollLines[de]=7\nWheelScrollLines=5\n\n[KDE][Sub]\nWheelScrollLines=2\n"},
        {"[KDE]\nSingleClick=false\n\n[Icons]\nTheme=x", "[KDE]\nSingleClick=false\nWheelScrollLines=5\n\n[Icons]\nTheme=x\n"},
        {"[Icons]\nTheme=x\n", "[Icons]\nTheme=x\n\n[KDE]\nWheelScrollLines=5\n"},
        {"[KDE]\nWheelScrollLines[$i]=3\n", ""}, {"[KDE][$i]\nA=1\n", ""}, {"[$i]\n[KDE]\nA=1\n", ""}};
    for (const auto &[before, after] : edits) {
        QTemporaryDir dir;
        QFile f(dir.filePath("kdeglobals"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        f.close();
        QCOMPARE(KdeConfigFile::setEntry(f.fileName(), "KDE", "WheelScrollLines", "5"),
                 after.isEmpty() ? KdeConfigFile::Result::Locked : KdeConfigFile::Result::Written);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), after.isEmpty() ? before : after);
    }
}

namespace {
const QString kGnome = "glib-2.0/settings/keyfile org/gnome/desktop/peripherals/mouse/";
QString bad(const char *what, const char *unit, const char *range, const char *value)
{
    return QStringLiteral("skeldctl: pointer %1: the %2 must be %3, not \"%4\"").arg(what, unit, range, value);
}
// A "+" asks for a session bus, "read-only" for a GSettings back end that
// takes no writes; stored: "file key=value"; error: the start of a line.
const struct { const char *tag, *desktop; QStringList args; int status; QString stored, error; } kSkeldctl[] = {
    {"speed 0", "GNOME", {"speed", "0"}, 0, kGnome + "speed=-0.9", ""},
    {"doubleclick 10", "GNOME", {"doubleclick", "10"}, 0, kGnome + "double-click=200", ""},
    {"GSettings refuses the write", "GNOME read-only", {"speed", "3"}, 1, "", "skeldctl: pointer speed: GSettings did not take the pointer speed"},
    {"lines: GNOME has none", "GNOME", {"lines", "5"}, 1, "", "skeldctl: pointer lines: this desktop (GNOME) has no wheel lines setting"},
    {"KDE lines one screen", "KDE+", {"lines", "1000"}, 0, "kdeglobals KDE/WheelScrollLines=1000", ""},
    {"lines 101", "KDE+", {"lines", "101"}, 2, "", bad("lines", "value", "1..100 or 1000", "101")},
    // Saved for programs started later, but the running ones were not told.
    {"KDE lines without a session bus", "KDE", {"lines", "5"}, 1, "kdeglobals KDE/WheelScrollLines=5", "skeldctl: pointer lines: wheel lines saved in "},
    {"KDE speed on Wayland without KWin", "KDE+", {"speed", "10"}, 1, "kcminputrc Mouse/XLbInptPointerAcceleration=1",
     "skeldctl: pointer speed: KWin's input devices are not on the session bus"},
    {"unknown setting", "GNOME", {"wheel", "3"}, 2, "", "skeldctl: pointer: unknown setting \"wheel\" (speed, doubleclick or lines)"},
};
} // namespace

void TestPointerSettings::skeldctl_data() { addRows(kSkeldctl); }

void TestPointerSettings::skeldctl()
{
    ROW(kSkeldctl);
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString desktop = QString::fromLatin1(r.desktop);
    env.insert("GSETTINGS_BACKEND", desktop.endsWith(" read-only") ? "null" : "keyfile");
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("XDG_CURRENT_DESKTOP", desktop.section(' ', 0, 0).remove('+'));
    env.insert("XDG_SESSION_TYPE", "wayland"); // the pointer speed would go to KWin
    // Never the machine's own bus: a private one, or one that is not there.
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + config.filePath("no-bus"));
    QProcess p;
    p.setProcessEnvironment(env);
    QStringList command = QStringList{TestData::buildDir() + "/skeldctl", "--data-dir", m_data->root(), "pointer"} + r.args;
    if (desktop.endsWith('+'))
        p.start("dbus-run-session", QStringList{"--"} + command);
    else
        p.start(command.takeFirst(), command);
    QVERIFY(p.waitForFinished(30000));
    const QStringList errLines = QString::fromUtf8(p.readAllStandardError()).split('\n');
    QVERIFY2(p.exitCode() == r.status, qPrintable(errLines.join('\n')));
    if (!r.error.isEmpty())
        QVERIFY2(std::any_of(errLines.begin(), errLines.end(), [&](const QString &l) { return l.startsWith(r.error); }),
                 qPrintable(errLines.join('\n')));
    if (r.stored.isEmpty()) return;
    const QString key = r.stored.section(' ', 1).section('=', 0, 0);
    QCOMPARE(QSettings(config.filePath(r.stored.section(' ', 0, 0)), QSettings::IniFormat).value(key).toDouble(),
             r.stored.section('=', 1).toDouble());
}

QTEST_MAIN(TestPointerSettings)
#include "tst_pointer_settings.moc"
