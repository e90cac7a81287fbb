// The event reader on its pool thread: what each event report does to the
// window side, removal, stopping, restarting and the notification texts.
#include "DeviceRig.h"
#include "settings/DpiNotifications.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{
using Family = VirtualMouse::Family;
const QStringList kTexts{"one", "two", "three", "four", "five", "six", "seven", "eight"};
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
}

// Pushes a report that always shows, and waits for it: everything pushed
// before it has then been handled.
void settle(DeviceRig &rig)
{
    rig.mouse->pushEvent(QByteArray::fromHex("0607004d"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains(kSentinelCall), 2000);
}

// The sentinel's two calls come last; drop them.
QStringList withoutSentinel(QStringList calls)
{
    const int at = int(calls.lastIndexOf(kSentinelCall));
    if (at >= 0) calls = calls.mid(0, at) + calls.mid(at + 2);
    return calls;
}
} // namespace

class tst_EventReader : public QObject
{
    Q_OBJECT
private slots:
    void init() { DpiNotifications::replace(kTexts); }
    void cleanup() { DpiNotifications::resetToDefaults(); }
    void reports_data();
    void reports();
    void defaultTextUntilReplaced();
    void buttonAndFlagOnTheMouse();
    void optionsBitPerFamily_data();
    void optionsBitPerFamily();
    void unplugDisablesTheViewWithinOneTurn();
    void stopEndsTheLoopWithinOneTurn();
    void restartNeverRunsTwoLoops();
    void readerWithoutEventInterfaceEnds();
    void failingReadIsARemoval();
    void textsReplacedWhileTheReaderReads();
};

void tst_EventReader::reports_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("debug");
    QTest::newRow("06 07 stage 3")
        << QByteArray::fromHex("06070003")
        << QStringList{"setCurrentDPI 3", "tray Info| three|10000"} << QStringList{};
    QTest::newRow("06 07 stage 1")
        << QByteArray::fromHex("06070001") << QStringList{"setCurrentDPI 1", "tray Info| one|10000"}
        << QStringList{};
    QTest::newRow("06 07 stage 7")
        << QByteArray::fromHex("06070007")
        << QStringList{"setCurrentDPI 7", "tray Info| seven|10000"} << QStringList{};
    QTest::newRow("06 07 stage 0 shows the eighth")
        << QByteArray::fromHex("06070000")
        << QStringList{"setCurrentDPI 0", "tray Info| eight|10000"} << QStringList{};
    QTest::newRow("06 07 stage 9 shows the eighth")
        << QByteArray::fromHex("06070009")
        << QStringList{"setCurrentDPI 9", "tray Info| eight|10000"} << QStringList{};
    QTest::newRow("06 07 ignores byte 2")
        << QByteArray::fromHex("0607ff02") << QStringList{"setCurrentDPI 2", "tray Info| two|10000"}
        << QStringList{};
    QTest::newRow("06 0D 01 sets the flag")
        << QByteArray::fromHex("060d0100") << QStringList{"right true", "runUI"}
        << QStringList{"test 1"};
    QTest::newRow("06 0D 00 clears the flag")
        << QByteArray::fromHex("060d0000") << QStringList{"right false", "runUI"}
        << QStringList{"test 0"};
    QTest::newRow("06 0D 05 is true")
        << QByteArray::fromHex("060d0509") << QStringList{"right true", "runUI"}
        << QStringList{"test 5"};
    QTest::newRow("05 07 is ignored")
        << QByteArray::fromHex("05070002") << QStringList{} << QStringList{};
    QTest::newRow("other event code is ignored")
        << QByteArray::fromHex("06090002") << QStringList{} << QStringList{};
    QTest::newRow("3-byte read is ignored")
        << QByteArray::fromHex("060700") << QStringList{} << QStringList{};
    QTest::newRow("empty read is ignored") << QByteArray() << QStringList{} << QStringList{};
    QTest::newRow("longer report is cut to four bytes")
        << QByteArray::fromHex("06070004ffff")
        << QStringList{"setCurrentDPI 4", "tray Info| four|10000"} << QStringList{};
}

void tst_EventReader::reports()
{
    QFETCH(QByteArray, report);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, debug);
    DeviceRig rig;
    startReader(rig);
    rig.host.clear();
    DebugCapture cap;
    rig.mouse->pushEvent(report);
    settle(rig);
    QCOMPARE(withoutSentinel(rig.host.calls()), calls);
    QCOMPARE(cap.lines(), debug);
    QVERIFY(rig.hid.readerRunning);
}

void tst_EventReader::defaultTextUntilReplaced()
{
    DpiNotifications::resetToDefaults();
    DeviceRig rig;
    startReader(rig);
    rig.host.clear();
    rig.mouse->pushEvent(QByteArray::fromHex("06070002"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains("tray Info| DPI Switch to|10000"), 2000);
}

void tst_EventReader::buttonAndFlagOnTheMouse()
{
    for (Family f : {Family::F553, Family::F560}) {
        DeviceRig::Options o;
        o.family = f;
        DeviceRig rig(o);
        startReader(rig);
        rig.host.clear();
        rig.mouse->pressDpiButton(); // stage 1 -> 2
        rig.mouse->setRight(true);
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.calls().size(), 4, 2000);
        QCOMPARE(rig.host.calls(),
                 (QStringList{"setCurrentDPI 2", "tray Info| two|10000", "right true", "runUI"}));
        QVERIFY(rig.mouse->state().right);
    }
}

void tst_EventReader::optionsBitPerFamily_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QStringList>("transfers");
    QTest::newRow("553: 83 then 03 with 0x40 in the fourth byte")
        << int(Family::F553)
        << QStringList{"SET_FEATURE " + DeviceRig::hex(plainReport(0x83, {})),
                       "GET_FEATURE 00 83 11 22 33 44 00 00 " +
                           DeviceRig::hex(plainReport(0x83, {0x11, 0x22, 0x33, 0x44}).right(1)),
                       "SET_FEATURE " +
                           DeviceRig::hex(plainReport(0x03, {0x11, 0x22, 0x33, 0x44}))};
    QTest::newRow("560: 81 then 01 with 0x08 in the first byte")
        << int(Family::F560)
        << QStringList{"SET_FEATURE " + DeviceRig::hex(plainReport(0x81, {})),
                       "GET_FEATURE 00 81 51 52 00 00 00 00 " +
                           DeviceRig::hex(plainReport(0x81, {0x51, 0x52}).right(1)),
                       "SET_FEATURE " + DeviceRig::hex(plainReport(0x01, {0x59, 0x52}))};
}

void tst_EventReader::optionsBitPerFamily()
{
    QFETCH(int, family);
    QFETCH(QStringList, transfers);
    DeviceRig::Options o;
    o.family = Family(family);
    DeviceRig rig(o);
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

void tst_EventReader::unplugDisablesTheViewWithinOneTurn()
{
    DeviceRig rig;
    startReader(rig);
    QTest::qWait(100);
    rig.host.clear();
    DebugCapture cap;
    QElapsedTimer t;
    t.start();
    rig.mouse->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains("viewEnabled false"), 1000);
    QVERIFY2(t.elapsed() <= Hid_Thread::kEventReadMs + kSlackMs,
             qPrintable(QString::number(t.elapsed())));
    QVERIFY(!rig.hid.readerRunning);
    QVERIFY(cap.contains("Device removed"));
    rig.hid.waitForReader();
    QVERIFY(rig.hid.devices[1]->path2.isEmpty());
    QCOMPARE(rig.host.calls(), (QStringList{"viewEnabled false", "deviceRemoved"}));
}

void tst_EventReader::stopEndsTheLoopWithinOneTurn()
{
    DeviceRig rig;
    startReader(rig);
    QTest::qWait(120); // inside a read now
    QElapsedTimer t;
    t.start();
    rig.hid.stopEventReader();
    rig.hid.waitForReader();
    QVERIFY2(t.elapsed() <= Hid_Thread::kEventReadMs + kSlackMs,
             qPrintable(QString::number(t.elapsed())));
    QVERIFY(rig.hid.readerFuture.isFinished());
    QVERIFY(!rig.hid.readerRunning);
    QCOMPARE(rig.mouse->state().openEventHandles, 0);
    // Nothing was removed: the path stays for the next connection.
    QVERIFY(!rig.hid.devices[1]->path2.isEmpty());
}

void tst_EventReader::restartNeverRunsTwoLoops()
{
    DeviceRig rig;
    QVERIFY(rig.attach());
    for (int i = 0; i < 4; ++i) {
        rig.hid.startEventReader(1);
        QTest::qWait(30 * i);
    }
    rig.host.clear();
    QTRY_COMPARE_WITH_TIMEOUT(rig.mouse->state().openEventHandles, 1, 2000);
    rig.mouse->pushEvent(QByteArray::fromHex("06070005"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains("setCurrentDPI 5"), 2000);
    QTest::qWait(50);
    // One loop, one read: the report is handled once.
    QCOMPARE(rig.host.count("setCurrentDPI 5"), 1);
    QCOMPARE(rig.mouse->state().maxOpenEventHandles, 1);
}

void tst_EventReader::readerWithoutEventInterfaceEnds()
{
    DeviceRig rig;
    QVERIFY(rig.attach());
    rig.hid.devices[1]->path2.clear();
    rig.hid.startEventReader(1);
    rig.hid.waitForReader();
    QVERIFY(!rig.hid.readerRunning);
    QVERIFY(rig.host.calls().isEmpty());
    // An index the list does not have ends the same way.
    rig.hid.startEventReader(7);
    rig.hid.waitForReader();
    QVERIFY(!rig.hid.readerRunning);
}

void tst_EventReader::failingReadIsARemoval()
{
    // The kernel fails the read before udev removes the node: the device is
    // gone all the same, and the loop neither spins nor waits for the node.
    DeviceRig rig;
    startReader(rig);
    rig.host.clear();
    DebugCapture cap;
    rig.mouse->unplugKeepingNodes();
    QTRY_VERIFY_WITH_TIMEOUT(rig.host.calls().contains("deviceRemoved"), 1000);
    QVERIFY(cap.contains("Device removed"));
    QVERIFY(!rig.hid.readerRunning);
    QCOMPARE(rig.mouse->state().eventOpens, 1);
    QVERIFY(rig.mouse->exists(rig.mouse->eventPath()));
}

void tst_EventReader::textsReplacedWhileTheReaderReads()
{
    DeviceRig rig;
    startReader(rig);
    rig.host.clear();
    for (int i = 0; i < 200; ++i) {
        rig.mouse->pushEvent(QByteArray::fromHex("06070003"));
        DpiNotifications::replace({"a", "b", i % 2 ? "odd" : "even"});
    }
    QTRY_COMPARE_WITH_TIMEOUT(rig.host.count("setCurrentDPI 3"), 200, 5000);
    for (const QString &c : rig.host.calls())
        if (c.startsWith("tray"))
            QVERIFY2(c == "tray Info| odd|10000" || c == "tray Info| even|10000" ||
                         c == "tray Info| three|10000",
                     qPrintable(c));
}

QTEST_GUILESS_MAIN(tst_EventReader)
#include "tst_eventreader.moc"
