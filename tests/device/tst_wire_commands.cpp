// Both command families against the virtual mouse, and how each exchange
// ends when the device or the bus misbehaves.
#include "DeviceRig.h"
#include "device/ReportCodec.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{
using Family = VirtualMouse::Family;
using State = VirtualMouse::State;

DeviceRig::Options opts(const QString &key, bool enc = false, int reportLength = 32)
{
    return {key.startsWith("560") ? Family::F560 : Family::F553, reportLength, enc, "731952"};
}
// kind: set (settles 128 ms), nosettle (8 ms), payload, get, readback. A
// call hands back what a get returns, starting from the preset `o`.
using Call = QByteArray (*)(Hid_Thread &h, QByteArray o, uchar *p);
#define SET(slot) [](Hid_Thread &h, QByteArray, [[maybe_unused]] uchar *p) { return h.slot, QByteArray(); }
#define GET(slot, n) [](Hid_Thread &h, QByteArray preset, uchar *) { \
    uchar *o = reinterpret_cast<uchar *>(preset.data()); return h.slot, preset.left(n); }
#define READ8C [](Hid_Thread &h, QByteArray, uchar *) { \
    QByteArray buf(128, '\x55'); return h.hid560_8CH_readProfile(reinterpret_cast<uchar *>(buf.data()), 3), buf; }
struct Command {
    const char *tag;
    Call call;
    quint8 code;
    std::array<quint8, 6> params;
    const char *kind;
    int length;        // payload / read-back bytes
    QByteArray result; // what a get hands back
    const char *fail; // the debug line when the bus stays busy
};
// clang-format off
const Command kCommands[] = {
    {"553:01", SET(hid553_01H_SetReportRate(4)), 0x01, {4}, "set", 0, {}, "01"},
    {"553:02", SET(hid553_02H_SetCurrentKeyMatrix(2)), 0x02, {2}, "set", 0, {}, "02"},
    {"553:03", SET(hid553_03H_SetKeyboardoption(1, 2, 3, 0x40)), 0x03, {1, 2, 3, 0x40}, "nosettle", 0, {}, "03"},
    {"553:04", SET(hid553_04H_SetGunData(0x0A, 0x0B, 0x0C, 0x0D)), 0x04, {0, 0x0A, 0x0B, 0x0C, 0x0D}, "nosettle", 0, {}, "04"},
    {"553:0B", SET(hid553_0BH_SetCurrentDPI(3)), 0x0B, {3}, "set", 0, {}, "0B"},
    {"553:0C", SET(hid553_0CH_SetFixLEDColor(p)), 0x0C, {0x03, 0x0A, 0x11}, "set", 0, {}, "0C"},
    {"553:0D", SET(hid553_0DH_SetRGBLedEffect(5, 6, 7)), 0x0D, {5, 6, 7}, "set", 0, {}, "0D"},
    {"553:10t2", SET(hid553_10H_SetLED8StageColor(2, p)), 0x10, {2, 4}, "payload", 4, {}, "10"},
    {"553:10t0", SET(hid553_10H_SetLED8StageColor(0, p)), 0x10, {0, 24}, "payload", 24, {}, "10"},
    {"553:11", SET(hid553_11H_SetDPISet(6, p)), 0x11, {6, 8}, "payload", 8, {}, "11"},
    {"553:12", SET(hid553_12H_SetKeyMatrix(p, 2)), 0x12, {2, 0x40, 0x08}, "payload", 64, {}, "12"},
    {"553:13", SET(hid553_13H_SetMacroKey(5, p)), 0x13, {5, 0x80}, "payload", 128, {}, "13"},
    {"553:82dpi", GET(hid553_8BH_GetCurrentDPI(o[0]), 1), 0x82, {}, "get", 0, QByteArray::fromHex("05"), "8BH"},
    {"553:82right", GET(hid553_8BH_GetRight(o[0]), 1), 0x82, {}, "get", 0, QByteArray::fromHex("05"), "82H"},
    {"553:83", GET(hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]), 4), 0x83, {}, "get", 0, QByteArray::fromHex("01020304"), "83"},
    {"553:00", GET(hid553_00H_GetSecrecyCode(o[0], o[1], o[2], o[3]), 4), 0x00, {9, 9, 9, 9}, "get", 0, QByteArray::fromHex("09090909"), "00"},
    {"560:01", SET(hid560_01H_SetKeyboardoption(0x08, 0x02)), 0x01, {0x08, 0x02}, "nosettle", 0, {}, "01"},
    {"560:02", SET(hid560_02H_SetCurrentProfile(3)), 0x02, {3}, "nosettle", 0, {}, "02"},
    {"560:03", SET(hid560_03H_SetReportRate(2)), 0x03, {1, 2}, "set", 0, {}, "03"},
    {"560:04", SET(hid560_04H_SetCurrentDPI(5)), 0x04, {1, 5}, "set", 0, {}, "04"},
    {"560:0C", SET(hid560_0CH_setProfile(p, 2)), 0x0C, {2, 0x80}, "payload", 128, {}, "0C"},
    {"560:0D", SET(hid560_0DH_SetKeyMatrix(p, 3)), 0x0D, {3, 0x80}, "payload", 128, {}, "0D"},
    {"560:0F", SET(hid560_0FH_SetMacroKey(12, p)), 0x0F, {12, 0x80}, "payload", 128, {}, "0F"},
    {"560:81", GET(hid560_81H_GetKeyboardoption(o[0], o[1]), 2), 0x81, {}, "get", 0, QByteArray::fromHex("2122"), "81"},
    {"560:82", GET(hid560_82H_GetCurrentProfile(o[0]), 1), 0x82, {}, "get", 0, QByteArray::fromHex("04"), "82"},
    {"560:84", GET(hid560_84H_GetCurrentDPI((o[0] = 2), o[1]), 2), 0x84, {2}, "get", 0, QByteArray::fromHex("0207"), "84"},
    {"560:8C", READ8C, 0x8C, {3}, "readback", 128, {}, "8c"},
};
// clang-format on

QByteArray runCommand(Hid_Thread &hid, const QString &key, QByteArray preset = QByteArray(4, '\x09'))
{
    QByteArray p = pattern(128);
    for (const Command &c : kCommands)
        if (key == QLatin1String(c.tag)) return c.call(hid, preset, reinterpret_cast<uchar *>(p.data()));
    qFatal("unknown command key %s", qPrintable(key));
}

// An attached rig whose mouse holds what the gets read.
struct Attached : DeviceRig {
    explicit Attached(const Options &o) : DeviceRig(o)
    {
        QVERIFY(attach());
        mouse->modifyState([](State &s) {
            s.dpiStage553 = 5;
            s.options553 = {1, 2, 3, 4};
            s.options560 = {0x21, 0x22};
            s.currentProfile560 = 4;
            s.dpiStage560 = {1, 2, 7, 3, 4};
        });
        clearTrace();
    }
};
} // namespace

class tst_WireCommands : public QObject
{
    Q_OBJECT
private slots:
    void reportBytes_data()
    {
        QTest::addColumn<QByteArray>("report"); // 00, code, six params, checksum
        for (const char *r : {"0001020000000000fc", "0000000000000000ff", "00820000000000007d",
                              "0011040800000000e2", "00ff020000000000fe", "00ffffffffffffff06"})
            QTest::newRow(r) << QByteArray::fromHex(r);
    }

    void reportBytes()
    {
        QFETCH(QByteArray, report);
        std::array<quint8, 6> p{};
        std::copy(report.begin() + 2, report.begin() + 8, p.begin());
        QCOMPARE(plainReport(quint8(report[1]), p).toHex(' '), report.toHex(' '));
        Hid_Thread hid;
        QCOMPARE(int(hid.hidCS(reinterpret_cast<uchar *>(report.data()) + 1)), int(quint8(report[8])));
    }

    void cipher_data()
    {
        // Worked by hand: pair swap, code XOR on bytes 1..6, 3-bit left
        // rotation of the 64-bit block, nibble-swapped key added.
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("cipher");
        const auto row = [](const char *tag, const char *p, const char *code, const char *c) {
            QTest::newRow(tag) << QByteArray::fromHex(p) << code << QByteArray::fromHex(c);
        };
        row("01 02", "01020000000000fc", "731952", "0615bddf1055a6c6");
        row("zero code", "0000000000000000", "", "0557445637b416c6");
        row("other code", "0011223344000055", "ABCDEF", "057ffe70e1dfbfd6");
    }

    void cipher()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QString, code);
        QFETCH(QByteArray, cipher);
        quint8 key[8] = {};
        ReportCodec::loadSecrecyCode(key, code);
        QByteArray block = plain;
        ReportCodec::encipher(reinterpret_cast<quint8 *>(block.data()), key);
        QCOMPARE(block.toHex(' '), cipher.toHex(' '));
        // The code loads at bytes 1..6 only when it has six characters.
        const QByteArray kept = QByteArray::fromHex("aa01020304050600");
        for (const auto &[sCode, buffer] :
             {std::pair{QStringLiteral("\u00e9abcde"), QByteArray::fromHex("aae9616263646500")},
              {QStringLiteral("73195"), kept}, {QStringLiteral("7319521"), kept}}) {
            quint8 c[8] = {0xAA, 1, 2, 3, 4, 5, 6, 0};
            QCOMPARE(ReportCodec::loadSecrecyCode(c, sCode), buffer != kept);
            QCOMPARE(QByteArray(reinterpret_cast<char *>(c), 8).toHex(), buffer.toHex());
        }
    }

    void commands_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("isEncode");
        QTest::addColumn<int>("reportLength");
        for (int i = 0; i < int(std::size(kCommands)); ++i) {
            QTest::addRow("%s plain rl32", kCommands[i].tag) << i << false << 32;
            QTest::addRow("%s enc rl64", kCommands[i].tag) << i << true << 64;
        }
    }

    void commands()
    {
        ROW(kCommands);
        QFETCH(bool, isEncode);
        QFETCH(int, reportLength);
        const QString kind = QLatin1String(r.kind);
        Attached rig(opts(r.tag, isEncode, reportLength));
        DebugCapture cap;
        const QByteArray got = runCommand(rig.hid, r.tag);

        const QStringList t = rig.transfers();
        const QByteArray report = plainReport(r.code, r.params);
        QCOMPARE(t.value(0), "SET_FEATURE " + DeviceRig::hex(wireReport(report, isEncode, "731952")));
        const int chunks = r.length ? (r.length + reportLength - 1) / reportLength : 0;
        QList<int> delays;
        if (kind == "set" || kind == "nosettle") {
            QCOMPARE(t.size(), 1);
            delays = {kind == "set" ? 128 : 8};
        } else if (kind == "payload") {
            QCOMPARE(t.size(), 1 + chunks);
            const QByteArray p = pattern(r.length);
            for (int i = 1; i < t.size(); ++i) // zero-padded to whole reports
                QCOMPARE(t[i], "WRITE 00 " + DeviceRig::hex(p.mid((i - 1) * reportLength, reportLength).leftJustified(reportLength, '\0')));
            delays = QList<int>(chunks + 2, 120);
            delays.first() = delays.last() = 128;
        } else if (kind == "get") {
            QCOMPARE(t.size(), 2);
            QVERIFY(t[1].startsWith("GET_FEATURE "));
            QCOMPARE(got.toHex(' '), r.result.toHex(' '));
        } else {
            QCOMPARE(t.size(), 2 + chunks);
            QVERIFY(t.last().startsWith("READ "));
            QCOMPARE(got, toBytes(rig.mouse->state().profiles[3]));
        }
        QCOMPARE(rig.delays(), delays);
        QVERIFY(rig.hid.idle && rig.hid.cmdHandle == nullptr);
        QVERIFY(cap.lines().isEmpty());
        // The firmware took the report as a valid command of its family.
        const State s = rig.mouse->state();
        QCOMPARE(s.rejectedReports + s.unknownCommands + s.unexpectedWrites + s.incompletePayloads, 0);
        QCOMPARE(int(s.commands.last()), int(r.code));
    }

    void handshake_data()
    {
        // mouse cipher, mouse code, host cipher, host code, accepted
        QTest::addColumn<QStringList>("r");
        for (const char *r : {"553 1 731952 1 731952 1", "560 1 Zq09!x 1 Zq09!x 1", "553 1 731952 1 731953 0",
                              "560 0 731952 1 731952 0", "553 1 731952 0 731952 0",
                              "560 0 111111 0 222222 1" /* a plain device ignores the code */})
            QTest::newRow(r) << QString::fromLatin1(r).split(' ');
    }

    void handshake()
    {
        QFETCH(QStringList, r);
        const auto family = r[0] == "560" ? Family::F560 : Family::F553;
        DeviceRig rig(DeviceRig::Options{family, 32, r[3] == "1", r[4]});
        rig.mouse = std::make_shared<VirtualMouse>(
            family, VirtualMouse::Identity{0x04d9, 0xa1ee, 0xff00, 0xff00, 0xff01, 0xff01, 32, r[1] == "1", r[2]});
        rig.hid.setBackend(rig.mouse);
        QCOMPARE(rig.attach(), r[5] == "1");
        QCOMPARE(rig.mouse->state().handshakes, r[5] == "1" ? 1 : 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(secrecyCodeBuf) + 1, 6), r[4].toLatin1());
        QVERIFY(rig.hid.idle);
    }

    void busyBusFailsWithItsText_data() { addRows(kCommands); }
    void busyBusFailsWithItsText()
    {
        ROW(kCommands);
        const QString key = QLatin1String(r.tag);
        Attached rig(opts(key));
        rig.hid.idle = false; // another command holds the bus and never lets go
        DebugCapture cap;
        runCommand(rig.hid, key);
        QCOMPARE(cap.lines(), QStringList{QStringLiteral("cmd Failed %1 ").arg(QLatin1String(r.fail))});
        QVERIFY(rig.transfers().isEmpty());
        QCOMPARE(rig.delays(), QList<int>(Hid_Thread::kIdlePolls, 8));
        QVERIFY(!rig.hid.idle);
        if (key == "553:00") QVERIFY(!rig.hid.chkDeviceIsEnCode(1)); // nor does the handshake pass
    }

    // A failed get keeps the caller's presets (the secrecy code reads zeros);
    // a reply is taken as it comes, unchecked. Without a path nothing goes out.
    void failedAndOddReplies()
    {
        const QByteArray fails = "fails", noPath = "no path";
        for (const auto &[reply, results] :
             {std::pair{fails, "09090909"}, {noPath, "09090909"}, {QByteArray(), "09090909"},
              {QByteArray::fromHex("008301"), "01090909"},
              {QByteArray::fromHex("0083a1a2a3a4a5a6a7a8a9aaabacadae") + QByteArray(200, 'x'), "a1a2a3a4"},
              {QByteArray::fromHex("ff00deadbeef000000"), "deadbeef"}}) {
            Attached rig(opts("553"));
            VirtualMouse::Faults faults;
            faults.failGetFeature = reply == fails;
            if (reply != fails) faults.replyFilter = [reply](quint8, const QByteArray &) { return reply; };
            rig.mouse->setFaults(faults);
            if (reply == noPath) rig.hid.devices[1]->path.clear();
            QCOMPARE(runCommand(rig.hid, "553:83").toHex(), QByteArray(results));
            if (reply == fails) QCOMPARE(runCommand(rig.hid, "553:00"), QByteArray(4, '\0'));
            QVERIFY(rig.hid.idle);
            QCOMPARE(rig.trace().isEmpty(), reply == noPath);
        }
    }

    void unplugMidExchange()
    {
        // Unplugged before each transfer of a 128-byte payload (5) and of a read-back (6).
        for (int i = 0; i < 5 + 6; ++i) {
            const QString key = i < 5 ? "560:0C" : "560:8C";
            const int n = i < 5 ? i : i - 5;
            DeviceRig rig(opts(key), true);
            QVERIFY(rig.attach());
            VirtualMouse::Faults faults;
            faults.unplugAfterTransfers = n;
            rig.mouse->setFaults(faults);
            const QByteArray before = toBytes(rig.mouse->state().profiles[2]);
            QElapsedTimer t;
            t.start();
            const QByteArray got = runCommand(rig.hid, key);
            QVERIFY(t.elapsed() < 1000);
            QVERIFY2(rig.hid.idle && rig.hid.devices[1]->path.isEmpty() && !rig.hid.cmdHandle, qPrintable(key + ' ' + QString::number(n)));
            if (key == "560:8C") QCOMPARE(got, QByteArray(128, '\x55'));
            if (key == "560:0C") QCOMPARE(toBytes(rig.mouse->state().profiles[2]), before);
            // Plugged in again, the next check connects and commands work.
            rig.mouse->replug();
            QVERIFY(rig.check().connected);
            rig.hid.hid560_04H_SetCurrentDPI(2);
            QCOMPARE(int(rig.mouse->state().dpiStage560[1]), 2);
        }
    }

    void unusableReportLength()
    {
        for (int reportLength : {0, -32, 1000000}) {
            Attached rig(opts("553"));
            rig.hid.devices[1]->reportLength = reportLength;
            QElapsedTimer t;
            t.start();
            runCommand(rig.hid, "553:13");
            QVERIFY(t.elapsed() < 1000);
            QVERIFY(rig.transfers().isEmpty() && rig.hid.idle);
            runCommand(rig.hid, "553:0B"); // commands without a payload do not depend on it
            QCOMPARE(rig.mouse->state().dpiStage553, 3);
        }
    }
};

QTEST_GUILESS_MAIN(tst_WireCommands)
#include "tst_wire_commands.moc"
