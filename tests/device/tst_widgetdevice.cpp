// The window side of the device layer: start-up check, the debounce of
// device-change notifications, back-end selection and the two bridge slots.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/VirtualMouse.h"
#include "platform/DeviceMonitor.h"
#include "testlib/TestData.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QtTest>

namespace
{
std::shared_ptr<VirtualMouse> plugVirtualMouse(Widget &w, VirtualMouse::Family f)
{
    auto mouse = VirtualMouse::fromDataFolder(f);
    w.hid.setBackend(mouse);
    w.hid.setDelayFunction([](int) {});
    return mouse;
}

void setIcType(TestData &data, const char *icType)
{
    QByteArray ini = data.read("modules/setting/apConfig.bin");
    ini.replace("icType=553", QByteArray("icType=") + icType);
    data.write("modules/setting/apConfig.bin", ini);
}

int methodIndex(const QObject &o, const char *signature)
{
    return o.metaObject()->indexOfMethod(signature);
}
} // namespace

class tst_WidgetDevice : public QObject
{
    Q_OBJECT
private slots:
    void startUpWithoutDevice();
    void burstOfNotificationsGivesOneCheck();
    void notificationsIgnoredWhileConnected();
    void connects560AndReadsFourImages();
    void mouseGetRight_data();
    void mouseGetRight();
    void mouseReadProfileByName();
    void bridgeSlotOrder();
    void backendFromEnvironment_data();
    void backendFromEnvironment();
    void removalDisablesTheView();
    void destructionWaitsForTheReader();
    void deviceMonitorBuilds();
};

void tst_WidgetDevice::startUpWithoutDevice()
{
    TestData data;
    Widget w;
    DebugCapture cap;
    w.checkDevice();
    QCOMPARE(cap.lines(), QStringList{"Device DisConnect"});
    QVERIFY(!deviceConnected);
    // "initUI" ran in the document (queued), remembering its first run.
    QTRY_VERIFY_WITH_TIMEOUT(!w.view()->rootObject()->property("firstInit").toBool(), 1000);
}

void tst_WidgetDevice::burstOfNotificationsGivesOneCheck()
{
    TestData data;
    Widget w;
    DebugCapture cap;
    QElapsedTimer sinceLast;
    for (int i = 0; i < 5; ++i) {
        w.deviceChanged();
        sinceLast.start();
        QTest::qWait(500);
    }
    QCOMPARE(cap.lines().count("Device DisConnect"), 0);
    QTRY_COMPARE_WITH_TIMEOUT(cap.lines().count("Device DisConnect"), 1, 3000);
    QVERIFY2(sinceLast.elapsed() >= 2000, qPrintable(QString::number(sinceLast.elapsed())));
    QTest::qWait(400);
    QCOMPARE(cap.lines().count("Device DisConnect"), 1);
}

void tst_WidgetDevice::notificationsIgnoredWhileConnected()
{
    TestData data;
    Widget w;
    plugVirtualMouse(w, VirtualMouse::Family::F553);
    w.checkDevice();
    QVERIFY(deviceConnected);
    QVERIFY(w.hid.readerRunning);
    w.deviceChanged();
    QVERIFY(!w.checkTimer.isActive());
    w.hid.stopEventReader();
    w.hid.waitForReader();
    w.deviceChanged();
    QVERIFY(w.checkTimer.isActive());
    QCOMPARE(w.checkTimer.interval(), 2048);
    QVERIFY(w.checkTimer.isSingleShot());
}

void tst_WidgetDevice::connects560AndReadsFourImages()
{
    TestData data;
    setIcType(data, "560");
    Widget w;
    auto mouse = plugVirtualMouse(w, VirtualMouse::Family::F560);
    DebugCapture cap;
    w.checkDevice();
    QVERIFY(cap.contains("Device Connect"));
    QVERIFY(deviceConnected);
    myQQuickView *v = w.view();
    QCOMPARE(v->icType, QStringLiteral("560"));
    const VirtualMouse::State s = mouse->state();
    for (size_t n = 0; n < 4; ++n) {
        QCOMPARE(v->profileImages[n], s.profiles[n]);
        QVERIFY(v->profileImageRead[n]);
    }
    QVERIFY(!v->profileImageRead[4]);
    QCOMPARE(s.options560[0] & 0x08, 0x08);
}

void tst_WidgetDevice::mouseGetRight_data()
{
    QTest::addColumn<int>("deviceByte");
    QTest::addColumn<bool>("right");
    QTest::addColumn<bool>("plugged");
    QTest::newRow("non-zero is true") << 3 << true << true;
    QTest::newRow("zero is false") << 0 << false << true;
    QTest::newRow("failed command clears the flag") << 3 << false << false;
}

void tst_WidgetDevice::mouseGetRight()
{
    QFETCH(int, deviceByte);
    QFETCH(bool, right);
    QFETCH(bool, plugged);
    TestData data;
    Widget w;
    auto mouse = plugVirtualMouse(w, VirtualMouse::Family::F553);
    w.checkDevice();
    mouse->modifyState([&](VirtualMouse::State &s) { s.dpiStage553 = quint8(deviceByte); });
    if (!plugged) w.hid.devices[1]->path.clear();
    w.view()->right = !right;
    DebugCapture cap;
    QVERIFY(QMetaObject::invokeMethod(w.view(), "mouseGetRight"));
    QCOMPARE(w.view()->right, right);
    QCOMPARE(cap.lines(), QStringList{QStringLiteral("test %1").arg(plugged ? deviceByte : 0)});
    if (plugged) QCOMPARE(int(mouse->state().commands.last()), 0x82);
}

void tst_WidgetDevice::mouseReadProfileByName()
{
    TestData data;
    Widget w;
    auto mouse = plugVirtualMouse(w, VirtualMouse::Family::F560);
    w.checkDevice(); // icType 553: no reads at connection
    myQQuickView *v = w.view();
    QVERIFY(!v->profileImageRead[2]);
    QVERIFY(QMetaObject::invokeMethod(v, "mouseReadProfile", Q_ARG(uint, 2)));
    QCOMPARE(v->profileImages[2], mouse->state().profiles[2]);
    QVERIFY(v->profileImageRead[2]);
    // Record 4 is there to be read as well.
    QVERIFY(QMetaObject::invokeMethod(v, "mouseReadProfile", Q_ARG(uint, 4)));
    QCOMPARE(v->profileImages[4], mouse->state().profiles[4]);
    // There is no image 5: refused, nothing sent.
    const int before = int(mouse->state().commands.size());
    QVERIFY(QMetaObject::invokeMethod(v, "mouseReadProfile", Q_ARG(uint, 5)));
    QCOMPARE(int(mouse->state().commands.size()), before);
    // A failed read keeps the image.
    auto image = v->profileImages[3] = {};
    w.hid.devices[1]->path.clear();
    v->mouseReadProfile(3);
    QCOMPARE(v->profileImages[3], image);
}

void tst_WidgetDevice::bridgeSlotOrder()
{
    TestData data;
    Widget w;
    const QObject &v = *w.view();
    const int reset = methodIndex(v, "resetApconfig()");
    const int right = methodIndex(v, "mouseGetRight()");
    const int read = methodIndex(v, "mouseReadProfile(uint)");
    const int update = methodIndex(v, "openUpdateExe()");
    QVERIFY(reset >= 0 && right >= 0 && read >= 0 && update >= 0);
    QVERIFY(reset < right && right < read && read < update);
    QCOMPARE(v.metaObject()->method(right).methodType(), QMetaMethod::Slot);
    QCOMPARE(v.metaObject()->method(read).methodType(), QMetaMethod::Slot);
}

void tst_WidgetDevice::backendFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("virtualMouse");
    QTest::addColumn<QByteArray>("trace");
    QTest::addColumn<int>("family"); // -1: none
    QTest::addColumn<bool>("traced");
    QTest::newRow("553") << QByteArray("553") << QByteArray() << int(VirtualMouse::Family::F553)
                         << false;
    QTest::newRow("560 traced") << QByteArray("560") << QByteArray("1")
                                << int(VirtualMouse::Family::F560) << true;
    QTest::newRow("nothing: no hardware in tests") << QByteArray() << QByteArray() << -1 << false;
    QTest::newRow("unknown family") << QByteArray("999") << QByteArray() << -1 << false;
}

void tst_WidgetDevice::backendFromEnvironment()
{
    QFETCH(QByteArray, virtualMouse);
    QFETCH(QByteArray, trace);
    QFETCH(int, family);
    QFETCH(bool, traced);
    TestData data;
    qputenv("SKELD_VIRTUAL_MOUSE", virtualMouse);
    qputenv("SKELD_HID_TRACE", trace);
    Widget w;
    qunsetenv("SKELD_VIRTUAL_MOUSE");
    qunsetenv("SKELD_HID_TRACE");
    VirtualMouse *vm = HidBackends::virtualMouse(w.hid.backend());
    QCOMPARE(vm != nullptr, family >= 0);
    if (vm) QCOMPARE(int(vm->family()), family);
    QCOMPARE(dynamic_cast<TracingBackend *>(w.hid.backend()) != nullptr, traced);
    if (family < 0) {
        QVERIFY(dynamic_cast<NoHidBackend *>(w.hid.backend()));
        QVERIFY(w.hid.backend()->enumerate(0, 0).isEmpty());
    }
}

void tst_WidgetDevice::removalDisablesTheView()
{
    TestData data;
    Widget w;
    auto mouse = plugVirtualMouse(w, VirtualMouse::Family::F553);
    w.checkDevice();
    // "initUI" (queued) locks the view for a second while the pages load.
    QTest::qWait(50);
    QTRY_VERIFY_WITH_TIMEOUT(w.view()->isEnabled(), 2500);
    DebugCapture cap;
    mouse->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!w.view()->isEnabled(), 1000);
    QVERIFY(cap.contains("Device removed"));
    QVERIFY(deviceConnected); // only a check clears it
    QVERIFY(!w.hid.readerRunning);
}

void tst_WidgetDevice::destructionWaitsForTheReader()
{
    TestData data;
    QElapsedTimer t;
    {
        Widget w;
        plugVirtualMouse(w, VirtualMouse::Family::F553);
        w.checkDevice();
        QVERIFY(w.hid.readerRunning);
        QTest::qWait(50);
        t.start();
    }
    // The window's teardown (and its QML) adds to the reader's one turn.
    QVERIFY2(t.elapsed() <= 4 * Hid_Thread::kEventReadMs, qPrintable(QString::number(t.elapsed())));
}

void tst_WidgetDevice::deviceMonitorBuilds()
{
    // Whether udev is reachable depends on the machine; either way the
    // monitor must build and go away cleanly.
    DeviceMonitor monitor;
    Q_UNUSED(monitor.isActive());
}

QTEST_MAIN(tst_WidgetDevice)
#include "tst_widgetdevice.moc"
