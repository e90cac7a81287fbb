#pragma once

#include <QString>
#include <QStringList>

// The eight texts of the tray message shown when the mouse's own button
// changes the DPI stage. The UI thread replaces them from the language file;
// the event reader reads them on its pool thread, so access is guarded.
namespace DpiNotifications {
constexpr int kCount = 8;

// Text for 0-based index k (stage k + 1); out-of-range k gives the last one.
QString text(int k);
// Replaces the texts that `texts` has entries for; the rest keep theirs.
void replace(const QStringList &texts);
// Back to "DPI Switch to" for all eight (tests).
void resetToDefaults();
} // namespace DpiNotifications
