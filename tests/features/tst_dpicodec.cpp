#include "features/DpiCodec.h"

#include <QtTest>

using namespace DpiCodec;

class TestDpiCodec : public QObject
{
    Q_OBJECT
private slots:
    void codes_data();
    void codes();
    void pageRangeUnchanged_data();
    void pageRangeUnchanged();
    void buffer553_data();
    void buffer553();
    void image560();
};

void TestDpiCodec::codes_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("high");

    QTest::newRow("4090 200") << "4090" << 200 << 0x01 << false;
    QTest::newRow("4090 5000") << "4090" << 5000 << 0x31 << false;
    QTest::newRow("4090 5001") << "4090" << 5001 << 0x59 << false;
    QTest::newRow("4090 5200") << "4090" << 5200 << 0x5A << false;
    QTest::newRow("4090 6000") << "4090" << 6000 << 0x5E << false;
    QTest::newRow("4090 12799 highest") << "4090" << 12799 << 0x7F << false;
    QTest::newRow("4090 12800 clamped") << "4090" << 12800 << 0x7F << false;
    QTest::newRow("4090 40000 clamped") << "4090" << 40000 << 0x7F << false;
    QTest::newRow("4090 50 lowest") << "4090" << 50 << 0x00 << false;
    QTest::newRow("4090 negative lowest") << "4090" << -800 << 0x00 << false;
    QTest::newRow("unknown like 4090") << "9999" << 5200 << 0x5A << false;
    QTest::newRow("empty like 4090") << "" << 5000 << 0x31 << false;
    QTest::newRow("case matters") << "3360 " << 6000 << 0x5E << false;
    QTest::newRow("3360 100") << "3360" << 100 << 0x00 << false;
    QTest::newRow("3360 12000") << "3360" << 12000 << 119 << false;
    QTest::newRow("3360 25600 highest") << "3360" << 25600 << 0xFF << false;
    QTest::newRow("3360 30000 clamped") << "3360" << 30000 << 0xFF << false;
    QTest::newRow("3050 250") << "3050" << 250 << 1 << false;
    QTest::newRow("3050 251") << "3050" << 251 << 2 << false;
    QTest::newRow("3050 1100") << "3050" << 1100 << 5 << false;
    QTest::newRow("3050 2000") << "3050" << 2000 << 8 << false;
    QTest::newRow("3050 2001") << "3050" << 2001 << 0x45 << false;
    QTest::newRow("3050 2600") << "3050" << 2600 << 0x46 << false;
    QTest::newRow("3050 3500") << "3050" << 3500 << 0x47 << false;
    QTest::newRow("3050 4000") << "3050" << 4000 << 0x48 << false;
    QTest::newRow("3050 4001 clamped") << "3050" << 4001 << 0x48 << false;
    QTest::newRow("3050 0") << "3050" << 0 << 1 << false;
    QTest::newRow("3389 12750") << "3389" << 12750 << 255 << false;
    QTest::newRow("3389 12800") << "3389" << 12800 << 0 << true;
    QTest::newRow("3389 16000") << "3389" << 16000 << 64 << true;
    QTest::newRow("3389 25599 highest") << "3389" << 25599 << 255 << true;
    QTest::newRow("3389 26000 clamped") << "3389" << 26000 << 255 << true;
    QTest::newRow("3389 negative") << "3389" << -50 << 0 << false;
    QTest::newRow("3327 100") << "3327" << 100 << 1 << false;
    QTest::newRow("3327 25500") << "3327" << 25500 << 255 << false;
    QTest::newRow("3327 26000 clamped") << "3327" << 26000 << 255 << false;
}

void TestDpiCodec::codes()
{
    QFETCH(QString, sensor);
    QFETCH(int, dpi);
    QFETCH(int, code);
    QFETCH(bool, high);
    const StageCode c = stageCode(dpi, sensorFromName(sensor));
    QCOMPARE(int(c.code), code);
    QCOMPARE(c.highBit, high);
}

// Every value the DPI page can produce (its sliders step by 50 or 100 up to
// the sensor's range) gets exactly the unclamped formula's code.
void TestDpiCodec::pageRangeUnchanged_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("maxDpi");
    QTest::newRow("4090") << "4090" << 12750;
    QTest::newRow("3360") << "3360" << 12000;
    QTest::newRow("3389") << "3389" << 16000;
    QTest::newRow("3327") << "3327" << 12000;
}

void TestDpiCodec::pageRangeUnchanged()
{
    QFETCH(QString, sensor);
    QFETCH(int, maxDpi);
    const Sensor s = sensorFromName(sensor);
    for (int v = 100; v <= maxDpi; v += 50) {
        int expected = 0;
        if (sensor == "4090")
            expected = v <= 5000 ? v / 100 - 1 : ((v / 200) | 0x40);
        else if (sensor == "3360")
            expected = v / 100 - 1;
        else if (sensor == "3389")
            expected = (v / 50) % 256;
        else
            expected = v / 100;
        QCOMPARE(int(stageCode(v, s).code), expected);
        QCOMPARE(stageCode(v, s).highBit, sensor == "3389" && v > 12799);
    }
}

void TestDpiCodec::buffer553_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("buffer");

    const QVariantList eight{400, 800, 1600, 3200, 400, 800, 1600, 3200};
    QTest::newRow("count 4 of 8") << eight << 4 << QByteArray::fromHex("03070f1f80808080");
    QTest::newRow("count 8") << eight << 8 << QByteArray::fromHex("03070f1f03070f1f");
    QTest::newRow("short list marks only listed")
        << QVariantList{400, 800, 1600} << 1 << QByteArray::fromHex("0380800000000000");
    QTest::newRow("long list uses eight")
        << (eight + QVariantList{100, 100}) << 8 << QByteArray::fromHex("03070f1f03070f1f");
    QTest::newRow("text and garbage") << QVariantList{"800", "abc", QVariant(), 1600.0} << 4
                                      << QByteArray::fromHex("0700000f00000000");
}

void TestDpiCodec::buffer553()
{
    QFETCH(QVariantList, values);
    QFETCH(int, count);
    QFETCH(QByteArray, buffer);
    const Codes b = DpiCodec::buffer553(encodeStages(values, Sensor::S4090), count);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(b.data()), 8).toHex(' '), buffer.toHex(' '));
}

void TestDpiCodec::image560()
{
    std::array<quint8, 128> img{};
    img.fill(0xAA);
    const Stages s = encodeStages({800, 13000, 400}, Sensor::S3389);
    QCOMPARE(s.highBits, quint8(0x02));
    patchImage(img, s, 3, Sensor::S3389);
    QCOMPARE(img[82], quint8(0x02));
    QCOMPARE(img[83], quint8(0x02));
    QCOMPARE(img[84], quint8(16));
    QCOMPARE(img[85], quint8(4)); // 260 & 0xFF
    QCOMPARE(img[86], quint8(8));
    QCOMPARE(img[87], quint8(0));
    QCOMPARE(img[92], quint8(16));
    QCOMPARE(img[93], quint8(4));
    QCOMPARE(img[100], quint8(0x07));
    QCOMPARE(img[81], quint8(0xAA));
    QCOMPARE(img[101], quint8(0xAA));

    // Other sensors leave the flag bytes as the device had them.
    std::array<quint8, 128> img2{};
    img2.fill(0x55);
    patchImage(img2, encodeStages({800}, Sensor::S4090), 8, Sensor::S4090);
    QCOMPARE(img2[82], quint8(0x55));
    QCOMPARE(img2[100], quint8(0xFF));
    QCOMPARE(stageMask(4), quint8(0x0F));
    QCOMPARE(stageMask(1), quint8(0x01));
}

QTEST_GUILESS_MAIN(TestDpiCodec)
#include "tst_dpicodec.moc"
