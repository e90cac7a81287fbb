#include "app/myQQuickView.h"
#include "device/DeviceRig.h"

#include <QtTest>

// The profile switch as the mouse sees it.
class TestProfileDevice : public QObject
{
    Q_OBJECT

private slots:
    void setCurrentProfileSends02H_data();
    void setCurrentProfileSends02H();
    void outOfRangeProfileSendsNothing();
    void absentDeviceStillSwitchesStore();
};

void TestProfileDevice::setCurrentProfileSends02H_data()
{
    QTest::addColumn<bool>("family560");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<int>("profile");
    QTest::addColumn<quint8>("sent");
    QTest::newRow("553, first") << false << false << 0 << quint8(1);
    QTest::newRow("553, sixth") << false << false << 5 << quint8(6);
    QTest::newRow("560, fourth") << true << false << 3 << quint8(4);
    // A "560" device keeps four profiles: the fifth and sixth of the pages
    // live on the computer only, and nothing of them reaches the device.
    QTest::newRow("560, fifth: computer only") << true << false << 4 << quint8(0);
    QTest::newRow("560, sixth: computer only") << true << false << 5 << quint8(0);
    QTest::newRow("560, tenth: computer only") << true << false << 9 << quint8(0);
    QTest::newRow("560 scrambled, third") << true << true << 2 << quint8(3);
}

void TestProfileDevice::setCurrentProfileSends02H()
{
    QFETCH(bool, family560);
    QFETCH(bool, isEncode);
    QFETCH(int, profile);
    QFETCH(quint8, sent);
    DeviceRig::Options o;
    o.family = family560 ? VirtualMouse::Family::F560 : VirtualMouse::Family::F553;
    o.isEncode = isEncode;
    DeviceRig rig(o, true);
    QVERIFY(rig.attach());
    myQQuickView view;
    view.hid = &rig.hid;
    view.icType = family560 ? QStringLiteral("560") : QStringLiteral("553");
    rig.clearTrace();
    DebugCapture cap;

    view.setCurrentProfile(profile);

    QCOMPARE(view.currentProfile(), profile);
    QCOMPARE(view.profileOnDevice(), sent != 0);
    if (sent == 0) {
        // Every page action of the profile: stored, and not one byte sent.
        view.setData(QStringLiteral("mouse/reportRate"), 2);
        view.mouseSetReportRate(2);
        view.mouseSetCurrentDPI(2);
        view.mouseSetDpi(4, QStringLiteral("3325"), {400, 800, 1600, 3200});
        view.mouseSetRGBEffect(1, 2, 3);
        view.mouseSetRGBColor(0, QVariantList(24, 7));
        QVariantList keys;
        for (int k = 0; k < 16; ++k)
            keys << 0 << 240 << 30 << 2;
        view.mouseSetKeyMatrix(keys, true, {});
        QCOMPARE(rig.transfers(), QStringList());
        QCOMPARE(view.getData(QStringLiteral("mouse/reportRate"), false), QVariant(2));
        QVERIFY(cap.contains(QStringLiteral("device: profile %1 has no slot on the device; report "
                                            "rate kept on the computer only")
                                 .arg(profile + 1)));
        return;
    }
    const QString expected = QStringLiteral("SET_FEATURE ") +
                             DeviceRig::hex(wireReport(plainReport(0x02, {sent, 0, 0, 0, 0, 0}),
                                                       isEncode, o.sCode));
    QCOMPARE(rig.transfers(), QStringList{expected});
    QVERIFY(!cap.lines().join('\n').contains(QStringLiteral("cmd Failed")));
    if (family560)
        QCOMPARE(rig.mouse->state().currentProfile560, sent);
}

void TestProfileDevice::outOfRangeProfileSendsNothing()
{
    DeviceRig rig(DeviceRig::Options{}, true);
    QVERIFY(rig.attach());
    myQQuickView view;
    view.hid = &rig.hid;
    view.setCurrentProfile(2);
    rig.clearTrace();
    view.setCurrentProfile(10);
    view.setCurrentProfile(-1);
    QVERIFY(rig.transfers().isEmpty());
    QCOMPARE(view.currentProfile(), 2);
}

void TestProfileDevice::absentDeviceStillSwitchesStore()
{
    DeviceRig rig(DeviceRig::Options{}, true);
    QVERIFY(rig.attach());
    myQQuickView view;
    view.hid = &rig.hid;
    DebugCapture cap;

    // A transport left claimed: the command gives up, the switch holds.
    rig.hid.idle = false;
    view.setCurrentProfile(4);
    QCOMPARE(view.currentProfile(), 4);
    QVERIFY(cap.contains(QStringLiteral("cmd Failed 02 ")));

    rig.hid.idle = true;
    rig.mouse->unplug();
    view.setCurrentProfile(3);
    QCOMPARE(view.currentProfile(), 3);
    view.setData(QStringLiteral("extra/after"), 1);
    QCOMPARE(view.getData(QStringLiteral("extra/after"), false), QVariant(1));
}

QTEST_MAIN(TestProfileDevice)
#include "tst_profile_device.moc"
