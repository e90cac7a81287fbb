// Text other local programs hand us: the copy-data endpoint's records, the
// decoder, the warning box they open, and skeldctl's batch lines. The fuzz
// keeps each record's bytes in a heap block of exactly their size, so a
// sanitizer build catches any read past them. By hand, longer:
//   SKELD_FUZZ_ITERATIONS=2000000 [SKELD_FUZZ_SEED=n] build-asan/tests/platform/tst_copydata
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

int iterations(int fallback)
{
    const int n = qEnvironmentVariableIntValue("SKELD_FUZZ_ITERATIONS");
    return n > 0 ? n : fallback;
}

QRandomGenerator seeded(quint32 fallback)
{
    const auto seed = quint32(qEnvironmentVariableIntValue("SKELD_FUZZ_SEED"));
    return QRandomGenerator(seed ? seed : fallback);
}

// Slots of the parameter and result types the bridge uses; each keeps what
// it was given so the test sees the call went through whole.
class Target : public QObject
{
    Q_OBJECT
public:
    QVariantList last;
public slots:
    void none() { last.clear(); }
    int takeInt(int a) { return (last = {a}), a; }
    uint takeUint(uint a, bool b) { return (last = {a, b}), a; }
    QString takeString(const QString &a, QString b) { return (last = {a, b}), a + b; }
    QStringList takeList(QStringList a) { return (last = {a}), a; }
    QVariant takeVariant(const QVariant &a) { return (last = {a}), a; }
    QVariantList takeVariantList(QVariantList a, int b) { return (last = {a, b}), a; }
    QVariantMap takeMap(const QVariantMap &a) { return (last = {a}), a; }
    double takeDouble(double a, qlonglong b) { return (last = {a, b}), a; }
    QByteArray takeBytes(QByteArray a) { return (last = {a}), a; }
    void takeMany(int a, QString b, QVariant c, uint d, bool e, double f, QStringList g, QVariantMap h,
                  QVariantList i, qlonglong j) { last = {a, b, c, d, e, f, g, h, i, j}; }
};
const QByteArray kUmlauts("Gr\xC3\xBC\xC3\x9F" "e");
// dwData, cbData, the record's bytes, the text shown (null: nothing shown).
const struct { const char *tag; quint64 dwData; quint32 cbData; QByteArray bytes; const char16_t *text; } kDecoder[] = {
    {"ascii", 0x250F, 5, QByteArray("hello\0", 6), u"hello"},
    {"utf-8", 0x250F, quint32(kUmlauts.size()), kUmlauts + '\0', u"Gr\u00FC\u00DFe"},
    {"empty text", 0x250F, 0, QByteArray(1, '\0'), u""},
    {"byte-order mark kept", 0x250F, 5, QByteArray("\xEF\xBB\xBFhi\0", 6), u"\uFEFFhi"},
    {"other tag", 0x2510, 5, QByteArray("hello\0", 6), nullptr},
    {"tag in the high bits", 0x1000000250F, 5, QByteArray("hello\0", 6), nullptr},
    {"claims more than the text", 0x250F, 6, QByteArray("hello\0\0", 7), nullptr},
    {"claims less than the text", 0x250F, 4, QByteArray("hello\0", 6), nullptr},
    {"zero two places past the claim", 0x250F, 3, QByteArray("hello\0", 6), nullptr},
    {"zero byte inside", 0x250F, 5, QByteArray("he\0lo\0", 6), nullptr},
    {"no terminating zero", 0x250F, 5, QByteArray("helloX", 6), nullptr},
    {"no zero after the claim, nothing more there", 0x250F, 2, QByteArray("ok"), nullptr},
    {"cut short", 0x250F, 5, QByteArray("hel", 3), nullptr},
    {"nothing at all", 0x250F, 5, QByteArray(), nullptr},
    {"huge claim", 0x250F, 0xFFFFFFFFu, QByteArray("hello\0", 6), nullptr},
    {"invalid byte", 0x250F, 3, QByteArray("a\xFF" "b\0", 4), nullptr},
    {"overlong slash", 0x250F, 2, QByteArray("\xC0\xAF\0", 3), nullptr},
    {"surrogate", 0x250F, 3, QByteArray("\xED\xA0\x80\0", 4), nullptr},
    {"truncated sequence of the right length", 0x250F, 3, QByteArray("ab\xE2\0", 4), nullptr},
};
} // namespace

class TestCopyData : public QObject
{
    Q_OBJECT
private slots:
    void decoder_data() { addRows(kDecoder); }
    void decoder();
    void decoderFuzz();
    void batchLinesFuzz();
    void endpoint_data();
    void endpoint();
    void randomStreams();
    void warningBox_data();
    void warningBox();
    void burstShowsOneBoxAtATime();
};

void TestCopyData::decoder()
{
    ROW(kDecoder);
    // The record's buffer is exactly what the sender gave.
    std::unique_ptr<char[]> block(new char[std::max<qsizetype>(r.bytes.size(), 1)]);
    std::memcpy(block.get(), r.bytes.constData(), size_t(r.bytes.size()));
    const CopyDataRecord rec{r.dwData, r.cbData, QByteArray::fromRawData(block.get(), r.bytes.size())};
    const std::optional<QString> got = ::copyDataText(rec);
    QCOMPARE(got.has_value(), r.text != nullptr);
    if (got) QCOMPARE(*got, QStringView(r.text).toString());
    // The hook consumes a record, whatever its tag, only with a callback.
    GlobalInputHook hook(&noSource);
    QVERIFY(!hook.copyDataMessage(rec));
    int calls = 0;
    hook.setCopyDataCallback([](const CopyDataRecord *, void *n) { ++*static_cast<int *>(n); }, nullptr, &calls);
    QVERIFY(hook.copyDataMessage(rec));
    QCOMPARE(calls, 1);
    QVERIFY(!hook.copyDataEndpoint()); // no application: no endpoint
}

void TestCopyData::decoderFuzz()
{
    static const char *const pieces[] = {"a", "Z", " ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                         "\xEF\xBB\xBF", "\xDF\xBF", "\xF4\x8F\xBF\xBF"};
    const int rounds = iterations(20000);
    QRandomGenerator rng = seeded(0x250F);
    int shown = 0;
    for (int i = 0; i < rounds; ++i) {
        QByteArray content;
        for (int n = rng.bounded(0, 24); n > 0; --n)
            content += pieces[rng.bounded(int(std::size(pieces)))];
        quint32 cbData = quint32(content.size());
        quint64 dwData = 0x250F;
        const bool wellFormed = rng.bounded(4) == 0;
        content.append('\0');
        if (!wellFormed) {
            switch (rng.bounded(6)) {
            case 0: // flip random bytes
                for (int k = rng.bounded(1, 4); k > 0; --k)
                    content[rng.bounded(int(content.size()))] = char(rng.bounded(256));
                break;
            case 1: content.truncate(rng.bounded(int(content.size()) + 1)); break;
            case 2: cbData = rng.bounded(3) == 0 ? rng.generate() : quint32(rng.bounded(0, 40)); break;
            case 3: dwData = rng.generate64(); break;
            case 4: // random bytes throughout
                content.resize(rng.bounded(0, 40));
                for (char &c : content)
                    c = char(rng.bounded(256));
                cbData = quint32(rng.bounded(0, 44));
                break;
            default: content += QByteArray(rng.bounded(1, 8), char(rng.bounded(256))); break;
            }
        }
        // Exactly content.size() bytes on the heap, nothing after them.
        std::unique_ptr<char[]> block(new char[std::max<qsizetype>(content.size(), 1)]);
        std::memcpy(block.get(), content.constData(), size_t(content.size()));
        const QByteArray bytes = QByteArray::fromRawData(block.get(), content.size());
        const std::optional<QString> text = copyDataText(CopyDataRecord{dwData, cbData, bytes});
        if (wellFormed) QVERIFY2(text.has_value(), qPrintable(QString::number(i)));
        if (!text) continue;
        ++shown;
        // Whatever is shown is exactly what the record said it was.
        QCOMPARE(dwData, quint64(0x250F));
        const QByteArray utf8 = text->toUtf8();
        QCOMPARE(quint32(utf8.size()), cbData);
        QCOMPARE(QByteArray(bytes.constData(), qsizetype(cbData)), utf8);
        QCOMPARE(bytes.at(qsizetype(cbData)), '\0');
    }
    QVERIFY(shown >= rounds / 4);
}

void TestCopyData::batchLinesFuzz()
{
    // Pieces that trip a line splitter and a JSON reader: quotes, escapes,
    // brackets left open, nesting, odd numbers, control and non-ASCII bytes.
    static const char *const names[] = {"none", "takeInt", "takeUint", "takeString", "takeList", "takeVariant",
                                        "takeVariantList", "takeMap", "takeDouble", "takeBytes", "takeMany",
                                        "deleteLater", "noSuchSlot", "", "takeInt(int)"};
    static const char *const pieces[] = {
        " ", "  ", "\t", "\"", "\\", "\\\"", "[", "]", "{", "}", ",", ":", "1", "-7", "4294967296", "1e308",
        "-1e400", "0.5", "NaN", "true", "null", "\"a b\"", "\"\\u0000\"", "\"\\ud800\"", "mouse/icType", "#",
        "\xC3\xA9", "\xFF", "\x01", "[[[[[[[[", "]]]]", "{\"k\":[1,{\"x\":\"y\"}]}", "[1,\"two\",3]", "''", "\\n"};
    const int rounds = iterations(3000);
    QRandomGenerator rng = seeded(0x5C1D);
    Target target;
    int called = 0;
    for (int i = 0; i < rounds; ++i) {
        QByteArray line = names[rng.bounded(int(std::size(names)))];
        for (int k = rng.bounded(0, 24); k > 0; --k)
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
    const QStringList good[] = {{"takeInt", "5"}, {"takeUint", "7", "true"}, {"takeString", "\"a b\"", "c"},
                                {"takeList", "[\"x\",2]"}, {"takeVariant", "{\"k\":[1,2]}"},
                                {"takeVariantList", "[1,\"two\"]", "3"}, {"takeMap", "{\"a\":1}"},
                                {"takeDouble", "0.5", "9000000000"}, {"takeBytes", "abc"},
                                {"takeMany", "1", "s", "[1]", "2", "false", "1.5", "[\"l\"]", "{}", "[]", "3"}};
    for (const QStringList &words : good) {
        const SlotCall::Outcome out = SlotCall::invoke(&target, words.first(), words.mid(1));
        QVERIFY2(out.ok, qPrintable(words.join(' ') + ": " + out.error));
        QCOMPARE(target.last.size(), words.size() - 1);
    }
    QCOMPARE(target.last.at(1).toString(), QStringLiteral("s"));
    QCOMPARE(target.last.at(6).toStringList(), QStringList{"l"});
}

void TestCopyData::endpoint_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks"); // none: stalls mid-record, the line kept open
    QTest::addColumn<QByteArray>("bytes");         // empty: nothing taken
    QTest::addColumn<QString>("debug");
    const QByteArray hello = record("hello"), taken("hello\0", 6);
    const QString early = "copydata: sender closed before the record was complete";
    QList<QByteArray> bytewise;
    for (char c : hello)
        bytewise << QByteArray(1, c);
    using C = QList<QByteArray>;
    QTest::newRow("one write") << C{hello} << taken << QString();
    QTest::newRow("byte by byte") << bytewise << taken << QString();
    QTest::newRow("more than claimed stays unread") << C{hello + "trailing garbage"} << taken << QString();
    QTest::newRow("any tag is taken") << C{record("hi", 42)} << QByteArray("hi\0", 3) << QString();
    QTest::newRow("claims more than it sends") << C{CopyDataEndpoint::encodeRecord(0x250F, 50, "hello")} << QByteArray() << early;
    QTest::newRow("header cut short") << C{hello.left(7)} << QByteArray() << early;
    QTest::newRow("claims 4 GiB") << C{CopyDataEndpoint::encodeRecord(0x250F, 0xFFFFFFFFu, "hello")} << QByteArray()
                                  << "copydata: record of 4294967295 bytes refused, the limit is 1048576";
    QTest::newRow("claims one byte over the limit") << C{CopyDataEndpoint::encodeRecord(0x250F, CopyDataEndpoint::maxPayload + 1, "hello")}
                                                    << QByteArray() << "copydata: record of 1048577 bytes refused, the limit is 1048576";
    QTest::newRow("stalled") << C{} << QByteArray() << "copydata: sender stalled, record dropped";
}

void TestCopyData::endpoint()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, debug);
    QList<CopyDataRecord> records;
    const QString name = uniqueName();
    QVERIFY(CopyDataEndpoint::serverNameFor("/opt/a/skeld-config") != CopyDataEndpoint::serverNameFor("/opt/b/skeld-config"));
    CopyDataEndpoint endpoint(name, [&](const CopyDataRecord &r) { records << r; });
    QVERIFY(endpoint.listen());
    DebugCapture cap;
    if (chunks.isEmpty()) {
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
    if (!debug.isEmpty()) QTRY_VERIFY_WITH_TIMEOUT(cap.contains(debug), chunks.isEmpty() ? 5000 : CopyDataEndpoint::stallTimeoutMs / 2);
    QTRY_COMPARE(records.size(), bytes.isEmpty() ? 0 : 1);
    QTest::qWait(50);
    QCOMPARE(records.size(), bytes.isEmpty() ? 0 : 1);
    if (!bytes.isEmpty()) QCOMPARE(records.first().bytes, bytes);
    // The endpoint still serves the next sender.
    records.clear();
    send(name, {record("ok")});
    QTRY_COMPARE(records.size(), 1);
    QCOMPARE(records.first().bytes, QByteArray("ok\0", 3));
}

void TestCopyData::randomStreams()
{
    // Senders of every sort, one after another: only complete records come
    // through, each exactly cbData + 1 bytes, and the endpoint keeps going.
    QList<QByteArray> got, expected;
    const QString name = uniqueName();
    CopyDataEndpoint endpoint(name, [&](const CopyDataRecord &r) { got << r.bytes; });
    QVERIFY(endpoint.listen());
    QRandomGenerator rng(0x250F);
    for (int i = 0; i < 150; ++i) {
        const quint32 claim = rng.bounded(4) == 0 ? rng.generate() : quint32(rng.bounded(0, 64));
        QByteArray payload(rng.bounded(0, 80), Qt::Uninitialized);
        for (char &c : payload)
            c = char(rng.bounded(256));
        QByteArray stream = CopyDataEndpoint::encodeRecord(rng.generate64(), claim, payload);
        stream.truncate(rng.bounded(int(stream.size()) + 1));
        if (claim <= CopyDataEndpoint::maxPayload && stream.size() >= CopyDataEndpoint::headerSize + qsizetype(claim) + 1)
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
    QTRY_COMPARE(got.size(), expected.size());
    // Connections may finish in another order than they started.
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(got, expected);
}

void TestCopyData::warningBox_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("window");
    QTest::addColumn<QString>("box"); // empty: none
    const QByteArray text("Firmware 1.2 \xE2\x9C\x93");
    const QString shown = QStringLiteral("SKELD R772|%1|%2|%3").arg(QString::fromUtf8(text)).arg(int(QMessageBox::Warning)).arg(int(QMessageBox::Ok));
    QTest::newRow("well-formed") << record(text) << true << shown;
    QTest::newRow("no window, no box") << record(text) << false << QString();
    QTest::newRow("wrong dwData") << record(text, 0x250E) << true << QString();
    QTest::newRow("wrong length") << CopyDataEndpoint::encodeRecord(0x250F, quint32(text.size() - 1), text) << true << QString();
    QTest::newRow("invalid UTF-8") << CopyDataEndpoint::encodeRecord(0x250F, 4, "ab\xC3\x28") << true << QString();
    QTest::newRow("claims more than it sends") << CopyDataEndpoint::encodeRecord(0x250F, 400, text) << true << QString();
}

void TestCopyData::warningBox()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, window);
    QFETCH(QString, box);
    QWidget main;
    main.setWindowTitle("SKELD R772");
    GlobalInputHook hook(&noSource);
    const QString name = uniqueName();
    hook.setCopyDataServerName(name);
    hook.setCopyDataCallback(&InputRouting::copyDataToWarning, qApp, window ? &main : nullptr);
    QVERIFY(hook.copyDataEndpoint());
    Boxes boxes;
    QStringList &seen = boxes.seen;
    QCOMPARE(send(name, {bytes}, !box.isEmpty() || !window), (box.isEmpty() && window) ? QByteArray() : QByteArray("\x01"));
    if (!box.isEmpty()) QTRY_VERIFY(!seen.isEmpty());
    QTest::qWait(200);
    QCOMPARE(seen, box.isEmpty() ? QStringList() : QStringList{box});
    if (!window) return;
    // Still running, still listening.
    send(name, {record("yes")});
    QTRY_COMPARE(seen.size(), box.isEmpty() ? 1 : 2);
    QVERIFY(seen.last().startsWith("SKELD R772|yes|"));
}

void TestCopyData::burstShowsOneBoxAtATime()
{
    // A sender in another thread fires records while the first box is held
    // open: the rest wait in a short queue or are dropped, and no box ever
    // opens inside another.
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
    QCOMPARE(boxes.seen.first().section('|', 1, 1), QStringLiteral("0"));
    QCOMPARE(boxes.seen.last().section('|', 1, 1), QString::number(pending));
    QTRY_VERIFY(cap.contains(QStringLiteral("copydata: %1 messages dropped while a box was open").arg(burst - 1 - pending)));
    // The next record opens a box again.
    send(name, {record("yes")});
    QTRY_COMPARE(boxes.seen.size(), 2 + pending);
}

QTEST_MAIN(TestCopyData)
#include "tst_copydata.moc"
