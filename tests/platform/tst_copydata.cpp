// Copy-data records other local programs hand us: their decoder, endpoint
// and warning box. The decoder sees each record in a heap block of exactly
// its size, so a sanitizer build catches overreads.
#include "app/InputRouting.h"
#include "input/GlobalInputHook.h"
#include "platform/CopyDataEndpoint.h"
#include "testlib/TestData.h"

#include <QLocalSocket>
#include <QMessageBox>
#include <QUuid>
#include <QWidget>
#include <QtTest>

#include <atomic>

namespace {
QString uniqueName() { return "skeld-test-" + QUuid::createUuid().toString(QUuid::Id128); }
std::unique_ptr<InputSource> noSource(InputSink &) { return nullptr; }
QByteArray record(const QByteArray &text, quint64 tag = 0x250F) { return CopyDataEndpoint::encodeRecord(tag, quint32(text.size()), text); }

// Sends raw bytes in the given chunks; returns the endpoint's answer.
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
    QElapsedTimer t;
    t.start();
    while (waitForAnswer && answer.isEmpty() && s.state() == QLocalSocket::ConnectedState && t.elapsed() < 3000) {
        s.waitForReadyRead(50);
        QCoreApplication::processEvents(); // the endpoint lives in this thread
        answer += s.readAll();
    }
    return waitForAnswer ? answer + s.readAll() : QByteArray();
}

// Closes every message box as it opens (once `closing`), remembering what
// it said, and the most boxes ever open at once.
struct Boxes : QObject {
    QStringList seen;
    int mostOpen = 0;
    std::atomic<bool> closing{true};
    QTimer timer;
    Boxes()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            int open = 0;
            for (QWidget *w : QApplication::topLevelWidgets())
                open += qobject_cast<QMessageBox *>(w) && w->isVisible() ? 1 : 0;
            mostOpen = std::max(mostOpen, open);
            auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!closing || !b) return;
            seen << QStringLiteral("%1|%2|%3|%4").arg(b->windowTitle(), b->text()).arg(int(b->icon())).arg(int(b->standardButtons()));
            b->done(QMessageBox::Ok);
        });
        timer.start(5);
    }
};

const QByteArray kUmlauts("Gr\xC3\xBC\xC3\x9F" "e");
// dwData, cbData, the record's bytes, the text shown (null: nothing shown).
const struct { const char *tag; quint64 dwData; quint32 cbData; QByteArray bytes; const char16_t *text; } kDecoder[] = {
    {"utf-8", 0x250F, quint32(kUmlauts.size()), kUmlauts + '\0', u"Gr\u00FC\u00DFe"},
    {"empty text", 0x250F, 0, QByteArray(1, '\0'), u""},
    {"tag in the high bits", 0x1000000250F, 5, QByteArray("hello\0", 6), nullptr},
    {"zero byte inside", 0x250F, 5, QByteArray("he\0lo\0", 6), nullptr},
    {"cut short", 0x250F, 5, QByteArray("hel", 3), nullptr},
    {"surrogate", 0x250F, 3, QByteArray("\xED\xA0\x80\0", 4), nullptr},
};

// What the hook cannot show a box for shows none, and nothing breaks.
const struct { const char *tag; QByteArray bytes; bool window; } kNoBox[] = {
    {"no window", record("Firmware 1.2"), false}, {"refused by the decoder", record("Firmware 1.2", 0x250E), true}};

// The stream a sender writes (empty: one that stalls mid-record), whether
// byte by byte, the bytes taken (empty: none), the debug line said.
const struct { const char *tag; QByteArray stream; bool bytewise; QByteArray taken; const char *debug; } kEndpoint[] = {
    // Any tag is taken; what follows the claimed length stays unread.
    {"byte by byte", record("hello", 42) + "trailing garbage", true, QByteArray("hello\0", 6), ""},
    {"in one piece", record("hi") + "trailing garbage", false, QByteArray("hi\0", 3), ""},
    {"claims more than it sends", CopyDataEndpoint::encodeRecord(0x250F, 50, "hello"), false, {},
     "copydata: sender closed before the record was complete"},
    {"claims one byte over the limit", CopyDataEndpoint::encodeRecord(0x250F, CopyDataEndpoint::maxPayload + 1, "hello"), false, {},
     "copydata: record of 1048577 bytes refused, the limit is 1048576"},
    {"stalled", {}, false, {}, "copydata: sender stalled, record dropped"},
};
} // namespace

class TestCopyData : public QObject
{
    Q_OBJECT
private slots:
    void decoder_data() { addRows(kDecoder); }
    void decoder();
    void endpoint_data() { addRows(kEndpoint); }
    void endpoint();
    void noBox_data() { addRows(kNoBox); }
    void noBox();
    void burstShowsOneBoxAtATime();
};

void TestCopyData::decoder()
{
    ROW(kDecoder);
    std::unique_ptr<char[]> block(new char[std::max<qsizetype>(r.bytes.size(), 1)]);
    std::memcpy(block.get(), r.bytes.constData(), size_t(r.bytes.size()));
    const CopyDataRecord rec{r.dwData, r.cbData, QByteArray::fromRawData(block.get(), r.bytes.size())};
    const std::optional<QString> got = ::copyDataText(rec);
    QCOMPARE(got.has_value(), r.text != nullptr);
    if (got) QCOMPARE(*got, QStringView(r.text).toString());
    // The hook consumes a record, whatever its tag, only with a callback.
    GlobalInputHook hook(&noSource);
    QVERIFY(!hook.copyDataMessage(rec));
    hook.setCopyDataCallback([](const CopyDataRecord *, void *) {}, nullptr, nullptr);
    QVERIFY(hook.copyDataMessage(rec));
}

void TestCopyData::endpoint()
{
    ROW(kEndpoint);
    const QByteArray &bytes = r.taken;
    QList<QByteArray> chunks; // byte by byte or in one piece
    for (qsizetype i = 0, step = r.bytewise ? 1 : r.stream.size(); i < r.stream.size(); i += step)
        chunks << r.stream.mid(i, step);
    QList<CopyDataRecord> records;
    const QString name = uniqueName();
    CopyDataEndpoint endpoint(name, [&](const CopyDataRecord &rec) { records << rec; });
    QVERIFY(endpoint.listen());
    DebugCapture cap;
    if (r.stream.isEmpty()) {
        QLocalSocket s;
        s.connectToServer(name);
        QVERIFY(s.waitForConnected(3000));
        s.write(CopyDataEndpoint::encodeRecord(0x250F, 10, "abc").left(14));
        s.flush();
        QTRY_COMPARE_WITH_TIMEOUT(s.state(), QLocalSocket::UnconnectedState, CopyDataEndpoint::stallTimeoutMs + 2000);
    } else {
        QCOMPARE(send(name, chunks, !bytes.isEmpty()), bytes.isEmpty() ? QByteArray() : QByteArray("\x01"));
    }
    // A refusal is said at once, not after the stall timer.
    if (*r.debug) QTRY_VERIFY_WITH_TIMEOUT(cap.contains(r.debug), r.stream.isEmpty() ? 5000 : CopyDataEndpoint::stallTimeoutMs / 2);
    // The endpoint still serves the next sender.
    send(name, {record("ok")});
    QTRY_COMPARE(records.size(), bytes.isEmpty() ? 1 : 2);
    QCOMPARE(records.first().bytes, bytes.isEmpty() ? QByteArray("ok\0", 3) : bytes);
}

void TestCopyData::noBox()
{
    ROW(kNoBox);
    QWidget main;
    GlobalInputHook hook(&noSource);
    const QString name = uniqueName();
    hook.setCopyDataServerName(name);
    hook.setCopyDataCallback(&InputRouting::copyDataToWarning, qApp, r.window ? &main : nullptr);
    QVERIFY(hook.copyDataEndpoint());
    Boxes boxes;
    QCOMPARE(send(name, {r.bytes}, !r.window), r.window ? QByteArray() : QByteArray("\x01"));
    QTest::qWait(200);
    QCOMPARE(boxes.seen, QStringList());
}

void TestCopyData::burstShowsOneBoxAtATime()
{
    // Records from another thread while the first box is held open wait in a
    // short queue or are dropped; no box ever opens inside another.
    QWidget window;
    window.setWindowTitle("SKELD R772");
    GlobalInputHook hook(&noSource);
    const QString name = uniqueName();
    hook.setCopyDataServerName(name);
    hook.setCopyDataCallback(&InputRouting::copyDataToWarning, qApp, &window);
    DebugCapture cap;
    constexpr int burst = 40;
    std::atomic<int> answered{0};
    Boxes boxes;
    boxes.closing = false;
    std::unique_ptr<QThread> sender(QThread::create([&] {
        for (int i = 0; i < burst; ++i) {
            QLocalSocket s;
            s.connectToServer(name);
            if (!s.waitForConnected(3000)) continue;
            s.write(record(QByteArray::number(i)));
            if (s.waitForBytesWritten(3000) && s.waitForReadyRead(3000)) ++answered;
        }
        boxes.closing = true;
    }));
    sender->start();
    const int pending = int(InputRouting::maxPendingWarnings);
    QTRY_VERIFY_WITH_TIMEOUT(boxes.closing && boxes.seen.size() == 1 + pending, 20000);
    sender->wait();
    QCOMPARE(answered.load(), burst);
    QCOMPARE(boxes.mostOpen, 1);
    QCOMPARE(boxes.seen.first(), QStringLiteral("SKELD R772|0|%1|%2").arg(int(QMessageBox::Warning)).arg(int(QMessageBox::Ok)));
    QCOMPARE(boxes.seen.last().section('|', 1, 1), QString::number(pending));
    QTRY_VERIFY(cap.contains(QStringLiteral("copydata: %1 messages dropped while a box was open").arg(burst - 1 - pending)));
    // The next record opens a box again.
    send(name, {record("yes")});
    QTRY_COMPARE(boxes.seen.size(), 2 + pending);
}

QTEST_MAIN(TestCopyData)
#include "tst_copydata.moc"
