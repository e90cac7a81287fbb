// From the device table to a connection and its events: the table (bad
// input included), the check's steps, the permission hint, and the event
// reader on its pool thread. Removal is seen from the window (tst_worker_thread).
#include "DeviceRig.h"
#include "settings/DpiNotifications.h"

#include <QElapsedTimer>
#include <QtTest>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace
{
using Family = VirtualMouse::Family;
const QString kTable = QStringLiteral("modules/setting/apConfig.bin");

DeviceList readText(const QByteArray &ini)
{
    TestData data;
    data.write(kTable, ini);
    return DeviceTable::readFile();
}
DeviceRig::Options options(Family f, bool enc = false) { return {f, 32, enc, "731952"}; }

struct Field {
    const char *tag;
    QByteArray section;
    QList<int> values; // type, vid, usagePage, reportLength, isEncode
    const char *sCode;
};
// clang-format off
const Field kFields[] = {
    {"upper case, leading zeros", "type=01\nvid=04D9\nusagePage=00FF00\n", {1, 0x04d9, 0xff00, 32, 0}, "731952"},
    {"defaults", "", {-1, 0, 0, 32, 0}, "731952"},
    {"non-hex ids are 0", "type=zz\nvid=g123\nusagePage=-\n", {0, 0, 0, 32, 0}, "731952"},
    {"cipher and code", "isEncode=true\nsCode=ABCDEF\n", {-1, 0, 0, 32, 1}, "ABCDEF"},
    {"garbage reportLength is 0", "reportLength=6x4\n", {-1, 0, 0, 0, 0}, "731952"},
};
// clang-format on

struct Garbage {
    const char *tag;
    QByteArray table;
    bool connects;
};
const Garbage kGarbage[] = {
    // Ids of 0 enumerate every device: the mouse's usages then find it.
    {"non-hex ids, the mouse's usages",
     "[common]\ndeviceCount=1\n[0]\nvid=zz\npid=??\nusagePage=ff00\nusage=ff00\n", true},
    {"binary junk", QByteArray("\x01\x02\xff[[[=\n\0\0deviceCount", 20), false},
    {"no table file", "remove", false},
    {"largest row count is capped", "[common]\ndeviceCount=2147483647\n", false},
};
const QString kSentinelCall = QStringLiteral("setCurrentDPI 77");
const QByteArray kSentinel = QByteArray::fromHex("0607004d");
// Room for a busy machine (or a sanitizer) to schedule the pool thread.
constexpr int kSlackMs = 250;

// Starts the reader on an attached mouse the way a check would.
void startReader(DeviceRig &rig)
{
    QVERIFY(rig.attach());
    rig.hid.startEventReader(1);
    // Like hidraw, the mouse keeps nothing for a handle not yet open.
    QTRY_COMPARE_WITH_TIMEOUT(rig.mouse->state().openEventHandles, 1, 2000);
    rig.host.clear();
}
QString tray(const char *text) { return QStringLiteral("tray Info| %1|10000").arg(QLatin1String(text)); }

struct Report {
    const char *tag;
    const char *report;
    QStringList calls;
    QStringList debug;
};
// clang-format off
const Report kReports[] = {
    {"stage 1", "06070001", {"setCurrentDPI 1", tray("one")}, {}},
    {"stage 9 shows the eighth", "06070009", {"setCurrentDPI 9", tray("eight")}, {}},
    {"cut to four bytes", "06070004ffff", {"setCurrentDPI 4", tray("four")}, {}},
    {"0D 01 sets the flag", "060d0100", {"right true", "runUI"}, {"test 1"}},
    {"0D 00 clears it", "060d0000", {"right false", "runUI"}, {"test 0"}},
    {"other code ignored", "06090002", {}, {}},
    {"short report ignored", "060700", {}, {}},
};
// clang-format on
} // namespace

class tst_DeviceDetection : public QObject
{
    Q_OBJECT
private slots:
    void fields_data() { addRows(kFields); }
    void fields()
    {
        ROW(kFields);
        const DeviceList l = readText("[common]\ndeviceCount=1\n[0]\n" + r.section);
        QCOMPARE(l.size(), 1);
        QCOMPARE(QList<int>({l[0]->type, l[0]->vid, l[0]->usagePage, l[0]->reportLength, l[0]->isEncode}), r.values);
        QCOMPARE(l[0]->sCode, QLatin1String(r.sCode));
        QCOMPARE(DeviceTable::mouseRow(l) != nullptr, r.values[0] == 1); // the mouse is the type-1 row
    }

    void connects_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<bool>("isEncode");
        QTest::newRow("553 plain") << int(Family::F553) << false;
        QTest::newRow("560 enciphered") << int(Family::F560) << true;
    }

    void connects()
    {
        QFETCH(int, family);
        QFETCH(bool, isEncode);
        DeviceRig rig(options(Family(family), isEncode), true);
        rig.mouse->modifyState([](VirtualMouse::State &s) {
            s.options553 = {0x01, 0x02, 0x03, 0x04};
            s.options560 = {0x21, 0x22};
        });
        DebugCapture cap;
        const DeviceCheck::Result r = rig.check();
        QVERIFY(r.connected && rig.hid.readerRunning && rig.hid.curDevice == 1);
        QCOMPARE(cap.lines(), QStringList{"Device Connect"});
        const VirtualMouse::State s = rig.mouse->state();
        QStringList expected{"clearHidBusy", "deviceConnected true", "tray Info|Detect Device|10000"};
        if (Family(family) == Family::F553) {
            QCOMPARE(s.commands, (QList<quint8>{0x00, 0x83, 0x03}));
            QCOMPARE(toBytes(s.options553).toHex(), QByteArray("01020344"));
        } else {
            QCOMPARE(s.commands, (QList<quint8>{0x00, 0x81, 0x01, 0x8C, 0x8C, 0x8C, 0x8C}));
            QCOMPARE(toBytes(s.options560).toHex(), QByteArray("2922"));
            expected << "readProfile 0" << "readProfile 1" << "readProfile 2" << "readProfile 3";
            QCOMPARE(rig.host.images[3], s.profiles[3]);
        }
        QCOMPARE(rig.host.calls(), expected << "viewEnabled true" << "initUI");
    }

    void garbageTableIsQuick_data() { addRows(kGarbage); }
    void garbageTableIsQuick()
    {
        ROW(kGarbage);
        DeviceRig rig(options(Family::F553), true);
        if (r.table == "remove")
            QVERIFY(QFile::remove(rig.data->path(kTable))); // a missing table is an empty one
        else
            rig.data->write(kTable, r.table);
        QElapsedTimer t;
        t.start();
        DebugCapture cap;
        QCOMPARE(rig.check().connected, r.connects);
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rig.mouse->state().handshakes, r.connects ? 1 : 0);
        if (!r.connects) QCOMPARE(rig.host.calls(), (QStringList{"deviceConnected false", "initUI"}));
        if (r.table == "remove") QVERIFY(!QFile::exists(rig.data->path(kTable)));
    }

    void rowOrder()
    {
        const QByteArray row = "type=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n";
        const QByteArray events = "usagePage2=ff01\nusage2=ff01\n";
        // Both rows describe the same mouse: the lower index wins.
        DeviceRig same(options(Family::F553), true);
        same.data->write(kTable, "[common]\ndeviceCount=2\n[0]\n" + row + events + "[1]\n" + row + events);
        QCOMPARE(same.check().index, 0);
        QCOMPARE(same.mouse->state().handshakes, 1);
        // Row 0 matches the interfaces but has the wrong code: row 1 answers.
        DeviceRig rig(options(Family::F553, true), true);
        rig.data->write(kTable, "[common]\ndeviceCount=2\n[0]\n" + row + "isEncode=true\nsCode=999999\n[1]\n" +
                                    row + events + "isEncode=true\nsCode=731952\n");
        const DeviceCheck::Result r = rig.check();
        QVERIFY(r.connected);
        QCOMPARE(r.index, 1);
        QCOMPARE(rig.mouse->state().rejectedReports, 1);
    }

    void permissionHintOncePerPlugIn()
    {
        DeviceRig rig(options(Family::F553), true);
        VirtualMouse::Faults f;
        f.accessDenied = true;
        rig.mouse->setFaults(f);
        const QString hint = "tray Info|" + DeviceCheck::permissionHint() + "|10000";
        DebugCapture cap;
        DeviceCheck::Result r = rig.check();
        QVERIFY(!r.connected && r.hintShown);
        QVERIFY(cap.lines().first().contains("permission denied"));
        QVERIFY(!rig.check().hintShown); // same plug-in: quiet
        QCOMPARE(rig.host.count(hint), 1);
        rig.mouse->unplug();
        QVERIFY(!rig.check().hintShown);
        rig.mouse->replug();
        QVERIFY(rig.check().hintShown); // plugged in again: the hint comes back once
        f.accessDenied = false;         // after the install: connects, no hint
        rig.mouse->setFaults(f);
        QVERIFY(rig.check().connected);
        QCOMPARE(rig.host.count(hint), 2);
    }

    void init() { DpiNotifications::replace({"one", "two", "three", "four", "five", "six", "seven", "eight"}); }
    void cleanup() { DpiNotifications::resetToDefaults(); }
    void reports_data() { addRows(kReports); }
    void reports()
    {
        ROW(kReports);
        DeviceRig rig;
        startReader(rig);
        DebugCapture cap;
        rig.mouse->pushEvent(QByteArray::fromHex(r.report));
        // Once the sentinel behind it is handled, so is the report under test.
        rig.mouse->pushEvent(kSentinel);
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains(kSentinelCall), 2000);
        QCOMPARE(rig.host.calls().mid(0, rig.host.calls().size() - 2), r.calls);
        QCOMPARE(cap.lines(), r.debug);
        QVERIFY(rig.hid.readerRunning);
    }

    // Restarts never run two loops; a stop ends the one at once.
    void restartAndStop()
    {
        DeviceRig rig;
        QVERIFY(rig.attach());
        for (int i = 0; i < 4; ++i) {
            rig.hid.startEventReader(1);
            QTest::qWait(30 * i);
        }
        QTRY_COMPARE_WITH_TIMEOUT(rig.mouse->state().openEventHandles, 1, 2000);
        rig.mouse->pushEvent(QByteArray::fromHex("06070005"));
        rig.mouse->pushEvent(kSentinel);
        QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains(kSentinelCall), 2000);
        QCOMPARE(rig.host.count("setCurrentDPI 5"), 1); // one loop, one read
        QCOMPARE(rig.mouse->state().maxOpenEventHandles, 1);
        rig.host.clear();
        QElapsedTimer t;
        t.start();
        rig.hid.stopEventReader();
        rig.hid.waitForReader();
        // The reader waits without a time-out; a stop wakes it.
        QVERIFY2(t.elapsed() <= kSlackMs, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!rig.hid.readerRunning);
        QCOMPARE(rig.mouse->state().openEventHandles, 0);
        // With an index the list lacks, a new reader ends at once.
        rig.hid.startEventReader(7);
        rig.hid.waitForReader();
        QVERIFY(!rig.hid.readerRunning && rig.host.calls().isEmpty());
    }

    // The real device's read, on a pipe standing in for the node: a report,
    // a time-out, a wake that lasts, and the hang-up of a vanished device.
    void nodeReadWakes()
    {
        int node[2], wake[2];
        QVERIFY(pipe2(node, O_NONBLOCK) == 0 && pipe2(wake, O_NONBLOCK) == 0);
        std::array<quint8, 4> buf{};
        QCOMPARE(::write(node[1], "\x06\x07\x00\x05", 4), ssize_t(4));
        QCOMPARE(HidapiBackend::readNode(node[0], wake[0], buf.data(), buf.size(), -1), 4);
        QCOMPARE(buf[3], quint8(5));
        QCOMPARE(HidapiBackend::readNode(node[0], wake[0], buf.data(), buf.size(), 20), 0);
        ssize_t woke = 0;
        std::thread waker([&] { QThread::msleep(50); woke = ::write(wake[1], "w", 1); });
        QElapsedTimer t;
        t.start();
        QCOMPARE(HidapiBackend::readNode(node[0], wake[0], buf.data(), buf.size(), -1), 0);
        waker.join();
        QCOMPARE(woke, ssize_t(1));
        QVERIFY2(t.elapsed() < kSlackMs, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(HidapiBackend::readNode(node[0], wake[0], buf.data(), buf.size(), -1), 0);
        ::close(node[1]);
        QCOMPARE(HidapiBackend::readNode(node[0], -1, buf.data(), buf.size(), -1), -1);
        for (int fd : {node[0], wake[0], wake[1]}) ::close(fd);
    }
};

QTEST_GUILESS_MAIN(tst_DeviceDetection)
#include "tst_device_detection.moc"
