// From a platform's key and button events to the usage codes the pages
// record: the scan code tables, evdev codes, and the hook's own filtering.
#include "input/GlobalInputHook.h"
#include "input/KeyTables.h"
#include "platform/EvdevScanCodes.h"

#include <QtTest>

namespace {
QStringList events;

void recordKey(quint8 usbCode, quint8 isDown, void *)
{
    events << QStringLiteral("key %1 %2").arg(usbCode, 2, 16, QLatin1Char('0')).arg(isDown);
}

void recordButton(quint8 buttonCode, quint8 isDown, qint32 x, qint32 y, void *)
{
    events << QStringLiteral("button %1 %2 %3,%4").arg(buttonCode, 2, 16, QLatin1Char('0')).arg(isDown).arg(x).arg(y);
}

std::unique_ptr<InputSource> noSource(InputSink &) { return nullptr; }

// One low-level key event: message, scan code, flags, hook code.
struct Key {
    quint32 message, scan, flags;
    int hookCode = 0;
};
using KeyList = QList<Key>;
constexpr quint32 D = InputSink::KeyDownMessage, U = InputSink::KeyUpMessage;
constexpr quint32 SD = InputSink::SysKeyDownMessage, SU = InputSink::SysKeyUpMessage;
constexpr quint32 EXT = InputSink::ExtendedFlag, ALT = InputSink::AltDownFlag;
} // namespace

Q_DECLARE_METATYPE(Key)

class TestKeyTables : public QObject
{
    Q_OBJECT
private slots:
    void init() { events.clear(); }
    void tables();
    void hookKeys_data();
    void hookKeys();
    void hookButtons_data();
    void hookButtons();
};

void TestKeyTables::tables()
{
    int scanEntries = 0, usageEntries = 0;
    for (int key = 0; key <= 0xFFFF; ++key)
        scanEntries += KeyTables::internalCode(quint16(key)) != 0;
    for (int code = 0; code <= 0xFF; ++code)
        usageEntries += KeyTables::usageCode(quint8(code)) != 0;
    QCOMPARE(scanEntries, KeyTables::scanCodeEntryCount);
    QCOMPARE(scanEntries, 105);
    QCOMPARE(usageEntries, KeyTables::usageEntryCount);
    QCOMPARE(usageEntries, 121);

    // Scan code (extended or not) to the internal code and the usage code.
    const struct { const char *name; int scan; bool ext; int internal, usage; } scans[] = {
        {"A", 0x1E, 0, 0x41, 0x04}, {"Z", 0x2C, 0, 0x5A, 0x1D}, {"X", 0x2D, 0, 0x58, 0x1B}, {"Esc", 0x01, 0, 0x1B, 0x29},
        {"1", 0x02, 0, 0x31, 0x1E}, {"0", 0x0B, 0, 0x30, 0x27}, {"Enter", 0x1C, 0, 0x0D, 0x28},
        {"keypad Enter", 0x1C, 1, 0x0E, 0x58}, {"left Ctrl", 0x1D, 0, 0xA2, 0xE0}, {"right Ctrl", 0x1D, 1, 0xA3, 0xE4},
        {"slash", 0x35, 0, 0xBF, 0x38}, {"keypad slash", 0x35, 1, 0x6F, 0x54}, {"right Shift", 0x36, 1, 0xA1, 0xE5},
        {"right Shift plain", 0x36, 0, 0, 0}, {"keypad *", 0x37, 0, 0x6A, 0x55}, {"Print", 0x37, 1, 0x2C, 0x46},
        {"right Alt", 0x38, 1, 0xA5, 0xE6}, {"Pause", 0x45, 0, 0x13, 0x48}, {"Num Lock", 0x45, 1, 0x90, 0x53},
        {"Scroll Lock", 0x46, 0, 0x91, 0x47}, {"keypad 7", 0x47, 0, 0x67, 0x5F}, {"Home", 0x47, 1, 0x24, 0x4A},
        {"Up", 0x48, 1, 0x26, 0x52}, {"Left", 0x4B, 1, 0x25, 0x50}, {"Right", 0x4D, 1, 0x27, 0x4F},
        {"Down", 0x50, 1, 0x28, 0x51}, {"Delete", 0x53, 1, 0x2E, 0x4C}, {"keypad .", 0x53, 0, 0x6E, 0x63},
        {"backslash", 0x2B, 0, 0xDC, 0x31}, {"102nd key", 0x56, 0, 0xE2, 0x64}, {"F1", 0x3B, 0, 0x70, 0x3A},
        {"F11", 0x57, 0, 0x7A, 0x44}, {"F12", 0x58, 0, 0x7B, 0x45}, {"F23", 0x6E, 0, 0x86, 0x72},
        {"left Windows", 0x5B, 1, 0x5B, 0xE3}, {"right Windows", 0x5C, 1, 0, 0}, {"menu", 0x5D, 1, 0x5D, 0x65},
        {"0x54 without Alt", 0x54, 0, 0, 0}, {"scan 0", 0x00, 0, 0, 0}};
    for (const auto &r : scans) {
        QVERIFY2(KeyTables::internalCode(KeyTables::scanKey(quint8(r.scan), r.ext)) == r.internal, r.name);
        QVERIFY2(KeyTables::usageForScan(quint8(r.scan), r.ext) == r.usage, r.name);
    }
    // Internal codes only the usage map knows (right Windows, F13, F24, ...).
    const std::pair<int, int> usageOnly[] = {{0x5C, 0xE7}, {0x7C, 0x68}, {0x87, 0x73}, {0xC1, 0x87}, {0xC2, 0x85},
                                             {0xEB, 0x8B}, {0xFF, 0x66}, {19, 0x48}, {44, 0x46}, {0x0A, 0}, {0, 0}};
    for (auto [internal, usage] : usageOnly)
        QCOMPARE(int(KeyTables::usageCode(quint8(internal))), usage);
    // evdev codes: 1..88 are set-1 scan codes, only two reported extended.
    for (int code = 1; code <= 88; ++code) {
        QCOMPARE(int(scanCodeForEvdev(code).scan), code);
        QCOMPARE(scanCodeForEvdev(code).extended, code == 54 || code == 69);
    }
    const struct { int evdev, scan; bool ext; int usage; } evdevs[] = {
        {30, 0x1E, 0, 0x04}, {28, 0x1C, 0, 0x28}, {96, 0x1C, 1, 0x58}, {97, 0x1D, 1, 0xE4}, {98, 0x35, 1, 0x54},
        {99, 0x37, 1, 0x46}, {100, 0x38, 1, 0xE6}, {54, 0x36, 1, 0xE5}, {69, 0x45, 1, 0x53}, {119, 0x45, 0, 0x48},
        {102, 0x47, 1, 0x4A}, {71, 0x47, 0, 0x5F}, {109, 0x51, 1, 0x4E}, {110, 0x52, 1, 0x49}, {111, 0x53, 1, 0x4C},
        {125, 0x5B, 1, 0xE3}, {126, 0x5C, 1, 0}, {127, 0x5D, 1, 0x65}, {88, 0x58, 0, 0x45}, {193, 0x6E, 0, 0x72},
        {113, 0, 0, 0}, {0, 0, 0, 0}, {-5, 0, 0, 0}, {100000, 0, 0, 0}};
    for (const auto &r : evdevs) {
        const ScanCode sc = scanCodeForEvdev(r.evdev);
        const QByteArray at = QByteArray::number(r.evdev);
        QVERIFY2(sc.scan == r.scan && sc.extended == r.ext, at);
        QVERIFY2(KeyTables::usageForScan(quint8(sc.scan), sc.extended) == r.usage, at);
    }
}

void TestKeyTables::hookKeys_data()
{
    QTest::addColumn<KeyList>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("held key: one down, one up") << KeyList{{D, 0x1E, 0}, {D, 0x1E, 0}, {D, 0x1E, 0}, {U, 0x1E, 0}}
                                                << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("release without press gives nothing") << KeyList{{U, 0x1E, 0}} << QStringList{};
    QTest::newRow("scan above 255 counts as 0") << KeyList{{D, 0x11E, 0}, {U, 0x11E, 0}, {D, 0x11C, EXT}} << QStringList{};
    QTest::newRow("extended and plain Enter are two keys") << KeyList{{D, 0x1C, 0}, {D, 0x1C, EXT}, {U, 0x1C, EXT}, {U, 0x1C, 0}}
                                                           << QStringList{"key 28 1", "key 58 1", "key 58 0", "key 28 0"};
    QTest::newRow("left and right Ctrl") << KeyList{{D, 0x1D, 0}, {D, 0x1D, EXT}} << QStringList{"key e0 1", "key e4 1"};
    QTest::newRow("extended Scroll Lock is Pause") << KeyList{{D, 0x46, EXT}, {U, 0x46, EXT}, {D, 0x46, 0}}
                                                   << QStringList{"key 48 1", "key 48 0", "key 47 1"};
    QTest::newRow("0x54 with Alt is Print") << KeyList{{SD, 0x54, ALT}, {SU, 0x54, ALT}} << QStringList{"key 46 1", "key 46 0"};
    QTest::newRow("0x54 without Alt is unknown") << KeyList{{D, 0x54, 0}} << QStringList{};
    QTest::newRow("system key-down counts as down") << KeyList{{SD, 0x1E, ALT}, {SU, 0x1E, ALT}} << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("other messages are releases") << KeyList{{D, 0x1E, 0}, {0x102, 0x1E, 0}} << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("a hook code other than 0 is never a press") << KeyList{{D, 0x1E, 0, 1}, {D, 0x1E, 0, 0}, {D, 0x1E, 0, 3}}
                                                               << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("unknown keys give no call") << KeyList{{D, 0x5C, EXT}, {D, 0x7F, 0}, {D, 0x00, 0}, {D, 0x36, 0}} << QStringList{};
    QTest::newRow("every state change of two keys") << KeyList{{D, 0x2A, 0}, {D, 0x1E, 0}, {U, 0x2A, 0}, {D, 0x1E, 0}, {U, 0x1E, 0}}
                                                    << QStringList{"key e1 1", "key 04 1", "key e1 0", "key 04 0"};
}

void TestKeyTables::hookKeys()
{
    QFETCH(KeyList, input);
    QFETCH(QStringList, expected);
    GlobalInputHook hook(&noSource);
    QVERIFY(!hook.hooksInstalled());
    QVERIFY(!hook.installHooks());
    QVERIFY(hook.sourceName().isEmpty());
    hook.setKeyboardCallback(&recordKey, nullptr);
    for (const Key &k : input)
        hook.keyboardEvent(k.hookCode, k.message, k.scan, k.flags);
    QCOMPARE(events, expected);

    // The key state is kept while no callback is set.
    GlobalInputHook quiet(&noSource);
    quiet.keyboardEvent(0, D, 0x1E, 0);
    quiet.setKeyboardCallback(&recordKey, nullptr);
    events.clear();
    quiet.keyboardEvent(0, D, 0x1E, 0);
    quiet.keyboardEvent(0, U, 0x1E, 0);
    QCOMPARE(events, QStringList{"key 04 0"});

    // evdev's right Alt makes 0x54 Print, as Alt does on the other platforms.
    events.clear();
    EvdevKeyFeeder feeder(hook);
    const std::pair<int, bool> presses[] = {{84, true}, {84, false}, {100, true}, {84, true}, {84, false}, {100, false}, {84, true}};
    for (auto [code, down] : presses)
        feeder.feed(code, down);
    QCOMPARE(events, (QStringList{"key e6 1", "key 46 1", "key 46 0", "key e6 0"}));
}

void TestKeyTables::hookButtons_data()
{
    QTest::addColumn<QList<quint32>>("messages");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("left click") << QList<quint32>{0x201, 0x202} << QStringList{"button f0 1 10,-20", "button f0 0 10,-20"};
    QTest::newRow("right click") << QList<quint32>{0x204, 0x205} << QStringList{"button f1 1 10,-20", "button f1 0 10,-20"};
    QTest::newRow("middle click") << QList<quint32>{0x207, 0x208} << QStringList{"button f2 1 10,-20", "button f2 0 10,-20"};
    QTest::newRow("double-clicks ignored, the following ups are not")
        << QList<quint32>{0x203, 0x202, 0x206, 0x205} << QStringList{"button f0 0 10,-20", "button f1 0 10,-20"};
    QTest::newRow("buttons are not de-duplicated") << QList<quint32>{0x201, 0x201}
                                                   << QStringList{"button f0 1 10,-20", "button f0 1 10,-20"};
    QTest::newRow("moves, wheel, side buttons, middle double-click")
        << QList<quint32>{0x200, 0x209, 0x20A, 0x20B, 0x20C, 0x20E, 0x1FF, 0xFFFFFFFF} << QStringList{};
}

void TestKeyTables::hookButtons()
{
    QFETCH(QList<quint32>, messages);
    QFETCH(QStringList, expected);
    GlobalInputHook hook(&noSource);
    hook.setMouseCallback(&recordButton, nullptr);
    for (quint32 m : messages)
        hook.mouseEvent(0, m, 10, -20);
    QCOMPARE(events, expected);
}

QTEST_GUILESS_MAIN(TestKeyTables)
#include "tst_key_tables.moc"
