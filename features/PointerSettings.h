#pragma once

#include <QtGlobal>

class PointerSettings;

// The system settings page speaks in steps 0..10; the desktop wants a pointer
// speed 1..20 and a double-click time 900..200 ms. Steps beyond 10 count as
// 10, so no step can produce a speed or a time the desktop does not know.
namespace PointerSteps
{
constexpr uint maxStep = 10;
constexpr int cursorSpeed(uint step)
{
    const uint s = step > maxStep ? maxStep : step;
    return s == 0 ? 1 : int(2 * s);
}
constexpr int doubleClickMs(uint step)
{
    const uint s = step > maxStep ? maxStep : step;
    return 900 - 70 * int(s);
}
static_assert(cursorSpeed(0) == 1 && cursorSpeed(10) == 20);
static_assert(doubleClickMs(0) == 900 && doubleClickMs(10) == 200);
} // namespace PointerSteps

// The three operations with their failure lines, on any back end; false when
// the desktop did not store the value.
bool applyCursorSpeed(PointerSettings &settings, uint step);
bool applyDoubleClickSpeed(PointerSettings &settings, uint step);
bool applyVerticalScrollLines(PointerSettings &settings, uint lines);
