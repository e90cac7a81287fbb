#include "testlib/Xvfb.h"

#include "app/myQQuickView.h"
#include "features/PointerSettings.h"
#include "platform/PointerSettings.h"
#include "testlib/TestData.h"

#include <QtTest>

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <X11/Xlib.h>

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

private:
    std::unique_ptr<TestData> m_data;
};

void TestPointerSettings::initTestCase()
{
    QCOMPARE(qEnvironmentVariable("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    m_data = std::make_unique<TestData>();
    QVERIFY(m_data->isValid());
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
    QCOMPARE(cap.lines(), QStringList{QStringLiteral("setVerticalScrollLines Failed")});
    // Nothing else moved.
    QCOMPARE(mouse.doubleClick(), 760);
}

void TestPointerSettings::x11ReadsBack_data()
{
    QTest::addColumn<uint>("step");
    QTest::addColumn<int>("numerator");
    QTest::newRow("step 0") << 0u << 1;
    QTest::newRow("step 5") << 5u << 10;
    QTest::newRow("step 10") << 10u << 20;
    QTest::newRow("step 11") << 11u << 20;
}

void TestPointerSettings::x11ReadsBack()
{
    QFETCH(uint, step);
    QFETCH(int, numerator);
    Xvfb x;
    QVERIFY2(x.isRunning(), "Xvfb did not start");
    const QByteArray display = x.display().toLatin1();
    // Connected before the change, as any desktop's clients are: a server
    // left without clients resets its settings.
    Display *dpy = XOpenDisplay(display.constData());
    QVERIFY(dpy);
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

    // The X server keeps no double-click time or wheel lines.
    view.mouseSetDoubleClickSpeed(step);
    view.mouseSetVerticalScrollLines(step);
    QCOMPARE(cap.lines(), (QStringList{QStringLiteral("setDoubleClickSpeed Failed"),
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

QTEST_MAIN(TestPointerSettings)
#include "tst_pointersettings.moc"
