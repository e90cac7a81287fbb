#include "device/DeviceRecord.h"
#include "testlib/TestData.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QtTest>

class tst_DeviceTable : public QObject
{
    Q_OBJECT
private slots:
    void shippedTable();
    void fields_data();
    void fields();
    void countBoundsTheRows_data();
    void countBoundsTheRows();
    void absurdCountStaysQuick();
    void missingFileIsEmpty();
    void mouseRowIsTypeOne();

private:
    DeviceList readText(const QByteArray &ini);
};

DeviceList tst_DeviceTable::readText(const QByteArray &ini)
{
    TestData data;
    data.write(QStringLiteral("modules/setting/apConfig.bin"), ini);
    return DeviceTable::readFile();
}

void tst_DeviceTable::shippedTable()
{
    TestData data;
    const DeviceList list = DeviceTable::readFile();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0]->type, 0);
    QCOMPARE(list[0]->vid, quint16(0x04d9));
    QCOMPARE(list[0]->pid, quint16(0x8008));
    QCOMPARE(list[0]->reportLength, 64);
    QCOMPARE(list[1]->type, 1);
    QCOMPARE(list[1]->pid, quint16(0xa1ee));
    QCOMPARE(list[1]->usagePage, quint16(0xff00));
    QCOMPARE(list[1]->usage2, quint16(0xff01));
    QCOMPARE(list[1]->reportLength, 32);
    QCOMPARE(list[1]->isEncode, false);
    QCOMPARE(list[1]->sCode, QStringLiteral("731952"));
    QVERIFY(list[1]->path.isEmpty() && list[1]->path2.isEmpty());
}

void tst_DeviceTable::fields_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("vid");
    QTest::addColumn<int>("usagePage");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<QString>("sCode");

    QTest::newRow("upper case and leading zeros read the same")
        << QByteArray("type=01\nvid=04D9\nusagePage=00FF00\n") << 1 << 0x04d9 << 0xff00 << 32
        << false << "731952";
    QTest::newRow("reportLength is decimal")
        << QByteArray("reportLength=64\n") << -1 << 0 << 0 << 64 << false << "731952";
    QTest::newRow("absent keys give the defaults")
        << QByteArray() << -1 << 0 << 0 << 32 << false << "731952";
    QTest::newRow("non-hex ids are 0")
        << QByteArray("type=zz\nvid=g123\nusagePage=-\n") << 0 << 0 << 0 << 32 << false << "731952";
    QTest::newRow("ids wider than 16 bits keep their low 16")
        << QByteArray("vid=1ffff\n") << -1 << 0xffff << 0 << 32 << false << "731952";
    QTest::newRow("type is hexadecimal")
        << QByteArray("type=10\n") << 16 << 0 << 0 << 32 << false << "731952";
    QTest::newRow("isEncode and sCode read")
        << QByteArray("isEncode=true\nsCode=ABCDEF\n") << -1 << 0 << 0 << 32 << true << "ABCDEF";
    QTest::newRow("garbage reportLength reads 0")
        << QByteArray("reportLength=6x4\n") << -1 << 0 << 0 << 0 << false << "731952";
}

void tst_DeviceTable::fields()
{
    QFETCH(QByteArray, section);
    QFETCH(int, type);
    QFETCH(int, vid);
    QFETCH(int, usagePage);
    QFETCH(int, reportLength);
    QFETCH(bool, isEncode);
    QFETCH(QString, sCode);
    const DeviceList list = readText("[common]\ndeviceCount=1\n[0]\n" + section);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0]->type, type);
    QCOMPARE(int(list[0]->vid), vid);
    QCOMPARE(int(list[0]->usagePage), usagePage);
    QCOMPARE(list[0]->reportLength, reportLength);
    QCOMPARE(list[0]->isEncode, isEncode);
    QCOMPARE(list[0]->sCode, sCode);
}

void tst_DeviceTable::countBoundsTheRows_data()
{
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<int>("rows");
    QTest::newRow("1 reads only section 0") << QByteArray("1") << 1;
    QTest::newRow("missing count is an empty table") << QByteArray() << 0;
    QTest::newRow("negative count is an empty table") << QByteArray("-5") << 0;
    QTest::newRow("text count is an empty table") << QByteArray("two") << 0;
    QTest::newRow("more rows than sections give default rows") << QByteArray("3") << 3;
    QTest::newRow("absurd count is capped") << QByteArray("1000000") << DeviceTable::kMaxRecords;
}

void tst_DeviceTable::countBoundsTheRows()
{
    QFETCH(QByteArray, count);
    QFETCH(int, rows);
    QByteArray ini = "[common]\n";
    if (!count.isEmpty()) ini += "deviceCount=" + count + "\n";
    ini += "[0]\ntype=1\nvid=04d9\n[1]\ntype=1\nvid=1234\n";
    const DeviceList list = readText(ini);
    QCOMPARE(list.size(), rows);
    if (rows >= 2) {
        QCOMPARE(list[1]->vid, quint16(0x1234));
        QCOMPARE(list.last()->sCode, QStringLiteral("731952"));
    }
}

void tst_DeviceTable::absurdCountStaysQuick()
{
    QElapsedTimer t;
    t.start();
    const DeviceList list = readText("[common]\ndeviceCount=2147483647\n");
    QCOMPARE(list.size(), DeviceTable::kMaxRecords);
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
}

void tst_DeviceTable::missingFileIsEmpty()
{
    TestData data;
    QVERIFY(QFile::remove(data.path(QStringLiteral("modules/setting/apConfig.bin"))));
    QVERIFY(DeviceTable::readFile().isEmpty());
    QVERIFY(!QFile::exists(data.path(QStringLiteral("modules/setting/apConfig.bin"))));
}

void tst_DeviceTable::mouseRowIsTypeOne()
{
    const DeviceList list =
        readText("[common]\ndeviceCount=3\n[0]\ntype=0\n[1]\nvid=1\n[2]\ntype=1\nvid=2\n");
    QVERIFY(DeviceTable::mouseRow(list));
    QCOMPARE(DeviceTable::mouseRow(list)->vid, quint16(2));
    QVERIFY(!DeviceTable::mouseRow(readText("[common]\ndeviceCount=1\n[0]\ntype=0\n")));
}

QTEST_GUILESS_MAIN(tst_DeviceTable)
#include "tst_devicetable.moc"
