#pragma once

#include <QtGlobal>

// The key vocabulary of the input hook: a set-1 scan code (with the
// extended-key flag) becomes an internal key code, which becomes a HID
// keyboard usage code. Both tables are fixed; a missing entry yields 0.
namespace KeyTables
{

constexpr int scanCodeEntryCount = 105;
constexpr int usageEntryCount = 121;

// The scan-code map's key: scan code in the high byte, extended flag in bit 0.
constexpr quint16 scanKey(quint8 scanCode, bool extended)
{
    return quint16((scanCode << 8) | (extended ? 1 : 0));
}

quint8 internalCode(quint16 scanMapKey);
quint8 usageCode(quint8 internalKeyCode);

// Both steps at once, for callers that do not need the overrides of the hook.
quint8 usageForScan(quint8 scanCode, bool extended);

} // namespace KeyTables
