// The window side of the device layer: commands run on the worker one at a
// time (sets do not wait, gets do), the window never stalls on the device,
// quitting drops queued writes, the debounce of device-change notifications,
// the back-end choice and unplugging/re-plugging under a running window.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/VirtualMouse.h"
#include "testlib/TestData.h"

#include <QElapsedTimer>
#include <QMutex>
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

void setIcType(TestData &data, const char *icType)
{
    QByteArray ini = data.read("modules/setting/apConfig.bin");
    data.write("modules/setting/apConfig.bin", ini.replace("icType=553", QByteArray("icType=") + icType));
}

// Runs a check to its end: queued on the worker, its window calls posted
// back here, then what the pages' "initUI" asks of the device and the
// answers it gets.
void checkNow(Widget &w)
{
    w.checkDevice();
    for (int round = 0; round < 3; ++round) {
        w.hid.drain();
        QCoreApplication::processEvents();
    }
}

// A command run on the GUI thread would stop it for at least one output
// report's delay; a loaded machine's own pauses stay below that.
constexpr qint64 kStallMs = Hid_Thread::kOutputReportMs;

// The longest pause of the GUI thread's event loop while it is measured.
class GapMeter
{
public:
    GapMeter()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_last.restart());
        });
        m_timer.start();
        m_last.start(); // a block right after this counts too
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_last;
    qint64 m_longest = 0;
};
} // namespace

class tst_WorkerThread : public QObject
{
    Q_OBJECT
private slots:
    void startUpWithoutDevice();
    void burstOfNotificationsGivesOneCheck();
    void connects560AndReadsFourImages();
    void pageGetsDoNotWait();
    void backendFromEnvironment_data();
    void backendFromEnvironment();
    void quitDropsQueuedWrites();
    void commandsWaitTheirTurn();
    void notificationsNeverStallTheWindow();
    void unplugAndReplug_data();
    void unplugAndReplug();
};

void tst_WorkerThread::startUpWithoutDevice()
{
    TestData data;
    Widget w;
    DebugCapture cap;
    checkNow(w);
    QCOMPARE(cap.lines().value(0), QStringLiteral("Device DisConnect"));
    QCOMPARE(cap.lines().count("Device DisConnect"), 1);
    QVERIFY(!deviceConnected);
    // "initUI" ran in the document (queued), remembering its first run.
    QTRY_VERIFY_WITH_TIMEOUT(!w.view()->rootObject()->property("firstInit").toBool(), 1000);
}

void tst_WorkerThread::burstOfNotificationsGivesOneCheck()
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
    QCOMPARE(cap.lines().count("Device DisConnect"), 0);
    QTRY_COMPARE_WITH_TIMEOUT(cap.lines().count("Device DisConnect"), 1, 3000);
    QVERIFY2(sinceLast.elapsed() >= 2000, qPrintable(QString::number(sinceLast.elapsed())));
    QCOMPARE(w.checkTimer.interval(), 2048);
    QVERIFY(w.checkTimer.isSingleShot() && !w.checkTimer.isActive());

    // Kept while connected (a remove may follow), but a check then leaves
    // the live connection alone.
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

void tst_WorkerThread::connects560AndReadsFourImages()
{
    TestData data;
    setIcType(data, "560");
    Widget w;
    auto mouse = plugVirtualMouse(w, Family::F560);
    DebugCapture cap;
    checkNow(w);
    QVERIFY(cap.contains("Device Connect"));
    QVERIFY(deviceConnected);
    myQQuickView *v = w.view();
    QCOMPARE(v->icType, QStringLiteral("560"));
    const VirtualMouse::State s = mouse->state();
    for (size_t n = 0; n < 4; ++n) {
        QCOMPARE(v->profileImages[n], s.profiles[n]);
        QVERIFY(v->profileImageRead[n]);
    }
    QVERIFY(!v->profileImageRead[4]);
    QCOMPARE(s.options560[0] & 0x08, 0x08);
    // A page reads a record by number and waits for it; there is no image 5.
    QVERIFY(QMetaObject::invokeMethod(v, "mouseReadProfile", Q_ARG(uint, 4)));
    QCOMPARE(v->profileImages[4], mouse->state().profiles[4]);
    QVERIFY(v->profileImageRead[4]);
    const int before = int(mouse->state().commands.size());
    QVERIFY(QMetaObject::invokeMethod(v, "mouseReadProfile", Q_ARG(uint, 5)));
    QCOMPARE(int(mouse->state().commands.size()), before);
    // A failed read keeps the image.
    auto image = v->profileImages[3] = {};
    w.hid.call([&] { w.hid.devices[1]->path.clear(); });
    v->mouseReadProfile(3);
    QCOMPARE(v->profileImages[3], image);
}

void tst_WorkerThread::pageGetsDoNotWait()
{
    TestData data;
    Widget w;
    auto mouse = plugVirtualMouse(w, Family::F553);
    checkNow(w);
    // A page's call does not wait: the flag lands when the answer is in; a
    // failed command clears it.
    for (const auto &[deviceByte, right, plugged] : {std::tuple{3, true, true}, {0, false, true}, {3, false, false}}) {
        mouse->modifyState([&](VirtualMouse::State &s) { s.dpiStage553 = quint8(deviceByte); });
        if (!plugged) w.hid.call([&] { w.hid.devices[1]->path.clear(); });
        w.view()->right = !right;
        DebugCapture cap;
        QVERIFY(QMetaObject::invokeMethod(w.view(), "mouseGetRight"));
        QTRY_COMPARE(w.view()->right, right);
        QCOMPARE(cap.lines(), QStringList{QStringLiteral("test %1").arg(plugged ? deviceByte : 0)});
        if (plugged) QCOMPARE(int(mouse->state().commands.last()), 0x82);
    }
}

void tst_WorkerThread::backendFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("virtualMouse");
    QTest::addColumn<QByteArray>("trace");
    QTest::addColumn<int>("family"); // -1: none
    QTest::newRow("553") << QByteArray("553") << QByteArray() << int(Family::F553);
    QTest::newRow("560 traced") << QByteArray("560") << QByteArray("1") << int(Family::F560);
    QTest::newRow("nothing: no hardware in tests") << QByteArray() << QByteArray() << -1;
    QTest::newRow("unknown family") << QByteArray("999") << QByteArray() << -1;
}

void tst_WorkerThread::backendFromEnvironment()
{
    QFETCH(QByteArray, virtualMouse);
    QFETCH(QByteArray, trace);
    QFETCH(int, family);
    TestData data;
    qputenv("SKELD_VIRTUAL_MOUSE", virtualMouse);
    qputenv("SKELD_HID_TRACE", trace);
    Widget w;
    qunsetenv("SKELD_VIRTUAL_MOUSE");
    qunsetenv("SKELD_HID_TRACE");
    VirtualMouse *vm = HidBackends::virtualMouse(w.hid.backend());
    QCOMPARE(vm != nullptr, family >= 0);
    if (vm) QCOMPARE(int(vm->family()), family);
    QCOMPARE(dynamic_cast<TracingBackend *>(w.hid.backend()) != nullptr, !trace.isEmpty());
    if (family < 0) {
        QVERIFY(dynamic_cast<NoHidBackend *>(w.hid.backend()));
        QVERIFY(w.hid.backend()->enumerate(0, 0).isEmpty());
    }
}

void tst_WorkerThread::quitDropsQueuedWrites()
{
    // Quit with four macro writes queued (about 0.75 s each on the wire):
    // the one on the wire completes, the rest are dropped, and the reader
    // ends within its turn.
    TestData data;
    QElapsedTimer t;
    std::shared_ptr<VirtualMouse> mouse;
    {
        Widget w;
        mouse = plugVirtualMouse(w, Family::F553);
        checkNow(w);
        QVERIFY(w.hid.readerRunning);
        w.hid.setDelayFunction([](int ms) { QThread::msleep(ulong(ms)); });
        std::array<uchar, 128> macro{};
        for (uchar id = 1; id <= 4; ++id)
            w.hid.hid553_13H_SetMacroKey(id, macro.data());
        QTRY_VERIFY(mouse->state().commands.contains(0x13));
        t.start();
    }
    // The window's teardown (and its QML) adds to the reader's one turn.
    QVERIFY2(t.elapsed() <= 4 * Hid_Thread::kEventReadMs, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(mouse->state().commands.count(0x13), 1);
    QCOMPARE(mouse->state().openCommandHandles, 0);
}

void tst_WorkerThread::commandsWaitTheirTurn()
{
    // A page command, a DPI press on the mouse and a second page command,
    // all while a 560 profile write is on the wire with its real delays.
    TestData data;
    setIcType(data, "560");
    Widget w;
    w.view()->setSource(QUrl()); // the pages' own loading is not the device's cost
    auto mouse = VirtualMouse::fromDataFolder(Family::F560);
    QStringList trace;
    QMutex traceMutex;
    w.hid.setBackend(std::make_shared<TracingBackend>(mouse, [&](const QByteArray &line, const QByteArray &) {
        QMutexLocker lock(&traceMutex);
        if (!line.startsWith("EVENT ")) trace << QString::fromLatin1(line);
    }));
    auto lines = [&] {
        QMutexLocker lock(&traceMutex);
        return trace;
    };
    checkNow(w);
    QVERIFY(deviceConnected);
    QTRY_COMPARE(mouse->state().openEventHandles, 1);
    {
        QMutexLocker lock(&traceMutex);
        trace.clear();
    }
    DebugCapture cap;
    GapMeter gaps;
    myQQuickView *v = w.view();
    v->mouseSetProfile(1); // 128 bytes: about 0.75 s
    QTRY_VERIFY(lines().join(' ').contains(QLatin1String("WRITE")));
    v->mouseSetReportRate(2);
    mouse->pressDpiButton();
    v->mouseSetCurrentDPI(3);
    QTRY_VERIFY_WITH_TIMEOUT(v->lastStage == 2, 3000); // the press reached the page
    w.hid.drain();
    QVERIFY2(gaps.longest() < kStallMs, qPrintable(QString::number(gaps.longest())));
    QStringList order;
    for (const QString &l : lines())
        if (l.startsWith("SET_FEATURE") || l.startsWith("WRITE")) order << l.left(14);
    QCOMPARE(order, (QStringList{"SET_FEATURE 00", "WRITE 00 20 21", "WRITE 00 40 41", "WRITE 00 60 61",
                                 "WRITE 00 80 81", "SET_FEATURE 00", "SET_FEATURE 00"}));
    QCOMPARE(mouse->state().commands.mid(mouse->state().commands.size() - 3), (QList<quint8>{0x0C, 0x03, 0x04}));
    for (const QString &l : cap.lines())
        QVERIFY2(!l.startsWith("cmd Failed"), qPrintable(l));
}

void tst_WorkerThread::notificationsNeverStallTheWindow()
{
    // Notifications while the 560 connection runs (real delays), and a
    // check while connected: the GUI keeps turning, the live connection is
    // left alone, and nothing waits on the reader.
    TestData data;
    setIcType(data, "560");
    Widget w;
    // Loading the pages on "initUI" is GUI work of its own; what is measured
    // here is what the device side costs the GUI thread.
    w.view()->setSource(QUrl());
    auto mouse = VirtualMouse::fromDataFolder(Family::F560);
    w.hid.setBackend(mouse);
    GapMeter gaps;
    w.checkDevice();
    for (int i = 0; i < 5; ++i) {
        w.deviceChanged();
        QTest::qWait(20);
    }
    QTRY_VERIFY_WITH_TIMEOUT(w.hid.readerRunning, 3000);
    for (int i = 0; i < 2; ++i) { // what the debounce would run
        w.deviceChanged();
        w.checkTimer.stop();
        w.checkDevice();
    }
    QTest::qWait(100);
    w.hid.drain();
    QVERIFY2(gaps.longest() < kStallMs, qPrintable(QString::number(gaps.longest())));
    QCOMPARE(mouse->state().handshakes, 1);
    QVERIFY(w.hid.readerRunning);
}

void tst_WorkerThread::unplugAndReplug_data()
{
    QTest::addColumn<bool>("keepNodes");
    QTest::addColumn<bool>("replug");
    QTest::addColumn<bool>("sameNodes");
    QTest::newRow("nodes go first, nothing comes back") << false << false << false;
    QTest::newRow("reads fail first, nothing comes back") << true << false << false;
    QTest::newRow("back on the same nodes at once") << true << true << true;
    QTest::newRow("back on new nodes") << false << true << false;
}

void tst_WorkerThread::unplugAndReplug()
{
    QFETCH(bool, keepNodes);
    QFETCH(bool, replug);
    QFETCH(bool, sameNodes);
    TestData data;
    Widget w;
    auto mouse = plugVirtualMouse(w, Family::F553);
    checkNow(w);
    QTRY_COMPARE(mouse->state().openEventHandles, 1);
    QTRY_VERIFY_WITH_TIMEOUT(w.view()->isEnabled(), 2500); // "initUI" locks it while pages load
    DebugCapture cap;
    QElapsedTimer t;
    t.start();
    keepNodes ? mouse->unplugKeepingNodes() : mouse->unplug();
    if (replug) mouse->replug(sameNodes);
    // Noticed within one reader turn, and a check is on its way.
    QTRY_VERIFY_WITH_TIMEOUT(cap.contains("Device removed"), 1000);
    QVERIFY2(t.elapsed() < Hid_Thread::kEventReadMs, qPrintable(QString::number(t.elapsed())));
    QTRY_VERIFY(w.checkTimer.isActive());
    QVERIFY(!w.view()->isEnabled());
    QVERIFY(deviceConnected); // only a check clears it
    if (keepNodes && !replug) mouse->removeNodes();
    w.checkTimer.stop();
    checkNow(w);
    QCOMPARE(cap.lines().count("Device Connect"), replug ? 1 : 0);
    QCOMPARE(cap.lines().count("Device DisConnect"), replug ? 0 : 1);
    // A full check: handshake, the option bit again, a reader on the nodes.
    const VirtualMouse::State s = mouse->state();
    QCOMPARE(s.handshakes, replug ? 2 : 1);
    QCOMPARE(s.commands.count(0x03), replug ? 2 : 1);
    QCOMPARE(w.hid.readerRunning.load(), replug);
    if (replug) QTRY_COMPARE(mouse->state().openEventHandles, 1);
}

QTEST_MAIN(tst_WorkerThread)
#include "tst_worker_thread.moc"
