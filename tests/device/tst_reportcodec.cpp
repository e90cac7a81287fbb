#include "device/Hid_Thread.h"
#include "device/ReportCodec.h"

#include <QRandomGenerator>
#include <QtTest>

class tst_ReportCodec : public QObject
{
    Q_OBJECT
private slots:
    void checksum_data();
    void checksum();
    void commandReport_data();
    void commandReport();
    void encipherKnownBlocks_data();
    void encipherKnownBlocks();
    void decipherRestoresAnyBlock();
    void slotsMatchCodec();
    void secrecyCodeLength_data();
    void secrecyCodeLength();
    void keyTableIsTheFixedText();
};

void tst_ReportCodec::checksum_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    QTest::newRow("01 02 gives fc") << QByteArray::fromHex("01020000000000") << 0xFC;
    QTest::newRow("seven zeros give ff") << QByteArray::fromHex("00000000000000") << 0xFF;
    QTest::newRow("82 gives 7d") << QByteArray::fromHex("82000000000000") << 0x7D;
    QTest::newRow("sum wraps at 8 bits") << QByteArray::fromHex("ff020000000000") << 0xFE;
    QTest::newRow("all ff") << QByteArray::fromHex("ffffffffffffff") << 0x06;
}

void tst_ReportCodec::checksum()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(int(ReportCodec::checksum(reinterpret_cast<const quint8 *>(bytes.constData()))),
             expected);
    Hid_Thread hid;
    QCOMPARE(int(hid.hidCS(reinterpret_cast<uchar *>(bytes.data()))), expected);
}

void tst_ReportCodec::commandReport_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("01 with 02") << 0x01 << QByteArray::fromHex("020000000000")
                                << QByteArray::fromHex("0001020000000000fc");
    QTest::newRow("82 bare") << 0x82 << QByteArray::fromHex("000000000000")
                             << QByteArray::fromHex("00820000000000007d");
    QTest::newRow("83 bare") << 0x83 << QByteArray::fromHex("000000000000")
                             << QByteArray::fromHex("00830000000000007c");
    QTest::newRow("11 stage 4 with 8")
        << 0x11 << QByteArray::fromHex("040800000000") << QByteArray::fromHex("0011040800000000e2");
}

void tst_ReportCodec::commandReport()
{
    QFETCH(int, code);
    QFETCH(QByteArray, params);
    QFETCH(QByteArray, expected);
    std::array<quint8, 6> p{};
    std::copy(params.begin(), params.end(), p.begin());
    const auto r = ReportCodec::commandReport(quint8(code), p);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.data()), 9).toHex(' '),
             expected.toHex(' '));
}

void tst_ReportCodec::encipherKnownBlocks_data()
{
    // Worked by hand from the four steps: pair swap, code XOR on bytes 1..6,
    // 3-bit left rotation of the 64-bit block, nibble-swapped key added.
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("01 02 with the default code")
        << QByteArray::fromHex("01020000000000fc") << QStringLiteral("731952")
        << QByteArray::fromHex("0615bddf1055a6c6");
    QTest::newRow("82 with the default code")
        << QByteArray::fromHex("820000000000007d") << QStringLiteral("731952")
        << QByteArray::fromHex("0611b5df046da6c6");
    QTest::newRow("zeros with a zero code")
        << QByteArray(8, '\0') << QString() << QByteArray::fromHex("0557445637b416c6");
    QTest::newRow("challenge with another code")
        << QByteArray::fromHex("0011223344000055") << QStringLiteral("ABCDEF")
        << QByteArray::fromHex("057ffe70e1dfbfd6");
}

void tst_ReportCodec::encipherKnownBlocks()
{
    QFETCH(QByteArray, plain);
    QFETCH(QString, code);
    QFETCH(QByteArray, cipher);
    quint8 key[8] = {};
    ReportCodec::loadSecrecyCode(key, code);
    QByteArray block = plain;
    ReportCodec::encipher(reinterpret_cast<quint8 *>(block.data()), key);
    QCOMPARE(block.toHex(' '), cipher.toHex(' '));
    ReportCodec::decipher(reinterpret_cast<quint8 *>(block.data()), key);
    QCOMPARE(block.toHex(' '), plain.toHex(' '));
}

void tst_ReportCodec::decipherRestoresAnyBlock()
{
    QRandomGenerator gen(1234);
    for (int round = 0; round < 20000; ++round) {
        quint8 code[8], block[8], copy[8];
        for (int i = 0; i < 8; ++i) {
            code[i] = quint8(gen.generate());
            block[i] = copy[i] = quint8(gen.generate());
        }
        ReportCodec::encipher(block, code);
        ReportCodec::decipher(block, code);
        QVERIFY2(std::equal(block, block + 8, copy), qPrintable(QString::number(round)));
    }
}

void tst_ReportCodec::slotsMatchCodec()
{
    Hid_Thread hid;
    uchar code[8] = {0, '7', '3', '1', '9', '5', '2', 0};
    uchar block[8] = {0x01, 0x02, 0, 0, 0, 0, 0, 0xFC};
    hid.USBDataEncryption(block, code);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(block), 8).toHex(' '),
             QByteArray("06 15 bd df 10 55 a6 c6"));
    hid.USBDataDecipher(block, code);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(block), 8).toHex(' '),
             QByteArray("01 02 00 00 00 00 00 fc"));
}

void tst_ReportCodec::secrecyCodeLength_data()
{
    QTest::addColumn<QString>("sCode");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QByteArray>("buffer");
    QTest::newRow("six characters load")
        << QStringLiteral("731952") << true << QByteArray::fromHex("aa37333139353200");
    QTest::newRow("five leave it")
        << QStringLiteral("73195") << false << QByteArray::fromHex("aa01020304050600");
    QTest::newRow("seven leave it")
        << QStringLiteral("7319521") << false << QByteArray::fromHex("aa01020304050600");
    QTest::newRow("empty leaves it")
        << QString() << false << QByteArray::fromHex("aa01020304050600");
    QTest::newRow("latin-1 keeps 8 bits")
        << QStringLiteral("\u00e9abcde") << true << QByteArray::fromHex("aae9616263646500");
}

void tst_ReportCodec::secrecyCodeLength()
{
    QFETCH(QString, sCode);
    QFETCH(bool, loaded);
    QFETCH(QByteArray, buffer);
    quint8 code[8] = {0xAA, 1, 2, 3, 4, 5, 6, 0};
    QCOMPARE(ReportCodec::loadSecrecyCode(code, sCode), loaded);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(code), 8).toHex(), buffer.toHex());
}

void tst_ReportCodec::keyTableIsTheFixedText()
{
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(usbKeyTable), 8), QByteArray("PuDesKal"));
}

QTEST_GUILESS_MAIN(tst_ReportCodec)
#include "tst_reportcodec.moc"
