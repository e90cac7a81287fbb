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
    QTest::newRow("560, sixth") << true << false << 5 << quint8(6);
    QTest::newRow("560, tenth") << true << false << 9 << quint8(10);
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
    DeviceRig rig(o);
    QVERIFY(rig.attach());
    myQQuickView view;
    view.hid = &rig.hid;
    rig.clearTrace();
    DebugCapture cap;

    view.setCurrentProfile(profile);

    QCOMPARE(view.currentProfile(), profile);
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
    DeviceRig rig;
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
    DeviceRig rig;
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
