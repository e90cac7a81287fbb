// What other local programs hand us as text, random and mutated: copy-data
// records against the decoder, and skeldctl batch lines against the slot
// call. Each record's bytes sit in a heap block of exactly their size, so
// under AddressSanitizer any read past them stops the run; scripts/test.sh
// runs this in its sanitizer build. By hand:
//   cmake -S . -B build-asan -G Ninja -DSKELD_SANITIZE=address,undefined
//   cmake --build build-asan --target tst_copydata_fuzz
//   SKELD_FUZZ_ITERATIONS=2000000 build-asan/tests/platform/tst_copydata_fuzz
// (SKELD_FUZZ_SEED picks another sequence.)
#include "cli/SlotCall.h"
#include "input/GlobalInputHook.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

class TestCopyDataFuzz : public QObject
{
    Q_OBJECT
private slots:
    void fuzz();
    void batchLines();
};

namespace
{
QByteArray randomText(QRandomGenerator &rng)
{
    // Pieces of well-formed UTF-8 of every length, plus ASCII.
    static const char *const pieces[] = {"a",
                                         "Z",
                                         " ",
                                         "\xC3\xA9",
                                         "\xE2\x82\xAC",
                                         "\xF0\x9F\x98\x80",
                                         "\xEF\xBB\xBF",
                                         "\xDF\xBF",
                                         "\xF4\x8F\xBF\xBF"};
    QByteArray t;
    const int n = rng.bounded(0, 24);
    for (int i = 0; i < n; ++i)
        t += pieces[rng.bounded(int(std::size(pieces)))];
    return t;
}

int iterations(int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("SKELD_FUZZ_ITERATIONS", &ok);
    return ok && n > 0 ? n : fallback;
}

// Slots of the parameter and result types the bridge uses; each keeps what
// it was given so the test can see the call went through whole.
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
    void takeMany(int a, QString b, QVariant c, uint d, bool e, double f, QStringList g,
                  QVariantMap h, QVariantList i, qlonglong j)
    {
        last = {a, b, c, d, e, f, g, h, i, j};
    }
};
} // namespace

void TestCopyDataFuzz::fuzz()
{
    const int iterations = ::iterations(20000);
    const quint32 seed = quint32(qEnvironmentVariableIntValue("SKELD_FUZZ_SEED"));
    QRandomGenerator rng(seed ? seed : 0x250F);
    int shown = 0;
    for (int i = 0; i < iterations; ++i) {
        QByteArray content = randomText(rng);
        quint32 cbData = quint32(content.size());
        quint64 dwData = 0x250F;
        const bool wellFormed = rng.bounded(4) == 0;
        content.append('\0');
        if (!wellFormed) {
            switch (rng.bounded(6)) {
            case 0: // flip random bytes
                for (int k = rng.bounded(1, 4); k > 0 && !content.isEmpty(); --k)
                    content[rng.bounded(int(content.size()))] = char(rng.bounded(256));
                break;
            case 1: // cut short
                content.truncate(rng.bounded(int(content.size()) + 1));
                break;
            case 2: // another claim
                cbData = rng.bounded(3) == 0 ? rng.generate() : quint32(rng.bounded(0, 40));
                break;
            case 3: // another tag
                dwData = rng.generate64();
                break;
            case 4: // random bytes throughout
                content.resize(rng.bounded(0, 40));
                for (char &c : content)
                    c = char(rng.bounded(256));
                cbData = quint32(rng.bounded(0, 44));
                break;
            default: // extra bytes after the zero
                content += QByteArray(rng.bounded(1, 8), char(rng.bounded(256)));
                break;
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
    QVERIFY(shown >= iterations / 4);
}

void TestCopyDataFuzz::batchLines()
{
    // Lines built from the pieces that trip a line splitter and a JSON
    // reader: quotes, escapes, brackets left open or closed too often,
    // nesting, huge and odd numbers, control and non-ASCII characters.
    static const char *const names[] = {"none",       "takeInt",   "takeUint",
                                        "takeString", "takeList",  "takeVariant",
                                        "takeVariantList", "takeMap", "takeDouble",
                                        "takeBytes",  "takeMany",  "deleteLater",
                                        "noSuchSlot", "",          "takeInt(int)"};
    static const char *const pieces[] = {
        " ",  "  ", "\t", "\"", "\\", "\\\"", "[", "]", "{", "}", ",", ":", "1", "-7",
        "4294967296", "1e308", "-1e400", "0.5", "NaN", "true", "null", "\"a b\"", "\"\\u0000\"",
        "\"\\ud800\"", "mouse/icType", "#", "\xC3\xA9", "\xFF", "\x01", "[[[[[[[[", "]]]]",
        "{\"k\":[1,{\"x\":\"y\"}]}", "[1,\"two\",3]", "''", "\\n"};
    const int rounds = iterations(3000);
    const quint32 seed = quint32(qEnvironmentVariableIntValue("SKELD_FUZZ_SEED"));
    QRandomGenerator rng(seed ? seed : 0x5C1D);
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
    // Well-formed calls of every kind, so the arguments' way in is exercised.
    const QStringList good[] = {
        {"takeInt", "5"},
        {"takeUint", "7", "true"},
        {"takeString", "\"a b\"", "c"},
        {"takeList", "[\"x\",2]"},
        {"takeVariant", "{\"k\":[1,2]}"},
        {"takeVariantList", "[1,\"two\"]", "3"},
        {"takeMap", "{\"a\":1}"},
        {"takeDouble", "0.5", "9000000000"},
        {"takeBytes", "abc"},
        {"takeMany", "1", "s", "[1]", "2", "false", "1.5", "[\"l\"]", "{}", "[]", "3"}};
    for (const QStringList &words : good) {
        const SlotCall::Outcome out = SlotCall::invoke(&target, words.first(), words.mid(1));
        QVERIFY2(out.ok, qPrintable(words.join(' ') + ": " + out.error));
        QCOMPARE(target.last.size(), words.size() - 1);
    }
    QCOMPARE(target.last.at(1).toString(), QStringLiteral("s"));
    QCOMPARE(target.last.at(6).toStringList(), QStringList{"l"});
    QVERIFY(called > 0);
}

QTEST_GUILESS_MAIN(TestCopyDataFuzz)
#include "tst_copydata_fuzz.moc"
