#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The user's lists of macro, gun and profile names in name.bin, one key per
// kind of list. Each call reads the file afresh, and a write is on disk when
// the call returns.
namespace NameLists {
// Appended to a one-entry list: the settings facility would otherwise store
// it as a plain string, which reads back as no list at all.
inline const QString kPadding = QStringLiteral("loaderkestle");

QString filePath();
// The key of list type 0 to 3; empty for anything else.
QString keyFor(const QVariant &type);
// Replaces a whole list; an empty list removes its key. False when the
// file could not be written (it then keeps its old bytes); an unknown type
// writes nothing and is no failure.
bool update(const QVariant &type, QStringList names);
// The stored list, padding included, as strings.
QVariantList get(const QVariant &type);
// What a reader does with a stored list: a two-entry list whose second
// entry is the padding was a one-entry list.
QStringList withoutPadding(const QStringList &stored);
} // namespace NameLists
