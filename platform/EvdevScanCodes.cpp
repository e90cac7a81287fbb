#include "platform/EvdevScanCodes.h"

namespace
{
// evdev key codes used below (linux/input-event-codes.h).
constexpr int kLeftAlt = 56;
constexpr int kRightShift = 54;
constexpr int kNumLock = 69;
constexpr int kLastPlain = 88;
constexpr int kRightAlt = 100;

struct Mapped {
    int evdev;
    quint16 scan;
    bool extended;
};

// clang-format off
constexpr Mapped kBeyondPlain[] = {
    {96, 0x1C, true},  // keypad Enter
    {97, 0x1D, true},  // right Ctrl
    {98, 0x35, true},  // keypad /
    {99, 0x37, true},  // Print (SysRq)
    {100, 0x38, true}, // right Alt
    {102, 0x47, true}, // Home
    {103, 0x48, true}, // Up
    {104, 0x49, true}, // Page Up
    {105, 0x4B, true}, // Left
    {106, 0x4D, true}, // Right
    {107, 0x4F, true}, // End
    {108, 0x50, true}, // Down
    {109, 0x51, true}, // Page Down
    {110, 0x52, true}, // Insert
    {111, 0x53, true}, // Delete
    {119, 0x45, false}, // Pause: the plain 0x45, Num Lock is the extended one
    {125, 0x5B, true},  // left Windows key
    {126, 0x5C, true},  // right Windows key
    {127, 0x5D, true},  // menu key
    {193, 0x6E, false}, // F23
};
// clang-format on
} // namespace

ScanCode scanCodeForEvdev(int evdevCode)
{
    // Keyboards report Num Lock and the right Shift with the extended flag at
    // the level the tables were written for; the plain 0x45 is Pause, and the
    // right Shift is only known extended.
    if (evdevCode == kNumLock) return {0x45, true};
    if (evdevCode == kRightShift) return {0x36, true};
    if (evdevCode >= 1 && evdevCode <= kLastPlain) return {quint16(evdevCode), false};
    for (const Mapped &m : kBeyondPlain) {
        if (m.evdev == evdevCode) return {m.scan, m.extended};
    }
    return {};
}

void EvdevKeyFeeder::feed(int evdevCode, bool pressed)
{
    if (evdevCode == kLeftAlt)
        m_leftAlt = pressed;
    else if (evdevCode == kRightAlt)
        m_rightAlt = pressed;
    const bool alt = m_leftAlt || m_rightAlt;
    const ScanCode sc = scanCodeForEvdev(evdevCode);
    quint32 flags = sc.extended ? InputSink::ExtendedFlag : 0;
    if (alt) flags |= InputSink::AltDownFlag;
    quint32 message;
    if (alt)
        message = pressed ? InputSink::SysKeyDownMessage : InputSink::SysKeyUpMessage;
    else
        message = pressed ? InputSink::KeyDownMessage : InputSink::KeyUpMessage;
    m_sink.keyboardEvent(0, message, sc.scan, flags);
}
