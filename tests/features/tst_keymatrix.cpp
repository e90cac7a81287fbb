#include "input/KeyMatrix.h"

#include <QtTest>

using namespace KeyMatrix;

using Entries = QMap<int, Binding>;
Q_DECLARE_METATYPE(Entries)

namespace
{
QVariantList flat(const Entries &buttons)
{
    QVariantList src;
    for (int k = 0; k < kButtons; ++k) {
        const Binding b = buttons.value(k, Binding{0x00, 0x00, 0x00, 0x00});
        for (quint8 v : b)
            src << int(v);
    }
    return src;
}

// Every unbound button translates to a disabled mouse button; entry 8 is fixed.
Matrix expectedMatrix(const Entries &entries)
{
    Matrix m{};
    for (int k = 0; k < kButtons; ++k) {
        Binding b = entries.value(k, Binding{0x01, 0x00, 0x00, 0x00});
        if (k == 8 && !entries.contains(8)) b = {0x0C, 0, 0, 0};
        for (int i = 0; i < 4; ++i)
            m[size_t(k * 4 + i)] = b[size_t(i)];
    }
    return m;
}

QByteArray hex(const Matrix &m)
{
    return QByteArray(reinterpret_cast<const char *>(m.data()), 64).toHex(' ');
}
} // namespace

class TestKeyMatrix : public QObject
{
    Q_OBJECT
private slots:
    void translate_data();
    void translate();
    void matrix_data();
    void matrix();
    void shortAndOddLists();
    void form560();
    void factory();
};

void TestKeyMatrix::translate_data()
{
    QTest::addColumn<Binding>("binding");
    QTest::addColumn<bool>("is560");
    QTest::addColumn<Binding>("entry");

    QTest::newRow("left button") << Binding{0x00, 0, 0xF0, 0} << false << Binding{0x01, 0, 0xF0, 0};
    QTest::newRow("disabled button") << Binding{0x00, 0, 0, 0} << false << Binding{0x01, 0, 0, 0};
    QTest::newRow("double fire") << Binding{0x00, 0xF0, 0x1E, 0x02} << false
                                 << Binding{0x0A, 0xF0, 0x1E, 0x02};
    QTest::newRow("0x1E without 0x02 is a button")
        << Binding{0x00, 0xF0, 0x1E, 0x01} << false << Binding{0x01, 0xF0, 0x1E, 0x01};
    QTest::newRow("fire") << Binding{0x01, 0x04, 30, 3} << false << Binding{0x0A, 0x04, 30, 3};
    QTest::newRow("key combination")
        << Binding{0x02, 0x01, 0x06, 0x00} << false << Binding{0x00, 0x01, 0x06, 0x00};
    QTest::newRow("system consumer 0x94")
        << Binding{0x06, 0, 0x94, 0x01} << false << Binding{0x03, 0x00, 0x94, 0x01};
    QTest::newRow("system consumer 0x21")
        << Binding{0x06, 0, 0x21, 0x02} << true << Binding{0x03, 0x00, 0x21, 0x02};
    QTest::newRow("system consumer 0x23")
        << Binding{0x06, 0, 0x23, 0x02} << false << Binding{0x03, 0x00, 0x23, 0x02};
    QTest::newRow("system keys") << Binding{0x06, 0, 0xE3, 0x07} << false
                                 << Binding{0x00, 0x00, 0xE3, 0x07};
    QTest::newRow("shortcut") << Binding{0x07, 0xE0, 0x06, 0} << false
                              << Binding{0x00, 0xE0, 0x06, 0};
    QTest::newRow("media") << Binding{0x03, 0xCD, 0x00, 0} << false << Binding{0x03, 0xCD, 0x00, 0};
    QTest::newRow("macro slot plus one")
        << Binding{0x04, 1, 5, 0} << false << Binding{0x09, 0x01, 0x06, 0};
    QTest::newRow("macro slot 255 wraps")
        << Binding{0x04, 1, 255, 0} << false << Binding{0x09, 1, 0, 0};
    QTest::newRow("dpi plus") << Binding{0x05, 0, 1, 0} << false << Binding{0x07, 0, 1, 0};
    QTest::newRow("sniper 553") << Binding{0x05, 0, 4, 0} << false << Binding{0x07, 0, 4, 1};
    QTest::newRow("sniper 560") << Binding{0x05, 0, 4, 0} << true << Binding{0x0B, 0, 3, 3};
    QTest::newRow("gun slot") << Binding{0x08, 0, 2, 0} << false << Binding{0x08, 0, 2, 0};
    QTest::newRow("special") << Binding{0xFF, 1, 2, 3} << false << Binding{0x04, 1, 2, 3};
    QTest::newRow("0x09 unchanged") << Binding{0x09, 1, 2, 3} << false << Binding{0x09, 1, 2, 3};
    QTest::newRow("0xFE unchanged") << Binding{0xFE, 1, 2, 3} << false << Binding{0xFE, 1, 2, 3};
    QTest::newRow("macro with consumer codes")
        << Binding{0x04, 0, 0x93, 0x01} << false << Binding{0x03, 0, 0x94, 0x01};
}

void TestKeyMatrix::translate()
{
    QFETCH(Binding, binding);
    QFETCH(bool, is560);
    QFETCH(Binding, entry);
    QCOMPARE(translateBinding(binding, is560), entry);
}

void TestKeyMatrix::matrix_data()
{
    QTest::addColumn<Entries>("buttons");
    QTest::addColumn<bool>("is560");
    QTest::addColumn<Entries>("entries");

    QTest::newRow("all disabled") << Entries{} << false << Entries{};
    QTest::newRow("gun function on button 6")
        << Entries{{0, {0x00, 0, 0xF0, 0}}, {6, {0x0B, 0xFF, 4, 5}}} << false
        << Entries{{0, {0x0B, 0x00, 0x04, 0x05}}, {6, {0x08, 0x00, 0x02, 0x00}}};
    QTest::newRow("gun function on button 0 ends as placeholder")
        << Entries{{0, {0x0B, 0xFF, 4, 5}}} << true << Entries{{0, {0x08, 0x00, 0x02, 0x00}}};
    QTest::newRow("last gun function wins")
        << Entries{{2, {0x0B, 0xFF, 1, 2}}, {7, {0x0B, 0xFF, 3, 4}}} << false
        << Entries{{0, {0x0B, 0, 3, 4}}, {2, {0x08, 0, 2, 0}}, {7, {0x08, 0, 2, 0}}};
    QTest::newRow("gun kind without 0xFF stays")
        << Entries{{6, {0x0B, 0x01, 4, 5}}} << false << Entries{{6, {0x0B, 0x01, 4, 5}}};
    QTest::newRow("560 sniper is not moved")
        << Entries{{6, {0x05, 0, 4, 0}}} << true << Entries{{6, {0x0B, 0, 3, 3}}};
    QTest::newRow("buttons 3 4 5 reordered")
        << Entries{{3, {0x02, 0, 0x04, 0}}, {4, {0x02, 0, 0x05, 0}}, {5, {0x02, 0, 0x06, 0}}}
        << false
        << Entries{{3, {0x00, 0, 0x05, 0}}, {4, {0x00, 0, 0x06, 0}}, {5, {0x00, 0, 0x04, 0}}};
    QTest::newRow("entry 8 fixed whatever button 8 is")
        << Entries{{8, {0x02, 0x01, 0x04, 0}}, {9, {0x02, 0, 0x07, 0}}} << false
        << Entries{{8, {0x0C, 0, 0, 0}}, {9, {0x00, 0, 0x07, 0}}};
    QTest::newRow("gun function on button 4 moves before reorder")
        << Entries{{4, {0x0B, 0xFF, 9, 9}}} << false
        << Entries{{0, {0x0B, 0, 9, 9}}, {3, {0x08, 0, 2, 0}}};
}

void TestKeyMatrix::matrix()
{
    QFETCH(Entries, buttons);
    QFETCH(bool, is560);
    QFETCH(Entries, entries);
    QCOMPARE(hex(buildDeviceMatrix(bindingsFromFlat(flat(buttons)), is560)),
             hex(expectedMatrix(entries)));
}

void TestKeyMatrix::shortAndOddLists()
{
    // Five numbers: button 0 complete, button 1 has only its kind.
    const QVariantList src{2, 1, 4, 0, 4};
    const Bindings b = bindingsFromFlat(src);
    QCOMPARE(b[0], (Binding{2, 1, 4, 0}));
    QCOMPARE(b[1], (Binding{4, 0, 0, 0}));
    QCOMPARE(b[15], (Binding{0, 0, 0, 0}));

    QCOMPARE(storedBinding(src, 1), (QVariantList{4, 0, 0, 0}));
    QCOMPARE(storedBinding(src, 15), (QVariantList{0, 0, 0, 0}));
    // Text, garbage and out-of-range numbers never read out of bounds.
    QCOMPARE(storedBinding(QVariantList{"7", "x", QVariant(), 2.9}, 0), (QVariantList{7, 0, 0, 2}));
    QCOMPARE(bindingFromList(QVariantList{256, -1, 300}), (Binding{0x00, 0xFF, 0x2C, 0x00}));
    QCOMPARE(bindingFromList({}), (Binding{0, 0, 0, 0}));

    // A list longer than 64 numbers uses the first 64 only.
    QVariantList longList;
    for (int i = 0; i < 80; ++i)
        longList << 2;
    QCOMPARE(bindingsFromFlat(longList)[15], (Binding{2, 2, 2, 2}));
}

void TestKeyMatrix::form560()
{
    Matrix m{};
    for (int i = 0; i < 64; ++i)
        m[size_t(i)] = quint8(i + 1);
    const Matrix560 f = to560Form(m);
    for (int i = 0; i < 64; ++i)
        QCOMPARE(f[size_t(i)], quint8(i + 1));
    for (int i = 64; i < 128; ++i)
        QCOMPARE(f[size_t(i)], quint8(0));
}

void TestKeyMatrix::factory()
{
    std::array<QVariantList, kButtons> entries{};
    entries[0] = {1, 0, 0xF0, 0};
    entries[3] = {0x0B, 0xFF, 4}; // short: last byte 0, no translation
    entries[8] = {9, 9, 9, 9, 9}; // long: first four only
    const Matrix560 f = factoryMatrix(entries);
    QCOMPARE(f[0], quint8(1));
    QCOMPARE(f[2], quint8(0xF0));
    QCOMPARE(f[12], quint8(0x0B));
    QCOMPARE(f[13], quint8(0xFF));
    QCOMPARE(f[14], quint8(4));
    QCOMPARE(f[15], quint8(0));
    QCOMPARE(f[32], quint8(9));
    QCOMPARE(f[35], quint8(9));
    QCOMPARE(f[36], quint8(0));
    QCOMPARE(f[127], quint8(0));
}

QTEST_GUILESS_MAIN(TestKeyMatrix)
#include "tst_keymatrix.moc"
