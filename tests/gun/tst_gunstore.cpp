#include "app/myQQuickView.h"
#include "gun/GunStore.h"
#include "testlib/TestData.h"

#include <QSettings>
#include <QtTest>

namespace {
const QString kGunFile = QStringLiteral("modules/gun/gunData.bin");

QStringList stored(const TestData &data, const QString &key)
{
    QSettings file(data.path(kGunFile), QSettings::IniFormat);
    return file.value(QStringLiteral("gunData/") + key).toStringList();
}
} // namespace

class TestGunStore : public QObject
{
    Q_OBJECT

private slots:
    void shippedPresets();
    void savePreset_data();
    void savePreset();
    void saveWithoutFileDoesNothing();
    void malformedPresetIsRefused_data();
    void malformedPresetIsRefused();
    void modify_data();
    void modify();
    void modifyWithoutFileDoesNothing();
    void keysListNamedAndIndexedPresets();
    void xySensitivityPerProfile();
    void selectGunPerProfile();
};

void TestGunStore::shippedPresets()
{
    TestData data;
    myQQuickView view;
    QCOMPARE(view.getGunDataKey(), (QStringList{"0", "1", "2", "3", "4", "5"}));
    const QStringList names = {"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(view.getGunData(i), (QVariantList{names.at(i), "L-Click", "10", "0", "10", "0"}));
    QCOMPARE(view.getGunData(QStringLiteral("6")), QVariantList());
}

void TestGunStore::savePreset_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<QVariantList>("src6");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("index 2, Y 10") << QVariant(2) << QVariantList{"SCAR-L", "L-Click", 10, 0, 10, 0}
                                   << "2" << QByteArray("\x00\x00\xf5\x03", 4);
    QTest::newRow("index as text, Y 0") << QVariant("0") << QVariantList{"M416", "L-Click", "4", "1", "0", "3"}
                                        << "0" << QByteArray("\x00\x00\xff\x01", 4);
    QTest::newRow("Y 64") << QVariant(5) << QVariantList{"Thomson", "L-Click", 90, 64, 64, 255}
                          << "5" << QByteArray("\x00\x00\xbf\x06", 4);
    QTest::newRow("index 255 wraps") << QVariant(255) << QVariantList{"X", "L-Click", 10, 0, 300, 0}
                                     << "255" << QByteArray("\x00\x00\xd3\x00", 4);
    QTest::newRow("extra items ignored") << QVariant(1) << QVariantList{"AKM", "L-Click", 10, 0, 10, 0, "spare"}
                                         << "1" << QByteArray("\x00\x00\xf5\x02", 4);
}

void TestGunStore::savePreset()
{
    QFETCH(QVariant, index);
    QFETCH(QVariantList, src6);
    QFETCH(QString, key);
    QFETCH(QByteArray, bytes);
    TestData data;
    const auto sent = GunStore::save(index, src6);
    QVERIFY(sent);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(sent->data()), 4), bytes);
    QStringList items;
    for (int i = 0; i < 6; ++i)
        items << src6.at(i).toString();
    QCOMPARE(stored(data, key), items);
}

void TestGunStore::saveWithoutFileDoesNothing()
{
    TestData data;
    QVERIFY(QFile::remove(data.path(kGunFile)));
    myQQuickView view;
    QVERIFY(!GunStore::save(2, {"SCAR-L", "L-Click", 10, 0, 10, 0}));
    view.mouseSaveGundata(2, {"SCAR-L", "L-Click", 10, 0, 10, 0});
    QVERIFY(!QFile::exists(data.path(kGunFile)));
    QCOMPARE(view.getGunData(2), QVariantList());
    QCOMPARE(view.getGunDataKey(), QStringList());
}

void TestGunStore::malformedPresetIsRefused_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<QVariantList>("src6");
    QTest::newRow("five items") << QVariant(1) << QVariantList{"AKM", "L-Click", 10, 0, 10};
    QTest::newRow("no items") << QVariant(1) << QVariantList{};
    QTest::newRow("index not a number") << QVariant("first") << QVariantList{"AKM", "L-Click", 10, 0, 10, 0};
    QTest::newRow("negative index") << QVariant(-1) << QVariantList{"AKM", "L-Click", 10, 0, 10, 0};
}

void TestGunStore::malformedPresetIsRefused()
{
    QFETCH(QVariant, index);
    QFETCH(QVariantList, src6);
    TestData data;
    const QByteArray before = data.read(kGunFile);
    DebugCapture cap;
    QVERIFY(!GunStore::save(index, src6));
    QCOMPARE(data.read(kGunFile), before);
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("refused")));
}

void TestGunStore::modify_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QVariantList>("src");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("value");
    const QStringList indexes = {"0", "1", "2", "3", "4", "5"};
    QTest::newRow("store by name")
        << QVariant(2) << QVariantList{"Mine", "R-Click", 20, 1, 2, 3}
        << indexes + QStringList{"Mine"} << "Mine" << QStringList{"R-Click", "20", "1", "2", "3"};
    QTest::newRow("remove by name")
        << QVariant(0) << QVariantList{"3"} << QStringList{"0", "1", "2", "4", "5"} << "3" << QStringList{};
    QTest::newRow("rename")
        << QVariant(1) << QVariantList{"New", "L-Click", 10, 0, 10, 0, "1"}
        << QStringList{"0", "2", "3", "4", "5", "New"} << "New" << QStringList{"L-Click", "10", "0", "10", "0"};
    QTest::newRow("rename, type as text")
        << QVariant("1") << QVariantList{"New", "L-Click", 10, 0, 10, 0, "5"}
        << QStringList{"0", "1", "2", "3", "4", "New"} << "New" << QStringList{"L-Click", "10", "0", "10", "0"};
    QTest::newRow("rename without old name refused")
        << QVariant(1) << QVariantList{"New", "L-Click", 10, 0, 10, 0} << indexes << "New" << QStringList{};
    QTest::newRow("store without values refused")
        << QVariant(7) << QVariantList{"Mine", "L-Click"} << indexes << "Mine" << QStringList{};
    QTest::newRow("empty name refused")
        << QVariant(0) << QVariantList{""} << indexes << "" << QStringList{};
    QTest::newRow("remove of unknown name")
        << QVariant(0) << QVariantList{"Nope"} << indexes << "Nope" << QStringList{};
}

void TestGunStore::modify()
{
    QFETCH(QVariant, type);
    QFETCH(QVariantList, src);
    QFETCH(QStringList, keys);
    QFETCH(QString, name);
    QFETCH(QStringList, value);
    TestData data;
    myQQuickView view;
    view.modifyGundata(type, src);
    QCOMPARE(view.getGunDataKey(), keys);
    QCOMPARE(stored(data, name), value);
}

void TestGunStore::modifyWithoutFileDoesNothing()
{
    TestData data;
    QVERIFY(QFile::remove(data.path(kGunFile)));
    myQQuickView view;
    view.modifyGundata(2, {"Mine", "R-Click", 20, 1, 2, 3});
    view.modifyGundata(1, {"New", "L-Click", 10, 0, 10, 0, "1"});
    QVERIFY(!QFile::exists(data.path(kGunFile)));
}

void TestGunStore::keysListNamedAndIndexedPresets()
{
    TestData data;
    myQQuickView view;
    view.modifyGundata(2, {"AKM", "L-Click", 12, 0, 8, 0});
    QCOMPARE(view.getGunDataKey(), (QStringList{"0", "1", "2", "3", "4", "5", "AKM"}));
    QCOMPARE(view.getGunData(QStringLiteral("AKM")), (QVariantList{"L-Click", "12", "0", "8", "0"}));
    QCOMPARE(view.getGunData(1).first(), QVariant("AKM"));
}

void TestGunStore::xySensitivityPerProfile()
{
    TestData data;
    {
        myQQuickView view;
        // The shipped profiles carry 4; a profile without the keys reads 4 too.
        QCOMPARE(view.getXYSensitive(0), QVariant(4));
        view.stores().profile(0)->remove(QStringLiteral("XYSensitive"));
        QCOMPARE(view.getXYSensitive(0), QVariant(4));
        QCOMPARE(view.getXYSensitive(1), QVariant(4));
        view.setCurrentProfile(3);
        view.setXYSensitive(1, 7);
        QCOMPARE(view.getXYSensitive(1), QVariant(7));
        QCOMPARE(view.getXYSensitive(QStringLiteral("1")), QVariant(7));
        view.setCurrentProfile(0);
        QCOMPARE(view.getXYSensitive(1), QVariant(4));
    }
    QSettings p4(data.path(QStringLiteral("modules/setting/p4.bin")), QSettings::IniFormat);
    QCOMPARE(p4.value(QStringLiteral("XYSensitive/1")).toString(), QStringLiteral("7"));
    QSettings p1(data.path(QStringLiteral("modules/setting/p1.bin")), QSettings::IniFormat);
    QVERIFY(!p1.contains(QStringLiteral("XYSensitive/1")));
}

void TestGunStore::selectGunPerProfile()
{
    TestData data;
    {
        myQQuickView view;
        QCOMPARE(view.getselectGun(2), QVariant(QStringLiteral("")));
        view.setSelectGun(2, 5);
        QCOMPARE(view.getselectGun(2), QVariant(5));
        view.setSelectGun(0, QStringLiteral("AKM"));
        QCOMPARE(view.getselectGun(0), QVariant(QStringLiteral("AKM")));
    }
    const QByteArray p1 = data.read(QStringLiteral("modules/setting/p1.bin"));
    QVERIFY(p1.contains("[selectGun]\n0=AKM\n2=5"));
}

QTEST_MAIN(TestGunStore)
#include "tst_gunstore.moc"
