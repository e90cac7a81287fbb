// The bridge's device slots against the virtual mouse: the reports and
// payloads each page action sends, for both families and with the cipher on.
#include "../device/DeviceRig.h"
#include "features/ProfileApply.h"
#include "input/KeyMatrix.h"

#include <QtTest>

using F = VirtualMouse::Family;
using State = VirtualMouse::State;
using Model = BridgeRig::Model;
using Rig = BridgeRig;

namespace
{
QString rep(quint8 code, std::array<quint8, 6> p) { return QString::fromLatin1(plainReport(code, p).toHex(' ')); }
// The pattern the virtual mouse starts its profile records with.
int recordByte(int record, int i) { return (record * 0x20 + i) & 0xFF; }
QByteArray hex(const QByteArray &b) { return b.toHex(' '); }

QVariantList bindings(const QMap<int, QList<int>> &set)
{
    QVariantList src;
    for (int k = 0; k < 16; ++k)
        for (int v : set.value(k, {0, 0, 0xF0 + (k < 5 ? k : 0), 0}))
            src << v;
    return src;
}

QVariantList colorList(bool color8)
{
    QVariantList c{0x11, 0x22, 0x33};
    for (int i = 3; i < 21; ++i)
        c << i;
    return c << (color8 ? 0xAA : 0) << 0 << 0 << 99 << 99; // extra values are ignored
}
QByteArray colorBytes(bool color8)
{
    QByteArray b;
    for (const QVariant &v : colorList(color8).mid(0, 24))
        b += char(v.toInt());
    return b;
}

using Check = std::function<void(const Rig &)>;
// One page action: the model, the current profile, the call, the command
// reports it sends and a check of what went out.
struct Action {
    const char *tag;
    Model model;
    int profile;
    std::function<void(Rig &)> call;
    QStringList reports;
    Check check;
};

// Effect bytes 71..73 of the records the call sent; image 0 never takes them.
Check effectIn(QList<int> records, QList<int> triple)
{
    return [=](const Rig &f) {
        const State s = f.state();
        for (int r : records) {
            QCOMPARE(QList<int>({s.profiles[r][71], s.profiles[r][72], s.profiles[r][73]}), triple);
            QCOMPARE(toBytes(s.profiles[r]), toBytes(f.view->profileImages[r]));
        }
        QCOMPARE(int(s.profiles[0][71]), recordByte(0, 71));
    };
}
// The payload starts with these bytes (the command reports carry the rest).
Check payloadIs(QByteArray want) { return [=](const Rig &f) { QCOMPARE(hex(f.payload().left(want.size())), hex(want)); }; }
Check colorsIn(int image, int offset)
{
    return [=](const Rig &f) {
        QCOMPARE(hex(toBytes(f.state().profiles[image]).mid(offset, 24)), hex(colorBytes(true)));
        QCOMPARE(int(f.state().profiles[image][offset - 1]), recordByte(image, offset - 1));
    };
}
// Each call is refused with a debug line; nothing goes out.
std::function<void(Rig &)> refused(std::function<void(Rig &)> a, std::function<void(Rig &)> b)
{
    return [=](Rig &f) {
        DebugCapture cap;
        a(f), b(f);
        QCOMPARE(cap.lines().size(), 2);
    };
}
const auto nothing = [](const Rig &) {};
const QVariantList kMacro{0, 1, 5, 4, 0x81, 4, 0, 0};
const QByteArray kMacroImage = QByteArray::fromHex("0001050481040000") + QByteArray(120, '\0');
const Model k553, k553e{F::F553, true}, k560{F::F560}, k560e{F::F560, true}, kColorful{F::F553, false, true},
    k55328{F::F553, false, false, true}, kGun553{F::F553, true, false, false, true},
    kGun560{F::F560, false, false, false, true};

// clang-format off
const Action kActions[] = {
    {"switch: 553 0 wraps to 255", k553, 0, [](Rig &f) { f.view->mouseSwitchKeyMatrix(0); }, {rep(0x02, {0xFF})}, nothing},
    {"switch: 560 257 is 1", k560, 0, [](Rig &f) { f.view->mouseSwitchKeyMatrix(257); }, {rep(0x02, {1})}, nothing},
    {"macro: 553 slot 12", k553, 0, [](Rig &f) { QCOMPARE(f.view->mouseSendMacroData(kMacro, 11), QVariant(true)); }, {rep(0x13, {12, 0x80})}, payloadIs(kMacroImage)},
    {"macro: 560 slot 12", k560, 0, [](Rig &f) { f.view->mouseSendMacroData(kMacro, 11); }, {rep(0x0F, {12, 0x80})}, payloadIs(kMacroImage)},
    {"macro: 553 index 12 sends nothing", k553, 0, [](Rig &f) { QCOMPARE(f.view->mouseSendMacroData(kMacro, 12), QVariant(true)); }, {},
     [](const Rig &f) { QCOMPARE(f.state().macroWritten, (std::array<bool, 12>{})); }},
    {"dpi: 4090, four of eight", k553e, 0, [](Rig &f) { f.view->mouseSetDpi(4, "4090", {400, 800, 5200, 6000, 100, 200, 300, 400}); },
     {rep(0x11, {4, 0x08})}, payloadIs(QByteArray::fromHex("03075a5e80808080"))},
    {"dpi: count 12 taken as 8", k553e, 0, [](Rig &f) { f.view->mouseSetDpi(12, "3327", {100, 200}); },
     {rep(0x11, {8, 0x08})}, payloadIs(QByteArray::fromHex("0102000000000000"))},
    {"effect: colorful 553 spotlight", kColorful, 0, [](Rig &f) { f.view->mouseSetRGBEffect(10, 2, 4); }, {rep(0x0D, {10, 255, 26})}, nothing},
    {"effect: plain 553 static", k553, 0, [](Rig &f) { f.view->mouseSetRGBEffect(0, 0, 3); }, {rep(0x0D, {1, 7, 2})}, nothing},
    {"effect: 55328 breath loop", k55328, 0, [](Rig &f) { f.view->mouseSetRGBEffect(4, 0, 0); }, {rep(0x0D, {2, 1, 3})}, nothing},
    {"effect: gun 560 sends images 1 to 4", kGun560, 0, [](Rig &f) { f.view->mouseSetRGBEffect(1, 2, 0); },
     {rep(0x0C, {1, 0x80}), rep(0x0C, {2, 0x80}), rep(0x0C, {3, 0x80}), rep(0x0C, {4, 0x80})}, effectIn({1, 2, 3, 4}, {2, 3, 2})},
    {"effect: plain 560 profile 2 sends image 3", k560, 2, [](Rig &f) { f.view->mouseSetRGBEffect(2, 4, 0); }, {rep(0x0C, {3, 0x80})}, effectIn({3}, {3, 6, 2})},
    {"colors: 553 twice", k553, 0, [](Rig &f) { f.view->mouseSetRGBColor(1, colorList(true)); }, {rep(0x10, {1, 24}), rep(0x10, {1, 24})}, payloadIs(colorBytes(true))},
    {"colors: 55328 colour 8 set", k55328, 0, [](Rig &f) { f.view->mouseSetRGBColor(1, colorList(true)); }, {rep(0x10, {0, 24})}, payloadIs(colorBytes(true))},
    {"colors: 55328 colour 8 black", k55328, 0, [](Rig &f) { f.view->mouseSetRGBColor(1, colorList(false)); }, {rep(0x0C, {0x11, 0x22, 0x33})},
     nothing},
    {"colors: 560 colorful image 0", {F::F560, false, true}, 0, [](Rig &f) { f.view->mouseSetRGBColor(1, colorList(true)); }, {rep(0x0C, {0, 0x80})}, colorsIn(0, 24)},
    {"colors: 560 plain image 1", k560, 0, [](Rig &f) { f.view->mouseSetRGBColor(1, colorList(true)); }, {rep(0x0C, {1, 0x80})}, colorsIn(1, 104)},
    {"rate: 553 125 Hz", k553e, 0, [](Rig &f) { f.view->mouseSetReportRate(8); }, {rep(0x01, {8})}, nothing},
    {"rate: 560 250 Hz, profile 0", k560e, 0, [](Rig &f) { f.view->mouseSetReportRate(4); }, {rep(0x03, {1, 4})}, nothing},
    {"options: 560 sends the 553 command as it is", k560, 0, [](Rig &f) { f.view->mouseSetKeyboardoption(1, 2, 3, 4); }, {rep(0x03, {1, 2, 3, 4})}, nothing},
    {"maxdpi: 560 writes 12 as 8 to byte 70 of image 0", k560, 0, [](Rig &f) { f.view->mouseSetMaxDpi(12); }, {rep(0x0C, {0, 0x80})},
     [](const Rig &f) { QCOMPARE(int(f.state().profiles[0][70]), 8); QCOMPARE(int(f.state().profiles[0][69]), recordByte(0, 69));
                        QCOMPARE(toBytes(f.state().profiles[0]), toBytes(f.view->profileImages[0])); }},
    {"gun: 553, Y negated", kGun553, 0, [](Rig &f) { f.rig.mouse->modifyState([](State &s) { s.options553 = {0, 0, 1, 0}; }), f.view->mouseSendGundata(2, {3, 4, 10}); },
     {rep(0x83, {}), rep(0x04, {0, 3, 4, 0xF6, 1})}, nothing},
    {"gun: 553 not a gun model", k553e, 0, [](Rig &f) { f.view->mouseSendGundata(2, {3, 4, 10}); }, {}, nothing},
    {"gun: 560 patches the slot's record", kGun560, 0, [](Rig &f) { f.view->mouseSendGundata(1, {5, 6, 7}); },
     {rep(0x0C, {2, 0x80})}, [](const Rig &f) {
         const auto rec = f.state().profiles[2];
         QCOMPARE(int(rec[65]), recordByte(2, 65) & ~0x04);
         QCOMPARE(QList<int>({rec[78], rec[79], rec[80], rec[81]}), QList<int>({0xF0, 5, 6, 7}));
         QCOMPARE(int(f.state().profiles[1][78]), recordByte(1, 78)); }},
    {"gun: 560 slot without an image refused", kGun560, 0,
     refused([](Rig &f) { f.view->mouseSendGundata(4, {5, 6, 7}); }, [](Rig &f) { f.view->mouseSendGundata(-1, {5, 6, 7}); }), {}, nothing},
    {"profile: 560 sends the image as read", k560e, 0, [](Rig &f) { f.view->mouseSetProfile(2); }, {rep(0x0C, {2, 0x80})},
     [](const Rig &f) { QCOMPARE(f.payload(), toBytes(f.view->profileImages[2])); QCOMPARE(int(f.payload()[5]), recordByte(2, 5));
                        QCOMPARE(toBytes(f.state().profiles[2]), f.payload()); }},
    {"profile: no such record refused", k560, 0,
     refused([](Rig &f) { f.view->mouseSetProfile(5); }, [](Rig &f) { f.view->mouseSetProfile(0xFFFFFFFF); }), {}, nothing},
};
// clang-format on
} // namespace

class TestFeaturesDevice : public QObject
{
    Q_OBJECT
private slots:
    void actions_data() { addRows(kActions); }
    void actions()
    {
        ROW(kActions);
        Rig f(r.model);
        if (r.model.family == F::F560) f.readImages();
        f.setProfile(r.profile);
        r.call(f);
        QCOMPARE(f.commands(), r.reports);
        QCOMPARE(f.state().rejectedReports, 0);
        if (r.reports.isEmpty()) QCOMPARE(f.payload(), QByteArray());
        r.check(f);
    }

    void keyMatrix553_data()
    {
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("isEncode");
        QTest::newRow("normal") << false << false;
        QTest::newRow("alternate scrambled") << true << true;
    }

    void keyMatrix553()
    {
        QFETCH(bool, right);
        QFETCH(bool, isEncode);
        Rig f(Model{F::F553, isEncode});
        f.view->right = right;
        // Stored under the set the right flag picks; the other set is untouched.
        const QString used = right ? "mouseKeyMatrix0/" : "mouseKeyMatrix/";
        const QString other = right ? "mouseKeyMatrix/" : "mouseKeyMatrix0/";
        const QVariantList before = f.view->getDataList(other + "6");
        const QVariantList src = bindings({{3, {2, 0, 0x04, 0}}, {6, {0x0B, 0xFF, 4, 5}}, {7, {0, 0xF0, 0x1E, 0x02}}});
        f.view->mouseSetKeyMatrix(src, true, {});
        const quint8 index = right ? 2 : 0;
        QCOMPARE(f.commands(), (QStringList{rep(0x02, {quint8(right ? 1 : 0)}), rep(0x12, {index, 0x40, 0x08})}));
        const QByteArray matrix = toBytes(KeyMatrix::buildDeviceMatrix(KeyMatrix::bindingsFromFlat(src), false));
        QCOMPARE(hex(f.payload()), hex(matrix)); // 64 bytes in two reports of 32
        QCOMPARE(f.view->getDataList(used + "3"), (QVariantList{2, 0, 4, 0}));
        QCOMPARE(f.view->getDataList(other + "6"), before);
    }

    void resetKeyMatrix_data() { bothFamilies(); }
    void resetKeyMatrix()
    {
        QFETCH(bool, is560);
        Rig f(Model{is560 ? F::F560 : F::F553});
        for (int k = 0; k < 16; ++k)
            f.view->setData(QStringLiteral("mouseFwKeyMatrix/%1").arg(k), QVariantList{1, 0, k, 0});
        f.view->setData("mouseFwKeyMatrix/5", QVariantList{0x0B, 0xFF}); // short entry
        f.view->mouseResetKeyMatrix();
        // Sent as stored to slots 2..4: no translation, no reorder, entry 8 not fixed.
        QByteArray matrix;
        for (int k = 0; k < 16; ++k)
            matrix += k == 5 ? QByteArray::fromHex("0bff0000") : QByteArray::fromHex("0100") + char(k) + '\0';
        QStringList want;
        for (quint8 slot = 2; slot <= 4; ++slot)
            want << (is560 ? rep(0x0D, {slot, 0x80}) : rep(0x12, {slot, 0x40, 0x08}));
        QCOMPARE(f.commands(), want);
        QCOMPARE(hex(f.payload()), hex((is560 ? matrix + QByteArray(64, '\0') : matrix).repeated(3)));
    }

    void dpi560()
    {
        Rig f(Model{F::F560, true});
        f.setProfile(1);
        f.view->mouseSetDpi(3, "3389", {800, 13000, 16000, 400});
        // Each record is fetched once and takes the stages; only the current profile's goes back.
        QCOMPARE(f.commands(), (QStringList{rep(0x8C, {1}), rep(0x8C, {2}), rep(0x8C, {3}), rep(0x8C, {4}),
                                            rep(0x0C, {2, 0x80})}));
        const QByteArray codes = QByteArray::fromHex("1004400800000000");
        QCOMPARE(hex(toBytes(f.view->profileImages[3]).mid(82, 19)), hex(QByteArray::fromHex("0606") + codes + codes + '\x07'));
        QCOMPARE(toBytes(f.state().profiles[2]), toBytes(f.view->profileImages[2]));
        QCOMPARE(int(f.state().profiles[3][100]), recordByte(3, 100));
        f.view->mouseSetDpi(8, "3360", {800}); // other sensors keep the flag bytes
        QCOMPARE(hex(toBytes(f.state().profiles[2]).mid(82, 3)), QByteArray("06 06 07"));
        QCOMPARE(int(f.state().profiles[2][100]), 0xFF);

        // A record that cannot be read is never overwritten with zeros.
        Rig g(Model{F::F560});
        VirtualMouse::Faults faults;
        faults.muteReadBack = true;
        g.rig.mouse->setFaults(faults);
        g.rig.hid.readBackTimeoutMs = 10;
        g.view->mouseSetDpi(8, "3360", {800});
        QVERIFY(!g.commands().contains(rep(0x0C, {1, 0x80})));
        QCOMPARE(int(g.state().profiles[1][84]), recordByte(1, 84));
    }

    void currentDpi_data() { bothFamilies(true); }
    void currentDpi()
    {
        QFETCH(bool, is560);
        QFETCH(bool, isEncode);
        Rig f(Model{is560 ? F::F560 : F::F553, isEncode});
        f.setProfile(1);
        f.view->mouseSetCurrentDPI(5);
        QCOMPARE(int(is560 ? f.state().dpiStage560[2] : f.state().dpiStage553), 5);
        QCOMPARE(f.view->mouseGetCurrentDPI(), QVariant(5));
        QCOMPARE(f.commands(), (is560 ? QStringList{rep(0x04, {2, 5}), rep(0x84, {2})}
                                      : QStringList{rep(0x0B, {5}), rep(0x82, {})}));
        f.rig.mouse->unplug(); // the page then shows stage 3
        QCOMPARE(f.view->mouseGetCurrentDPI(), QVariant(3));
    }

    void applyWholeProfile_data()
    {
        QTest::addColumn<QString>("model");
        for (const char *m : {"553", "560 scrambled", "55328"})
            QTest::newRow(m) << QString::fromLatin1(m);
    }
    // The device ends up holding exactly what the current profile stores.
    void applyWholeProfile()
    {
        QFETCH(QString, model);
        const bool is560 = model.startsWith("560"), is55328 = model == "55328";
        Rig f(Model{is560 ? F::F560 : F::F553, model.endsWith("scrambled"), !is55328, is55328});
        if (is560) f.readImages();
        f.view->setData("mouse/reportRate", 2);
        f.view->setDataList("mouse/dpiValueArray", {400, 800, 1600, 3200, 4000, 4800, 5400, 6000});
        f.view->setData("mouse/currentDpiCount", 4);
        f.view->setDataList("mouse/lightValue", {is55328 ? 4 : 9, 1, 2}); // 55328: only 4 keeps colour 8
        QVariantList colors, flat;
        QByteArray colorBytes;
        for (int i = 0; i < 24; ++i)
            colors << 10 * i, colorBytes += char(10 * i);
        f.view->setDataList("mouse/colorValue", colors);
        for (int k = 0; k < 16; ++k) {
            f.view->setDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), {2, 0, 4 + k, 0});
            flat << 2 << 0 << 4 + k << 0;
        }
        ProfileApply::all(*f.view);
        QStringList sent;
        for (const QString &c : f.commands())
            sent << c.mid(3, 2);
        QCOMPARE(sent.join(' '), is560 ? "0d 03 0c 0c 0c 0c 0c" : is55328 ? "02 12 01 11 10 0d 10" : "02 12 01 11 10 10 0d 10 10 0d");

        const QByteArray matrix = toBytes(KeyMatrix::buildDeviceMatrix(KeyMatrix::bindingsFromFlat(flat), is560));
        const QByteArray codes4090 = QByteArray::fromHex("03070f1f272f5b5e");
        const State s = f.state();
        if (!is560) {
            QCOMPARE(toBytes(s.keyMatrix553.at(0)), matrix);
            QCOMPARE(int(s.reportRate553), 2);
            QCOMPARE(hex(toBytes(s.dpiCodes553)), QByteArray("03 07 0f 1f 80 80 80 80"));
            QCOMPARE(hex(toBytes(s.rgbEffect)), QByteArray(is55328 ? "02 02 03" : "09 80 0d"));
            QCOMPARE(toBytes(s.led8StageColors), colorBytes);
            return;
        }
        QCOMPARE(toBytes(s.keyMatrix560.at(1)), matrix + QByteArray(64, '\0'));
        QCOMPARE(int(s.reportRate560[1]), 2);
        QCOMPARE(hex(toBytes(s.profiles[1]).mid(84, 8)), hex(codes4090));
        QCOMPARE(int(s.profiles[1][100]), 0x0F);
        QCOMPARE(hex(toBytes(s.profiles[1]).mid(71, 3)), QByteArray("09 80 0d"));
        QCOMPARE(toBytes(s.profiles[0]).mid(24, 24), colorBytes);
        QCOMPARE(toBytes(s.profiles[1]), toBytes(f.view->profileImages[1]));
    }

private:
    static void bothFamilies(bool scrambled = false)
    {
        QTest::addColumn<bool>("is560");
        QTest::addColumn<bool>("isEncode");
        QTest::newRow("553") << false << false;
        QTest::newRow(scrambled ? "560 scrambled" : "560") << true << scrambled;
    }
};

QTEST_MAIN(TestFeaturesDevice)
#include "tst_features_device.moc"
