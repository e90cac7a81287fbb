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

namespace
{
// Remembers what the bridge asked the desktop for; answers as told.
struct FakeSettings : PointerSettings {
    QStringList *calls;
    bool ok;
    FakeSettings(QStringList *c, bool answer) : calls(c), ok(answer) {}
    const char *name() const override { return "fake"; }
    bool setCursorSpeed(int speed) override
    {
        *calls << QStringLiteral("speed %1").arg(speed);
        return ok;
    }
    bool setDoubleClickTime(int ms) override
    {
        *calls << QStringLiteral("double-click %1").arg(ms);
        return ok;
    }
    bool setWheelScrollLines(uint lines) override
    {
        *calls << QStringLiteral("lines %1").arg(lines);
        return ok;
    }
};

// A private session bus, so the test reaches no desktop of the machine.
class PrivateSessionBus
{
public:
    PrivateSessionBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000)) return;
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        m_address = m_daemon.readLine().trimmed();
    }
    ~PrivateSessionBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    QByteArray address() const { return m_address; }

private:
    QProcess m_daemon;
    QByteArray m_address;
};

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
    QString sysName;
    bool pointer = true;
    bool touchpad = false;
    bool supportsPointerAcceleration = true;
    double pointerAcceleration = 0.5;
};

class FakeKWin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDeviceManager")
    Q_PROPERTY(QStringList devicesSysNames READ devicesSysNames CONSTANT)
public:
    FakeKWin()
    {
        mouse.sysName = QStringLiteral("event5");
        touchpad.sysName = QStringLiteral("event7");
        touchpad.touchpad = true;
        keyboard.sysName = QStringLiteral("event2");
        keyboard.pointer = false;
    }
    ~FakeKWin() override { unregister(); }
    QStringList devicesSysNames() const
    {
        return {keyboard.sysName, mouse.sysName, touchpad.sysName};
    }
    bool registerOnBus()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const auto flags = QDBusConnection::ExportAllProperties;
        bool ok = bus.registerObject(QStringLiteral("/org/kde/KWin/InputDevice"), this, flags);
        for (FakeKWinDevice *d : {&mouse, &touchpad, &keyboard})
            ok = ok && bus.registerObject(QStringLiteral("/org/kde/KWin/InputDevice/") + d->sysName,
                                          d, flags);
        return ok && bus.registerService(QStringLiteral("org.kde.KWin"));
    }
    void unregister()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(QStringLiteral("org.kde.KWin"));
        bus.unregisterObject(QStringLiteral("/org/kde/KWin/InputDevice"),
                             QDBusConnection::UnregisterTree);
    }
    FakeKWinDevice mouse;
    FakeKWinDevice touchpad;
    FakeKWinDevice keyboard;
};

// Counts Plasma's settings-change broadcasts on the bus.
class NotifyListener : public QObject
{
    Q_OBJECT
public:
    bool listen()
    {
        return QDBusConnection::sessionBus().connect(
            QString(), QStringLiteral("/KGlobalSettings"), QStringLiteral("org.kde.KGlobalSettings"),
            QStringLiteral("notifyChange"), this, SLOT(onNotify(int, int)));
    }
    QStringList seen;
signals:
    void notified();
public slots:
    void onNotify(int type, int arg)
    {
        seen << QStringLiteral("%1 %2").arg(type).arg(arg);
        emit notified();
    }
};

QString readConfig(const QString &path, const QString &key)
{
    return QSettings(path, QSettings::IniFormat).value(key).toString();
}

struct GnomeMouse {
    GSettings *s = g_settings_new(GSettingsPointerSettings::schemaId);
    ~GnomeMouse() { g_object_unref(s); }
    double speed() const { return g_settings_get_double(s, "speed"); }
    int doubleClick() const { return g_settings_get_int(s, "double-click"); }
};
} // namespace

class TestPointerSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { setSystemPointerSettings(nullptr); }
    void steps_data();
    void steps();
    void bridgeSlots_data();
    void bridgeSlots();
    void gsettingsReadsBack_data();
    void gsettingsReadsBack();
    void gsettingsRefusesWhatItCannotStore();
    void x11ReadsBack_data();
    void x11ReadsBack();
    void x11WithoutDisplayFails();
    void desktopDetection_data();
    void desktopDetection();
    void kdeConfigEdits_data();
    void kdeConfigEdits();
    void plasmaStoresAndApplies_data();
    void plasmaStoresAndApplies();
    void plasmaWithoutKWinFails();

private:
    std::unique_ptr<TestData> m_data;
    std::unique_ptr<PrivateSessionBus> m_bus;
};

void TestPointerSettings::initTestCase()
{
    QCOMPARE(qEnvironmentVariable("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    m_data = std::make_unique<TestData>();
    QVERIFY(m_data->isValid());
    // Before anything opens the session bus: the Plasma cases use their own.
    m_bus = std::make_unique<PrivateSessionBus>();
    QVERIFY2(!m_bus->address().isEmpty(), "dbus-daemon did not start (package dbus)");
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address());
}

void TestPointerSettings::steps_data()
{
    QTest::addColumn<uint>("step");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("doubleClickMs");

    QTest::newRow("0") << 0u << 1 << 900;
    QTest::newRow("1") << 1u << 2 << 830;
    QTest::newRow("5") << 5u << 10 << 550;
    QTest::newRow("10") << 10u << 20 << 200;
    // Beyond the page's range the last step holds: no wrapped or negative time.
    QTest::newRow("11") << 11u << 20 << 200;
    QTest::newRow("13") << 13u << 20 << 200;
    QTest::newRow("1000") << 1000u << 20 << 200;
    QTest::newRow("largest") << 0xFFFFFFFFu << 20 << 200;
}

void TestPointerSettings::steps()
{
    QFETCH(uint, step);
    QFETCH(int, speed);
    QFETCH(int, doubleClickMs);
    QCOMPARE(PointerSteps::cursorSpeed(step), speed);
    QCOMPARE(PointerSteps::doubleClickMs(step), doubleClickMs);
}

void TestPointerSettings::bridgeSlots_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<uint>("value");
    QTest::addColumn<bool>("desktopStores");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QStringList>("debug");

    QTest::newRow("speed 0") << "mouseSetCursorSpeed" << 0u << true << "speed 1" << QStringList{};
    QTest::newRow("speed 10") << "mouseSetCursorSpeed" << 10u << true << "speed 20"
                              << QStringList{};
    QTest::newRow("speed refused") << "mouseSetCursorSpeed" << 3u << false << "speed 6"
                                   << QStringList{"setCursorSpeed Failed"};
    QTest::newRow("double-click 0")
        << "mouseSetDoubleClickSpeed" << 0u << true << "double-click 900" << QStringList{};
    QTest::newRow("double-click 13")
        << "mouseSetDoubleClickSpeed" << 13u << true << "double-click 200" << QStringList{};
    QTest::newRow("double-click refused")
        << "mouseSetDoubleClickSpeed" << 10u << false << "double-click 200"
        << QStringList{"setDoubleClickSpeed Failed"};
    QTest::newRow("one screen") << "mouseSetVerticalScrollLines" << 1000u << true << "lines 1000"
                                << QStringList{};
    QTest::newRow("lines refused") << "mouseSetVerticalScrollLines" << 3u << false << "lines 3"
                                   << QStringList{"setVerticalScrollLines Failed"};
}

void TestPointerSettings::bridgeSlots()
{
    QFETCH(QString, slot);
    QFETCH(uint, value);
    QFETCH(bool, desktopStores);
    QFETCH(QString, call);
    QFETCH(QStringList, debug);
    QStringList calls;
    setSystemPointerSettings(std::make_unique<FakeSettings>(&calls, desktopStores));
    myQQuickView view;
    DebugCapture cap;
    // By name, as the page calls it.
    QVERIFY(QMetaObject::invokeMethod(&view, slot.toLatin1().constData(), Q_ARG(uint, value)));
    QCOMPARE(calls, QStringList{call});
    QCOMPARE(cap.lines(), debug);
}

void TestPointerSettings::gsettingsReadsBack_data()
{
    QTest::addColumn<uint>("speedStep");
    QTest::addColumn<double>("speed");
    QTest::addColumn<uint>("doubleClickStep");
    QTest::addColumn<int>("doubleClickMs");

    QTest::newRow("slowest, slowest") << 0u << -0.9 << 0u << 900;
    QTest::newRow("default speed") << 5u << 0.0 << 5u << 550;
    QTest::newRow("fastest, fastest") << 10u << 1.0 << 10u << 200;
    QTest::newRow("beyond the range") << 12u << 1.0 << 13u << 200;
}

void TestPointerSettings::gsettingsReadsBack()
{
    QFETCH(uint, speedStep);
    QFETCH(double, speed);
    QFETCH(uint, doubleClickStep);
    QFETCH(int, doubleClickMs);
    QVERIFY2(GSettingsPointerSettings::available(),
             "the schema comes with gsettings-desktop-schemas (scripts/setup.sh)");
    // The back end the program picks by itself.
    QCOMPARE(QByteArray(systemPointerSettings().name()), QByteArray("GSettings"));
    myQQuickView view;
    DebugCapture cap;
    view.mouseSetCursorSpeed(speedStep);
    view.mouseSetDoubleClickSpeed(doubleClickStep);
    QVERIFY(cap.lines().isEmpty());
    GnomeMouse mouse;
    QCOMPARE(mouse.speed(), speed);
    QCOMPARE(mouse.doubleClick(), doubleClickMs);
}

void TestPointerSettings::gsettingsRefusesWhatItCannotStore()
{
    myQQuickView view;
    GnomeMouse mouse;
    view.mouseSetDoubleClickSpeed(2);
    DebugCapture cap;
    view.mouseSetVerticalScrollLines(3);
    QCOMPARE(cap.lines(),
             (QStringList{QStringLiteral("pointer: this desktop (GNOME) has no wheel lines setting"),
                          QStringLiteral("setVerticalScrollLines Failed")}));
    // Nothing else moved.
    QCOMPARE(mouse.doubleClick(), 760);
}

void TestPointerSettings::x11ReadsBack_data()
{
    QTest::addColumn<uint>("step");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<bool>("plasma");
    QTest::newRow("step 0") << 0u << 1 << false;
    QTest::newRow("step 5") << 5u << 10 << false;
    QTest::newRow("step 10") << 10u << 20 << false;
    QTest::newRow("step 11") << 11u << 20 << false;
    // Xvfb's devices are not libinput's: Plasma falls back to the server's
    // own acceleration.
    QTest::newRow("Plasma on X11, step 10") << 10u << 20 << true;
}

void TestPointerSettings::x11ReadsBack()
{
    QFETCH(uint, step);
    QFETCH(int, numerator);
    QFETCH(bool, plasma);
    Xvfb x;
    QVERIFY2(x.isRunning(), "Xvfb did not start");
    const QByteArray display = x.display().toLatin1();
    // Connected before the change, as any desktop's clients are: a server
    // left without clients resets its settings.
    Display *dpy = XOpenDisplay(display.constData());
    QVERIFY(dpy);
    QTemporaryDir config;
    if (plasma)
        setSystemPointerSettings(
            std::make_unique<PlasmaPointerSettings>(false, config.path(), display));
    else
        setSystemPointerSettings(std::make_unique<X11PointerSettings>(display));
    myQQuickView view;
    DebugCapture cap;
    view.mouseSetCursorSpeed(step);
    QVERIFY(cap.lines().isEmpty());

    int num = 0;
    int den = 0;
    int threshold = 0;
    XGetPointerControl(dpy, &num, &den, &threshold);
    XCloseDisplay(dpy);
    QCOMPARE(num, numerator);
    QCOMPARE(den, X11PointerSettings::accelDenominator);
    if (plasma) {
        QCOMPARE(readConfig(config.filePath(QStringLiteral("kcminputrc")),
                            QStringLiteral("Mouse/XLbInptPointerAcceleration")),
                 QStringLiteral("1.000"));
        return;
    }

    // The X server keeps no double-click time or wheel lines.
    view.mouseSetDoubleClickSpeed(step);
    view.mouseSetVerticalScrollLines(step);
    QCOMPARE(cap.lines(),
             (QStringList{QStringLiteral("pointer: this desktop (X11) has no double-click time setting"),
                          QStringLiteral("setDoubleClickSpeed Failed"),
                          QStringLiteral("pointer: this desktop (X11) has no wheel lines setting"),
                          QStringLiteral("setVerticalScrollLines Failed")}));
}

void TestPointerSettings::x11WithoutDisplayFails()
{
    setSystemPointerSettings(std::make_unique<X11PointerSettings>(QByteArray(":65000")));
    myQQuickView view;
    DebugCapture cap;
    view.mouseSetCursorSpeed(4);
    QCOMPARE(cap.lines(), (QStringList{QStringLiteral("pointer: cannot open the X display"),
                                       QStringLiteral("setCursorSpeed Failed")}));
}

void TestPointerSettings::desktopDetection_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<bool>("x11Display");
    QTest::addColumn<bool>("waylandDisplay");
    QTest::addColumn<QString>("backEnd");

    // GNOME's schema is installed on most systems, Plasma ones included: the
    // desktop decides, not the schema.
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
    const DesktopSession session{desktop, sessionType, x11Display, waylandDisplay};
    std::unique_ptr<PointerSettings> settings = createPointerSettings(session);
    QCOMPARE(QString::fromLatin1(settings->name()), backEnd);
    if (backEnd != QLatin1String("none")) return;
    // Refused with a reason the user can act on.
    DebugCapture cap;
    QVERIFY(!settings->setWheelScrollLines(3));
    QVERIFY(!settings->failureReason().isEmpty());
}

void TestPointerSettings::kdeConfigEdits_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after"); // empty: locked, unchanged

    QTest::newRow("new file") << QByteArray() << QByteArray("[KDE]\nWheelScrollLines=5\n");
    QTest::newRow("replaced in place, the rest kept")
        << QByteArray("# kept\n[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\n"
                      "WheelScrollLines = 3\nWheelScrollLines[de]=7\n\n[Icons]\nTheme=x\n")
        << QByteArray("# kept\n[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\n"
                      "WheelScrollLines=5\nWheelScrollLines[de]=7\n\n[Icons]\nTheme=x\n");
    QTest::newRow("added at the end of its group")
        << QByteArray("[KDE]\nSingleClick=false\n\n[Icons]\nTheme=x")
        << QByteArray("[KDE]\nSingleClick=false\nWheelScrollLines=5\n\n[Icons]\nTheme=x\n");
    QTest::newRow("group added") << QByteArray("[Icons]\nTheme=x\n")
                                 << QByteArray("[Icons]\nTheme=x\n\n[KDE]\nWheelScrollLines=5\n");
    QTest::newRow("a nested group is another group")
        << QByteArray("[KDE][Sub]\nWheelScrollLines=2\n")
        << QByteArray("[KDE][Sub]\nWheelScrollLines=2\n\n[KDE]\nWheelScrollLines=5\n");
    QTest::newRow("shell-expanded entry becomes plain")
        << QByteArray("[KDE]\nWheelScrollLines[$e]=$LINES\n")
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
    const QString path = dir.filePath(QStringLiteral("kdeglobals"));
    if (!before.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    const KdeConfigFile::Result r = KdeConfigFile::setEntry(path, "KDE", "WheelScrollLines", "5");
    QCOMPARE(r, after.isEmpty() ? KdeConfigFile::Result::Locked : KdeConfigFile::Result::Written);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), after.isEmpty() ? before : after);
}

void TestPointerSettings::plasmaStoresAndApplies_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<uint>("value");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("mouseAcceleration"); // what KWin's mouse got
    QTest::addColumn<int>("notifications");

    QTest::newRow("speed 0") << "mouseSetCursorSpeed" << 0u << "kcminputrc"
                             << "Mouse/XLbInptPointerAcceleration"
                             << "-0.900" << -0.9 << 0;
    QTest::newRow("speed 5") << "mouseSetCursorSpeed" << 5u << "kcminputrc"
                             << "Mouse/XLbInptPointerAcceleration"
                             << "0.000" << 0.0 << 0;
    QTest::newRow("speed 10") << "mouseSetCursorSpeed" << 10u << "kcminputrc"
                              << "Mouse/XLbInptPointerAcceleration"
                              << "1.000" << 1.0 << 0;
    QTest::newRow("double-click 10") << "mouseSetDoubleClickSpeed" << 10u << "kdeglobals"
                                     << "KDE/DoubleClickInterval"
                                     << "200" << 0.5 << 1;
    QTest::newRow("lines 5") << "mouseSetVerticalScrollLines" << 5u << "kdeglobals"
                             << "KDE/WheelScrollLines"
                             << "5" << 0.5 << 1;
    QTest::newRow("one screen") << "mouseSetVerticalScrollLines" << 1000u << "kdeglobals"
                                << "KDE/WheelScrollLines"
                                << "1000" << 0.5 << 1;
}

void TestPointerSettings::plasmaStoresAndApplies()
{
    QFETCH(QString, slot);
    QFETCH(uint, value);
    QFETCH(QString, file);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(double, mouseAcceleration);
    QFETCH(int, notifications);
    QTemporaryDir config;
    // What the user had stays.
    for (const char *name : {"kcminputrc", "kdeglobals"}) {
        QFile f(config.filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Icons]\nTheme=breeze\n\n[Mouse]\ncursorTheme=breeze\n\n[KDE]\nSingleClick=false\n");
    }
    FakeKWin kwin;
    QVERIFY(kwin.registerOnBus());
    NotifyListener listener;
    QVERIFY(listener.listen());
    setSystemPointerSettings(std::make_unique<PlasmaPointerSettings>(true, config.path()));
    myQQuickView view;
    DebugCapture cap;
    QVERIFY(QMetaObject::invokeMethod(&view, slot.toLatin1().constData(), Q_ARG(uint, value)));
    QCOMPARE(cap.lines(), QStringList{});
    const QString path = config.filePath(file);
    QCOMPARE(readConfig(path, key), stored);
    QCOMPARE(readConfig(path, QStringLiteral("Icons/Theme")), QStringLiteral("breeze"));
    QCOMPARE(readConfig(path, QStringLiteral("Mouse/cursorTheme")), QStringLiteral("breeze"));
    QCOMPARE(readConfig(path, QStringLiteral("KDE/SingleClick")), QStringLiteral("false"));
    QCOMPARE(kwin.mouse.pointerAcceleration, mouseAcceleration);
    // The touchpad keeps its own speed.
    QCOMPARE(kwin.touchpad.pointerAcceleration, 0.5);
    if (notifications > 0) QVERIFY(QSignalSpy(&listener, &NotifyListener::notified).wait(5000));
    QCOMPARE(listener.seen, QStringList(notifications, QStringLiteral("3 0")));
}

void TestPointerSettings::plasmaWithoutKWinFails()
{
    QTemporaryDir config;
    setSystemPointerSettings(std::make_unique<PlasmaPointerSettings>(true, config.path()));
    myQQuickView view;
    DebugCapture cap;
    view.mouseSetCursorSpeed(3);
    const QStringList lines = cap.lines();
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.at(0).startsWith(
                 QLatin1String("pointer: KWin's input devices are not on the session bus")),
             qPrintable(lines.at(0)));
    QCOMPARE(lines.at(1), QStringLiteral("setCursorSpeed Failed"));
    QVERIFY(!systemPointerSettings().failureReason().isEmpty());
}

QTEST_MAIN(TestPointerSettings)
#include "tst_pointersettings.moc"
