// The window side of the device layer: the worker's queue, the debounce of
// device-change notifications and unplugging under a running window.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/VirtualMouse.h"
#include "testlib/TestData.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QtTest>

namespace
{
using Family = VirtualMouse::Family;

std::shared_ptr<VirtualMouse> plugVirtualMouse(Widget &w, Family f)
{
    auto mouse = VirtualMouse::fromDataFolder(f);
    w.hid.setBackend(mouse);
    w.hid.setDelayFunction([](int) {});
    return mouse;
}

// Runs a check to its end: on the worker, then its window calls, then "initUI".
void checkNow(Widget &w)
{
    w.checkDevice();
    for (int round = 0; round < 3; ++round) {
        w.hid.drain();
        QCoreApplication::processEvents();
    }
}

// The GUI thread's longest pause; a command run on it would stop it for at
// least one output report's delay.
struct GapMeter {
    GapMeter()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { longest = std::max(longest, last.restart()); });
        timer.start(5);
        last.start();
    }
    QTimer timer;
    QElapsedTimer last;
    qint64 longest = 0;
};
} // namespace

class tst_WorkerThread : public QObject
{
    Q_OBJECT
private slots:
    void burstOfNotificationsGivesOneCheck()
    {
        TestData data;
        Widget w;
        DebugCapture cap;
        QElapsedTimer sinceLast;
        for (int i = 0; i < 5; ++i) {
            w.deviceChanged();
            sinceLast.start();
            QTest::qWait(100);
        }
        QTRY_COMPARE_WITH_TIMEOUT(cap.lines().count("Device DisConnect"), 1, 3000);
        QVERIFY2(sinceLast.elapsed() >= 2000, qPrintable(QString::number(sinceLast.elapsed())));
        QVERIFY(!deviceConnected && !w.checkTimer.isActive());

        // Kept while connected, but a check then leaves the live connection alone.
        auto mouse = plugVirtualMouse(w, Family::F553);
        checkNow(w);
        QVERIFY(deviceConnected && w.hid.readerRunning);
        w.deviceChanged();
        QVERIFY(w.checkTimer.isActive());
        w.checkTimer.stop();
        cap.clear();
        checkNow(w);
        QCOMPARE(cap.lines(), QStringList());
        QCOMPARE(mouse->state().handshakes, 1);
    }

    void pageGetsDoNotWait()
    {
        TestData data;
        Widget w;
        auto mouse = plugVirtualMouse(w, Family::F553);
        checkNow(w);
        mouse->modifyState([](VirtualMouse::State &s) { s.dpiStage553 = 3; });
        // The flag lands when the answer is in; a failed command clears it.
        for (const bool plugged : {true, false}) {
            if (!plugged) w.hid.call([&] { w.hid.devices[1]->path.clear(); });
            w.view()->right = !plugged;
            DebugCapture cap;
            QVERIFY(QMetaObject::invokeMethod(w.view(), "mouseGetRight"));
            QTRY_COMPARE(w.view()->right, plugged);
            QCOMPARE(cap.lines(), QStringList{plugged ? "test 3" : "test 0"});
        }
    }

    void commandsWaitTheirTurnAndQuitDropsTheRest()
    {
        // A 560 with its real delays; commands and a DPI press during a profile write.
        TestData data;
        data.write("modules/setting/apConfig.bin", data.read("modules/setting/apConfig.bin").replace("icType=553", "icType=560"));
        auto w = std::make_unique<Widget>();
        w->view()->setSource(QUrl()); // the pages' own loading is not the device's cost
        auto mouse = VirtualMouse::fromDataFolder(Family::F560);
        w->hid.setBackend(mouse);
        GapMeter gaps;
        w->checkDevice();
        QTRY_VERIFY_WITH_TIMEOUT(w->hid.readerRunning, 3000);
        QTRY_COMPARE(mouse->state().openEventHandles, 1);
        DebugCapture cap;
        myQQuickView *v = w->view();
        v->mouseSetProfile(1); // 128 bytes: about 0.75 s
        QTRY_COMPARE(mouse->state().commands.last(), quint8(0x0C));
        v->mouseSetReportRate(2);
        mouse->pressDpiButton();
        v->mouseSetCurrentDPI(3);
        QTRY_VERIFY_WITH_TIMEOUT(v->lastStage == 2, 3000); // the press reached the page
        w->hid.drain();
        QVERIFY2(gaps.longest < Hid_Thread::kOutputReportMs, qPrintable(QString::number(gaps.longest)));
        // One at a time: the payload's chunks all came before the next command.
        const VirtualMouse::State s = mouse->state();
        QCOMPARE(s.commands.mid(s.commands.size() - 3), (QList<quint8>{0x0C, 0x03, 0x04}));
        QCOMPARE(s.unexpectedWrites + s.incompletePayloads + s.rejectedReports, 0);
        QVERIFY2(cap.lines().filter("cmd Failed").isEmpty(), qPrintable(cap.lines().join('\n')));
        // Of four macro writes of about 0.75 s, quitting lets only the one on the wire complete.
        std::array<uchar, 128> macro{};
        for (uchar id = 1; id <= 4; ++id)
            w->hid.hid560_0FH_SetMacroKey(id, macro.data());
        QTRY_VERIFY(mouse->state().commands.contains(0x0F));
        QElapsedTimer t;
        t.start();
        w.reset();
        QVERIFY2(t.elapsed() <= 2000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(mouse->state().commands.count(0x0F), 1);
        QCOMPARE(mouse->state().openCommandHandles, 0);
    }

    void unplugAndReplug_data()
    {
        QTest::addColumn<bool>("replug");
        QTest::newRow("reads fail first, nothing comes back") << false;
        QTest::newRow("back on new nodes") << true;
    }

    void unplugAndReplug()
    {
        QFETCH(bool, replug);
        TestData data;
        Widget w;
        auto mouse = plugVirtualMouse(w, Family::F553);
        checkNow(w);
        QTRY_COMPARE(mouse->state().openEventHandles, 1);
        QTRY_VERIFY_WITH_TIMEOUT(w.view()->isEnabled(), 2500); // "initUI" locks it while pages load
        DebugCapture cap;
        QElapsedTimer t;
        t.start();
        replug ? mouse->unplug() : mouse->unplugKeepingNodes();
        if (replug) mouse->replug(false); // on new nodes
        // Noticed at once, and a check is on its way.
        QTRY_VERIFY_WITH_TIMEOUT(cap.contains("Device removed"), 1000);
        QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
        QTRY_VERIFY(w.checkTimer.isActive());
        QVERIFY(!w.view()->isEnabled());
        if (!replug) mouse->removeNodes();
        w.checkTimer.stop();
        checkNow(w);
        QCOMPARE(cap.lines().count("Device Connect"), replug ? 1 : 0);
        QCOMPARE(cap.lines().count("Device DisConnect"), replug ? 0 : 1);
        // A full check: handshake again, a reader on the nodes.
        QCOMPARE(mouse->state().handshakes, replug ? 2 : 1);
        QCOMPARE(w.hid.readerRunning.load(), replug);
        if (replug) QTRY_COMPARE(mouse->state().openEventHandles, 1);
        QCOMPARE(mouse->state().eventOpens, replug ? 2 : 1); // a failing read is not retried
    }
};

QTEST_MAIN(tst_WorkerThread)
#include "tst_worker_thread.moc"
