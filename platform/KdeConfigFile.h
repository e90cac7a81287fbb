#pragma once

#include <QByteArray>
#include <QString>

// Edits one entry of a KDE configuration file (kdeglobals, kcminputrc) the
// way Plasma's own parser reads it back: plain "key=value" lines under
// "[Group]" headers, with every other line, comment and group kept byte for
// byte. QSettings would rewrite the whole file in its own dialect.
namespace KdeConfigFile
{
enum class Result {
    Written,
    Locked,      // the file, group or key carries the immutable mark [$i]
    WriteFailed, // the file was left as it was
};

// The text with `key` set to `value` in `group` (a plain group name such as
// "KDE"). `locked` is set when the entry may not be changed; the text then
// comes back unchanged.
QByteArray withEntry(const QByteArray &text, const QByteArray &group, const QByteArray &key,
                     const QByteArray &value, bool *locked);

// Reads the file (a missing one counts as empty), sets the entry and
// replaces the file whole, or not at all.
Result setEntry(const QString &path, const QByteArray &group, const QByteArray &key,
                const QByteArray &value);
} // namespace KdeConfigFile
