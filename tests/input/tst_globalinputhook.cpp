#include "input/GlobalInputHook.h"
#include "platform/EvdevScanCodes.h"

#include <QtTest>

namespace
{
struct Recorder {
    QStringList events;
};

void recordKey(quint8 usbCode, quint8 isDown, void *context)
{
    static_cast<Recorder *>(context)->events
        << QStringLiteral("key %1 %2").arg(usbCode, 2, 16, QLatin1Char('0')).arg(isDown);
}

void recordButton(quint8 buttonCode, quint8 isDown, qint32 x, qint32 y, void *context)
{
    static_cast<Recorder *>(context)->events << QStringLiteral("button %1 %2 %3,%4")
                                                    .arg(buttonCode, 2, 16, QLatin1Char('0'))
                                                    .arg(isDown)
                                                    .arg(x)
                                                    .arg(y);
}

void recordCopyData(const CopyDataRecord *record, void *context)
{
    static_cast<Recorder *>(context)->events
        << QStringLiteral("copydata %1 %2").arg(record->dwData, 0, 16).arg(record->cbData);
}

std::unique_ptr<InputSource> noSource(InputSink &)
{
    return nullptr;
}

// One low-level key event: message, scan code, flags.
struct Key {
    quint32 message;
    quint32 scan;
    quint32 flags;
    int hookCode = 0;
};
using KeyList = QList<Key>;
constexpr quint32 D = InputSink::KeyDownMessage;
constexpr quint32 U = InputSink::KeyUpMessage;
constexpr quint32 SD = InputSink::SysKeyDownMessage;
constexpr quint32 SU = InputSink::SysKeyUpMessage;
constexpr quint32 EXT = InputSink::ExtendedFlag;
constexpr quint32 ALT = InputSink::AltDownFlag;
} // namespace

Q_DECLARE_METATYPE(Key)

class TestGlobalInputHook : public QObject
{
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void keyStateIsKeptWithoutCallback();
    void buttons_data();
    void buttons();
    void copyDataNeedsACallback();
    void copyDataText_data();
    void copyDataText();
    void copyDataNeverLooksPastTheClaimedLength();
    void evdevFeederSetsAltFlag();
    void noSourceMeansNoHooks();
};

void TestGlobalInputHook::keys_data()
{
    QTest::addColumn<KeyList>("input");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("held key: one down, one up")
        << KeyList{{D, 0x1E, 0}, {D, 0x1E, 0}, {D, 0x1E, 0}, {U, 0x1E, 0}}
        << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("release without press gives nothing") << KeyList{{U, 0x1E, 0}} << QStringList{};
    QTest::newRow("scan above 255 counts as 0, not as its low byte")
        << KeyList{{D, 0x11E, 0}, {U, 0x11E, 0}, {D, 0x11C, EXT}} << QStringList{};
    QTest::newRow("extended and plain Enter are two keys")
        << KeyList{{D, 0x1C, 0}, {D, 0x1C, EXT}, {U, 0x1C, EXT}, {U, 0x1C, 0}}
        << QStringList{"key 28 1", "key 58 1", "key 58 0", "key 28 0"};
    QTest::newRow("left and right Ctrl")
        << KeyList{{D, 0x1D, 0}, {D, 0x1D, EXT}} << QStringList{"key e0 1", "key e4 1"};
    QTest::newRow("extended Scroll Lock is Pause")
        << KeyList{{D, 0x46, EXT}, {U, 0x46, EXT}, {D, 0x46, 0}}
        << QStringList{"key 48 1", "key 48 0", "key 47 1"};
    QTest::newRow("0x54 with Alt is Print")
        << KeyList{{SD, 0x54, ALT}, {SU, 0x54, ALT}} << QStringList{"key 46 1", "key 46 0"};
    QTest::newRow("0x54 without Alt is unknown") << KeyList{{D, 0x54, 0}} << QStringList{};
    QTest::newRow("system key-down counts as down")
        << KeyList{{SD, 0x1E, ALT}, {SU, 0x1E, ALT}} << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("other messages are releases")
        << KeyList{{D, 0x1E, 0}, {0x102, 0x1E, 0}} << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("a hook code other than 0 is never a press")
        << KeyList{{D, 0x1E, 0, 1}, {D, 0x1E, 0, 0}, {D, 0x1E, 0, 3}}
        << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("unknown keys give no call")
        << KeyList{{D, 0x5C, EXT}, {D, 0x7F, 0}, {D, 0x00, 0}, {D, 0x36, 0}} << QStringList{};
    QTest::newRow("every state change of two keys")
        << KeyList{{D, 0x2A, 0}, {D, 0x1E, 0}, {U, 0x2A, 0}, {D, 0x1E, 0}, {U, 0x1E, 0}}
        << QStringList{"key e1 1", "key 04 1", "key e1 0", "key 04 0"};
}

void TestGlobalInputHook::keys()
{
    QFETCH(KeyList, input);
    QFETCH(QStringList, expected);
    GlobalInputHook hook(&noSource);
    Recorder rec;
    hook.setKeyboardCallback(&recordKey, &rec);
    for (const Key &k : input)
        hook.keyboardEvent(k.hookCode, k.message, k.scan, k.flags);
    QCOMPARE(rec.events, expected);
}

void TestGlobalInputHook::keyStateIsKeptWithoutCallback()
{
    GlobalInputHook hook(&noSource);
    hook.keyboardEvent(0, D, 0x1E, 0);
    Recorder rec;
    hook.setKeyboardCallback(&recordKey, &rec);
    hook.keyboardEvent(0, D, 0x1E, 0);
    hook.keyboardEvent(0, U, 0x1E, 0);
    QCOMPARE(rec.events, QStringList{"key 04 0"});
}

void TestGlobalInputHook::buttons_data()
{
    QTest::addColumn<QList<quint32>>("messages");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("left click") << QList<quint32>{0x201, 0x202}
                                << QStringList{"button f0 1 10,-20", "button f0 0 10,-20"};
    QTest::newRow("right click") << QList<quint32>{0x204, 0x205}
                                 << QStringList{"button f1 1 10,-20", "button f1 0 10,-20"};
    QTest::newRow("middle click") << QList<quint32>{0x207, 0x208}
                                  << QStringList{"button f2 1 10,-20", "button f2 0 10,-20"};
    QTest::newRow("double-clicks ignored, the following ups are not")
        << QList<quint32>{0x203, 0x202, 0x206, 0x205}
        << QStringList{"button f0 0 10,-20", "button f1 0 10,-20"};
    QTest::newRow("buttons are not de-duplicated")
        << QList<quint32>{0x201, 0x201} << QStringList{"button f0 1 10,-20", "button f0 1 10,-20"};
    QTest::newRow("moves, wheel, side buttons, middle double-click")
        << QList<quint32>{0x200, 0x209, 0x20A, 0x20B, 0x20C, 0x20E, 0x1FF, 0xFFFFFFFF}
        << QStringList{};
}

void TestGlobalInputHook::buttons()
{
    QFETCH(QList<quint32>, messages);
    QFETCH(QStringList, expected);
    GlobalInputHook hook(&noSource);
    Recorder rec;
    hook.setMouseCallback(&recordButton, &rec);
    for (quint32 m : messages)
        hook.mouseEvent(0, m, 10, -20);
    QCOMPARE(rec.events, expected);
}

void TestGlobalInputHook::copyDataNeedsACallback()
{
    GlobalInputHook hook(&noSource);
    CopyDataRecord r{0x250F, 2, QByteArray("hi\0", 3)};
    QVERIFY(!hook.copyDataMessage(r));
    Recorder rec;
    hook.setCopyDataCallback(&recordCopyData, nullptr, &rec);
    QVERIFY(hook.copyDataMessage(r));
    r.dwData = 7;
    QVERIFY(hook.copyDataMessage(r)); // consumed whatever its tag
    QCOMPARE(rec.events, (QStringList{"copydata 250f 2", "copydata 7 2"}));
    QVERIFY(!hook.copyDataEndpoint()); // no application: no endpoint
}

void TestGlobalInputHook::copyDataText_data()
{
    QTest::addColumn<quint64>("dwData");
    QTest::addColumn<quint32>("cbData");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("text");

    const QByteArray umlauts("Gr\xC3\xBC\xC3\x9F"
                             "e");
    QTest::newRow("ascii") << quint64(0x250F) << 5u << QByteArray("hello\0", 6) << true
                           << QStringLiteral("hello");
    QTest::newRow("utf-8") << quint64(0x250F) << quint32(umlauts.size())
                           << umlauts + QByteArray(1, '\0') << true << QString::fromUtf8(umlauts);
    QTest::newRow("empty text") << quint64(0x250F) << 0u << QByteArray(1, '\0') << true
                                << QString();
    QTest::newRow("other tag") << quint64(0x2510) << 5u << QByteArray("hello\0", 6) << false
                               << QString();
    QTest::newRow("tag in the high bits")
        << quint64(0x1000000250F) << 5u << QByteArray("hello\0", 6) << false << QString();
    QTest::newRow("claims more than the text")
        << quint64(0x250F) << 6u << QByteArray("hello\0\0", 7) << false << QString();
    QTest::newRow("claims less than the text")
        << quint64(0x250F) << 4u << QByteArray("hello\0", 6) << false << QString();
    QTest::newRow("zero byte inside")
        << quint64(0x250F) << 5u << QByteArray("he\0lo\0", 6) << false << QString();
    QTest::newRow("no terminating zero")
        << quint64(0x250F) << 5u << QByteArray("helloX", 6) << false << QString();
    QTest::newRow("cut short") << quint64(0x250F) << 5u << QByteArray("hel", 3) << false
                               << QString();
    QTest::newRow("nothing at all") << quint64(0x250F) << 5u << QByteArray() << false << QString();
    QTest::newRow("huge claim") << quint64(0x250F) << 0xFFFFFFFFu << QByteArray("hello\0", 6)
                                << false << QString();
    QTest::newRow("invalid byte") << quint64(0x250F) << 3u
                                  << QByteArray("a\xFF"
                                                "b\0",
                                                4)
                                  << false << QString();
    QTest::newRow("overlong slash")
        << quint64(0x250F) << 2u << QByteArray("\xC0\xAF\0", 3) << false << QString();
    QTest::newRow("surrogate") << quint64(0x250F) << 3u << QByteArray("\xED\xA0\x80\0", 4) << false
                               << QString();
    QTest::newRow("truncated sequence of the right length")
        << quint64(0x250F) << 3u << QByteArray("ab\xE2\0", 4) << false << QString();
    QTest::newRow("byte-order mark kept")
        << quint64(0x250F) << 5u << QByteArray("\xEF\xBB\xBFhi\0", 6) << true
        << QString(QChar(0xFEFF)) + QStringLiteral("hi");
}

void TestGlobalInputHook::copyDataText()
{
    QFETCH(quint64, dwData);
    QFETCH(quint32, cbData);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, shown);
    QFETCH(QString, text);
    const std::optional<QString> got = ::copyDataText(CopyDataRecord{dwData, cbData, bytes});
    QCOMPARE(got.has_value(), shown);
    if (shown) QCOMPARE(*got, text);
}

void TestGlobalInputHook::copyDataNeverLooksPastTheClaimedLength()
{
    // A zero byte two places past the claim: a decoder that searched the
    // whole buffer would find "hello" of 5 bytes... with cbData 3 it must not.
    QCOMPARE(::copyDataText(CopyDataRecord{0x250F, 3,
                                           QByteArray("hel"
                                                      "lo\0",
                                                      6)})
                 .has_value(),
             false);
    // The record's buffer is exactly what the sender gave: bytes beyond it
    // are not there to be read (AddressSanitizer builds would catch it).
    const char raw[] = {'o', 'k'};
    const QByteArray exact = QByteArray::fromRawData(raw, sizeof raw);
    QCOMPARE(::copyDataText(CopyDataRecord{0x250F, 2, exact}).has_value(), false);
}

void TestGlobalInputHook::evdevFeederSetsAltFlag()
{
    GlobalInputHook hook(&noSource);
    Recorder rec;
    hook.setKeyboardCallback(&recordKey, &rec);
    EvdevKeyFeeder feeder(hook);
    feeder.feed(84, true); // 0x54 without Alt: nothing
    feeder.feed(84, false);
    feeder.feed(100, true); // right Alt
    feeder.feed(84, true);  // now Print
    feeder.feed(84, false);
    feeder.feed(100, false);
    feeder.feed(84, true); // Alt released: nothing again
    QCOMPARE(rec.events, (QStringList{"key e6 1", "key 46 1", "key 46 0", "key e6 0"}));
}

void TestGlobalInputHook::noSourceMeansNoHooks()
{
    GlobalInputHook hook(&noSource);
    QVERIFY(!hook.hooksInstalled());
    QVERIFY(!hook.installHooks());
    QVERIFY(hook.sourceName().isEmpty());
}

QTEST_MAIN(TestGlobalInputHook)
#include "tst_globalinputhook.moc"
