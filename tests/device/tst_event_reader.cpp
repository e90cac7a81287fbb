// The event reader on its pool thread: what each event report does to the
// window side, removal and stop within one read turn, restarts, and the
// notification texts.
#include "DeviceRig.h"
#include "settings/DpiNotifications.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{
using Family = VirtualMouse::Family;
const QString kSentinelCall = QStringLiteral("setCurrentDPI 77");
// Room for a busy machine (or a sanitizer) to schedule the pool thread.
constexpr int kSlackMs = 250;

// Starts the reader on an attached mouse the way a check would.
void startReader(DeviceRig &rig)
{
    QVERIFY(rig.attach());
    rig.hid.startEventReader(1);
    QVERIFY(rig.hid.readerRunning);
    // Like hidraw, the mouse keeps nothing for a handle not yet open.
    QTRY_COMPARE_WITH_TIMEOUT(rig.mouse->state().openEventHandles, 1, 2000);
    rig.host.clear();
}

struct Report {
    const char *tag;
    QByteArray report;
    QStringList calls;
    QStringList debug;
};
const QString kTray = QStringLiteral("tray Info| %1|10000");
const Report kReports[] = {
    {"06 07 stage 3", QByteArray::fromHex("06070003"), {"setCurrentDPI 3", kTray.arg("three")}, {}},
    {"06 07 stage 1", QByteArray::fromHex("06070001"), {"setCurrentDPI 1", kTray.arg("one")}, {}},
    {"06 07 stage 7", QByteArray::fromHex("06070007"), {"setCurrentDPI 7", kTray.arg("seven")}, {}},
    {"06 07 stage 0 shows the eighth", QByteArray::fromHex("06070000"), {"setCurrentDPI 0", kTray.arg("eight")}, {}},
    {"06 07 stage 9 shows the eighth", QByteArray::fromHex("06070009"), {"setCurrentDPI 9", kTray.arg("eight")}, {}},
    {"06 07 ignores byte 2", QByteArray::fromHex("0607ff02"), {"setCurrentDPI 2", kTray.arg("two")}, {}},
    {"longer report is cut to four bytes", QByteArray::fromHex("06070004ffff"), {"setCurrentDPI 4", kTray.arg("four")}, {}},
    {"06 0D 01 sets the flag", QByteArray::fromHex("060d0100"), {"right true", "runUI"}, {"test 1"}},
    {"06 0D 00 clears the flag", QByteArray::fromHex("060d0000"), {"right false", "runUI"}, {"test 0"}},
    {"06 0D 05 is true", QByteArray::fromHex("060d0509"), {"right true", "runUI"}, {"test 5"}},
    {"05 07 is ignored", QByteArray::fromHex("05070002"), {}, {}},
    {"other event code is ignored", QByteArray::fromHex("06090002"), {}, {}},
    {"3-byte read is ignored", QByteArray::fromHex("060700"), {}, {}},
    {"empty read is ignored", QByteArray(), {}, {}},
};
} // namespace

class tst_EventReader : public QObject
{
    Q_OBJECT
private slots:
    void init() { DpiNotifications::replace({"one", "two", "three", "four", "five", "six", "seven", "eight"}); }
    void cleanup() { DpiNotifications::resetToDefaults(); }
    void reports_data() { addRows(kReports); }
    void reports();
    void buttonAndFlagOnTheMouse();
    void optionsBitPerFamily_data();
    void optionsBitPerFamily();
    void removalWithinOneTurn_data();
    void removalWithinOneTurn();
    void stopEndsTheLoopWithinOneTurn();
    void restartNeverRunsTwoLoops();
    void textsReplacedWhileTheReaderReads();
};

void tst_EventReader::reports()
{
    ROW(kReports);
    DeviceRig rig;
    startReader(rig);
    DebugCapture cap;
    rig.mouse->pushEvent(r.report);
    // A report that always shows, pushed behind: once it is handled, so is
    // the one under test.
    rig.mouse->pushEvent(QByteArray::fromHex("0607004d"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains(kSentinelCall), 2000);
    QCOMPARE(rig.host.calls().mid(0, rig.host.calls().size() - 2), r.calls);
    QCOMPARE(cap.lines(), r.debug);
    QVERIFY(rig.hid.readerRunning);
}

void tst_EventReader::buttonAndFlagOnTheMouse()
{
    for (Family f : {Family::F553, Family::F560}) {
        DeviceRig rig(DeviceRig::Options{f});
        startReader(rig);
        rig.mouse->pressDpiButton(); // stage 1 -> 2
        rig.mouse->setRight(true);
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.calls().size(), 4, 2000);
        QCOMPARE(rig.host.calls(), (QStringList{"setCurrentDPI 2", kTray.arg("two"), "right true", "runUI"}));
        QVERIFY(rig.mouse->state().right);
    }
    // Until a language replaces them, the default text shows.
    DpiNotifications::resetToDefaults();
    DeviceRig rig;
    startReader(rig);
    rig.mouse->pushEvent(QByteArray::fromHex("06070002"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains("tray Info| DPI Switch to|10000"), 2000);
}

void tst_EventReader::optionsBitPerFamily_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QStringList>("transfers");
    const auto set = [](quint8 code, std::array<quint8, 6> p) {
        return "SET_FEATURE " + DeviceRig::hex(plainReport(code, p));
    };
    const auto cs = [](quint8 code, std::array<quint8, 6> p) {
        return DeviceRig::hex(plainReport(code, p).right(1));
    };
    QTest::newRow("553: 83 then 03 with 0x40 in the fourth byte")
        << int(Family::F553)
        << QStringList{set(0x83, {}), "GET_FEATURE 00 83 11 22 33 44 00 00 " + cs(0x83, {0x11, 0x22, 0x33, 0x44}),
                       set(0x03, {0x11, 0x22, 0x33, 0x44})};
    QTest::newRow("560: 81 then 01 with 0x08 in the first byte")
        << int(Family::F560)
        << QStringList{set(0x81, {}), "GET_FEATURE 00 81 51 52 00 00 00 00 " + cs(0x81, {0x51, 0x52}),
                       set(0x01, {0x59, 0x52})};
}

void tst_EventReader::optionsBitPerFamily()
{
    QFETCH(int, family);
    QFETCH(QStringList, transfers);
    DeviceRig rig(DeviceRig::Options{Family(family)});
    rig.mouse->modifyState([](VirtualMouse::State &s) {
        s.options553 = {0x11, 0x22, 0x33, 0x04};
        s.options560 = {0x51, 0x52};
    });
    QVERIFY(rig.attach());
    rig.mouse->modifyState([](VirtualMouse::State &s) { s.options553[3] = 0x44; });
    rig.clearTrace();
    rig.hid.startEventReader(1);
    QCOMPARE(rig.transfers(), transfers);
    QCOMPARE(rig.delays(), QList<int>{8});
}

void tst_EventReader::removalWithinOneTurn_data()
{
    QTest::addColumn<bool>("keepNodes");
    QTest::newRow("nodes go") << false;
    // The kernel fails the read before udev removes the node: gone all the
    // same, and the loop neither spins nor waits for the node.
    QTest::newRow("reads fail first") << true;
}

void tst_EventReader::removalWithinOneTurn()
{
    QFETCH(bool, keepNodes);
    DeviceRig rig;
    startReader(rig);
    DebugCapture cap;
    QElapsedTimer t;
    t.start();
    keepNodes ? rig.mouse->unplugKeepingNodes() : rig.mouse->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains("deviceRemoved"), 1000);
    QVERIFY2(t.elapsed() <= Hid_Thread::kEventReadMs + kSlackMs, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!rig.hid.readerRunning);
    QVERIFY(cap.contains("Device removed"));
    rig.hid.waitForReader();
    QCOMPARE(rig.host.calls(), (QStringList{"viewEnabled false", "deviceRemoved"}));
    QVERIFY(rig.hid.devices[1]->path2.isEmpty());
    QCOMPARE(rig.mouse->state().eventOpens, 1);
    QCOMPARE(rig.mouse->exists(rig.mouse->eventPath()), keepNodes);
}

void tst_EventReader::stopEndsTheLoopWithinOneTurn()
{
    DeviceRig rig;
    startReader(rig);
    QElapsedTimer t;
    t.start();
    rig.hid.stopEventReader();
    rig.hid.waitForReader();
    QVERIFY2(t.elapsed() <= Hid_Thread::kEventReadMs + kSlackMs, qPrintable(QString::number(t.elapsed())));
    QVERIFY(rig.hid.readerFuture.isFinished());
    QVERIFY(!rig.hid.readerRunning);
    QCOMPARE(rig.mouse->state().openEventHandles, 0);
    // Nothing was removed: the path stays for the next connection.
    QVERIFY(!rig.hid.devices[1]->path2.isEmpty());
    // Without an event interface, or with an index the list lacks, a new
    // reader ends at once.
    rig.hid.devices[1]->path2.clear();
    for (int index : {1, 7}) {
        rig.hid.startEventReader(index);
        rig.hid.waitForReader();
        QVERIFY(!rig.hid.readerRunning);
    }
    QVERIFY(rig.host.calls().isEmpty());
}

void tst_EventReader::restartNeverRunsTwoLoops()
{
    DeviceRig rig;
    QVERIFY(rig.attach());
    for (int i = 0; i < 4; ++i) {
        rig.hid.startEventReader(1);
        QTest::qWait(30 * i);
    }
    QTRY_COMPARE_WITH_TIMEOUT(rig.mouse->state().openEventHandles, 1, 2000);
    rig.mouse->pushEvent(QByteArray::fromHex("06070005"));
    rig.mouse->pushEvent(QByteArray::fromHex("0607004d"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains(kSentinelCall), 2000);
    // One loop, one read: the report is handled once.
    QCOMPARE(rig.host.count("setCurrentDPI 5"), 1);
    QCOMPARE(rig.mouse->state().maxOpenEventHandles, 1);
}

void tst_EventReader::textsReplacedWhileTheReaderReads()
{
    DeviceRig rig;
    startReader(rig);
    for (int i = 0; i < 200; ++i) {
        rig.mouse->pushEvent(QByteArray::fromHex("06070003"));
        DpiNotifications::replace({"a", "b", i % 2 ? "odd" : "even"});
    }
    QTRY_COMPARE_WITH_TIMEOUT(rig.host.count("setCurrentDPI 3"), 200, 5000);
    for (const QString &c : rig.host.calls())
        if (c.startsWith("tray"))
            QVERIFY2(c == kTray.arg("odd") || c == kTray.arg("even") || c == kTray.arg("three"), qPrintable(c));
}

QTEST_GUILESS_MAIN(tst_EventReader)
#include "tst_event_reader.moc"
