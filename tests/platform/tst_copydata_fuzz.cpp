// Random and mutated copy-data records against the decoder. Each record's
// bytes sit in a heap block of exactly their size, so under AddressSanitizer
// any read past them stops the run. The sanitizer run:
//   cmake -S . -B build-asan -G Ninja -DSKELD_SANITIZE=address,undefined
//   cmake --build build-asan --target tst_copydata_fuzz
//   SKELD_FUZZ_ITERATIONS=2000000 build-asan/tests/platform/tst_copydata_fuzz
// (SKELD_FUZZ_SEED picks another sequence.)
#include "input/GlobalInputHook.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

class TestCopyDataFuzz : public QObject
{
    Q_OBJECT
private slots:
    void fuzz();
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
} // namespace

void TestCopyDataFuzz::fuzz()
{
    bool ok = false;
    int iterations = qEnvironmentVariableIntValue("SKELD_FUZZ_ITERATIONS", &ok);
    if (!ok || iterations <= 0) iterations = 20000;
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

QTEST_GUILESS_MAIN(TestCopyDataFuzz)
#include "tst_copydata_fuzz.moc"
