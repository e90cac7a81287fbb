#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <array>
#include <optional>

// The weapon presets in ./modules/gun/gunData.bin, group "gunData": by
// index "0", "1", ... six items (name, trigger, period, X, Y, shots); by name
// five items (trigger, period, X, Y, shots). The program never creates the
// file: without it every operation here does nothing.
namespace GunStore {
QString filePath();
bool exists();

// Stores preset `index` and returns the four bytes of the 04H command that
// tells the mouse about it (0, 0, complement of Y, index + 1). Nothing is
// stored, and nothing is to be sent, without the file, with a malformed
// preset, or when the file cannot be written.
std::optional<std::array<quint8, 4>> save(const QVariant &index, const QVariantList &src6);
// 0: remove preset src6[0]; 1: rename src6[6] to src6[0] with the values
// src6[1..5]; else: store src6[1..5] under src6[0]. False when nothing
// was stored (no file, a malformed change, or a failed write).
bool modify(const QVariant &modifyType, const QVariantList &src6);
QVariantList get(const QVariant &name);
QStringList keys();
} // namespace GunStore
