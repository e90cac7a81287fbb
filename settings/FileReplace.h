#pragma once

#include <QString>

// Byte copies of whole files (profile and macro import/export, profile
// reset and copy) that never leave a target half-written or missing.
namespace FileReplace {
enum class Result {
    Copied,
    SameFile,         // source and target are one file: nothing to do
    SourceUnreadable, // target left as it was
    TargetExists,     // copyNew only: target left as it was
    WriteFailed,      // target left as it was
};

// Replaces `target` by the bytes of `source` through SafeWrite: the target
// holds either its old bytes or the whole copy, and a link in its place is
// refused (SafeWrite::lastError() says why a write failed).
Result replace(const QString &source, const QString &target);
// Copies `source` to `target` only when no file of that name exists.
Result copyNew(const QString &source, const QString &target);
// True when both names lead to the same existing file.
bool sameFile(const QString &a, const QString &b);
const char *describe(Result result);
} // namespace FileReplace
