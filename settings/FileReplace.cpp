#include "settings/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr qint64 kChunk = 64 * 1024;

enum class Pump { Ok, ReadFailed, WriteFailed };

// Streams in chunks: an imported file is whatever the user picked, and its
// size is no reason to hold it in memory at once.
Pump pump(QFile &in, QIODevice &out)
{
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0)
            return Pump::ReadFailed;
        if (n == 0)
            return Pump::Ok;
        if (out.write(buffer.constData(), n) != n)
            return Pump::WriteFailed;
    }
}
} // namespace

namespace FileReplace {
bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

Result replace(const QString &source, const QString &target)
{
    if (sameFile(source, target))
        return Result::SameFile;
    if (!QFileInfo(source).isFile())
        return Result::SourceUnreadable;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Result::SourceUnreadable;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return Result::WriteFailed;
    switch (pump(in, out)) {
    case Pump::ReadFailed:
        out.cancelWriting();
        return Result::SourceUnreadable;
    case Pump::WriteFailed:
        out.cancelWriting();
        return Result::WriteFailed;
    case Pump::Ok:
        break;
    }
    return out.commit() ? Result::Copied : Result::WriteFailed;
}

Result copyNew(const QString &source, const QString &target)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink())
        return Result::TargetExists;
    if (!QFileInfo(source).isFile())
        return Result::SourceUnreadable;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Result::SourceUnreadable;
    in.close();
    // QFile::copy writes a temporary file beside the target and renames it
    // into place without replacing anything that appeared meanwhile.
    return QFile::copy(source, target) ? Result::Copied : Result::WriteFailed;
}

const char *describe(Result result)
{
    switch (result) {
    case Result::Copied:
        return "copied";
    case Result::SameFile:
        return "source and target are the same file";
    case Result::SourceUnreadable:
        return "source cannot be read";
    case Result::TargetExists:
        return "target exists";
    case Result::WriteFailed:
        return "target cannot be written";
    }
    return "?";
}
} // namespace FileReplace
