#include "app/InputRouting.h"
#include "input/GlobalInputHook.h"
#include "platform/CopyDataEndpoint.h"
#include "testlib/TestData.h"

#include <QLocalSocket>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QUuid>
#include <QWidget>

#include <atomic>
#include <QtTest>

namespace
{
QString uniqueName()
{
    return QStringLiteral("skeld-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

std::unique_ptr<InputSource> noSource(InputSink &)
{
    return nullptr;
}

// Sends raw bytes in the given chunks, then either closes or waits for the
// endpoint's answer. Returns the answer (empty when there was none).
QByteArray send(const QString &name, const QList<QByteArray> &chunks, bool waitForAnswer = true)
{
    QLocalSocket s;
    s.connectToServer(name);
    if (!s.waitForConnected(3000)) return "not connected";
    for (const QByteArray &c : chunks) {
        s.write(c);
        s.flush();
        QTest::qWait(20);
    }
    QByteArray answer;
    if (waitForAnswer) {
        QElapsedTimer t;
        t.start();
        while (answer.isEmpty() && s.state() == QLocalSocket::ConnectedState &&
               t.elapsed() < 3000) {
            s.waitForReadyRead(50);
            QCoreApplication::processEvents();
            answer += s.readAll();
        }
        answer += s.readAll();
    }
    s.disconnectFromServer();
    return answer;
}

// Closes every message box as it opens and remembers what it said.
struct BoxWatcher : QObject {
    QStringList seen;
    QTimer timer;
    BoxWatcher()
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << QStringLiteral("%1|%2|%3|%4")
                            .arg(box->windowTitle(), box->text())
                            .arg(int(box->icon()))
                            .arg(int(box->standardButtons()));
                box->done(QMessageBox::Ok);
            }
        });
        timer.start();
    }
};
} // namespace

class TestCopyData : public QObject
{
    Q_OBJECT
private slots:
    void endpointTakesWholeRecords_data();
    void endpointTakesWholeRecords();
    void stalledSenderIsDropped();
    void randomStreams();
    void warningBox_data();
    void warningBox();
    void noWindowNoBox();
    void burstShowsOneBoxAtATime();
    void nameFollowsTheExecutable();
};

void TestCopyData::endpointTakesWholeRecords_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("debug");

    const QByteArray hello = CopyDataEndpoint::encodeRecord(0x250F, 5, "hello");
    QTest::newRow("one write") << QList<QByteArray>{hello} << true << QByteArray("hello\0", 6)
                               << QString();
    QTest::newRow("byte by byte") <<
        [&] {
            QList<QByteArray> l;
            for (char c : hello)
                l << QByteArray(1, c);
            return l;
        }() << true << QByteArray("hello\0", 6)
                                  << QString();
    QTest::newRow("more than claimed stays unread")
        << QList<QByteArray>{hello + QByteArray("trailing garbage")} << true
        << QByteArray("hello\0", 6) << QString();
    QTest::newRow("claims more than it sends")
        << QList<QByteArray>{CopyDataEndpoint::encodeRecord(0x250F, 50, "hello")} << false
        << QByteArray() << QStringLiteral("copydata: sender closed before the record was complete");
    QTest::newRow("header cut short")
        << QList<QByteArray>{hello.left(7)} << false << QByteArray()
        << QStringLiteral("copydata: sender closed before the record was complete");
    QTest::newRow("claims 4 GiB")
        << QList<QByteArray>{CopyDataEndpoint::encodeRecord(0x250F, 0xFFFFFFFFu, "hello")} << false
        << QByteArray()
        << QStringLiteral("copydata: record of 4294967295 bytes refused, the limit is 1048576");
    QTest::newRow("any tag is taken")
        << QList<QByteArray>{CopyDataEndpoint::encodeRecord(42, 2, "hi")} << true
        << QByteArray("hi\0", 3) << QString();
}

void TestCopyData::endpointTakesWholeRecords()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(bool, taken);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, debug);
    QList<CopyDataRecord> records;
    const QString name = uniqueName();
    CopyDataEndpoint endpoint(name, [&](const CopyDataRecord &r) { records << r; });
    QVERIFY(endpoint.listen());
    DebugCapture cap;
    const QByteArray answer = send(name, chunks, taken);
    QTRY_COMPARE(records.size(), taken ? 1 : 0);
    QTest::qWait(50);
    QCOMPARE(records.size(), taken ? 1 : 0);
    if (taken) {
        QCOMPARE(answer, QByteArray("\x01"));
        QCOMPARE(records.first().bytes, bytes);
    } else {
        QTRY_VERIFY(cap.contains(debug));
    }
    // The endpoint still serves the next sender.
    records.clear();
    send(name, {CopyDataEndpoint::encodeRecord(0x250F, 2, "ok")});
    QTRY_COMPARE(records.size(), 1);
    QCOMPARE(records.first().bytes, QByteArray("ok\0", 3));
}

void TestCopyData::stalledSenderIsDropped()
{
    QList<CopyDataRecord> records;
    const QString name = uniqueName();
    CopyDataEndpoint endpoint(name, [&](const CopyDataRecord &r) { records << r; });
    QVERIFY(endpoint.listen());
    DebugCapture cap;
    QLocalSocket s;
    s.connectToServer(name);
    QVERIFY(s.waitForConnected(3000));
    s.write(CopyDataEndpoint::encodeRecord(0x250F, 10, "abc").left(14));
    s.flush();
    // The endpoint hangs up on its own; the sender did not.
    QTRY_COMPARE_WITH_TIMEOUT(s.state(), QLocalSocket::UnconnectedState,
                              CopyDataEndpoint::stallTimeoutMs + 2000);
    QVERIFY(cap.contains(QStringLiteral("copydata: sender stalled, record dropped")));
    QVERIFY(records.isEmpty());
}

void TestCopyData::randomStreams()
{
    // Senders of every sort, one after another: only complete records come
    // through, each exactly cbData + 1 bytes, and the endpoint keeps going.
    QList<CopyDataRecord> records;
    const QString name = uniqueName();
    CopyDataEndpoint endpoint(name, [&](const CopyDataRecord &r) { records << r; });
    QVERIFY(endpoint.listen());
    QRandomGenerator rng(0x250F);
    QList<QByteArray> expected;
    for (int i = 0; i < 150; ++i) {
        const quint32 claim = rng.bounded(4) == 0 ? rng.generate() : quint32(rng.bounded(0, 64));
        QByteArray payload(rng.bounded(0, 80), Qt::Uninitialized);
        for (char &c : payload)
            c = char(rng.bounded(256));
        QByteArray stream = CopyDataEndpoint::encodeRecord(rng.generate64(), claim, payload);
        stream.truncate(rng.bounded(int(stream.size()) + 1));
        const qsizetype whole = CopyDataEndpoint::headerSize + qsizetype(claim) + 1;
        if (claim <= CopyDataEndpoint::maxPayload && stream.size() >= whole)
            expected << stream.mid(CopyDataEndpoint::headerSize, qsizetype(claim) + 1);
        QLocalSocket s;
        s.connectToServer(name);
        QVERIFY(s.waitForConnected(3000));
        while (!stream.isEmpty()) {
            const int n = rng.bounded(1, int(stream.size()) + 1);
            s.write(stream.left(n));
            stream.remove(0, n);
            s.flush();
        }
        s.waitForBytesWritten(1000);
        s.disconnectFromServer();
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(records.size(), expected.size());
    // Connections may finish in another order than they started.
    QList<QByteArray> got;
    for (const CopyDataRecord &r : records)
        got << r.bytes;
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(got, expected);
    records.clear();
    send(name, {CopyDataEndpoint::encodeRecord(0x250F, 2, "ok")});
    QTRY_COMPARE(records.size(), 1);
}

void TestCopyData::warningBox_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("boxes");

    const QByteArray text("Firmware 1.2 \xE2\x9C\x93");
    const QString warning = QString::number(int(QMessageBox::Warning));
    const QString ok = QString::number(int(QMessageBox::Ok));
    QTest::newRow("well-formed")
        << CopyDataEndpoint::encodeRecord(0x250F, quint32(text.size()), text)
        << QStringList{
               QStringLiteral("SKELD R772|%1|%2|%3").arg(QString::fromUtf8(text), warning, ok)};
    QTest::newRow("wrong dwData") << CopyDataEndpoint::encodeRecord(0x250E, quint32(text.size()),
                                                                    text)
                                  << QStringList{};
    QTest::newRow("wrong length") << CopyDataEndpoint::encodeRecord(0x250F,
                                                                    quint32(text.size() - 1), text)
                                  << QStringList{};
    QTest::newRow("invalid UTF-8")
        << CopyDataEndpoint::encodeRecord(0x250F, 4, "ab\xC3\x28") << QStringList{};
    QTest::newRow("claims more than it sends")
        << CopyDataEndpoint::encodeRecord(0x250F, 400, text) << QStringList{};
}

void TestCopyData::warningBox()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, boxes);
    QWidget window;
    window.setWindowTitle(QStringLiteral("SKELD R772"));
    GlobalInputHook hook(&noSource);
    const QString name = uniqueName();
    hook.setCopyDataServerName(name);
    hook.setCopyDataCallback(&InputRouting::copyDataToWarning, qApp, &window);
    QVERIFY(hook.copyDataEndpoint());
    BoxWatcher watcher;
    send(name, {record}, !boxes.isEmpty());
    if (!boxes.isEmpty()) QTRY_VERIFY(!watcher.seen.isEmpty());
    QTest::qWait(200);
    QCOMPARE(watcher.seen, boxes);
    // Still running, still listening.
    send(name, {CopyDataEndpoint::encodeRecord(0x250F, 3, "yes")});
    QTRY_COMPARE(watcher.seen.size(), boxes.size() + 1);
    QVERIFY(watcher.seen.last().startsWith(QStringLiteral("SKELD R772|yes|")));
}

void TestCopyData::noWindowNoBox()
{
    GlobalInputHook hook(&noSource);
    const QString name = uniqueName();
    hook.setCopyDataServerName(name);
    hook.setCopyDataCallback(&InputRouting::copyDataToWarning, qApp, nullptr);
    BoxWatcher watcher;
    QCOMPARE(send(name, {CopyDataEndpoint::encodeRecord(0x250F, 2, "hi")}), QByteArray("\x01"));
    QTest::qWait(200);
    QVERIFY(watcher.seen.isEmpty());
}

void TestCopyData::burstShowsOneBoxAtATime()
{
    // A sender in another thread fires records while the first box is held
    // open: the rest wait in a short queue or are dropped, and no box ever
    // opens inside another.
    QWidget window;
    window.setWindowTitle(QStringLiteral("SKELD R772"));
    GlobalInputHook hook(&noSource);
    const QString name = uniqueName();
    hook.setCopyDataServerName(name);
    hook.setCopyDataCallback(&InputRouting::copyDataToWarning, qApp, &window);
    DebugCapture cap;
    constexpr int burst = 40;
    std::atomic<bool> sent{false};
    std::atomic<int> answered{0};
    QStringList seen;
    int mostOpen = 0;
    QTimer watch;
    watch.setInterval(5);
    connect(&watch, &QTimer::timeout, this, [&] {
        int open = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            open += qobject_cast<QMessageBox *>(w) && w->isVisible() ? 1 : 0;
        mostOpen = std::max(mostOpen, open);
        if (!sent) return;
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    watch.start();
    QThread *sender = QThread::create([&] {
        for (int i = 0; i < burst; ++i) {
            QLocalSocket s;
            s.connectToServer(name);
            if (!s.waitForConnected(3000)) continue;
            const QByteArray text = QByteArray::number(i);
            s.write(CopyDataEndpoint::encodeRecord(0x250F, quint32(text.size()), text));
            if (s.waitForBytesWritten(3000) && s.waitForReadyRead(3000)) ++answered;
        }
        sent = true;
    });
    sender->start();
    QTRY_VERIFY_WITH_TIMEOUT(sent && seen.size() == 1 + int(InputRouting::maxPendingWarnings),
                             20000);
    sender->wait();
    delete sender;
    QCOMPARE(answered.load(), burst);
    QCOMPARE(mostOpen, 1);
    QCOMPARE(seen.first(), QStringLiteral("0"));
    QCOMPARE(seen.last(), QString::number(InputRouting::maxPendingWarnings));
    const int dropped = burst - 1 - int(InputRouting::maxPendingWarnings);
    QTRY_VERIFY(cap.contains(
        QStringLiteral("copydata: %1 messages dropped while a box was open").arg(dropped)));
    // The next record opens a box again.
    send(name, {CopyDataEndpoint::encodeRecord(0x250F, 3, "yes")});
    QTRY_COMPARE(seen.size(), 2 + int(InputRouting::maxPendingWarnings));
}

void TestCopyData::nameFollowsTheExecutable()
{
    QCOMPARE(CopyDataEndpoint::serverNameFor(QStringLiteral("/opt/a/skeld-config")),
             CopyDataEndpoint::serverNameFor(QStringLiteral("/opt/a/skeld-config")));
    QVERIFY(CopyDataEndpoint::serverNameFor(QStringLiteral("/opt/a/skeld-config")) !=
            CopyDataEndpoint::serverNameFor(QStringLiteral("/opt/b/skeld-config")));
}

QTEST_MAIN(TestCopyData)
#include "tst_copydata.moc"
