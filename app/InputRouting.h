#pragma once

#include <QtGlobal>

#include <cstddef>

struct CopyDataRecord;

// The input hook's callbacks as start-up sets them. The key and button
// callbacks take the main window (a Widget) as context, the copy-data one any
// QWidget whose title captions the box. The bridge calls they make are
// queued, so they return at once.
namespace InputRouting
{
void keyboardToBridge(quint8 usbCode, quint8 isDown, void *context);
void mouseToBridge(quint8 buttonCode, quint8 isDown, qint32 x, qint32 y, void *context);
// A tagged UTF-8 text from another process: one modal warning box captioned
// with the window's title. One box at a time: texts that arrive while one is
// open wait for it to close (at most maxPendingWarnings of them; later ones
// are dropped with a debug line).
void copyDataToWarning(const CopyDataRecord *record, void *context);
inline constexpr std::size_t maxPendingWarnings = 8;
} // namespace InputRouting
