#include "macro/MacroEncoder.h"

#include "testlib/TestData.h"

#include <QtTest>

using namespace MacroEncoder;

class TestMacroEncoder : public QObject
{
    Q_OBJECT
private slots:
    void encodeBytes_data();
    void encodeBytes();
    void sizeMatchesEncoding_data();
    void sizeMatchesEncoding();
    void tooLongIsCutCleanly();
    void randomMacros();
    void names();
    void image();
};

void TestMacroEncoder::encodeBytes_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("press, 50, release, 30") << QStringList{"1,A", "0,50", "2,A", "0,30"} << 1
                                            << QByteArray::fromHex("0001050481040000");
    QTest::newRow("only delays") << QStringList{"0,100", "0,20"} << 1
                                 << QByteArray::fromHex("0001");
    QTest::newRow("empty") << QStringList{} << 7 << QByteArray::fromHex("0007");
    QTest::newRow("repeat 300") << QStringList{} << 300 << QByteArray::fromHex("012c");
    QTest::newRow("repeat clamped to 65535")
        << QStringList{} << 70000 << QByteArray::fromHex("ffff");
    QTest::newRow("negative repeat is 0") << QStringList{} << -3 << QByteArray::fromHex("0000");
    QTest::newRow("no delay between events is one tick")
        << QStringList{"1,B", "2,B"} << 1 << QByteArray::fromHex("0001010581050000");
    QTest::newRow("2000 ms after a press") << QStringList{"1,A", "0,2000", "2,A"} << 1
                                           << QByteArray::fromHex("0001"
                                                                  "0004"
                                                                  "0001"
                                                                  "0064"
                                                                  "81040000");
    QTest::newRow("1500 ms after a release") << QStringList{"2,A", "0,1500", "1,A"} << 1
                                             << QByteArray::fromHex("0001"
                                                                    "8004"
                                                                    "0001"
                                                                    "004b"
                                                                    "01040000");
    QTest::newRow("1260 ms is still short")
        << QStringList{"1,A", "0,1260", "2,A"} << 1 << QByteArray::fromHex("00017e0481040000");
    QTest::newRow("1270 ms is extended") << QStringList{"1,A", "0,1270", "2,A"} << 1
                                         << QByteArray::fromHex("0001"
                                                                "0004"
                                                                "0001"
                                                                "003f"
                                                                "81040000");
    QTest::newRow("unit 50 ms from 1000 s")
        << QStringList{"1,A",     "0,65535", "0,65535", "0,65535", "0,65535", "0,65535",
                       "0,65535", "0,65535", "0,65535", "0,65535", "0,65535", "0,65535",
                       "0,65535", "0,65535", "0,65535", "0,65535", "0,65535", "2,A"}
        << 1
        << QByteArray::fromHex("0001"
                               "0004"
                               "0002"
                               "51eb"
                               "81040000"); // 104856 ticks / 5
    QTest::newRow("leading delays skipped, trailing delays dropped")
        << QStringList{"0,500", "1,A", "0,20", "2,A", "0,900"} << 2
        << QByteArray::fromHex("0002020481040000");
    QTest::newRow("delays add up") << QStringList{"1,A", "0,20", "0,30", "2,A"} << 1
                                   << QByteArray::fromHex("0001050481040000");
    QTest::newRow("single press is encoded")
        << QStringList{"1,A"} << 1 << QByteArray::fromHex("000101040000");
    QTest::newRow("single release after delays")
        << QStringList{"0,10", "4,MS-L", "0,40"} << 1 << QByteArray::fromHex("000181f00000");
    QTest::newRow("mouse buttons")
        << QStringList{"3,MS-R", "0,10", "4,MS-R"} << 1 << QByteArray::fromHex("000101f181f10000");
    QTest::newRow("unknown name gives code 0")
        << QStringList{"1,Nope", "2,Nope"} << 1 << QByteArray::fromHex("0001010081000000");
    QTest::newRow("unknown type skipped")
        << QStringList{"9,A", "1,A", "x", "2,A"} << 1 << QByteArray::fromHex("0001010481040000");
    QTest::newRow("bad delay text is 0") << QStringList{"1,A", "0,abc", "0,-50", "2,A"} << 1
                                         << QByteArray::fromHex("0001010481040000");
    QTest::newRow("odd delays summed before dividing")
        << QStringList{"1,A", "0,15", "0,15", "2,A"} << 1
        << QByteArray::fromHex("0001030481040000");
}

void TestMacroEncoder::encodeBytes()
{
    QFETCH(QStringList, entries);
    QFETCH(int, repeat);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encode(parseEntries(entries), repeat).toHex(' '), bytes.toHex(' '));
}

void TestMacroEncoder::sizeMatchesEncoding_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << QStringList{} << 2;
    QTest::newRow("delays only") << QStringList{"0,10"} << 2;
    QTest::newRow("one action") << QStringList{"1,A"} << 6;
    QTest::newRow("two actions") << QStringList{"1,A", "2,A"} << 8;
    QTest::newRow("long delay") << QStringList{"1,A", "0,5000", "2,A"} << 12;
    QStringList many;
    for (int i = 0; i < 30; ++i)
        many << "1,A"
             << "0,20"
             << "2,A";
    QTest::newRow("sixty actions") << many << 2 + 59 * 2 + 4;
}

void TestMacroEncoder::sizeMatchesEncoding()
{
    QFETCH(QStringList, entries);
    QFETCH(int, size);
    const QList<Event> events = parseEntries(entries);
    QCOMPARE(encodedSize(events), size);
    QCOMPARE(int(encode(events, 1).size()), size);
}

void TestMacroEncoder::tooLongIsCutCleanly()
{
    // 70 actions with long delays need far more than 128 bytes.
    QStringList entries;
    for (int i = 0; i < 35; ++i)
        entries << "1,A"
                << "0,3000"
                << "2,A"
                << "0,3000";
    DebugCapture cap;
    const QList<Event> events = parseEntries(entries);
    QVERIFY(encodedSize(events) > 128);
    const QByteArray bytes = encode(events, 1);
    QVERIFY(bytes.size() <= 128);
    // 2 + 20 closed actions of 6 bytes + closing pair + end pair = 126.
    QCOMPARE(bytes.size(), 126);
    QCOMPARE(bytes.right(4).toHex(' '), QByteArray("01 04 00 00"));
    QVERIFY(!cap.lines().isEmpty());
    QVERIFY(cap.lines().last().contains("dropped"));
}

// Whatever the entries, the image stays within 128 bytes, ends with the end
// pair and matches the counter whenever nothing had to be dropped.
void TestMacroEncoder::randomMacros()
{
    QRandomGenerator rng(4711);
    const QStringList infos{"A", "MS-L", "Nope", "", "50", "-10", "65535", "abc", "1270"};
    for (int round = 0; round < 500; ++round) {
        QStringList entries;
        const int n = int(rng.bounded(80));
        for (int i = 0; i < n; ++i) {
            const int type = int(rng.bounded(7)); // 5 and 6 are not event types
            const QString info = type == 0 ? QString::number(rng.bounded(70000))
                                           : infos.at(int(rng.bounded(infos.size())));
            entries << QStringLiteral("%1,%2").arg(type).arg(info);
        }
        const QList<Event> events = parseEntries(entries);
        const QByteArray bytes = encode(events, qint64(rng.bounded(70000)) - 100);
        QVERIFY(bytes.size() >= 2 && bytes.size() <= 128);
        QVERIFY(bytes.size() % 2 == 0);
        if (bytes.size() > 2)
            QVERIFY(bytes.endsWith(QByteArray(2, '\0')));
        if (encodedSize(events) <= 128)
            QCOMPARE(int(bytes.size()), encodedSize(events));
    }
}

void TestMacroEncoder::names()
{
    QCOMPARE(keyCodes().size(), 133);
    QCOMPARE(builtinKeyNames().size(), 133);
    QCOMPARE(codeForName("Intl2"), quint8(0x88));
    QCOMPARE(codeForName("\\"), quint8(0x31));
    QCOMPARE(codeForName("KP /"), quint8(0));
    QCOMPARE(codeForName(""), quint8(0));
    QCOMPARE(codeForName("MS-B4"), quint8(0xF3));
    QCOMPARE(codeForName("F24"), quint8(0x73));
    QCOMPARE(codeForName("RWin"), quint8(0xE7));
    QCOMPARE(nameForCode(0x89), QString("Intl2"));
    QCOMPARE(nameForCode(0x52), QString(QChar(0x25B2)));
    QCOMPARE(nameForCode(0x74), QString());

    // A language's names replace the built-in ones position for position.
    QStringList lang = builtinKeyNames();
    lang[0] = QStringLiteral("Ä");
    QCOMPARE(codeForName("Ä", lang), quint8(0x04));
    QCOMPARE(codeForName("A", lang), quint8(0));
    // A list of the wrong length would misalign codes: the built-in names apply.
    QCOMPARE(codeForName("A", QStringList{"B", "A"}), quint8(0x04));
}

void TestMacroEncoder::image()
{
    const Image img = imageFromList({1, 2, 256 + 3, "4", "x", -1});
    QCOMPARE(img[0], quint8(1));
    QCOMPARE(img[2], quint8(3));
    QCOMPARE(img[3], quint8(4));
    QCOMPARE(img[4], quint8(0));
    QCOMPARE(img[5], quint8(0xFF));
    QCOMPARE(img[6], quint8(0));
    QVariantList big;
    for (int i = 0; i < 200; ++i)
        big << 7;
    const Image full = imageFromList(big);
    QCOMPARE(full[127], quint8(7));
}

QTEST_GUILESS_MAIN(TestMacroEncoder)
#include "tst_macroencoder.moc"
