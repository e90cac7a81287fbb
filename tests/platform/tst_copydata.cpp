// Text other local programs hand us: copy-data records, their decoder and
// warning box, and skeldctl's batch lines. The decoder sees each record in a
// heap block of exactly its size, so a sanitizer build catches overreads.
#include "app/InputRouting.h"
#include "cli/SlotCall.h"
#include "input/GlobalInputHook.h"
#include "platform/CopyDataEndpoint.h"
#include "testlib/TestData.h"

#include <QLocalSocket>
#include <QMessageBox>
#include <QRandomGenerator>
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

// Slots of the bridge's parameter types; each keeps what it was given.
class Target : public QObject
{
    Q_OBJECT
public:
    QVariantList last;
public slots:
    void none() { last.clear(); }
    int takeInt(int a) { return (last = {a}), a; }
    QString takeString(const QString &a, QString b) { return (last = {a, b}), a + b; }
    void takeMany(int a, QString b, QVariant c, uint d, bool e, double f, QStringList g, QVariantMap h,
                  QVariantList i, qlonglong j) { last = {a, b, c, d, e, f, g, h, i, j}; }
};
const QByteArray kUmlauts("Gr\xC3\xBC\xC3\x9F" "e");
// dwData, cbData, the record's bytes, the text shown (null: nothing shown).
const struct { const char *tag; quint64 dwData; quint32 cbData; QByteArray bytes; const char16_t *text; } kDecoder[] = {
    {"utf-8", 0x250F, quint32(kUmlauts.size()), kUmlauts + '\0', u"Gr\u00FC\u00DFe"},
    {"empty text", 0x250F, 0, QByteArray(1, '\0'), u""},
    {"tag in the high bits", 0x1000000250F, 5, QByteArray("hello\0", 6), nullptr},
    {"claims less than the text", 0x250F, 4, QByteArray("hello\0", 6), nullptr},
    {"zero byte inside", 0x250F, 5, QByteArray("he\0lo\0", 6), nullptr},
    {"cut short", 0x250F, 5, QByteArray("hel", 3), nullptr},
    {"huge claim", 0x250F, 0xFFFFFFFFu, QByteArray("hello\0", 6), nullptr},
    {"surrogate", 0x250F, 3, QByteArray("\xED\xA0\x80\0", 4), nullptr},
};

// What the hook cannot show a box for shows none, and nothing breaks.
const struct { const char *tag; QByteArray bytes; bool window; } kNoBox[] = {
    {"no window", record("Firmware 1.2"), false}, {"refused by the decoder", record("Firmware 1.2", 0x250E), true}};

// The stream a sender writes (empty: one that stalls mid-record), whether
// byte by byte, the bytes taken (empty: none), the debug line said.
const struct { const char *tag; QByteArray stream; bool bytewise; QByteArray taken; const char *debug; } kEndpoint[] = {
    {"byte by byte", record("hello"), true, QByteArray("hello\0", 6), ""},
    {"more than claimed stays unread", record("hello") + "trailing garbage", false, QByteArray("hello\0", 6), ""},
    {"any tag is taken", record("hi", 42), false, QByteArray("hi\0", 3), ""},
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
    void batchLinesFuzz();
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

void TestCopyData::batchLinesFuzz()
{
    // Pieces that trip a line splitter and a JSON reader.
    static const char *const names[] = {"none", "takeInt", "takeString", "takeMany", "deleteLater", "noSuchSlot", ""};
    static const char *const pieces[] = {
        " ", "  ", "\t", "\"", "\\", "\\\"", "[", "]", "{", "}", ",", ":", "1", "-7", "4294967296", "1e308",
        "-1e400", "0.5", "NaN", "true", "null", "\"a b\"", "\"\\u0000\"", "\"\\ud800\"", "mouse/icType", "#",
        "\xC3\xA9", "\xFF", "\x01", "[[[[[[[[", "]]]]", "{\"k\":[1,{\"x\":\"y\"}]}", "[1,\"two\",3]", "''", "\\n"};
    QRandomGenerator rng(0x5C1D);
    Target target;
    int called = 0;
    for (int i = 0; i < 300; ++i) {
        QByteArray line = names[rng.bounded(int(std::size(names)))];
        for (int k = rng.bounded(0, 8); k > 0; --k)
            line += pieces[rng.bounded(int(std::size(pieces)))];
        if (rng.bounded(50) == 0) line += QByteArray(rng.bounded(1, 20000), '[');
        const QStringList words = SlotCall::splitLine(QString::fromUtf8(line).trimmed());
        if (words.isEmpty()) continue;
        target.last.clear();
        const SlotCall::Outcome out = SlotCall::invoke(&target, words.first(), words.mid(1));
        QVERIFY2(out.ok == out.error.isEmpty(), line.constData());
        if (!out.ok) continue;
        ++called;
        (void)SlotCall::toJsonLine(out.result);
        // Every argument arrived, converted the way the call said.
        QVERIFY(words.first() != QLatin1String("deleteLater"));
        QCOMPARE(target.last.size(), words.size() - 1);
    }
    QVERIFY(called > 0);
}

void TestCopyData::endpoint()
{
    ROW(kEndpoint);
    const QByteArray &bytes = r.taken;
    const QString debug = r.debug;
    QList<QByteArray> chunks{r.stream};
    if (r.bytewise) {
        chunks.clear();
        for (char c : r.stream)
            chunks << QByteArray(1, c);
    }
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
    if (!debug.isEmpty()) QTRY_VERIFY_WITH_TIMEOUT(cap.contains(debug), r.stream.isEmpty() ? 5000 : CopyDataEndpoint::stallTimeoutMs / 2);
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
