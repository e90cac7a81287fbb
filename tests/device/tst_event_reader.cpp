// The event reader on its pool thread: event reports, stop and restart, and
// the notification texts. Removal is seen from the window (tst_worker_thread).
#include "DeviceRig.h"
#include "settings/DpiNotifications.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{
using Family = VirtualMouse::Family;
const QString kSentinelCall = QStringLiteral("setCurrentDPI 77");
const QByteArray kSentinel = QByteArray::fromHex("0607004d");
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

class tst_EventReader : public QObject
{
    Q_OBJECT
private slots:
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

    // Restarts never run two loops; a stop ends the one within its turn.
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
        QVERIFY2(t.elapsed() <= Hid_Thread::kEventReadMs + kSlackMs, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!rig.hid.readerRunning);
        QCOMPARE(rig.mouse->state().openEventHandles, 0);
        // With an index the list lacks, a new reader ends at once.
        rig.hid.startEventReader(7);
        rig.hid.waitForReader();
        QVERIFY(!rig.hid.readerRunning && rig.host.calls().isEmpty());
    }

    void textsReplacedWhileTheReaderReads()
    {
        DeviceRig rig;
        startReader(rig);
        for (int i = 0; i < 100; ++i) {
            rig.mouse->pushEvent(QByteArray::fromHex("06070003"));
            DpiNotifications::replace({"a", "b", i % 2 ? "odd" : "even"});
        }
        QTRY_COMPARE_WITH_TIMEOUT(rig.host.count("setCurrentDPI 3"), 100, 5000);
        for (const QString &c : rig.host.calls().filter("tray"))
            QVERIFY2(c == tray("odd") || c == tray("even") || c == tray("three"), qPrintable(c));
    }
};

QTEST_GUILESS_MAIN(tst_EventReader)
#include "tst_event_reader.moc"
