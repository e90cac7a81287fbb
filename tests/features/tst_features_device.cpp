#include "FeatureRig.h"

#include "features/DpiCodec.h"
#include "features/ProfileApply.h"
#include "input/KeyMatrix.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

using F = VirtualMouse::Family;
using Model = FeatureRig::Model;
Q_DECLARE_METATYPE(VirtualMouse::Family)

namespace
{
QString rep(quint8 code, std::array<quint8, 6> p)
{
    return FeatureRig::report(code, p);
}

QVariantList bindings(const QMap<int, QList<int>> &set)
{
    QVariantList src;
    for (int k = 0; k < 16; ++k) {
        const QList<int> b = set.value(k, {0, 0, 0xF0 + (k < 5 ? k : 0), 0});
        for (int v : b)
            src << v;
    }
    return src;
}

QByteArray bytesOf(const auto &array)
{
    return QByteArray(reinterpret_cast<const char *>(array.data()), int(array.size()));
}
} // namespace

class TestFeaturesDevice : public QObject
{
    Q_OBJECT
private slots:
    void keyMatrix553_data();
    void keyMatrix553();
    void keyMatrix560();
    void keyMatrixStoreOnly();
    void keyDefine();
    void resetKeyMatrix_data();
    void resetKeyMatrix();
    void switchKeyMatrix_data();
    void switchKeyMatrix();
    void macroSend_data();
    void macroSend();
    void dpi553_data();
    void dpi553();
    void dpi560();
    void dpi560UnreadImageIsReadFirst();
    void dpi560NoSlotForProfile();
    void currentDpi_data();
    void currentDpi();
    void maxDpi();
    void effect_data();
    void effect();
    void colors_data();
    void colors();
    void rates_data();
    void rates();
    void optionsAndLod();
    void gun553_data();
    void gun553();
    void gun560();
    void profileSlots();
    void applyWholeProfile_data();
    void applyWholeProfile();
    void macroCodecRegistered();
};

void TestFeaturesDevice::keyMatrix553_data()
{
    QTest::addColumn<bool>("right");
    QTest::addColumn<bool>("isEncode");
    QTest::newRow("normal set") << false << false;
    QTest::newRow("alternate set") << true << false;
    QTest::newRow("normal set, scrambled") << false << true;
    QTest::newRow("alternate set, scrambled") << true << true;
}

void TestFeaturesDevice::keyMatrix553()
{
    QFETCH(bool, right);
    QFETCH(bool, isEncode);
    FeatureRig f(Model{F::F553, isEncode});
    f.view->right = right;
    const QVariantList src = bindings({{3, {2, 0, 0x04, 0}},
                                       {4, {2, 0, 0x05, 0}},
                                       {5, {2, 0, 0x06, 0}},
                                       {6, {0x0B, 0xFF, 4, 5}},
                                       {7, {0, 0xF0, 0x1E, 0x02}},
                                       {9, {6, 0, 0x94, 0x01}}});
    f.view->mouseSetKeyMatrix(src, true, {});

    const quint8 index = right ? 2 : 0;
    QCOMPARE(f.commands(), (QStringList{rep(0x02, {quint8(right ? 1 : 0), 0, 0, 0, 0, 0}),
                                        rep(0x12, {index, 0x40, 0x08, 0, 0, 0})}));
    QCOMPARE(f.writes(), 2); // 64 bytes in reports of 32
    const QByteArray matrix = QByteArray::fromHex("0b000405"
                                                  "0100f100"
                                                  "0100f200"
                                                  "00000500"
                                                  "00000600"
                                                  "00000400"
                                                  "08000200"
                                                  "0af01e02"
                                                  "0c000000"
                                                  "03009401"
                                                  "0100f000"
                                                  "0100f000"
                                                  "0100f000"
                                                  "0100f000"
                                                  "0100f000"
                                                  "0100f000");
    QCOMPARE(f.payload().toHex(' '), matrix.toHex(' '));

    const VirtualMouse::State s = f.state();
    QCOMPARE(int(s.currentKeyMatrix553), right ? 1 : 0);
    QCOMPARE(bytesOf(s.keyMatrix553.at(index)).toHex(' '), matrix.toHex(' '));
    QCOMPARE(s.rejectedReports, 0);

    // Stored under the set the right flag picks; the other set is untouched.
    const QString used = right ? "mouseKeyMatrix0/" : "mouseKeyMatrix/";
    const QString other = right ? "mouseKeyMatrix/" : "mouseKeyMatrix0/";
    const QVariantList before = f.view->getDataList(other + "6");
    QCOMPARE(f.view->getDataList(used + "6"), (QVariantList{0x0B, 0xFF, 4, 5}));
    QCOMPARE(f.view->getDataList(used + "3"), (QVariantList{2, 0, 4, 0}));
    QCOMPARE(f.view->getDataList(other + "6"), before);
    QVERIFY(f.view->getDataList(other + "6") != (QVariantList{0x0B, 0xFF, 4, 5}));
}

void TestFeaturesDevice::keyMatrix560()
{
    FeatureRig f(Model{F::F560});
    f.setProfile(2);
    f.view->mouseSetKeyMatrix(bindings({{0, {5, 0, 4, 0}}, {2, {4, 0, 2, 0}}}), true, {});
    QCOMPARE(f.commands(), (QStringList{rep(0x0D, {3, 0x80, 0, 0, 0, 0})}));
    QCOMPARE(f.writes(), 4);
    const QByteArray p = f.payload();
    QCOMPARE(p.size(), 128);
    QCOMPARE(p.left(12).toHex(' '), QByteArray("0b 00 03 03 01 00 f1 00 09 00 03 00"));
    QCOMPARE(p.mid(32, 4).toHex(' '), QByteArray("0c 00 00 00"));
    QCOMPARE(p.mid(64), QByteArray(64, '\0'));
    QCOMPARE(bytesOf(f.state().keyMatrix560.at(3)), p);
}

void TestFeaturesDevice::keyMatrixStoreOnly()
{
    FeatureRig f(Model{F::F553});
    f.view->mouseSetKeyMatrix({2, 1, 4}, false, {});
    QVERIFY(f.rig.trace().isEmpty());
    QCOMPARE(f.view->getDataList("mouseKeyMatrix/0"), (QVariantList{2, 1, 4, 0}));
    for (int k = 1; k < 16; ++k)
        QCOMPARE(f.view->getDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k)),
                 (QVariantList{0, 0, 0, 0}));
    // The stored profile keeps numbers, not whatever the page handed over.
    f.view->mouseSetKeyMatrix({"x", 300, -1, 2.5}, false, {});
    QCOMPARE(f.view->getDataList("mouseKeyMatrix/0"), (QVariantList{0, 300, -1, 2}));
}

void TestFeaturesDevice::keyDefine()
{
    FeatureRig f(Model{F::F553});
    f.view->setData("mouseKeyMatrix/3", QVariantList{2, 0, 7, 0});
    f.view->setData("mouseKeyMatrix0/3", QVariantList{2, 0, 8, 0});
    const QVariantList recovery = f.view->getDataList("mouseKeyMatrix/3", true);
    QVERIFY(!recovery.isEmpty());
    QCOMPARE(f.view->mouseGetKeydefine(3, false), (QVariantList{2, 0, 7, 0}));
    QCOMPARE(f.view->mouseGetKeydefine("3", true), recovery);
    f.view->right = true;
    QCOMPARE(f.view->mouseGetKeydefine(3, false), (QVariantList{2, 0, 8, 0}));
    QCOMPARE(f.view->mouseGetKeydefine(3, true), recovery);
    QCOMPARE(f.view->mouseGetKeydefine(99, false), QVariantList());
    QVERIFY(f.rig.trace().isEmpty());
}

void TestFeaturesDevice::resetKeyMatrix_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::newRow("553") << F::F553;
    QTest::newRow("560") << F::F560;
}

void TestFeaturesDevice::resetKeyMatrix()
{
    QFETCH(VirtualMouse::Family, family);
    FeatureRig f(Model{family});
    for (int k = 0; k < 16; ++k)
        f.view->setData(QStringLiteral("mouseFwKeyMatrix/%1").arg(k), QVariantList{1, 0, k, 0});
    f.view->setData("mouseFwKeyMatrix/5", QVariantList{0x0B, 0xFF}); // short entry
    f.view->mouseResetKeyMatrix();

    const bool is560 = family == F::F560;
    QStringList want;
    for (quint8 slot = 2; slot <= 4; ++slot)
        want << (is560 ? rep(0x0D, {slot, 0x80, 0, 0, 0, 0})
                       : rep(0x12, {slot, 0x40, 0x08, 0, 0, 0}));
    QCOMPARE(f.commands(), want);
    // Sent as stored: no translation, no reorder, entry 8 not fixed.
    QByteArray matrix;
    for (int k = 0; k < 16; ++k)
        matrix +=
            k == 5 ? QByteArray::fromHex("0bff0000") : QByteArray::fromHex("0100") + char(k) + '\0';
    const VirtualMouse::State s = f.state();
    for (quint8 slot = 2; slot <= 4; ++slot) {
        const QByteArray got =
            is560 ? bytesOf(s.keyMatrix560.at(slot)).left(64) : bytesOf(s.keyMatrix553.at(slot));
        QCOMPARE(got.toHex(' '), matrix.toHex(' '));
    }
    QCOMPARE(int(s.currentKeyMatrix553), 0);
}

void TestFeaturesDevice::switchKeyMatrix_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("report");
    QTest::newRow("553 1 selects matrix 0") << F::F553 << 1 << rep(0x02, {0, 0, 0, 0, 0, 0});
    QTest::newRow("553 0 wraps to 255") << F::F553 << 0 << rep(0x02, {0xFF, 0, 0, 0, 0, 0});
    QTest::newRow("560 1 selects profile 1") << F::F560 << 1 << rep(0x02, {1, 0, 0, 0, 0, 0});
    QTest::newRow("560 257 is 1") << F::F560 << 257 << rep(0x02, {1, 0, 0, 0, 0, 0});
}

void TestFeaturesDevice::switchKeyMatrix()
{
    QFETCH(VirtualMouse::Family, family);
    QFETCH(int, index);
    QFETCH(QString, report);
    FeatureRig f(Model{family});
    f.view->mouseSwitchKeyMatrix(index);
    QCOMPARE(f.commands(), QStringList{report});
}

void TestFeaturesDevice::macroSend_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("553 slot 12") << F::F553 << false << 11
                                 << QStringList{rep(0x13, {12, 0x80, 0, 0, 0, 0})};
    QTest::newRow("553 scrambled slot 1")
        << F::F553 << true << 0 << QStringList{rep(0x13, {1, 0x80, 0, 0, 0, 0})};
    QTest::newRow("560 slot 12") << F::F560 << false << 11
                                 << QStringList{rep(0x0F, {12, 0x80, 0, 0, 0, 0})};
    QTest::newRow("553 index 12 sends nothing") << F::F553 << false << 12 << QStringList{};
    QTest::newRow("560 index 268 sends nothing") << F::F560 << false << 268 << QStringList{};
}

void TestFeaturesDevice::macroSend()
{
    QFETCH(VirtualMouse::Family, family);
    QFETCH(bool, isEncode);
    QFETCH(int, index);
    QFETCH(QStringList, reports);
    FeatureRig f(Model{family, isEncode});
    const QVariantList bytes{0, 1, 5, 4, 0x81, 4, 0, 0};
    QCOMPARE(f.view->mouseSendMacroData(bytes, index), QVariant(true));
    QCOMPARE(f.commands(), reports);
    const VirtualMouse::State s = f.state();
    if (reports.isEmpty()) {
        QCOMPARE(f.writes(), 0);
        QCOMPARE(s.macroWritten, (std::array<bool, 12>{}));
        return;
    }
    QByteArray want = QByteArray::fromHex("0001050481040000") + QByteArray(120, '\0');
    QCOMPARE(f.payload(), want);
    QVERIFY(s.macroWritten[size_t(index)]);
    QCOMPARE(bytesOf(s.macros[size_t(index)]), want);
}

void TestFeaturesDevice::dpi553_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QByteArray>("codes");
    QTest::newRow("4090, four of eight")
        << 4 << "4090" << QVariantList{400, 800, 5200, 6000, 100, 200, 300, 400}
        << QByteArray::fromHex("03075a5e80808080");
    QTest::newRow("3050, above 4000 clamped")
        << 8 << "3050" << QVariantList{1100, 2600, 4001} << QByteArray::fromHex("0546480000000000");
    QTest::newRow("unknown sensor like 4090")
        << 2 << "ABC" << QVariantList{5000, 12800} << QByteArray::fromHex("317f000000000000");
    QTest::newRow("count 0 taken as 1")
        << 0 << "3327" << QVariantList{100, 200} << QByteArray::fromHex("0180000000000000");
}

void TestFeaturesDevice::dpi553()
{
    QFETCH(int, count);
    QFETCH(QString, sensor);
    QFETCH(QVariantList, values);
    QFETCH(QByteArray, codes);
    FeatureRig f(Model{F::F553, true});
    f.view->mouseSetDpi(count, sensor, values);
    const quint8 sent = quint8(qBound(1, count, 8));
    QCOMPARE(f.commands(), QStringList{rep(0x11, {sent, 0x08, 0, 0, 0, 0})});
    QCOMPARE(f.payload().left(8).toHex(' '), codes.toHex(' '));
    QCOMPARE(bytesOf(f.state().dpiCodes553).toHex(' '), codes.toHex(' '));
    QCOMPARE(int(f.state().dpiStageCount553), int(sent));
}

void TestFeaturesDevice::dpi560()
{
    FeatureRig f(Model{F::F560});
    f.readImages({0, 1, 2, 3, 4});
    f.setProfile(1);
    f.view->mouseSetDpi(3, "3389", {800, 13000, 16000, 400});
    QCOMPARE(f.commands(), QStringList{rep(0x0C, {2, 0x80, 0, 0, 0, 0})});
    QCOMPARE(f.writes(), 4);

    const QByteArray codes = QByteArray::fromHex("1004400800000000");
    for (int image = 1; image <= 4; ++image) {
        const auto &img = f.view->profileImages[size_t(image)];
        QCOMPARE(bytesOf(img).mid(84, 8).toHex(' '), codes.toHex(' '));
        QCOMPARE(bytesOf(img).mid(92, 8).toHex(' '), codes.toHex(' '));
        QCOMPARE(int(img[100]), 0x07);
        QCOMPARE(int(img[82]), 0x06);
        QCOMPARE(int(img[83]), 0x06);
        QCOMPARE(int(img[101]), int(FeatureRig::recordByte(image, 101)));
    }
    // Only the current profile's record reached the device.
    const VirtualMouse::State s = f.state();
    QCOMPARE(bytesOf(s.profiles[2]), bytesOf(f.view->profileImages[2]));
    QCOMPARE(int(s.profiles[1][100]), int(FeatureRig::recordByte(1, 100)));
    QCOMPARE(int(s.profiles[3][100]), int(FeatureRig::recordByte(3, 100)));
    // Sending that image again carries the new codes.
    f.clear();
    f.view->mouseSetProfile(2);
    QCOMPARE(f.payload(), bytesOf(s.profiles[2]));

    // Read back through the device's own command, the record carries them.
    const QByteArray sent = bytesOf(f.view->profileImages[2]);
    f.view->profileImages[2].fill(0);
    f.view->mouseReadProfile(2);
    QCOMPARE(bytesOf(f.view->profileImages[2]), sent);
    QCOMPARE(bytesOf(f.view->profileImages[2]).mid(84, 8).toHex(' '), codes.toHex(' '));
}

void TestFeaturesDevice::dpi560UnreadImageIsReadFirst()
{
    FeatureRig f(Model{F::F560, true});
    f.view->mouseSetDpi(8, "3360", {800});
    // Each record is fetched once before it is patched; only image 1 is sent.
    QCOMPARE(f.commands(),
             (QStringList{rep(0x8C, {1, 0, 0, 0, 0, 0}), rep(0x8C, {2, 0, 0, 0, 0, 0}),
                          rep(0x8C, {3, 0, 0, 0, 0, 0}), rep(0x8C, {4, 0, 0, 0, 0, 0}),
                          rep(0x0C, {1, 0x80, 0, 0, 0, 0})}));
    const VirtualMouse::State s = f.state();
    QCOMPARE(int(s.profiles[1][84]), 7);
    QCOMPARE(int(s.profiles[1][100]), 0xFF);
    for (int i = 0; i < 84; ++i)
        QCOMPARE(int(s.profiles[1][size_t(i)]), int(FeatureRig::recordByte(1, i)));

    // A record that cannot be read is never overwritten with zeros.
    FeatureRig g(Model{F::F560});
    VirtualMouse::Faults faults;
    faults.muteReadBack = true;
    g.rig.mouse->setFaults(faults);
    g.rig.hid.readBackTimeoutMs = 10;
    DebugCapture cap;
    g.view->mouseSetDpi(8, "3360", {800});
    QVERIFY(!g.commands().contains(rep(0x0C, {1, 0x80, 0, 0, 0, 0})));
    QCOMPARE(int(g.state().profiles[1][84]), int(FeatureRig::recordByte(1, 84)));
}

void TestFeaturesDevice::dpi560NoSlotForProfile()
{
    FeatureRig f(Model{F::F560});
    f.readImages({0, 1, 2, 3, 4});
    f.setProfile(4); // the pages offer six profiles, the device holds four
    const auto images = f.view->profileImages;
    DebugCapture cap;
    f.view->mouseSetDpi(2, "4090", {800, 1600});
    // Kept on the computer only: not sent, and no device profile takes it
    // either, so nothing is half applied.
    QVERIFY(f.commands().isEmpty());
    QVERIFY(cap.contains(
        "device: profile 5 has no slot on the device; DPI stages kept on the computer only"));
    QVERIFY(f.view->profileImages == images);
}

void TestFeaturesDevice::currentDpi_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::addColumn<bool>("isEncode");
    QTest::newRow("553") << F::F553 << false;
    QTest::newRow("553 scrambled") << F::F553 << true;
    QTest::newRow("560") << F::F560 << false;
    QTest::newRow("560 scrambled") << F::F560 << true;
}

void TestFeaturesDevice::currentDpi()
{
    QFETCH(VirtualMouse::Family, family);
    QFETCH(bool, isEncode);
    FeatureRig f(Model{family, isEncode});
    f.setProfile(1);
    f.view->mouseSetCurrentDPI(5);
    const bool is560 = family == F::F560;
    QCOMPARE(f.commands(),
             QStringList{is560 ? rep(0x04, {2, 5, 0, 0, 0, 0}) : rep(0x0B, {5, 0, 0, 0, 0, 0})});
    QCOMPARE(int(is560 ? f.state().dpiStage560[2] : f.state().dpiStage553), 5);
    f.clear();
    QCOMPARE(f.view->mouseGetCurrentDPI(), QVariant(5));
    QCOMPARE(f.commands(),
             QStringList{is560 ? rep(0x84, {2, 0, 0, 0, 0, 0}) : rep(0x82, {0, 0, 0, 0, 0, 0})});

    // Unplugged: the page shows stage 3.
    f.rig.mouse->unplug();
    QCOMPARE(f.view->mouseGetCurrentDPI(), QVariant(3));
}

void TestFeaturesDevice::maxDpi()
{
    FeatureRig f(Model{F::F560});
    f.readImages({0});
    f.view->mouseSetMaxDpi(6);
    QCOMPARE(f.commands(), QStringList{rep(0x0C, {0, 0x80, 0, 0, 0, 0})});
    QCOMPARE(int(f.view->profileImages[0][70]), 6);
    QCOMPARE(int(f.view->profileImages[0][69]), int(FeatureRig::recordByte(0, 69)));
    QCOMPARE(bytesOf(f.state().profiles[0]), bytesOf(f.view->profileImages[0]));
    f.clear();
    f.view->mouseSetMaxDpi(12);
    QCOMPARE(int(f.state().profiles[0][70]), 8);
}

void TestFeaturesDevice::effect_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::addColumn<int>("flags"); // 1 colorful, 2 is55328, 4 gun
    QTest::addColumn<int>("profile");
    QTest::addColumn<QList<int>>("args");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QList<int>>("triple"); // bytes 71..73 of the sent image(s)

    const auto r = [](quint8 c, quint8 a, quint8 b, quint8 d) {
        return rep(c, {a, b, d, 0, 0, 0});
    };
    QTest::newRow("colorful 553 spotlight") << F::F553 << 1 << 0 << QList<int>{10, 2, 4}
                                            << QStringList{r(0x0D, 10, 255, 26)} << QList<int>{};
    QTest::newRow("colorful 553 breath dark") << F::F553 << 1 << 0 << QList<int>{1, 3, 0}
                                              << QStringList{r(0x0D, 1, 0, 3)} << QList<int>{};
    QTest::newRow("colorful 553 effect 12") << F::F553 << 1 << 0 << QList<int>{12, 2, 4}
                                            << QStringList{r(0x0D, 0, 0, 0)} << QList<int>{};
    QTest::newRow("plain 553 static") << F::F553 << 0 << 0 << QList<int>{0, 0, 3}
                                      << QStringList{r(0x0D, 1, 7, 2)} << QList<int>{};
    QTest::newRow("55328 breath loop") << F::F553 << 2 << 0 << QList<int>{4, 0, 0}
                                       << QStringList{r(0x0D, 2, 1, 3)} << QList<int>{};
    QTest::newRow("plain 553 off") << F::F553 << 0 << 0 << QList<int>{3, 2, 2}
                                   << QStringList{r(0x0D, 0, 0, 2)} << QList<int>{};
    QTest::newRow("55328 off") << F::F553 << 2 << 0 << QList<int>{3, 2, 2}
                               << QStringList{r(0x0D, 0, 0, 0)} << QList<int>{};
    QTest::newRow("colorful 560 sends current image only")
        << F::F560 << 1 << 2 << QList<int>{9, 3, 2} << QStringList{r(0x0C, 3, 0x80, 0)}
        << QList<int>{9, 128, 7};
    QTest::newRow("gun 560 sends images 1 to 4")
        << F::F560 << 4 << 0 << QList<int>{1, 2, 0}
        << QStringList{r(0x0C, 1, 0x80, 0), r(0x0C, 2, 0x80, 0), r(0x0C, 3, 0x80, 0),
                       r(0x0C, 4, 0x80, 0)}
        << QList<int>{2, 3, 2};
    QTest::newRow("plain 560 profile 0 sends image 1")
        << F::F560 << 0 << 0 << QList<int>{2, 4, 0} << QStringList{r(0x0C, 1, 0x80, 0)}
        << QList<int>{3, 6, 3};
    QTest::newRow("plain 560 profile 2 sends image 3")
        << F::F560 << 0 << 2 << QList<int>{2, 4, 0} << QStringList{r(0x0C, 3, 0x80, 0)}
        << QList<int>{3, 6, 2};
}

void TestFeaturesDevice::effect()
{
    QFETCH(VirtualMouse::Family, family);
    QFETCH(int, flags);
    QFETCH(int, profile);
    QFETCH(QList<int>, args);
    QFETCH(QStringList, reports);
    QFETCH(QList<int>, triple);
    FeatureRig f(Model{family, false, bool(flags & 1), bool(flags & 2), bool(flags & 4)});
    if (family == F::F560) f.readImages({0, 1, 2, 3, 4});
    f.setProfile(profile);
    f.view->mouseSetRGBEffect(uchar(args[0]), uchar(args[1]), uchar(args[2]));
    QCOMPARE(f.commands(), reports);
    const VirtualMouse::State s = f.state();
    if (family == F::F553) {
        const QStringList p = reports.first().split(' ');
        QCOMPARE(int(s.rgbEffect[0]), p[2].toInt(nullptr, 16));
        QCOMPARE(int(s.rgbEffect[2]), p[4].toInt(nullptr, 16));
        return;
    }
    for (const QString &sent : reports) {
        const int record = sent.split(' ')[2].toInt(nullptr, 16);
        QCOMPARE(QList<int>({s.profiles[size_t(record)][71], s.profiles[size_t(record)][72],
                             s.profiles[size_t(record)][73]}),
                 triple);
        QCOMPARE(bytesOf(s.profiles[size_t(record)]),
                 bytesOf(f.view->profileImages[size_t(record)]));
    }
    // Image 0 carries no effect bytes and is never sent for an effect.
    QCOMPARE(bytesOf(s.profiles[0]), bytesOf(f.view->profileImages[0]));
    QCOMPARE(int(s.profiles[0][71]), int(FeatureRig::recordByte(0, 71)));
}

void TestFeaturesDevice::colors_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("color8");
    QTest::addColumn<QStringList>("reports");
    const auto r = [](quint8 c, std::array<quint8, 6> p) { return rep(c, p); };
    QTest::newRow("553 twice") << F::F553 << 0 << true
                               << QStringList{r(0x10, {1, 24, 0, 0, 0, 0}),
                                              r(0x10, {1, 24, 0, 0, 0, 0})};
    QTest::newRow("553 type 2 four bytes")
        << F::F553 << 0 << false
        << QStringList{r(0x10, {2, 4, 0, 0, 0, 0}), r(0x10, {2, 4, 0, 0, 0, 0})};
    QTest::newRow("55328 colour 8 set")
        << F::F553 << 2 << true << QStringList{r(0x10, {0, 24, 0, 0, 0, 0})};
    QTest::newRow("55328 colour 8 black")
        << F::F553 << 2 << false << QStringList{r(0x0C, {0x11, 0x22, 0x33, 0, 0, 0})};
    QTest::newRow("560 colorful image 0")
        << F::F560 << 1 << true << QStringList{r(0x0C, {0, 0x80, 0, 0, 0, 0})};
    QTest::newRow("560 plain image 1")
        << F::F560 << 0 << true << QStringList{r(0x0C, {1, 0x80, 0, 0, 0, 0})};
}

void TestFeaturesDevice::colors()
{
    QFETCH(VirtualMouse::Family, family);
    QFETCH(int, flags);
    QFETCH(bool, color8);
    QFETCH(QStringList, reports);
    FeatureRig f(Model{family, false, bool(flags & 1), bool(flags & 2)});
    if (family == F::F560) f.readImages({0, 1, 2, 3, 4});
    QVariantList colors{0x11, 0x22, 0x33};
    for (int i = 3; i < 21; ++i)
        colors << i;
    colors << (color8 ? 0xAA : 0) << 0 << 0 << 99 << 99; // extra values are ignored
    const bool type2 = QTest::currentDataTag() == QByteArray("553 type 2 four bytes");
    f.view->mouseSetRGBColor(type2 ? 2 : 1, colors);
    QCOMPARE(f.commands(), reports);

    QByteArray buffer;
    for (int i = 0; i < 24; ++i)
        buffer += char(colors[i].toInt());
    const VirtualMouse::State s = f.state();
    if (family == F::F560) {
        const int image = flags & 1 ? 0 : 1;
        const int offset = flags & 1 ? 24 : 104;
        QCOMPARE(bytesOf(s.profiles[size_t(image)]).mid(offset, 24).toHex(' '), buffer.toHex(' '));
        QCOMPARE(int(s.profiles[size_t(image)][size_t(offset - 1)]),
                 int(FeatureRig::recordByte(image, offset - 1)));
    } else if (reports.first().startsWith("00 10")) {
        const int n = type2 ? 4 : 24;
        QCOMPARE(s.led8StageLength, n);
        QCOMPARE(bytesOf(s.led8StageColors).left(n), buffer.left(n));
    } else {
        QCOMPARE(bytesOf(s.fixLedColor).toHex(' '), QByteArray("11 22 33"));
    }
}

void TestFeaturesDevice::rates_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("report");
    QTest::newRow("553 1000 Hz") << F::F553 << 1 << rep(0x01, {1, 0, 0, 0, 0, 0});
    QTest::newRow("553 125 Hz") << F::F553 << 8 << rep(0x01, {8, 0, 0, 0, 0, 0});
    QTest::newRow("560 1000 Hz, profile 0") << F::F560 << 1 << rep(0x03, {1, 1, 0, 0, 0, 0});
    QTest::newRow("560 250 Hz, profile 0") << F::F560 << 4 << rep(0x03, {1, 4, 0, 0, 0, 0});
}

void TestFeaturesDevice::rates()
{
    QFETCH(VirtualMouse::Family, family);
    QFETCH(int, rate);
    QFETCH(QString, report);
    FeatureRig f(Model{family, true});
    f.view->mouseSetReportRate(uchar(rate));
    QCOMPARE(f.commands(), QStringList{report});
    const VirtualMouse::State s = f.state();
    QCOMPARE(int(family == F::F560 ? s.reportRate560[1] : s.reportRate553), rate);
}

void TestFeaturesDevice::optionsAndLod()
{
    FeatureRig f(Model{F::F560});
    DebugCapture cap;
    f.view->mouseSetLod(125, 1);
    QVERIFY(f.rig.trace().isEmpty());
    QVERIFY(cap.contains("test 125 1"));
    // The option bytes always travel with the 553 command.
    f.view->mouseSetKeyboardoption(1, 2, 3, 4);
    QCOMPARE(f.commands(), QStringList{rep(0x03, {1, 2, 3, 4, 0, 0})});

    FeatureRig g(Model{F::F553, true});
    g.view->mouseSetKeyboardoption(0x11, 0x22, 0x33, 0x44);
    QCOMPARE(bytesOf(g.state().options553).toHex(' '), QByteArray("11 22 33 44"));
    QCOMPARE(g.view->GetKeyboardoption(), (QVariantList{0x11, 0x22, 0x33, 0x44}));
    g.rig.mouse->unplug();
    QCOMPARE(g.view->GetKeyboardoption(), (QVariantList{0, 0, 0, 0}));
}

void TestFeaturesDevice::gun553_data()
{
    QTest::addColumn<int>("option3");
    QTest::addColumn<bool>("isGun");
    QTest::addColumn<QStringList>("sets");
    QTest::newRow("Y as is") << 0 << true << QStringList{rep(0x04, {0, 3, 4, 10, 1, 0})};
    QTest::newRow("Y negated") << 1 << true << QStringList{rep(0x04, {0, 3, 4, 0xF6, 1, 0})};
    QTest::newRow("not a gun model") << 1 << false << QStringList{};
}

void TestFeaturesDevice::gun553()
{
    QFETCH(int, option3);
    QFETCH(bool, isGun);
    QFETCH(QStringList, sets);
    FeatureRig f(Model{F::F553, true, false, false, isGun});
    f.rig.mouse->modifyState([&](VirtualMouse::State &s) {
        s.options553 = {0, 0, quint8(option3), 0};
    });
    f.view->mouseSendGundata(2, {3, 4, 10});
    QStringList want;
    if (isGun) want << rep(0x83, {0, 0, 0, 0, 0, 0}) << sets;
    QCOMPARE(f.commands(), want);
    if (isGun)
        QCOMPARE(bytesOf(f.state().gunData).toHex(' '),
                 QByteArray(option3 ? "03 04 f6 01" : "03 04 0a 01"));
}

void TestFeaturesDevice::gun560()
{
    FeatureRig f(Model{F::F560, false, false, false, true});
    f.readImages({0, 1, 2, 3, 4});
    f.view->mouseSendGundata(1, {5, 6, 7});
    QCOMPARE(f.commands(), QStringList{rep(0x0C, {2, 0x80, 0, 0, 0, 0})});
    const VirtualMouse::Block128 rec = f.state().profiles[2];
    QCOMPARE(int(rec[65]), FeatureRig::recordByte(2, 65) & ~0x04);
    QCOMPARE(QList<int>({rec[78], rec[79], rec[80], rec[81]}), QList<int>({0xF0, 5, 6, 7}));
    QCOMPARE(int(f.state().profiles[1][78]), int(FeatureRig::recordByte(1, 78)));

    // A slot without an image is refused, not written past the images.
    f.clear();
    DebugCapture cap;
    f.view->mouseSendGundata(4, {5, 6, 7});
    f.view->mouseSendGundata(-1, {5, 6, 7});
    QVERIFY(f.commands().isEmpty());
    QCOMPARE(cap.lines().size(), 2);
}

void TestFeaturesDevice::profileSlots()
{
    FeatureRig f(Model{F::F560, true});
    f.view->mouseReadProfile(2);
    const QByteArray read = bytesOf(f.view->profileImages[2]);
    QCOMPARE(int(read[5]), int(FeatureRig::recordByte(2, 5)));
    f.clear();
    f.view->mouseSetProfile(2);
    QCOMPARE(f.commands(), QStringList{rep(0x0C, {2, 0x80, 0, 0, 0, 0})});
    QCOMPARE(f.payload(), read);
    QCOMPARE(bytesOf(f.state().profiles[2]), read);

    f.clear();
    DebugCapture cap;
    f.view->mouseSetProfile(5);
    f.view->mouseSetProfile(0xFFFFFFFF);
    QVERIFY(f.commands().isEmpty());
    QCOMPARE(cap.lines().size(), 2);

    f.rig.mouse->modifyState([](VirtualMouse::State &s) { s.currentProfile560 = 3; });
    QCOMPARE(f.view->mouseReadCurrentProfile(), QVariant(3));
    f.rig.mouse->unplug();
    QCOMPARE(f.view->mouseReadCurrentProfile(), QVariant(0));
}

void TestFeaturesDevice::applyWholeProfile_data()
{
    QTest::addColumn<VirtualMouse::Family>("family");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("553") << F::F553 << false
                         << QStringList{"02", "12", "01", "11", "10", "10", "0d", "10", "10", "0d"};
    QTest::newRow("553 scrambled") << F::F553 << true << QStringList{"02", "12", "01", "11", "10",
                                                                     "10", "0d", "10", "10", "0d"};
    QTest::newRow("560") << F::F560 << false
                         << QStringList{"0d", "03", "0c", "0c", "0c", "0c", "0c"};
}

// The device ends up holding exactly what the current profile stores.
void TestFeaturesDevice::applyWholeProfile()
{
    QFETCH(VirtualMouse::Family, family);
    QFETCH(bool, isEncode);
    QFETCH(QStringList, codes);
    FeatureRig f(Model{family, isEncode, true});
    const bool is560 = family == F::F560;
    if (is560) f.readImages({0, 1, 2, 3, 4});
    f.view->setData("mouse/reportRate", 2);
    f.view->setDataList("mouse/dpiValueArray", {400, 800, 1600, 3200, 4000, 4800, 5400, 6000});
    f.view->setData("mouse/currentDpiCount", 4);
    f.view->setDataList("mouse/lightValue", {9, 1, 2});
    QVariantList colors;
    for (int i = 0; i < 24; ++i)
        colors << 10 * i;
    f.view->setDataList("mouse/colorValue", colors);
    for (int k = 0; k < 16; ++k)
        f.view->setDataList(QStringLiteral("mouseKeyMatrix/%1").arg(k), {2, 0, 4 + k, 0});

    ProfileApply::all(*f.view);
    QStringList sent;
    for (const QString &c : f.commands())
        sent << c.mid(3, 2);
    QCOMPARE(sent, codes);

    QVariantList flat;
    for (int k = 0; k < 16; ++k)
        flat << 2 << 0 << 4 + k << 0;
    const KeyMatrix::Matrix matrix =
        KeyMatrix::buildDeviceMatrix(KeyMatrix::bindingsFromFlat(flat), is560);
    const QByteArray codes4090 = QByteArray::fromHex("03070f1f272f5b5e");
    QByteArray colorBytes;
    for (const QVariant &c : colors)
        colorBytes += char(c.toInt());
    const VirtualMouse::State s = f.state();
    QCOMPARE(s.rejectedReports, 0);
    if (!is560) {
        QCOMPARE(bytesOf(s.keyMatrix553.at(0)), bytesOf(matrix));
        QCOMPARE(int(s.reportRate553), 2);
        QCOMPARE(bytesOf(s.dpiCodes553).toHex(' '), QByteArray("03 07 0f 1f 80 80 80 80"));
        QCOMPARE(int(s.dpiStageCount553), 4);
        QCOMPARE(bytesOf(s.rgbEffect).toHex(' '), QByteArray("09 80 0d"));
        QCOMPARE(bytesOf(s.led8StageColors), colorBytes);
        return;
    }
    QCOMPARE(bytesOf(s.keyMatrix560.at(1)).left(64), bytesOf(matrix));
    QCOMPARE(int(s.reportRate560[1]), 2);
    QCOMPARE(bytesOf(s.profiles[1]).mid(84, 8).toHex(' '), codes4090.toHex(' '));
    QCOMPARE(int(s.profiles[1][100]), 0x0F);
    QCOMPARE(bytesOf(s.profiles[1]).mid(71, 3).toHex(' '), QByteArray("09 80 0d"));
    QCOMPARE(bytesOf(s.profiles[0]).mid(24, 24), colorBytes);
    for (int r = 0; r < 2; ++r)
        QCOMPARE(bytesOf(s.profiles[size_t(r)]), bytesOf(f.view->profileImages[size_t(r)]));
    // The other profiles hold the new stages in their images until they are
    // sent; the device still has the old ones.
    QCOMPARE(bytesOf(f.view->profileImages[3]).mid(84, 8), codes4090);
    QCOMPARE(int(s.profiles[3][84]), int(FeatureRig::recordByte(3, 84)));
}

// The pages reach the encoder as soon as the application runs.
void TestFeaturesDevice::macroCodecRegistered()
{
    QQmlEngine engine;
    QQmlComponent c(&engine);
    c.setData("import QtQml\nimport skeld.macro 1.0\n"
              "QtObject { property int size: MacroCodec.recordCount([\"1,A\", \"2,A\"]) }",
              QUrl());
    std::unique_ptr<QObject> o(c.create());
    QVERIFY2(o, qPrintable(c.errorString()));
    QCOMPARE(o->property("size").toInt(), 8);
}

QTEST_MAIN(TestFeaturesDevice)
#include "tst_features_device.moc"
