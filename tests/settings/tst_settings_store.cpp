#include "settings/SettingsStores.h"
#include "testlib/TestData.h"

#include <QtTest>

class SettingsStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void readsAndWritesGoToP1BeforeAnySwitch();
    void recoveryReadsComeFromDefaultsAndWritesNeverGoThere();
    void listsAndScalars_data();
    void listsAndScalars();
    void valuesRoundTripAcrossReopen_data();
    void valuesRoundTripAcrossReopen();
    void resetGlobalRestoresFactoryBytes();
    void outOfRangeProfileIsIgnored();
    void badFilesGiveDefaultsAndAreNotWritten_data();
    void badFilesGiveDefaultsAndAreNotWritten();
};

void SettingsStoreTest::readsAndWritesGoToP1BeforeAnySwitch()
{
    TestData data;
    QVERIFY(data.isValid());
    SettingsStores stores;
    stores.setGlobalData("mouse/profileNo", 4);
    QCOMPARE(stores.currentProfile(), 0);
    stores.setData("mouse/reportRate", 1);
    stores.profile(0)->sync();
    QVERIFY(data.read("modules/setting/p1.bin").contains("reportRate=1"));
    QVERIFY(data.read("modules/setting/p5.bin").contains("reportRate=3"));
    QCOMPARE(stores.getData("mouse/reportRate", false), QVariant(1));
}

void SettingsStoreTest::recoveryReadsComeFromDefaultsAndWritesNeverGoThere()
{
    TestData data;
    const QByteArray factory = data.read("modules/setting/pD.bin");
    {
        SettingsStores stores;
        stores.setData("mouse/scrollRate", 42);
        QCOMPARE(stores.getData("mouse/scrollRate", true), QVariant(3));
        QCOMPARE(stores.getData("mouse/scrollRate", false), QVariant(42));
        stores.setData("mouse/scrollRate", stores.getData("mouse/scrollRate", true));
        QCOMPARE(stores.getData("mouse/scrollRate", false), QVariant(3));
    }
    QCOMPARE(data.read("modules/setting/pD.bin"), factory);
}

void SettingsStoreTest::listsAndScalars_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariantList>("expected");
    QTest::newRow("scalar is no list") << "mouse/reportRate" << QVariantList{};
    QTest::newRow("absent key") << "mouse/nothing" << QVariantList{};
    QTest::newRow("integer list") << "mouse/lightValue" << QVariantList{1, 2, 4};
    QTest::newRow("binding") << "mouseKeyMatrix/7" << QVariantList{0, 240, 30, 2};
}

void SettingsStoreTest::listsAndScalars()
{
    QFETCH(QString, key);
    QFETCH(QVariantList, expected);
    TestData data;
    SettingsStores stores;
    QCOMPARE(stores.getDataList(key, false), expected);
    QCOMPARE(stores.getDataList(key, true), expected);
}

void SettingsStoreTest::valuesRoundTripAcrossReopen_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("int") << QVariant(1600);
    QTest::newRow("negative") << QVariant(-3);
    QTest::newRow("bool") << QVariant(true);
    QTest::newRow("string") << QVariant(QStringLiteral("Macro A"));
    QTest::newRow("digits with leading zero stay text") << QVariant(QStringLiteral("007"));
    QTest::newRow("list") << QVariant(QVariantList{255, 0, 17});
}

void SettingsStoreTest::valuesRoundTripAcrossReopen()
{
    QFETCH(QVariant, value);
    TestData data;
    {
        SettingsStores stores;
        if (value.typeId() == QMetaType::QVariantList)
            stores.setDataList("test/value", value.toList());
        else
            stores.setData("test/value", value);
        QCOMPARE(stores.getData("test/value", false), value);
    }
    SettingsStores again;
    QCOMPARE(again.getData("test/value", false), value);
}

void SettingsStoreTest::resetGlobalRestoresFactoryBytes()
{
    TestData data;
    SettingsStores stores;
    stores.setGlobalData("mouse/profileNo", 5);
    stores.setGlobalData("common/name", "changed");
    stores.global().sync();
    QVERIFY(data.read("modules/setting/apConfig.bin").contains("changed"));
    stores.setGlobalData("mouse/maxDPI", 1); // pending, must not survive either
    stores.resetGlobal();
    QCOMPARE(data.read("modules/setting/apConfig.bin"), data.read("modules/setting/apConfigD.bin"));
    QCOMPARE(stores.getGlobalData("mouse/profileNo"), QVariant(0));
    QCOMPARE(stores.getGlobalData("mouse/maxDPI"), QVariant(6000));
}

void SettingsStoreTest::outOfRangeProfileIsIgnored()
{
    TestData data;
    SettingsStores stores;
    QVERIFY(stores.setCurrentProfile(9));
    QVERIFY(!stores.setCurrentProfile(10));
    QVERIFY(!stores.setCurrentProfile(-1));
    QCOMPARE(stores.currentProfile(), 9);
    QVERIFY(stores.profile(10) == nullptr);
}

void SettingsStoreTest::badFilesGiveDefaultsAndAreNotWritten_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("not ini") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage[[[=\n==\xff\xfe", 24)
                             << true;
    QTest::newRow("wrong types") << QByteArray("[mouse]\nreportRate=fast\nlightValue=1\n"
                                               "icType=@Variant(\\0\\0\\0\\x7f)\nisGun=maybe\n")
                                 << true;
}

void SettingsStoreTest::badFilesGiveDefaultsAndAreNotWritten()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    TestData data;
    for (const char *f : {"modules/setting/apConfig.bin", "modules/setting/p1.bin"}) {
        QFile::remove(data.path(f));
        if (exists)
            data.write(f, content);
    }
    {
        SettingsStores stores;
        QVERIFY(!SettingsStores::readBool(stores.getGlobalData("mouse/isGun")));
        QVERIFY(stores.getDataList("mouse/lightValue", false).isEmpty() ||
                stores.getDataList("mouse/lightValue", false).size() == 1);
        const QVariant rate = stores.getData("mouse/reportRate", false);
        QVERIFY(!rate.isValid() || rate.typeId() == QMetaType::QString);
        QCOMPARE(stores.getData("mouse/nothing", false), QVariant());
    }
    for (const char *f : {"modules/setting/apConfig.bin", "modules/setting/p1.bin"}) {
        QCOMPARE(QFile::exists(data.path(f)), exists);
        if (exists)
            QCOMPARE(data.read(f), content);
    }
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settings_store.moc"
