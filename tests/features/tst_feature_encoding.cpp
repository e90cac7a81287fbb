// What the pages' values become on the device: key matrix, macro images,
// DPI stage codes, lighting and report-rate bytes.
#include "features/DeviceOptions.h"
#include "features/DpiCodec.h"
#include "features/LightingTables.h"
#include "input/KeyMatrix.h"
#include "macro/MacroEncoder.h"
#include "testlib/TestData.h"

#include <QtTest>

using namespace KeyMatrix;
using Entries = QMap<int, Binding>;

namespace
{
template <typename A> QByteArray hex(const A &a, int from = 0, int n = -1)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(a.size())).mid(from, n).toHex(' ');
}

struct Translate {
    const char *tag;
    Binding binding;
    bool is560;
    Binding entry;
};
// clang-format off
const Translate kTranslate[] = {
    {"left button", {0x00, 0, 0xF0, 0}, false, {0x01, 0, 0xF0, 0}},
    {"double fire", {0x00, 0xF0, 0x1E, 0x02}, false, {0x0A, 0xF0, 0x1E, 0x02}},
    {"0x1E without 0x02 is a button", {0x00, 0xF0, 0x1E, 0x01}, false, {0x01, 0xF0, 0x1E, 0x01}},
    {"fire", {0x01, 0x04, 30, 3}, false, {0x0A, 0x04, 30, 3}},
    {"key combination", {0x02, 0x01, 0x06, 0x00}, false, {0x00, 0x01, 0x06, 0x00}},
    {"system consumer 0x94", {0x06, 0, 0x94, 0x01}, false, {0x03, 0x00, 0x94, 0x01}},
    {"media", {0x03, 0xCD, 0x00, 0}, false, {0x03, 0xCD, 0x00, 0}},
    {"macro slot plus one", {0x04, 1, 5, 0}, false, {0x09, 0x01, 0x06, 0}},
    {"dpi plus", {0x05, 0, 1, 0}, false, {0x07, 0, 1, 0}},
    {"sniper 553", {0x05, 0, 4, 0}, false, {0x07, 0, 4, 1}},
    {"sniper 560", {0x05, 0, 4, 0}, true, {0x0B, 0, 3, 3}},
    {"gun slot", {0x08, 0, 2, 0}, false, {0x08, 0, 2, 0}},
    {"special", {0xFF, 1, 2, 3}, false, {0x04, 1, 2, 3}},
    {"0x09 unchanged", {0x09, 1, 2, 3}, false, {0x09, 1, 2, 3}},
};

struct MatrixRow {
    const char *tag;
    Entries buttons;
    bool is560;
    Entries entries; // every other entry: a disabled button; entry 8 fixed
};
const MatrixRow kMatrix[] = {
    {"gun function on button 6", {{0, {0x00, 0, 0xF0, 0}}, {6, {0x0B, 0xFF, 4, 5}}}, false, {{0, {0x0B, 0x00, 0x04, 0x05}}, {6, {0x08, 0x00, 0x02, 0x00}}}},
    {"gun function on button 0 ends as placeholder", {{0, {0x0B, 0xFF, 4, 5}}}, true, {{0, {0x08, 0x00, 0x02, 0x00}}}},
    {"last gun function wins", {{2, {0x0B, 0xFF, 1, 2}}, {7, {0x0B, 0xFF, 3, 4}}}, false, {{0, {0x0B, 0, 3, 4}}, {2, {0x08, 0, 2, 0}}, {7, {0x08, 0, 2, 0}}}},
    {"gun kind without 0xFF stays", {{6, {0x0B, 0x01, 4, 5}}}, false, {{6, {0x0B, 0x01, 4, 5}}}},
    {"buttons 3 4 5 reordered", {{3, {0x02, 0, 0x04, 0}}, {4, {0x02, 0, 0x05, 0}}, {5, {0x02, 0, 0x06, 0}}}, false,
     {{3, {0x00, 0, 0x05, 0}}, {4, {0x00, 0, 0x06, 0}}, {5, {0x00, 0, 0x04, 0}}}},
    {"entry 8 fixed whatever button 8 is", {{8, {0x02, 0x01, 0x04, 0}}, {9, {0x02, 0, 0x07, 0}}}, false, {{8, {0x0C, 0, 0, 0}}, {9, {0x00, 0, 0x07, 0}}}},
    {"gun function on button 4 moves before reorder", {{4, {0x0B, 0xFF, 9, 9}}}, false, {{0, {0x0B, 0, 9, 9}}, {3, {0x08, 0, 2, 0}}}},
};

struct Macro {
    const char *tag;
    QStringList entries;
    int repeat;
    const char *bytes;
};
const QStringList kLongDelays = QStringList{"1,A"} + QStringList(16, "0,65535") + QStringList{"2,A"};
const Macro kMacros[] = {
    {"press, 50, release, 30", {"1,A", "0,50", "2,A", "0,30"}, 1, "0001050481040000"},
    {"repeat clamped to 65535", {}, 70000, "ffff"},
    {"negative repeat is 0", {}, -3, "0000"},
    {"no delay between events is one tick", {"1,B", "2,B"}, 1, "0001010581050000"},
    {"1260 ms is still short", {"1,A", "0,1260", "2,A"}, 1, "00017e0481040000"},
    {"1270 ms is extended", {"1,A", "0,1270", "2,A"}, 1, "000100040001003f81040000"},
    {"unit 50 ms from 1000 s", kLongDelays, 1, "00010004000251eb81040000"}, // 104856 ticks / 5
    {"leading delays skipped, trailing dropped", {"0,500", "1,A", "0,20", "2,A", "0,900"}, 2, "0002020481040000"},
    {"single release after delays", {"0,10", "4,MS-L", "0,40"}, 1, "000181f00000"},
    {"unknown name gives code 0", {"1,Nope", "2,Nope"}, 1, "0001010081000000"},
    {"unknown type skipped", {"9,A", "1,A", "x", "2,A"}, 1, "0001010481040000"},
    {"bad delay text is 0", {"1,A", "0,abc", "0,-50", "2,A"}, 1, "0001010481040000"},
    {"odd delays summed before dividing", {"1,A", "0,15", "0,15", "2,A"}, 1, "0001030481040000"},
};

// sensor, dpi, code (+0x100: the high bit)
const std::tuple<const char *, int, int> kDpi[] = {
    {"4090", 200, 0x01}, {"4090", 5000, 0x31}, {"4090", 5001, 0x59}, {"4090", 5200, 0x5A},
    {"4090", 6000, 0x5E}, {"4090", 12799, 0x7F}, {"4090", 12800, 0x7F}, {"4090", 40000, 0x7F},
    {"4090", 50, 0x00}, {"4090", -800, 0x00}, {"9999", 5200, 0x5A}, {"", 5000, 0x31}, {"3360 ", 6000, 0x5E},
    {"3360", 100, 0x00}, {"3360", 12000, 119}, {"3360", 25600, 0xFF}, {"3360", 30000, 0xFF},
    {"3050", 250, 1}, {"3050", 251, 2}, {"3050", 1100, 5}, {"3050", 2000, 8}, {"3050", 2001, 0x45},
    {"3050", 2600, 0x46}, {"3050", 3500, 0x47}, {"3050", 4000, 0x48}, {"3050", 4001, 0x48}, {"3050", 0, 1},
    {"3389", 12750, 255}, {"3389", 12800, 0x100}, {"3389", 16000, 0x140}, {"3389", 25599, 0x1FF},
    {"3389", 26000, 0x1FF}, {"3389", -50, 0}, {"3327", 100, 1}, {"3327", 25500, 255}, {"3327", 26000, 255},
};

// colorful, effect, speed, brightness -> the three bytes
const std::array<int, 7> kEffects[] = {
    {1, 0, 3, 4, 0, 0, 0}, {1, 1, 3, 0, 1, 0, 3}, {1, 1, 0, 1, 1, 64, 10}, {1, 2, 4, 2, 2, 128, 13},
    {1, 2, 3, 2, 2, 128, 14}, {1, 3, 1, 4, 3, 0, 7}, {1, 4, 4, 3, 4, 192, 0}, {1, 5, 2, 4, 5, 255, 0},
    {1, 6, 2, 4, 6, 0, 5}, {1, 7, 2, 4, 7, 0, 0}, {1, 8, 2, 1, 8, 64, 0}, {1, 9, 3, 2, 9, 128, 7},
    {1, 10, 2, 4, 10, 255, 26}, {1, 10, 5, 5, 10, 0, 0}, {1, 11, 1, 1, 0, 0, 0}, {1, 12, 2, 4, 0, 0, 0},
    {1, 255, 255, 255, 0, 0, 0}, {0, 0, 0, 0, 1, 1, 1}, {0, 0, 0, 3, 1, 7, 1}, {0, 0, 0, 4, 1, 10, 1},
    {0, 0, 0, 9, 1, 0, 1}, {0, 1, 2, 0, 2, 3, 1}, {0, 2, 4, 0, 3, 6, 1}, {0, 2, 0, 0, 3, 30, 1},
    {0, 2, 7, 0, 3, 0, 1}, {0, 3, 2, 2, 0, 0, 0}, {0, 4, 0, 0, 2, 1, 3}, {0, 5, 0, 0, 0, 0, 0},
};
// clang-format on
} // namespace

class tst_FeatureEncoding : public QObject
{
    Q_OBJECT
private slots:
    void translate_data() { addRows(kTranslate); }
    void translate()
    {
        ROW(kTranslate);
        QCOMPARE(translateBinding(r.binding, r.is560), r.entry);
    }

    void matrix_data() { addRows(kMatrix); }
    void matrix()
    {
        ROW(kMatrix);
        QVariantList flat;
        Matrix want{};
        for (int k = 0; k < kButtons; ++k) {
            for (quint8 v : r.buttons.value(k, Binding{}))
                flat << int(v);
            const Binding b = r.entries.value(k, k == 8 ? Binding{0x0C, 0, 0, 0} : Binding{0x01, 0, 0, 0});
            std::copy(b.begin(), b.end(), want.begin() + k * 4);
        }
        QCOMPARE(hex(buildDeviceMatrix(bindingsFromFlat(flat), r.is560)), hex(want));
    }

    void shortAndOddBindingLists()
    {
        // Five numbers: button 0 complete, button 1 has only its kind.
        const QVariantList src{2, 1, 4, 0, 4};
        const Bindings b = bindingsFromFlat(src);
        QCOMPARE(b[1], (Binding{4, 0, 0, 0}));
        QCOMPARE(b[15], (Binding{0, 0, 0, 0}));
        // Text, garbage and out-of-range numbers never read out of bounds.
        QCOMPARE(storedBinding(QVariantList{"7", "x", QVariant(), 2.9}, 0), (QVariantList{7, 0, 0, 2}));
        QCOMPARE(bindingFromList(QVariantList{256, -1, 300}), (Binding{0x00, 0xFF, 0x2C, 0x00}));
        QCOMPARE(bindingsFromFlat(QVariantList(80, 2))[15], (Binding{2, 2, 2, 2})); // the first 64 only
    }

    void macro_data() { addRows(kMacros); }
    void macro()
    {
        ROW(kMacros);
        const QByteArray bytes = QByteArray::fromHex(r.bytes);
        const QList<MacroEncoder::Event> events = MacroEncoder::parseEntries(r.entries);
        QCOMPARE(MacroEncoder::encode(events, r.repeat).toHex(' '), bytes.toHex(' '));
        QCOMPARE(MacroEncoder::encodedSize(events), int(bytes.size()));
    }

    void macroSizeAndLimits()
    {
        using namespace MacroEncoder;
        // Too long: cut at 2 + 20 closed actions of 6 bytes + closing pair + end pair.
        QStringList entries;
        for (int i = 0; i < 35; ++i)
            entries << "1,A" << "0,3000" << "2,A" << "0,3000";
        DebugCapture cap;
        const QByteArray bytes = encode(parseEntries(entries), 1);
        QCOMPARE(bytes.size(), 126);
        QCOMPARE(bytes.right(4).toHex(' '), QByteArray("01 04 00 00"));
        QVERIFY(cap.lines().value(cap.lines().size() - 1).contains("dropped"));
        // The image a page hands over: numbers cut to a byte, text read, the rest 0.
        QCOMPARE(hex(imageFromList({1, 2, 256 + 3, "4", "x", -1}), 0, 7), QByteArray("01 02 03 04 00 ff 00"));
    }

    void keyNames()
    {
        using namespace MacroEncoder;
        QCOMPARE(builtinKeyNames().size(), keyCodes().size());
        QCOMPARE(int(codeForName("MS-B4")), 0xF3);
        QCOMPARE(nameForCode(0x52), QString(QChar(0x25B2)));
        // A language's names replace the built-in ones position for position.
        QStringList lang = builtinKeyNames();
        lang[0] = QStringLiteral("Ä");
        QCOMPARE(codeForName("Ä", lang), quint8(0x04));
        QCOMPARE(codeForName("A", lang), quint8(0));
        // A list of the wrong length would misalign codes: the built-in names apply.
        QCOMPARE(codeForName("A", QStringList{"B", "A"}), quint8(0x04));
    }

    void dpiCodes()
    {
        for (const auto &[sensor, dpi, code] : kDpi) {
            const DpiCodec::StageCode c = DpiCodec::stageCode(dpi, DpiCodec::sensorFromName(QString::fromLatin1(sensor)));
            QVERIFY2(c.code == (code & 0xFF) && c.highBit == (code > 0xFF),
                     qPrintable(QStringLiteral("%1 %2: %3").arg(sensor).arg(dpi).arg(c.code)));
        }
    }

    void dpiBuffers()
    {
        using namespace DpiCodec;
        const QVariantList eight{400, 800, 1600, 3200, 400, 800, 1600, 3200};
        const QList<std::tuple<QVariantList, int, const char *>> buffers{
            {eight, 4, "03 07 0f 1f 80 80 80 80"},
            {{400, 800, 1600}, 1, "03 80 80 00 00 00 00 00"}, // only listed stages marked
            {eight + QVariantList{100, 100}, 8, "03 07 0f 1f 03 07 0f 1f"},
            {{"800", "abc", QVariant(), 1600.0}, 4, "07 00 00 0f 00 00 00 00"}};
        for (const auto &[values, count, bytes] : buffers)
            QCOMPARE(hex(buffer553(encodeStages(values, Sensor::S4090), count)), QByteArray(bytes));
    }

    void effects()
    {
        for (const auto &[colorful, effect, speed, bright, a, b, c] : kEffects) {
            const auto f = colorful ? LightingTables::colorfulEffect : LightingTables::plainEffect;
            const LightingTables::Triple t = f(quint8(effect), quint8(speed), quint8(bright));
            QVERIFY2(t == (LightingTables::Triple{quint8(a), quint8(b), quint8(c)}),
                     qPrintable(QStringLiteral("%1 %2 %3 %4: %5 %6 %7").arg(colorful).arg(effect).arg(speed).arg(bright)
                                    .arg(t.a).arg(t.b).arg(t.c)));
        }
    }

    void colorsRatesGunY()
    {
        using namespace LightingTables;
        const Colors c = colorsFromList({255, 0, 16, "32", "x", 300});
        QCOMPARE(hex(c, 0, 7), QByteArray("ff 00 10 20 00 2c 00"));
        QVERIFY(!hasColor8(c));

        // Report rates; stored values outside the list send 1000 Hz.
        for (const auto &[index, hz, byte] : {std::tuple{0, 125, 8}, {1, 250, 4}, {2, 500, 2}, {3, 1000, 1}}) {
            QCOMPARE(int(*DeviceOptions::rateByteForIndex(index)), byte);
            QCOMPARE(int(*DeviceOptions::rateByteForHz(hz)), byte);
            QCOMPARE(*DeviceOptions::rateIndexForHz(hz), index);
            QCOMPARE(int(DeviceOptions::rateByteForStored(index)), byte);
        }
        QVERIFY(!DeviceOptions::rateByteForIndex(4) && !DeviceOptions::rateByteForIndex(-1));
        QVERIFY(!DeviceOptions::rateByteForHz(2000));
        QCOMPARE(int(DeviceOptions::rateByteForStored(7)), 1);
        // Gun Y: negated by the option byte, wrapped into a byte.
        for (const auto &[y, option, byte] : {std::tuple{10, 0, 10}, {10, 1, 0xF6}, {64, 0x80, 0xC0}, {266, 0, 10}})
            QCOMPARE(int(DeviceOptions::gunYByte(y, option)), byte);
    }
};

QTEST_GUILESS_MAIN(tst_FeatureEncoding)
#include "tst_feature_encoding.moc"
