// Byte-level tests of the transport and both command sets against the
// virtual mouse: what goes over the wire, what the firmware made of it, and
// which fixed delays each exchange takes.
#include "DeviceRig.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{
using Family = VirtualMouse::Family;

// What a fresh virtual mouse holds that the gets read.
void seedMouse(VirtualMouse &m)
{
    m.modifyState([](VirtualMouse::State &s) {
        s.dpiStage553 = 5;
        s.options553 = {1, 2, 3, 4};
        s.options560 = {0x21, 0x22};
        s.currentProfile560 = 4;
        s.dpiStage560 = {1, 2, 7, 3, 4};
    });
}
} // namespace

class tst_Transport : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void payloadChunking_data();
    void payloadChunking();
    void shortLastChunkCarriesTheTail();
    void recordedDelays_data();
    void recordedDelays();
    void handshake_data();
    void handshake();
    void scrambledReportsReachTheFirmware();
    void failTextsWhenTheBusStaysBusy_data();
    void failTextsWhenTheBusStaysBusy();
    void busyBusNeverPassesTheHandshake();
    void emptyPathReturnsQuietly();
    void failedGetsKeepPresets_data();
    void failedGetsKeepPresets();
    void oddRepliesAreTakenAsTheyCome_data();
    void oddRepliesAreTakenAsTheyCome();
    void readBackIsBounded();
    void unplugMidExchange_data();
    void unplugMidExchange();
    void unusableReportLengthIsRefused_data();
    void unusableReportLengthIsRefused();
    void profileOfTheBridgeTravels();
};

void tst_Transport::commands_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("isEncode");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("report");  // plain command report
    QTest::addColumn<QString>("kind");       // set, nosettle, payload, get, readback
    QTest::addColumn<int>("length");         // payload / read-back bytes
    QTest::addColumn<QByteArray>("results"); // what a get hands back

    struct Row {
        Family family;
        const char *key;
        quint8 code;
        std::array<quint8, 6> params;
        const char *kind;
        int length;
        QByteArray results;
    };
    const QByteArray p128 = pattern(128);
    const Row rows[] = {
        {Family::F553, "553:01", 0x01, {4}, "set", 0, {}},
        {Family::F553, "553:02", 0x02, {2}, "set", 0, {}},
        {Family::F553, "553:03", 0x03, {1, 2, 3, 0x40}, "nosettle", 0, {}},
        {Family::F553, "553:04", 0x04, {0, 0x0A, 0x0B, 0x0C, 0x0D}, "nosettle", 0, {}},
        {Family::F553, "553:0B", 0x0B, {3}, "set", 0, {}},
        {Family::F553, "553:0C", 0x0C, {0x03, 0x0A, 0x11}, "set", 0, {}},
        {Family::F553, "553:0D", 0x0D, {5, 6, 7}, "set", 0, {}},
        {Family::F553, "553:10t2", 0x10, {2, 4}, "payload", 4, {}},
        {Family::F553, "553:10t0", 0x10, {0, 24}, "payload", 24, {}},
        {Family::F553, "553:11", 0x11, {6, 8}, "payload", 8, {}},
        {Family::F553, "553:12", 0x12, {2, 0x40, 0x08}, "payload", 64, {}},
        {Family::F553, "553:13", 0x13, {5, 0x80}, "payload", 128, {}},
        {Family::F553, "553:82dpi", 0x82, {}, "get", 0, QByteArray::fromHex("05")},
        {Family::F553, "553:82right", 0x82, {}, "get", 0, QByteArray::fromHex("05")},
        {Family::F553, "553:83", 0x83, {}, "get", 0, QByteArray::fromHex("01020304")},
        {Family::F553, "553:00", 0x00, {9, 9, 9, 9}, "get", 0, QByteArray::fromHex("09090909")},
        {Family::F560, "560:01", 0x01, {0x08, 0x02}, "nosettle", 0, {}},
        {Family::F560, "560:02", 0x02, {3}, "nosettle", 0, {}},
        {Family::F560, "560:03", 0x03, {1, 2}, "set", 0, {}},
        {Family::F560, "560:04", 0x04, {1, 5}, "set", 0, {}},
        {Family::F560, "560:0C", 0x0C, {2, 0x80}, "payload", 128, {}},
        {Family::F560, "560:0D", 0x0D, {3, 0x80}, "payload", 128, {}},
        {Family::F560, "560:0F", 0x0F, {12, 0x80}, "payload", 128, {}},
        {Family::F560, "560:81", 0x81, {}, "get", 0, QByteArray::fromHex("2122")},
        {Family::F560, "560:82", 0x82, {}, "get", 0, QByteArray::fromHex("04")},
        {Family::F560, "560:84", 0x84, {2}, "get", 0, QByteArray::fromHex("0207")},
        {Family::F560, "560:8C", 0x8C, {3}, "readback", 128, QByteArray()},
    };
    for (const Row &r : rows)
        for (bool enc : {false, true})
            for (int rl : {32, 64})
                QTest::addRow("%s %s rl%d", r.key, enc ? "enc" : "plain", rl)
                    << int(r.family) << enc << rl << QString::fromLatin1(r.key)
                    << plainReport(r.code, r.params) << QString::fromLatin1(r.kind) << r.length
                    << r.results;
}

void tst_Transport::commands()
{
    QFETCH(int, family);
    QFETCH(bool, isEncode);
    QFETCH(int, reportLength);
    QFETCH(QString, key);
    QFETCH(QByteArray, report);
    QFETCH(QString, kind);
    QFETCH(int, length);
    QFETCH(QByteArray, results);

    DeviceRig::Options o;
    o.family = Family(family);
    o.isEncode = isEncode;
    o.reportLength = reportLength;
    DeviceRig rig(o);
    QVERIFY(rig.attach());
    seedMouse(*rig.mouse);
    rig.clearTrace();
    DebugCapture cap;

    const QByteArray got = runCommand(rig.hid, key);

    const QStringList t = rig.transfers();
    QVERIFY2(!t.isEmpty(), "nothing went over the wire");
    QCOMPARE(t.first(), "SET_FEATURE " + DeviceRig::hex(wireReport(report, isEncode, o.sCode)));
    const int chunks =
        length ? (length + std::min(length, reportLength) - 1) / std::min(length, reportLength) : 0;
    QList<int> delays;
    if (kind == "set") {
        QCOMPARE(t.size(), 1);
        delays = {128};
    } else if (kind == "nosettle") {
        QCOMPARE(t.size(), 1);
        delays = {8};
    } else if (kind == "payload") {
        QCOMPARE(t.size(), 1 + chunks);
        QByteArray sent;
        for (int i = 1; i < t.size(); ++i) {
            QVERIFY(t[i].startsWith("WRITE 00 "));
            const QByteArray w = QByteArray::fromHex(t[i].mid(6).toLatin1());
            QCOMPARE(w.size(), reportLength + 1);
            sent += w.mid(1, std::min(reportLength, length - int(sent.size())));
        }
        QCOMPARE(sent, pattern(length));
        delays << 128;
        for (int i = 0; i < chunks; ++i)
            delays << 120;
        delays << 128;
    } else if (kind == "get") {
        QCOMPARE(t.size(), 2);
        QVERIFY(t[1].startsWith("GET_FEATURE "));
        QCOMPARE(got.toHex(' '), results.toHex(' '));
    } else {
        QCOMPARE(t.size(), 2 + chunks);
        for (int i = 2; i < t.size(); ++i)
            QVERIFY(t[i].startsWith("READ "));
        QCOMPARE(got, toBytes(rig.mouse->state().profiles[3]));
    }
    QCOMPARE(rig.delays(), delays);
    QVERIFY(rig.hid.idle);
    QVERIFY(rig.hid.cmdHandle == nullptr);
    QVERIFY(cap.lines().isEmpty());

    // The firmware took the report as a valid command of its family.
    const VirtualMouse::State s = rig.mouse->state();
    QCOMPARE(s.rejectedReports, 0);
    QCOMPARE(s.unknownCommands, 0);
    QCOMPARE(s.unexpectedWrites, 0);
    QCOMPARE(s.incompletePayloads, 0);
    QCOMPARE(int(s.commands.last()), int(quint8(report[1])));
    const QByteArray p = pattern(128);
    if (key == "553:01") QCOMPARE(s.reportRate553, 4);
    if (key == "553:02") QCOMPARE(s.currentKeyMatrix553, 2);
    if (key == "553:03") QCOMPARE(toBytes(s.options553), QByteArray::fromHex("01020340"));
    if (key == "553:04") QCOMPARE(toBytes(s.gunData), QByteArray::fromHex("0a0b0c0d"));
    if (key == "553:0B") QCOMPARE(s.dpiStage553, 3);
    if (key == "553:0C") QCOMPARE(toBytes(s.fixLedColor), p.left(3));
    if (key == "553:0D") QCOMPARE(toBytes(s.rgbEffect), QByteArray::fromHex("050607"));
    if (key == "553:10t2") {
        QCOMPARE(s.led8StageLength, 4);
        QCOMPARE(toBytes(s.led8StageColors, 4), p.left(4));
    }
    if (key == "553:10t0") QCOMPARE(toBytes(s.led8StageColors), p.left(24));
    if (key == "553:11") {
        QCOMPARE(toBytes(s.dpiCodes553), p.left(8));
        QCOMPARE(s.dpiStageCount553, 6);
    }
    if (key == "553:12") QCOMPARE(toBytes(s.keyMatrix553.at(2)), p.left(64));
    if (key == "553:13") QCOMPARE(toBytes(s.macros[4]), p);
    if (key == "560:01") QCOMPARE(toBytes(s.options560), QByteArray::fromHex("0802"));
    if (key == "560:02") QCOMPARE(s.currentProfile560, 3);
    if (key == "560:03") QCOMPARE(s.reportRate560[1], 2);
    if (key == "560:04") QCOMPARE(s.dpiStage560[1], 5);
    if (key == "560:0C") QCOMPARE(toBytes(s.profiles[2]), p);
    if (key == "560:0D") QCOMPARE(toBytes(s.keyMatrix560.at(3)), p);
    if (key == "560:0F") QCOMPARE(toBytes(s.macros[11]), p);
}

void tst_Transport::payloadChunking_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<QStringList>("expected");
    const QByteArray p = pattern(128);
    const QString zeros24 = DeviceRig::hex(QByteArray(24, '\0'));
    QTest::newRow("8 bytes to 32: one 33-byte report, 24 zeros")
        << "553:11" << 32 << QStringList{"WRITE 00 " + DeviceRig::hex(p.left(8)) + " " + zeros24};
    QTest::newRow("64 bytes to 32: two 33-byte reports")
        << "553:12" << 32
        << QStringList{"WRITE 00 " + DeviceRig::hex(p.left(32)),
                       "WRITE 00 " + DeviceRig::hex(p.mid(32, 32))};
    QTest::newRow("64 bytes to 64: one 65-byte report")
        << "553:12" << 64 << QStringList{"WRITE 00 " + DeviceRig::hex(p.left(64))};
    QTest::newRow("128 bytes to 64: two 65-byte reports")
        << "553:13" << 64
        << QStringList{"WRITE 00 " + DeviceRig::hex(p.left(64)),
                       "WRITE 00 " + DeviceRig::hex(p.mid(64))};
}

void tst_Transport::payloadChunking()
{
    QFETCH(QString, key);
    QFETCH(int, reportLength);
    QFETCH(QStringList, expected);
    DeviceRig::Options o;
    o.reportLength = reportLength;
    DeviceRig rig(o);
    QVERIFY(rig.attach());
    rig.clearTrace();
    runCommand(rig.hid, key);
    QCOMPARE(rig.transfers().mid(1), expected);
}

void tst_Transport::shortLastChunkCarriesTheTail()
{
    // 24 bytes at report length 16: the buffer is cleared once, so the
    // second report still carries bytes 8..15 of the first chunk.
    DeviceRig::Options o;
    o.reportLength = 16;
    DeviceRig rig(o);
    QVERIFY(rig.attach());
    rig.clearTrace();
    runCommand(rig.hid, "553:10t0");
    const QByteArray p = pattern(24);
    QCOMPARE(rig.transfers().mid(1),
             (QStringList{"WRITE 00 " + DeviceRig::hex(p.left(16)),
                          "WRITE 00 " + DeviceRig::hex(p.mid(16, 8) + p.mid(8, 8))}));
    QCOMPARE(toBytes(rig.mouse->state().led8StageColors), p);
}

void tst_Transport::recordedDelays_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QList<int>>("delays");
    QTest::newRow("128-byte payload to 32") << "560:0C" << QList<int>{128, 120, 120, 120, 120, 128};
    QTest::newRow("8-byte payload to 32") << "553:11" << QList<int>{128, 120, 128};
    QTest::newRow("set settles once") << "553:0B" << QList<int>{128};
    QTest::newRow("unsettled set sleeps 8") << "553:03" << QList<int>{8};
    QTest::newRow("get does not sleep") << "553:83" << QList<int>{};
    QTest::newRow("read-back does not sleep") << "560:8C" << QList<int>{};
}

void tst_Transport::recordedDelays()
{
    QFETCH(QString, key);
    QFETCH(QList<int>, delays);
    DeviceRig::Options o;
    o.family = key.startsWith("560") ? Family::F560 : Family::F553;
    DeviceRig rig(o);
    QVERIFY(rig.attach());
    rig.clearTrace();
    runCommand(rig.hid, key);
    QCOMPARE(rig.delays(), delays);
    QStringList sleeps;
    for (const QString &l : rig.trace())
        if (l.startsWith("SLEEP ")) sleeps << l;
    QStringList expected;
    for (int d : delays)
        expected << QStringLiteral("SLEEP %1").arg(d);
    QCOMPARE(sleeps, expected);
}

void tst_Transport::handshake_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("mouseEncode");
    QTest::addColumn<QString>("mouseCode");
    QTest::addColumn<bool>("hostEncode");
    QTest::addColumn<QString>("hostCode");
    QTest::addColumn<bool>("accepted");
    for (int f : {int(Family::F553), int(Family::F560)}) {
        const char *fam = f == int(Family::F553) ? "553" : "560";
        QTest::addRow("%s plain", fam) << f << false << "731952" << false << "731952" << true;
        QTest::addRow("%s enciphered", fam) << f << true << "731952" << true << "731952" << true;
        QTest::addRow("%s enciphered other code", fam)
            << f << true << "Zq09!x" << true << "Zq09!x" << true;
        QTest::addRow("%s wrong code", fam) << f << true << "731952" << true << "731953" << false;
        QTest::addRow("%s host enciphers, mouse does not", fam)
            << f << false << "731952" << true << "731952" << false;
        QTest::addRow("%s mouse enciphers, host does not", fam)
            << f << true << "731952" << false << "731952" << false;
        // A plain device ignores the code altogether.
        QTest::addRow("%s plain, codes differ", fam)
            << f << false << "111111" << false << "222222" << true;
    }
}

void tst_Transport::handshake()
{
    QFETCH(int, family);
    QFETCH(bool, mouseEncode);
    QFETCH(QString, mouseCode);
    QFETCH(bool, hostEncode);
    QFETCH(QString, hostCode);
    QFETCH(bool, accepted);
    DeviceRig::Options o;
    o.family = Family(family);
    o.isEncode = hostEncode;
    o.sCode = hostCode;
    DeviceRig rig(o);
    VirtualMouse::Identity id;
    id.isEncode = mouseEncode;
    id.sCode = mouseCode;
    rig.mouse = std::make_shared<VirtualMouse>(Family(family), id);
    rig.hid.setBackend(rig.mouse);
    QCOMPARE(rig.attach(), accepted);
    QCOMPARE(rig.mouse->state().handshakes, accepted ? 1 : rig.mouse->state().handshakes);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(secrecyCodeBuf) + 1, 6),
             hostCode.toLatin1());
    QVERIFY(rig.hid.idle);
}

void tst_Transport::scrambledReportsReachTheFirmware()
{
    DeviceRig::Options o;
    o.isEncode = true;
    o.sCode = QStringLiteral("Qw3rty");
    DeviceRig rig(o);
    rig.mouse = std::make_shared<VirtualMouse>(
        Family::F553, VirtualMouse::Identity{0x04d9, 0xa1ee, 0xff00, 0xff00, 0xff01, 0xff01, 32,
                                             true, QStringLiteral("Qw3rty")});
    std::shared_ptr<VirtualMouse> mouse = rig.mouse;
    QStringList lines;
    rig.hid.setBackend(std::make_shared<TracingBackend>(
        mouse, [&](const QByteArray &l, const QByteArray &) { lines << QString::fromLatin1(l); }));
    QVERIFY(rig.attach());
    lines.clear();
    rig.hid.hid553_0BH_SetCurrentDPI(7);
    const QByteArray plain = plainReport(0x0B, {7});
    QVERIFY(lines.contains("SET_FEATURE " + DeviceRig::hex(wireReport(plain, true, "Qw3rty"))));
    QVERIFY(!lines.contains("SET_FEATURE " + DeviceRig::hex(plain)));
    QCOMPARE(mouse->state().dpiStage553, 7);
    QCOMPARE(mouse->state().rejectedReports, 0);
}

void tst_Transport::failTextsWhenTheBusStaysBusy_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    const char *rows[][2] = {
        {"553:00", "cmd Failed 00 "},     {"553:01", "cmd Failed 01 "},
        {"553:02", "cmd Failed 02 "},     {"553:03", "cmd Failed 03 "},
        {"553:04", "cmd Failed 04 "},     {"553:0B", "cmd Failed 0B "},
        {"553:0C", "cmd Failed 0C "},     {"553:0D", "cmd Failed 0D "},
        {"553:10t0", "cmd Failed 10 "},   {"553:11", "cmd Failed 11 "},
        {"553:12", "cmd Failed 12 "},     {"553:13", "cmd Failed 13 "},
        {"553:82dpi", "cmd Failed 8BH "}, {"553:82right", "cmd Failed 82H "},
        {"553:83", "cmd Failed 83 "},     {"560:01", "cmd Failed 01 "},
        {"560:02", "cmd Failed 02 "},     {"560:03", "cmd Failed 03 "},
        {"560:04", "cmd Failed 04 "},     {"560:0C", "cmd Failed 0C "},
        {"560:0D", "cmd Failed 0D "},     {"560:0F", "cmd Failed 0F "},
        {"560:81", "cmd Failed 81 "},     {"560:82", "cmd Failed 82 "},
        {"560:84", "cmd Failed 84 "},     {"560:8C", "cmd Failed 8c "},
    };
    for (auto &r : rows)
        QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
}

void tst_Transport::failTextsWhenTheBusStaysBusy()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    DeviceRig rig;
    QVERIFY(rig.attach());
    rig.clearTrace();
    rig.hid.idle = false; // another command holds the bus and never lets go
    DebugCapture cap;
    const QByteArray got = runCommand(rig.hid, key);
    QCOMPARE(cap.lines(), QStringList{text});
    QVERIFY(rig.transfers().isEmpty());
    QCOMPARE(rig.delays(), QList<int>(Hid_Thread::kIdlePolls, 8));
    if (key == "560:8C")
        QCOMPARE(got, QByteArray(128, '\x55'));
    else if (key == "553:00")
        QCOMPARE(got, QByteArray(4, '\0'));
    else if (!got.isEmpty() && key != "560:84")
        QCOMPARE(got, QByteArray(got.size(), '\x09'));
    QVERIFY(!rig.hid.idle);
}

void tst_Transport::busyBusNeverPassesTheHandshake()
{
    DeviceRig rig;
    QVERIFY(rig.attach());
    rig.hid.idle = false;
    DebugCapture cap;
    QVERIFY(!rig.hid.chkDeviceIsEnCode(1));
    QVERIFY(cap.contains("cmd Failed 00 "));
}

void tst_Transport::emptyPathReturnsQuietly()
{
    DeviceRig rig;
    QVERIFY(rig.attach());
    rig.hid.devices[1]->path.clear();
    rig.clearTrace();
    DebugCapture cap;
    for (const QString key : {"553:0B", "553:13", "553:83", "560:8C"})
        runCommand(rig.hid, key);
    QVERIFY(rig.trace().isEmpty());
    QVERIFY(cap.lines().isEmpty());
    QVERIFY(rig.hid.idle);
}

void tst_Transport::failedGetsKeepPresets_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("reply fails") << "get";
    QTest::newRow("open fails") << "open";
    QTest::newRow("unplugged") << "unplug";
}

void tst_Transport::failedGetsKeepPresets()
{
    QFETCH(QString, fault);
    for (Family f : {Family::F553, Family::F560}) {
        DeviceRig::Options o;
        o.family = f;
        DeviceRig rig(o);
        QVERIFY(rig.attach());
        seedMouse(*rig.mouse);
        VirtualMouse::Faults faults;
        faults.failGetFeature = fault == "get";
        faults.failOpen = fault == "open";
        rig.mouse->setFaults(faults);
        if (fault == "unplug") rig.mouse->unplug();
        const QStringList keys = f == Family::F553
                                     ? QStringList{"553:82dpi", "553:82right", "553:83", "553:00"}
                                     : QStringList{"560:81", "560:82", "560:84", "560:8C"};
        for (const QString &key : keys) {
            rig.hid.devices[1]->path = QString::fromLatin1(rig.mouse->commandPath());
            const QByteArray got = runCommand(rig.hid, key, QByteArray::fromHex("03090909"));
            if (key == "553:00")
                QCOMPARE(got, QByteArray(4, '\0'));
            else if (key == "560:8C")
                QCOMPARE(got, QByteArray(128, '\x55'));
            else if (key == "560:84")
                QCOMPARE(got.toHex(), QByteArray("0209"));
            else
                QCOMPARE(got.toHex(), QByteArray::fromHex("03090909").left(got.size()).toHex());
            QVERIFY(rig.hid.idle);
        }
    }
}

void tst_Transport::oddRepliesAreTakenAsTheyCome_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("results");
    QTest::newRow("empty keeps every preset") << QByteArray() << QByteArray::fromHex("09090909");
    QTest::newRow("short fills what came")
        << QByteArray::fromHex("008301") << QByteArray::fromHex("01090909");
    QTest::newRow("long is cut to nine bytes")
        << QByteArray::fromHex("0083a1a2a3a4a5a6a7a8a9aaabacadae") + QByteArray(200, 'x')
        << QByteArray::fromHex("a1a2a3a4");
    QTest::newRow("garbage is taken unchecked")
        << QByteArray::fromHex("ff00deadbeef000000") << QByteArray::fromHex("deadbeef");
}

void tst_Transport::oddRepliesAreTakenAsTheyCome()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, results);
    DeviceRig rig;
    QVERIFY(rig.attach());
    VirtualMouse::Faults faults;
    faults.replyFilter = [reply](quint8, const QByteArray &) { return reply; };
    rig.mouse->setFaults(faults);
    QCOMPARE(runCommand(rig.hid, "553:83").toHex(), results.toHex());
    QVERIFY(rig.hid.idle);
}

void tst_Transport::readBackIsBounded()
{
    DeviceRig::Options o;
    o.family = Family::F560;
    DeviceRig rig(o);
    QVERIFY(rig.attach());
    VirtualMouse::Faults faults;
    faults.muteReadBack = true;
    rig.mouse->setFaults(faults);
    rig.hid.readBackTimeoutMs = 100;
    rig.clearTrace();
    QElapsedTimer t;
    t.start();
    const QByteArray got = runCommand(rig.hid, "560:8C");
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(got, QByteArray(128, '\x55'));
    QVERIFY(rig.hid.idle);
    QVERIFY(!rig.hid.devices[1]->path.isEmpty()); // still there, just silent
    // The same device answers the next command as usual.
    faults.muteReadBack = false;
    rig.mouse->setFaults(faults);
    QCOMPARE(runCommand(rig.hid, "560:8C"), toBytes(rig.mouse->state().profiles[3]));
    QCOMPARE(Hid_Thread::kDefaultReadBackTimeoutMs, 1000);
}

void tst_Transport::unplugMidExchange_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("transfers"); // transfers of the whole exchange
    QTest::newRow("set") << "553:0B" << 1;
    QTest::newRow("get") << "553:83" << 2;
    QTest::newRow("128-byte payload") << "560:0C" << 5;
    QTest::newRow("read-back") << "560:8C" << 6;
}

void tst_Transport::unplugMidExchange()
{
    QFETCH(QString, key);
    QFETCH(int, transfers);
    for (int n = 0; n < transfers; ++n) {
        DeviceRig::Options o;
        o.family = key.startsWith("560") ? Family::F560 : Family::F553;
        DeviceRig rig(o, true);
        QVERIFY(rig.attach());
        VirtualMouse::Faults faults;
        faults.unplugAfterTransfers = n;
        rig.mouse->setFaults(faults);
        const QByteArray before = toBytes(rig.mouse->state().profiles[2]);
        QElapsedTimer t;
        t.start();
        const QByteArray got = runCommand(rig.hid, key);
        QVERIFY(t.elapsed() < 1000);
        QVERIFY2(rig.hid.idle, qPrintable(QString::number(n)));
        QVERIFY2(rig.hid.devices[1]->path.isEmpty(), qPrintable(QString::number(n)));
        QVERIFY(rig.hid.cmdHandle == nullptr);
        if (key == "560:8C") QCOMPARE(got, QByteArray(128, '\x55'));
        if (key == "560:0C") QCOMPARE(toBytes(rig.mouse->state().profiles[2]), before);
        // Plugged in again, the next check connects and commands work.
        rig.mouse->replug();
        QVERIFY(rig.check().connected);
        rig.hid.hid553_0BH_SetCurrentDPI(2);
        rig.hid.hid560_04H_SetCurrentDPI(2);
        const auto s = rig.mouse->state();
        QVERIFY(s.dpiStage553 == 2 || s.dpiStage560[1] == 2);
    }
}

void tst_Transport::unusableReportLengthIsRefused_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -32;
    QTest::newRow("huge") << 1000000;
}

void tst_Transport::unusableReportLengthIsRefused()
{
    QFETCH(int, reportLength);
    DeviceRig rig;
    QVERIFY(rig.attach());
    rig.hid.devices[1]->reportLength = reportLength;
    rig.clearTrace();
    QElapsedTimer t;
    t.start();
    runCommand(rig.hid, "553:13");
    QVERIFY(t.elapsed() < 1000);
    QVERIFY(rig.transfers().isEmpty());
    QVERIFY(rig.hid.idle);
    // Commands without a payload do not depend on it.
    runCommand(rig.hid, "553:0B");
    QCOMPARE(rig.mouse->state().dpiStage553, 3);
}

void tst_Transport::profileOfTheBridgeTravels()
{
    DeviceRig::Options o;
    o.family = Family::F560;
    DeviceRig rig(o);
    QVERIFY(rig.attach());
    rig.host.currentProfile = 0;
    rig.clearTrace();
    rig.hid.hid560_03H_SetReportRate(0x33);
    QCOMPARE(rig.transfers().first(),
             "SET_FEATURE " + DeviceRig::hex(plainReport(0x03, {1, 0x33})));
    rig.host.currentProfile = 255; // index + 1 taken in 8 bits
    rig.clearTrace();
    rig.hid.hid560_04H_SetCurrentDPI(4);
    QCOMPARE(rig.transfers().first(), "SET_FEATURE " + DeviceRig::hex(plainReport(0x04, {0, 4})));
    // 84 sends the profile it is given and takes the reply's.
    uchar profile = 3, stage = 0;
    rig.hid.hid560_84H_GetCurrentDPI(profile, stage);
    QCOMPARE(int(profile), 3);
    QCOMPARE(int(stage), int(rig.mouse->state().dpiStage560[3]));
}

QTEST_GUILESS_MAIN(tst_Transport)
#include "tst_transport.moc"
