#include "input/KeyTables.h"
#include "platform/EvdevScanCodes.h"

#include <QtTest>

class TestKeyTables : public QObject
{
    Q_OBJECT
private slots:
    void tableSizes();
    void scanToUsage_data();
    void scanToUsage();
    void usageMapOnlyEntries_data();
    void usageMapOnlyEntries();
    void evdevToScan_data();
    void evdevToScan();
    void everyPlainEvdevKeyReachesTheSameUsageAsItsScanCode();
};

void TestKeyTables::tableSizes()
{
    int scanEntries = 0;
    for (int key = 0; key <= 0xFFFF; ++key)
        scanEntries += KeyTables::internalCode(quint16(key)) != 0;
    QCOMPARE(scanEntries, KeyTables::scanCodeEntryCount);
    QCOMPARE(scanEntries, 105);

    int usageEntries = 0;
    for (int code = 0; code <= 0xFF; ++code)
        usageEntries += KeyTables::usageCode(quint8(code)) != 0;
    QCOMPARE(usageEntries, KeyTables::usageEntryCount);
    QCOMPARE(usageEntries, 121);
}

void TestKeyTables::scanToUsage_data()
{
    QTest::addColumn<int>("scan");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<int>("internal");
    QTest::addColumn<int>("usage");

    QTest::newRow("A") << 0x1E << false << 0x41 << 0x04;
    QTest::newRow("Z") << 0x2C << false << 0x5A << 0x1D;
    QTest::newRow("Esc") << 0x01 << false << 0x1B << 0x29;
    QTest::newRow("1") << 0x02 << false << 0x31 << 0x1E;
    QTest::newRow("0") << 0x0B << false << 0x30 << 0x27;
    QTest::newRow("main Enter") << 0x1C << false << 0x0D << 0x28;
    QTest::newRow("keypad Enter") << 0x1C << true << 0x0E << 0x58;
    QTest::newRow("left Ctrl") << 0x1D << false << 0xA2 << 0xE0;
    QTest::newRow("right Ctrl") << 0x1D << true << 0xA3 << 0xE4;
    QTest::newRow("slash") << 0x35 << false << 0xBF << 0x38;
    QTest::newRow("keypad slash") << 0x35 << true << 0x6F << 0x54;
    QTest::newRow("right Shift (extended)") << 0x36 << true << 0xA1 << 0xE5;
    QTest::newRow("right Shift plain is unknown") << 0x36 << false << 0x00 << 0x00;
    QTest::newRow("keypad *") << 0x37 << false << 0x6A << 0x55;
    QTest::newRow("Print") << 0x37 << true << 0x2C << 0x46;
    QTest::newRow("right Alt") << 0x38 << true << 0xA5 << 0xE6;
    QTest::newRow("Pause") << 0x45 << false << 0x13 << 0x48;
    QTest::newRow("Num Lock") << 0x45 << true << 0x90 << 0x53;
    QTest::newRow("Scroll Lock") << 0x46 << false << 0x91 << 0x47;
    QTest::newRow("keypad 7") << 0x47 << false << 0x67 << 0x5F;
    QTest::newRow("Home") << 0x47 << true << 0x24 << 0x4A;
    QTest::newRow("Up") << 0x48 << true << 0x26 << 0x52;
    QTest::newRow("Left") << 0x4B << true << 0x25 << 0x50;
    QTest::newRow("Right") << 0x4D << true << 0x27 << 0x4F;
    QTest::newRow("Down") << 0x50 << true << 0x28 << 0x51;
    QTest::newRow("Delete") << 0x53 << true << 0x2E << 0x4C;
    QTest::newRow("keypad .") << 0x53 << false << 0x6E << 0x63;
    QTest::newRow("backslash") << 0x2B << false << 0xDC << 0x31;
    QTest::newRow("102nd key") << 0x56 << false << 0xE2 << 0x64;
    QTest::newRow("F1") << 0x3B << false << 0x70 << 0x3A;
    QTest::newRow("F11") << 0x57 << false << 0x7A << 0x44;
    QTest::newRow("F12") << 0x58 << false << 0x7B << 0x45;
    QTest::newRow("F23") << 0x6E << false << 0x86 << 0x72;
    QTest::newRow("left Windows") << 0x5B << true << 0x5B << 0xE3;
    QTest::newRow("right Windows is unknown") << 0x5C << true << 0x00 << 0x00;
    QTest::newRow("menu") << 0x5D << true << 0x5D << 0x65;
    QTest::newRow("0x54 without Alt") << 0x54 << false << 0x00 << 0x00;
    QTest::newRow("scan 0") << 0x00 << false << 0x00 << 0x00;
}

void TestKeyTables::scanToUsage()
{
    QFETCH(int, scan);
    QFETCH(bool, extended);
    QFETCH(int, internal);
    QFETCH(int, usage);
    QCOMPARE(int(KeyTables::internalCode(KeyTables::scanKey(quint8(scan), extended))), internal);
    QCOMPARE(int(KeyTables::usageForScan(quint8(scan), extended)), usage);
}

void TestKeyTables::usageMapOnlyEntries_data()
{
    QTest::addColumn<int>("internal");
    QTest::addColumn<int>("usage");
    QTest::newRow("right Windows") << 0x5C << 0xE7;
    QTest::newRow("F13") << 0x7C << 0x68;
    QTest::newRow("F24") << 0x87 << 0x73;
    QTest::newRow("0xC1") << 0xC1 << 0x87;
    QTest::newRow("0xC2") << 0xC2 << 0x85;
    QTest::newRow("0xEB") << 0xEB << 0x8B;
    QTest::newRow("0xFF") << 0xFF << 0x66;
    QTest::newRow("Pause via override") << 19 << 0x48;
    QTest::newRow("Print via override") << 44 << 0x46;
    QTest::newRow("not in the map") << 0x0A << 0x00;
    QTest::newRow("0x00") << 0x00 << 0x00;
}

void TestKeyTables::usageMapOnlyEntries()
{
    QFETCH(int, internal);
    QFETCH(int, usage);
    QCOMPARE(int(KeyTables::usageCode(quint8(internal))), usage);
}

void TestKeyTables::evdevToScan_data()
{
    QTest::addColumn<int>("evdev");
    QTest::addColumn<int>("scan");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<int>("usage");

    QTest::newRow("KEY_A") << 30 << 0x1E << false << 0x04;
    QTest::newRow("KEY_ENTER") << 28 << 0x1C << false << 0x28;
    QTest::newRow("KEY_KPENTER") << 96 << 0x1C << true << 0x58;
    QTest::newRow("KEY_RIGHTCTRL") << 97 << 0x1D << true << 0xE4;
    QTest::newRow("KEY_KPSLASH") << 98 << 0x35 << true << 0x54;
    QTest::newRow("KEY_SYSRQ") << 99 << 0x37 << true << 0x46;
    QTest::newRow("KEY_RIGHTALT") << 100 << 0x38 << true << 0xE6;
    QTest::newRow("KEY_RIGHTSHIFT") << 54 << 0x36 << true << 0xE5;
    QTest::newRow("KEY_NUMLOCK") << 69 << 0x45 << true << 0x53;
    QTest::newRow("KEY_PAUSE") << 119 << 0x45 << false << 0x48;
    QTest::newRow("KEY_HOME") << 102 << 0x47 << true << 0x4A;
    QTest::newRow("KEY_KP7") << 71 << 0x47 << false << 0x5F;
    QTest::newRow("KEY_PAGEDOWN") << 109 << 0x51 << true << 0x4E;
    QTest::newRow("KEY_INSERT") << 110 << 0x52 << true << 0x49;
    QTest::newRow("KEY_DELETE") << 111 << 0x53 << true << 0x4C;
    QTest::newRow("KEY_LEFTMETA") << 125 << 0x5B << true << 0xE3;
    QTest::newRow("KEY_RIGHTMETA") << 126 << 0x5C << true << 0x00;
    QTest::newRow("KEY_COMPOSE") << 127 << 0x5D << true << 0x65;
    QTest::newRow("KEY_F12") << 88 << 0x58 << false << 0x45;
    QTest::newRow("KEY_F23") << 193 << 0x6E << false << 0x72;
    QTest::newRow("KEY_MUTE unknown") << 113 << 0 << false << 0x00;
    QTest::newRow("KEY_RESERVED") << 0 << 0 << false << 0x00;
    QTest::newRow("negative") << -5 << 0 << false << 0x00;
    QTest::newRow("huge") << 100000 << 0 << false << 0x00;
}

void TestKeyTables::evdevToScan()
{
    QFETCH(int, evdev);
    QFETCH(int, scan);
    QFETCH(bool, extended);
    QFETCH(int, usage);
    const ScanCode sc = scanCodeForEvdev(evdev);
    QCOMPARE(int(sc.scan), scan);
    QCOMPARE(sc.extended, extended);
    QCOMPARE(int(KeyTables::usageForScan(quint8(sc.scan), sc.extended)), usage);
}

void TestKeyTables::everyPlainEvdevKeyReachesTheSameUsageAsItsScanCode()
{
    // Codes 1..88 are set-1 scan codes; only the two keys a PC keyboard
    // reports as extended at this level differ.
    for (int code = 1; code <= 88; ++code) {
        const ScanCode sc = scanCodeForEvdev(code);
        QCOMPARE(int(sc.scan), code);
        QCOMPARE(sc.extended, code == 54 || code == 69);
    }
}

QTEST_GUILESS_MAIN(TestKeyTables)
#include "tst_keytables.moc"
