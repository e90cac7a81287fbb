#include "app/myQQuickView.h"
#include "device/DeviceRig.h"

#include <QSettings>
#include <QtTest>

using GunBytes = std::array<quint8, 4>;

// Saving a preset as the mouse sees it.
class TestGunDevice : public QObject
{
    Q_OBJECT

private slots:
    void saveSends04H_data();
    void saveSends04H();
    void nothingSentWithoutFile();
    void nothingSentForMalformedPreset();
};

void TestGunDevice::saveSends04H_data()
{
    QTest::addColumn<bool>("family560");
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<QVariantList>("src6");
    QTest::addColumn<GunBytes>("gunData");
    QTest::newRow("553, SCAR-L at 2") << false << QVariant(2)
                                      << QVariantList{"SCAR-L", "L-Click", 10, 0, 10, 0}
                                      << GunBytes{0, 0, 0xF5, 3};
    // The preset command goes out in the 560 family too.
    QTest::newRow("560, Y 0 at 0") << true << QVariant(0)
                                   << QVariantList{"M416", "L-Click", "4", "1", "0", "3"}
                                   << GunBytes{0, 0, 0xFF, 1};
    QTest::newRow("553, index 255 wraps") << false << QVariant(255)
                                          << QVariantList{"X", "L-Click", 10, 0, 64, 0}
                                          << GunBytes{0, 0, 0xBF, 0};
}

void TestGunDevice::saveSends04H()
{
    QFETCH(bool, family560);
    QFETCH(QVariant, index);
    QFETCH(QVariantList, src6);
    QFETCH(GunBytes, gunData);
    DeviceRig::Options o;
    o.family = family560 ? VirtualMouse::Family::F560 : VirtualMouse::Family::F553;
    DeviceRig rig(o, true);
    QVERIFY(rig.attach());
    myQQuickView view;
    view.hid = &rig.hid;
    rig.clearTrace();

    view.mouseSaveGundata(index, src6);

    const QByteArray report =
        plainReport(0x04, {0, gunData[0], gunData[1], gunData[2], gunData[3], 0});
    QCOMPARE(rig.transfers(), QStringList{QStringLiteral("SET_FEATURE ") + DeviceRig::hex(report)});
    if (!family560)
        QCOMPARE(rig.mouse->state().gunData, gunData);
    QSettings file(rig.data->path(QStringLiteral("modules/gun/gunData.bin")), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("gunData/") + index.toString()).toStringList().size(), qsizetype(6));
}

void TestGunDevice::nothingSentWithoutFile()
{
    DeviceRig rig(DeviceRig::Options{}, true);
    QVERIFY(rig.attach());
    QVERIFY(QFile::remove(rig.data->path(QStringLiteral("modules/gun/gunData.bin"))));
    myQQuickView view;
    view.hid = &rig.hid;
    rig.clearTrace();
    view.mouseSaveGundata(2, {"SCAR-L", "L-Click", 10, 0, 10, 0});
    QVERIFY(rig.transfers().isEmpty());
    QVERIFY(!QFile::exists(rig.data->path(QStringLiteral("modules/gun/gunData.bin"))));
}

void TestGunDevice::nothingSentForMalformedPreset()
{
    DeviceRig rig(DeviceRig::Options{}, true);
    QVERIFY(rig.attach());
    myQQuickView view;
    view.hid = &rig.hid;
    rig.clearTrace();
    view.mouseSaveGundata(2, {"SCAR-L", "L-Click", 10});
    view.mouseSaveGundata(QStringLiteral("two"), {"SCAR-L", "L-Click", 10, 0, 10, 0});
    QVERIFY(rig.transfers().isEmpty());
}

QTEST_MAIN(TestGunDevice)
#include "tst_gun_device.moc"
