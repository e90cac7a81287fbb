// The device check against the virtual mouse: table order, handshake,
// the connection steps and their order, the permission hint, removal and
// re-plugging.
#include "DeviceRig.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{
using Family = VirtualMouse::Family;

DeviceRig::Options options(Family f, bool enc = false)
{
    DeviceRig::Options o;
    o.family = f;
    o.isEncode = enc;
    return o;
}

QList<int> codes(const VirtualMouse::State &s)
{
    QList<int> out;
    for (quint8 c : s.commands)
        out << c;
    return out;
}
} // namespace

class tst_DeviceCheck : public QObject
{
    Q_OBJECT
private slots:
    void connects_data();
    void connects();
    void noDeviceStillInitialisesTheUi_data();
    void noDeviceStillInitialisesTheUi();
    void lowerIndexWins();
    void laterRowAnswersWhenTheFirstDoesNot();
    void withoutEventInterfaceTheReaderEndsAtOnce();
    void permissionHintOncePerPlugIn();
    void garbageTableIsQuick_data();
    void garbageTableIsQuick();
    void unplugThenReplug();
    void checkRightAfterStopWaitsForTheOldReader();
};

void tst_DeviceCheck::connects_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("isEncode");
    for (bool enc : {false, true}) {
        QTest::addRow("553 %s", enc ? "enciphered" : "plain") << int(Family::F553) << enc;
        QTest::addRow("560 %s", enc ? "enciphered" : "plain") << int(Family::F560) << enc;
    }
}

void tst_DeviceCheck::connects()
{
    QFETCH(int, family);
    QFETCH(bool, isEncode);
    DeviceRig rig(options(Family(family), isEncode), true);
    rig.mouse->modifyState([](VirtualMouse::State &s) {
        s.options553 = {0x01, 0x02, 0x03, 0x04};
        s.options560 = {0x21, 0x22};
    });
    rig.hid.idle = false; // left claimed by an earlier command: the check frees it
    DebugCapture cap;
    rig.hid.idle = true;
    const DeviceCheck::Result r = rig.check();

    QVERIFY(r.connected);
    QCOMPARE(r.index, 1);
    QCOMPARE(rig.hid.curDevice, 1);
    QVERIFY(cap.contains("Device Connect"));
    QVERIFY(!cap.contains("Device DisConnect"));
    QVERIFY(rig.hid.readerRunning);
    const VirtualMouse::State s = rig.mouse->state();
    QCOMPARE(s.rejectedReports, 0);
    QStringList expected{"clearHidBusy", "deviceConnected true", "tray Info|Detect Device|10000"};
    if (Family(family) == Family::F553) {
        QCOMPARE(codes(s), (QList<int>{0x00, 0x83, 0x03}));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.options553.data()), 4).toHex(),
                 QByteArray("01020344"));
    } else {
        QCOMPARE(codes(s), (QList<int>{0x00, 0x81, 0x01, 0x8C, 0x8C, 0x8C, 0x8C}));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.options560.data()), 2).toHex(),
                 QByteArray("2922"));
        expected << "readProfile 0"
                 << "readProfile 1"
                 << "readProfile 2"
                 << "readProfile 3";
        for (int n = 0; n < 4; ++n)
            QCOMPARE(rig.host.images[size_t(n)], s.profiles[size_t(n)]);
        QCOMPARE(rig.host.images[4], (std::array<uchar, 128>{}));
    }
    expected << "viewEnabled true"
             << "initUI";
    QCOMPARE(rig.host.calls(), expected);
}

void tst_DeviceCheck::noDeviceStillInitialisesTheUi_data()
{
    QTest::addColumn<QString>("why");
    QTest::newRow("unplugged") << "unplugged";
    QTest::newRow("wrong code") << "code";
    QTest::newRow("cipher off on the device") << "cipher";
    QTest::newRow("empty table") << "table";
    QTest::newRow("no table file") << "nofile";
}

void tst_DeviceCheck::noDeviceStillInitialisesTheUi()
{
    QFETCH(QString, why);
    DeviceRig rig(options(Family::F553, true), true);
    if (why == "unplugged") rig.mouse->unplug();
    if (why == "code" || why == "cipher") {
        VirtualMouse::Identity id = DeviceRig::identity(rig.options);
        id.sCode = why == "code" ? QStringLiteral("000000") : id.sCode;
        id.isEncode = why != "cipher";
        rig.mouse = std::make_shared<VirtualMouse>(Family::F553, id);
        rig.hid.setBackend(rig.mouse);
    }
    if (why == "table") rig.data->write("modules/setting/apConfig.bin", "[common]\nname=x\n");
    if (why == "nofile") QVERIFY(QFile::remove(rig.data->path("modules/setting/apConfig.bin")));
    DebugCapture cap;
    const DeviceCheck::Result r = rig.check();
    QVERIFY(!r.connected);
    QCOMPARE(cap.lines(), QStringList{"Device DisConnect"});
    QCOMPARE(rig.host.calls(), (QStringList{"deviceConnected false", "initUI"}));
    QVERIFY(!rig.hid.readerRunning);
    if (why == "nofile") QVERIFY(!QFile::exists(rig.data->path("modules/setting/apConfig.bin")));
}

void tst_DeviceCheck::lowerIndexWins()
{
    DeviceRig rig(options(Family::F553), true);
    // Both rows describe the same mouse.
    rig.data->write("modules/setting/apConfig.bin",
                    "[common]\ndeviceCount=2\n"
                    "[0]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n"
                    "usagePage2=ff01\nusage2=ff01\n"
                    "[1]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n"
                    "usagePage2=ff01\nusage2=ff01\n");
    const DeviceCheck::Result r = rig.check();
    QVERIFY(r.connected);
    QCOMPARE(r.index, 0);
    QCOMPARE(rig.hid.curDevice, 0);
    QCOMPARE(rig.mouse->state().handshakes, 1);
    QCOMPARE(rig.hid.devices.size(), 2);
    QCOMPARE(rig.hid.devices[1]->path, QString::fromLatin1(rig.mouse->commandPath()));
}

void tst_DeviceCheck::laterRowAnswersWhenTheFirstDoesNot()
{
    DeviceRig rig(options(Family::F553, true), true);
    // Row 0 matches the interfaces but has the wrong code.
    rig.data->write("modules/setting/apConfig.bin",
                    "[common]\ndeviceCount=2\n"
                    "[0]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n"
                    "isEncode=true\nsCode=999999\n"
                    "[1]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n"
                    "usagePage2=ff01\nusage2=ff01\nisEncode=true\nsCode=731952\n");
    const DeviceCheck::Result r = rig.check();
    QVERIFY(r.connected);
    QCOMPARE(r.index, 1);
    QCOMPARE(rig.mouse->state().rejectedReports, 1);
    QCOMPARE(rig.mouse->state().handshakes, 1);
}

void tst_DeviceCheck::withoutEventInterfaceTheReaderEndsAtOnce()
{
    DeviceRig rig(options(Family::F553), true);
    VirtualMouse::Faults f;
    f.noEventInterface = true;
    rig.mouse->setFaults(f);
    const DeviceCheck::Result r = rig.check();
    QVERIFY(r.connected);
    QVERIFY(rig.hid.devices[1]->path2.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.hid.readerRunning, 200);
    QVERIFY(rig.hid.readerFuture.isFinished());
    QVERIFY(!rig.host.calls().contains("viewEnabled false"));
}

void tst_DeviceCheck::permissionHintOncePerPlugIn()
{
    DeviceRig rig(options(Family::F553), true);
    VirtualMouse::Faults f;
    f.accessDenied = true;
    rig.mouse->setFaults(f);
    const QString hint = "tray Info|" + DeviceCheck::permissionHint() + "|10000";
    QVERIFY(DeviceCheck::permissionHint().contains("skeld-config --install-udev-rule"));

    DebugCapture cap;
    DeviceCheck::Result r = rig.check();
    QVERIFY(!r.connected);
    QVERIFY(r.hintShown);
    QCOMPARE(r.deniedPaths.size(), 2);
    QCOMPARE(rig.host.count(hint), 1);
    QCOMPARE(cap.lines().size(), 2); // the hint's line and "Device DisConnect"
    QVERIFY(cap.lines().first().contains("permission denied"));
    QVERIFY(cap.lines().first().contains("skeld-config --install-udev-rule"));

    r = rig.check(); // same plug-in: quiet
    QVERIFY(!r.hintShown);
    QCOMPARE(rig.host.count(hint), 1);

    rig.mouse->unplug();
    r = rig.check();
    QVERIFY(r.deniedPaths.isEmpty());
    rig.mouse->replug();
    r = rig.check(); // plugged in again: the hint comes back once
    QVERIFY(r.hintShown);
    QCOMPARE(rig.host.count(hint), 2);

    f.accessDenied = false; // after the install: connects, no hint
    rig.mouse->setFaults(f);
    r = rig.check();
    QVERIFY(r.connected);
    QCOMPARE(rig.host.count(hint), 2);
}

void tst_DeviceCheck::garbageTableIsQuick_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("connects");
    QTest::newRow("absurd count, no sections")
        << QByteArray("[common]\ndeviceCount=1000000\n") << false;
    QTest::newRow("negative count")
        << QByteArray("[common]\ndeviceCount=-3\n[0]\nvid=04d9\n") << false;
    QTest::newRow("non-hex ids, other usages")
        << QByteArray("[common]\ndeviceCount=1\n[0]\nvid=zz\npid=??\nusagePage=12\n") << false;
    // Ids of 0 enumerate every device: the mouse's usages then find it.
    QTest::newRow("non-hex ids, the mouse's usages")
        << QByteArray("[common]\ndeviceCount=1\n[0]\nvid=zz\npid=??\nusagePage=ff00\nusage=ff00\n")
        << true;
    QTest::newRow("binary junk") << QByteArray("\x01\x02\xff[[[=\n\0\0deviceCount", 20) << false;
}

void tst_DeviceCheck::garbageTableIsQuick()
{
    QFETCH(QByteArray, table);
    QFETCH(bool, connects);
    DeviceRig rig(options(Family::F553), true);
    rig.data->write("modules/setting/apConfig.bin", table);
    QElapsedTimer t;
    t.start();
    DebugCapture cap;
    const DeviceCheck::Result r = rig.check();
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(r.connected, connects);
    QCOMPARE(cap.contains("Device DisConnect"), !connects);
    QCOMPARE(rig.mouse->state().handshakes, connects ? 1 : 0);
}

void tst_DeviceCheck::unplugThenReplug()
{
    DeviceRig rig(options(Family::F560), true);
    QVERIFY(rig.check().connected);
    rig.host.clear();
    DebugCapture cap;
    rig.mouse->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.hid.readerRunning, 1500);
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains("viewEnabled false"), 500);
    QVERIFY(cap.contains("Device removed"));
    QVERIFY(rig.hid.devices[1]->path2.isEmpty());

    cap.clear();
    QVERIFY(!rig.check().connected);
    QVERIFY(cap.contains("Device DisConnect"));
    rig.mouse->replug();
    cap.clear();
    QVERIFY(rig.check().connected);
    QVERIFY(cap.contains("Device Connect"));
    QVERIFY(rig.hid.readerRunning);
}

void tst_DeviceCheck::checkRightAfterStopWaitsForTheOldReader()
{
    DeviceRig rig(options(Family::F553), true);
    QVERIFY(rig.check().connected);
    QTest::qWait(50); // the loop now sits in its read
    rig.hid.stopEventReader();
    // The list the old loop reads from is replaced only after it returned.
    QVERIFY(rig.check().connected);
    QVERIFY(rig.hid.readerRunning);
    QCOMPARE(rig.mouse->state().maxOpenEventHandles, 1);
}

QTEST_GUILESS_MAIN(tst_DeviceCheck)
#include "tst_devicecheck.moc"
