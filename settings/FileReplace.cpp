#include "settings/FileReplace.h"

#include "settings/SafeWrite.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Profiles and macros are a few kilobytes; a file far larger than this is
// not one, and is not worth holding in memory to copy.
constexpr qint64 kMaxSource = 16 * 1024 * 1024;

bool readSource(const QString &source, QByteArray *bytes)
{
    if (!QFileInfo(source).isFile())
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxSource)
        return false;
    *bytes = in.readAll();
    return in.error() == QFileDevice::NoError;
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
    if (sameFile(source, target) && !QFileInfo(target).isSymLink())
        return Result::SameFile;
    QByteArray bytes;
    if (!readSource(source, &bytes))
        return Result::SourceUnreadable;
    return SafeWrite::write(target, bytes) ? Result::Copied : Result::WriteFailed;
}

Result copyNew(const QString &source, const QString &target)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink())
        return Result::TargetExists;
    QByteArray bytes;
    if (!readSource(source, &bytes))
        return Result::SourceUnreadable;
    return SafeWrite::write(target, bytes, SafeWrite::Mode::CreateOnly) ? Result::Copied
                                                                        : Result::WriteFailed;
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
