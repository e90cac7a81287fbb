// From a platform's key and button events to the usage codes the pages
// record: the scan code tables, evdev codes, and the hook's own filtering.
#include "input/GlobalInputHook.h"
#include "input/KeyTables.h"
#include "platform/EvdevScanCodes.h"
#include "testlib/TestData.h"

#include <QtTest>

namespace {
QStringList events;
void recordKey(quint8 usbCode, quint8 isDown, void *)
{
    events << QStringLiteral("key %1 %2").arg(usbCode, 2, 16, QLatin1Char('0')).arg(isDown);
}
void recordButton(quint8 code, quint8 isDown, qint32 x, qint32 y, void *)
{
    events << QStringLiteral("button %1 %2 %3,%4").arg(code, 2, 16, QLatin1Char('0')).arg(isDown).arg(x).arg(y);
}
std::unique_ptr<InputSource> noSource(InputSink &) { return nullptr; }

// One low-level key event: message, scan code, flags, hook code.
struct Key {
    quint32 message, scan, flags;
    int hookCode = 0;
};
constexpr quint32 D = InputSink::KeyDownMessage, U = InputSink::KeyUpMessage;
constexpr quint32 SD = InputSink::SysKeyDownMessage, SU = InputSink::SysKeyUpMessage;
constexpr quint32 EXT = InputSink::ExtendedFlag, ALT = InputSink::AltDownFlag;
using L = QStringList;

const struct { const char *tag; QList<Key> input; L expected; } kHookKeys[] = {
    {"held key: one down, one up", {{D, 0x1E, 0}, {D, 0x1E, 0}, {D, 0x1E, 0}, {U, 0x1E, 0}}, {"key 04 1", "key 04 0"}},
    {"scan above 255 counts as 0", {{D, 0x11E, 0}, {U, 0x11E, 0}, {D, 0x11C, EXT}}, {}},
    {"extended and plain Enter are two keys", {{D, 0x1C, 0}, {D, 0x1C, EXT}, {U, 0x1C, EXT}, {U, 0x1C, 0}},
     {"key 28 1", "key 58 1", "key 58 0", "key 28 0"}},
    {"extended Scroll Lock is Pause", {{D, 0x46, EXT}, {U, 0x46, EXT}, {D, 0x46, 0}}, {"key 48 1", "key 48 0", "key 47 1"}},
    {"0x54 with Alt is Print", {{SD, 0x54, ALT}, {SU, 0x54, ALT}}, {"key 46 1", "key 46 0"}},
    {"0x54 without Alt is unknown", {{D, 0x54, 0}}, {}},
    {"other messages are releases", {{D, 0x1E, 0}, {0x102, 0x1E, 0}}, {"key 04 1", "key 04 0"}},
    {"a hook code other than 0 is never a press", {{D, 0x1E, 0, 1}, {D, 0x1E, 0, 0}, {D, 0x1E, 0, 3}}, {"key 04 1", "key 04 0"}},
    {"unknown keys give no call", {{D, 0x5C, EXT}, {D, 0x7F, 0}, {D, 0x00, 0}, {D, 0x36, 0}}, {}},
};

const struct { const char *tag; QList<quint32> messages; L expected; } kHookButtons[] = {
    {"left, right and middle click", {0x201, 0x202, 0x204, 0x205, 0x207, 0x208}, {"button f0 1 10,-20", "button f0 0 10,-20",
     "button f1 1 10,-20", "button f1 0 10,-20", "button f2 1 10,-20", "button f2 0 10,-20"}},
    {"double-clicks ignored, the following ups are not", {0x203, 0x202, 0x206, 0x205}, {"button f0 0 10,-20", "button f1 0 10,-20"}},
    {"buttons are not de-duplicated", {0x201, 0x201}, {"button f0 1 10,-20", "button f0 1 10,-20"}},
    {"moves, wheel, side buttons, middle double-click", {0x200, 0x209, 0x20A, 0x20B, 0x20C, 0x20E, 0x1FF, 0xFFFFFFFF}, {}},
};
} // namespace

class TestKeyTables : public QObject
{
    Q_OBJECT
private slots:
    void init() { events.clear(); }
    void tables();
    void hookKeys_data() { addRows(kHookKeys); }
    void hookKeys();
    void hookButtons_data() { addRows(kHookButtons); }
    void hookButtons();
};

void TestKeyTables::tables()
{
    // Scan code (extended or not) to the internal code and the usage code;
    // one row per kind of entry, not the table again.
    const struct { const char *name; int scan; bool ext; int internal, usage; } scans[] = {
        {"A", 0x1E, 0, 0x41, 0x04}, {"X", 0x2D, 0, 0x58, 0x1B}, {"keypad Enter", 0x1C, 1, 0x0E, 0x58},
        {"right Shift", 0x36, 1, 0xA1, 0xE5}, {"right Shift plain", 0x36, 0, 0, 0}, {"Pause", 0x45, 0, 0x13, 0x48},
        {"Num Lock", 0x45, 1, 0x90, 0x53}, {"Home", 0x47, 1, 0x24, 0x4A}, {"102nd key", 0x56, 0, 0xE2, 0x64},
        {"F12", 0x58, 0, 0x7B, 0x45}, {"F23", 0x6E, 0, 0x86, 0x72}, {"right Windows", 0x5C, 1, 0, 0}};
    for (const auto &r : scans) {
        QVERIFY2(KeyTables::internalCode(KeyTables::scanKey(quint8(r.scan), r.ext)) == r.internal, r.name);
        QVERIFY2(KeyTables::usageForScan(quint8(r.scan), r.ext) == r.usage, r.name);
    }
    // Internal codes only the usage map knows (right Windows, F13, F24, ...).
    const std::pair<int, int> usageOnly[] = {{0x5C, 0xE7}, {0x87, 0x73}, {0xC1, 0x87}, {0xFF, 0x66}, {0x0A, 0}};
    for (auto [internal, usage] : usageOnly)
        QCOMPARE(int(KeyTables::usageCode(quint8(internal))), usage);
    // evdev codes: 1..88 are set-1 scan codes, only two reported extended.
    for (int code = 1; code <= 88; ++code) {
        QCOMPARE(int(scanCodeForEvdev(code).scan), code);
        QCOMPARE(scanCodeForEvdev(code).extended, code == 54 || code == 69);
    }
    const struct { int evdev, scan; bool ext; int usage; } evdevs[] = {
        {96, 0x1C, 1, 0x58}, {99, 0x37, 1, 0x46}, {69, 0x45, 1, 0x53}, {119, 0x45, 0, 0x48},
        {102, 0x47, 1, 0x4A}, {193, 0x6E, 0, 0x72}, {113, 0, 0, 0}, {-5, 0, 0, 0}, {100000, 0, 0, 0}};
    for (const auto &r : evdevs) {
        const ScanCode sc = scanCodeForEvdev(r.evdev);
        QVERIFY2(sc.scan == r.scan && sc.extended == r.ext, QByteArray::number(r.evdev));
        QVERIFY2(KeyTables::usageForScan(quint8(sc.scan), sc.extended) == r.usage, QByteArray::number(r.evdev));
    }
}

void TestKeyTables::hookKeys()
{
    ROW(kHookKeys);
    GlobalInputHook hook(&noSource);
    QVERIFY(!hook.hooksInstalled() && !hook.installHooks() && hook.sourceName().isEmpty());
    hook.setKeyboardCallback(&recordKey, nullptr);
    for (const Key &k : r.input)
        hook.keyboardEvent(k.hookCode, k.message, k.scan, k.flags);
    QCOMPARE(events, r.expected);

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

void TestKeyTables::hookButtons()
{
    ROW(kHookButtons);
    GlobalInputHook hook(&noSource);
    hook.setMouseCallback(&recordButton, nullptr);
    for (quint32 m : r.messages)
        hook.mouseEvent(0, m, 10, -20);
    QCOMPARE(events, r.expected);
}

QTEST_GUILESS_MAIN(TestKeyTables)
#include "tst_key_tables.moc"
