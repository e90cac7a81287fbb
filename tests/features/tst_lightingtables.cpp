#include "features/DeviceOptions.h"
#include "features/LightingTables.h"

#include <QtTest>

using namespace LightingTables;

class TestLightingTables : public QObject
{
    Q_OBJECT
private slots:
    void colorful_data();
    void colorful();
    void plain_data();
    void plain();
    void colors();
    void rates_data();
    void rates();
    void gun();
};

void TestLightingTables::colorful_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("bright");
    QTest::addColumn<Triple>("bytes");

    QTest::newRow("static") << 0 << 3 << 4 << Triple{0, 0, 0};
    QTest::newRow("breath, brightness 0") << 1 << 3 << 0 << Triple{1, 0, 3};
    QTest::newRow("breath slowest") << 1 << 0 << 1 << Triple{1, 64, 10};
    QTest::newRow("neon") << 2 << 4 << 2 << Triple{2, 128, 13};
    QTest::newRow("off keeps speed") << 3 << 1 << 4 << Triple{3, 0, 7};
    QTest::newRow("twinkling") << 4 << 4 << 3 << Triple{4, 192, 0};
    QTest::newRow("wave") << 5 << 2 << 4 << Triple{5, 255, 0};
    QTest::newRow("gliding") << 6 << 2 << 4 << Triple{6, 0, 5};
    QTest::newRow("finger moving") << 7 << 2 << 4 << Triple{7, 0, 0};
    QTest::newRow("vertical flipping") << 8 << 2 << 1 << Triple{8, 64, 0};
    QTest::newRow("yo-yo") << 9 << 3 << 2 << Triple{9, 128, 7};
    QTest::newRow("spotlight") << 10 << 2 << 4 << Triple{10, 255, 26};
    QTest::newRow("spotlight speed 5") << 10 << 5 << 5 << Triple{10, 0, 0};
    QTest::newRow("effect 11") << 11 << 1 << 1 << Triple{0, 0, 0};
    QTest::newRow("effect 12") << 12 << 2 << 4 << Triple{0, 0, 0};
    QTest::newRow("effect 255") << 255 << 255 << 255 << Triple{0, 0, 0};
}

void TestLightingTables::colorful()
{
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, bright);
    QFETCH(Triple, bytes);
    const Triple t = colorfulEffect(quint8(effect), quint8(speed), quint8(bright));
    QCOMPARE(QList<int>({t.a, t.b, t.c}), QList<int>({bytes.a, bytes.b, bytes.c}));
}

void TestLightingTables::plain_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("bright");
    QTest::addColumn<Triple>("bytes");

    QTest::newRow("static bright 0") << 0 << 0 << 0 << Triple{1, 1, 1};
    QTest::newRow("static bright 3") << 0 << 0 << 3 << Triple{1, 7, 1};
    QTest::newRow("static bright 4") << 0 << 0 << 4 << Triple{1, 10, 1};
    QTest::newRow("static bright 9") << 0 << 0 << 9 << Triple{1, 0, 1};
    QTest::newRow("breath") << 1 << 2 << 0 << Triple{2, 3, 1};
    QTest::newRow("neon fast") << 2 << 4 << 0 << Triple{3, 6, 1};
    QTest::newRow("neon slow") << 2 << 0 << 0 << Triple{3, 30, 1};
    QTest::newRow("neon bad speed") << 2 << 7 << 0 << Triple{3, 0, 1};
    QTest::newRow("off") << 3 << 2 << 2 << Triple{0, 0, 0};
    QTest::newRow("breath loop") << 4 << 0 << 0 << Triple{2, 1, 3};
    QTest::newRow("effect 5") << 5 << 0 << 0 << Triple{0, 0, 0};
}

void TestLightingTables::plain()
{
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, bright);
    QFETCH(Triple, bytes);
    const Triple t = plainEffect(quint8(effect), quint8(speed), quint8(bright));
    QCOMPARE(QList<int>({t.a, t.b, t.c}), QList<int>({bytes.a, bytes.b, bytes.c}));
}

void TestLightingTables::colors()
{
    const Colors c = colorsFromList({255, 0, 16, "32", "x", 300});
    QCOMPARE(c[0], quint8(255));
    QCOMPARE(c[2], quint8(16));
    QCOMPARE(c[3], quint8(32));
    QCOMPARE(c[4], quint8(0));
    QCOMPARE(c[5], quint8(44));
    QCOMPARE(c[23], quint8(0));
    QVERIFY(!hasColor8(c));
    QVariantList thirty;
    for (int i = 0; i < 30; ++i)
        thirty << i;
    const Colors d = colorsFromList(thirty);
    QCOMPARE(d[23], quint8(23));
    QVERIFY(hasColor8(d));

    std::array<quint8, 128> img{};
    img.fill(0xEE);
    patchColors(img, kPlainColorsOffset, d);
    QCOMPARE(img[103], quint8(0xEE));
    QCOMPARE(img[104], quint8(0));
    QCOMPARE(img[127], quint8(23));
    patchEffect(img, {1, 2, 3});
    QCOMPARE(img[70], quint8(0xEE));
    QCOMPARE(img[71], quint8(1));
    QCOMPARE(img[73], quint8(3));
    QCOMPARE(img[74], quint8(0xEE));
}

void TestLightingTables::rates_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("hz");
    QTest::addColumn<int>("byte");
    QTest::newRow("125") << 0 << 125 << 8;
    QTest::newRow("250") << 1 << 250 << 4;
    QTest::newRow("500") << 2 << 500 << 2;
    QTest::newRow("1000") << 3 << 1000 << 1;
}

void TestLightingTables::rates()
{
    QFETCH(int, index);
    QFETCH(int, hz);
    QFETCH(int, byte);
    QCOMPARE(int(*DeviceOptions::rateByteForIndex(index)), byte);
    QCOMPARE(int(*DeviceOptions::rateByteForHz(hz)), byte);
    QCOMPARE(*DeviceOptions::rateIndexForHz(hz), index);
    QVERIFY(!DeviceOptions::rateByteForIndex(4));
    QVERIFY(!DeviceOptions::rateByteForIndex(-1));
    QVERIFY(!DeviceOptions::rateByteForHz(2000));
    QCOMPARE(int(DeviceOptions::rateByteForStored(index)), byte);
    QCOMPARE(int(DeviceOptions::rateByteForStored(7)), 1);
    QCOMPARE(int(DeviceOptions::rateByteForStored(-1)), 1);
}

void TestLightingTables::gun()
{
    QCOMPARE(DeviceOptions::gunYByte(10, 0), quint8(10));
    QCOMPARE(DeviceOptions::gunYByte(10, 1), quint8(0xF6));
    QCOMPARE(DeviceOptions::gunYByte(0, 1), quint8(0));
    QCOMPARE(DeviceOptions::gunYByte(64, 0x80), quint8(0xC0));
    QCOMPARE(DeviceOptions::gunYByte(266, 0), quint8(10));

    std::array<quint8, 128> img{};
    img.fill(0xFF);
    DeviceOptions::patchGun(img, 3, 4, 5);
    QCOMPARE(img[65], quint8(0xFB));
    QCOMPARE(img[78], quint8(0xF0));
    QCOMPARE(img[79], quint8(3));
    QCOMPARE(img[80], quint8(4));
    QCOMPARE(img[81], quint8(5));
    QCOMPARE(img[82], quint8(0xFF));
}

QTEST_GUILESS_MAIN(TestLightingTables)
#include "tst_lightingtables.moc"
