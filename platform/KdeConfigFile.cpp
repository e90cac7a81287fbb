#include "platform/KdeConfigFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

namespace
{
const QByteArray kImmutable = QByteArrayLiteral("[$i]");

bool isComment(const QByteArray &trimmed)
{
    return trimmed.isEmpty() || trimmed.startsWith('#');
}

// "[KDE]" or "[KDE][$i]": the group name and whether it is locked. Nested
// groups ("[A][B]") never equal a plain name, which is all we write.
QByteArray headerGroup(QByteArray trimmed, bool *locked)
{
    *locked = trimmed.endsWith(kImmutable) && trimmed != kImmutable;
    if (*locked) trimmed.chop(kImmutable.size());
    return trimmed.mid(1, trimmed.size() - 2);
}

// The key of an entry line, and whether it is this key: "Key", "Key[$i]" and
// "Key[$e]" are; "Key[de]" (a translation) is another entry.
bool isEntryFor(const QByteArray &trimmed, const QByteArray &key, bool *locked)
{
    const qsizetype eq = trimmed.indexOf('=');
    if (eq < 0) return false;
    QByteArray name = trimmed.left(eq).trimmed();
    if (!name.startsWith(key)) return false;
    QByteArray options = name.mid(key.size());
    if (options.isEmpty()) {
        *locked = false;
        return true;
    }
    if (!options.startsWith("[$")) return false;
    *locked = options.contains('i');
    return true;
}
} // namespace

namespace KdeConfigFile
{
QByteArray withEntry(const QByteArray &text, const QByteArray &group, const QByteArray &key,
                     const QByteArray &value, bool *locked)
{
    *locked = false;
    QList<QByteArray> lines = text.split('\n');
    // split() leaves one empty piece after a final newline; it is put back
    // by the join below.
    const bool endsWithNewline = text.isEmpty() || text.endsWith('\n');
    if (endsWithNewline) lines.removeLast();

    const QByteArray entry = key + '=' + value;
    bool inGroup = false;
    bool sawHeader = false;
    bool replaced = false;
    qsizetype insertAt = -1; // after the last entry of the group's last block
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines.at(i).trimmed();
        if (isComment(trimmed)) continue;
        if (trimmed.startsWith('[')) {
            // A lone [$i] before any group locks the whole file.
            if (trimmed == kImmutable) {
                if (sawHeader) continue;
                *locked = true;
                return text;
            }
            sawHeader = true;
            bool groupLocked = false;
            inGroup = headerGroup(trimmed, &groupLocked) == group;
            if (inGroup && groupLocked) {
                *locked = true;
                return text;
            }
            if (inGroup) insertAt = i + 1;
            continue;
        }
        if (!inGroup) continue;
        insertAt = i + 1;
        bool entryLocked = false;
        if (isEntryFor(trimmed, key, &entryLocked)) {
            if (entryLocked) {
                *locked = true;
                return text;
            }
            // Later lines win in KDE's parser; every copy gets the value.
            lines[i] = entry;
            replaced = true;
        }
    }
    if (!replaced) {
        if (insertAt >= 0) {
            lines.insert(insertAt, entry);
        } else {
            if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
                lines.append(QByteArray());
            lines.append('[' + group + ']');
            lines.append(entry);
        }
    }
    return lines.join('\n') + '\n';
}

Result setEntry(const QString &path, const QByteArray &group, const QByteArray &key,
                const QByteArray &value)
{
    QByteArray text;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly)) return Result::WriteFailed;
        text = in.readAll();
        in.close();
    }
    bool locked = false;
    const QByteArray changed = withEntry(text, group, key, value, &locked);
    if (locked) return Result::Locked;
    if (changed == text) return Result::Written;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return Result::WriteFailed;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return Result::WriteFailed;
    if (out.write(changed) != changed.size()) {
        out.cancelWriting();
        return Result::WriteFailed;
    }
    return out.commit() ? Result::Written : Result::WriteFailed;
}
} // namespace KdeConfigFile
