#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The one way a settings file is written: the new bytes go to a fresh file
// beside the target, reach the disk (write, fsync) and replace the target by
// one rename, so a reader or a crash sees either the old file or the new one,
// never an empty or partial one. A symbolic link or a non-file in place of the
// target is refused rather than followed.
namespace SafeWrite {
enum class Mode {
    Replace,    // the target is replaced, or created
    CreateOnly, // fails when the target exists; an existing file is never replaced
};

// The steps a test can break. Fault injection stands in for a full disk, an
// I/O error or the process being killed at that point.
enum class Step { Open, Write, Sync, Close, Rename, Link, DirSync };
// Returned by a fault hook: stop dead at this step, as a killed writer would,
// leaving on disk whatever is there.
constexpr int kCrash = -1;
// 0: go on; an errno value: the step fails with that error; kCrash: see above.
using FaultHook = std::function<int(Step step)>;
void setFaultHook(FaultHook hook);

// False on any failure; the target then keeps its old bytes (or stays absent)
// and lastError() says why, e.g. "cannot write modules/setting/p1.bin: no
// space left on device".
bool write(const QString &path, const QByteArray &bytes, Mode mode = Mode::Replace);

// Reads a whole file for a settings store. False (with lastError) when it
// exists but cannot be read; a missing file reads as empty with *exists false.
// `forWrite` words the reason for the write that needed the read.
bool read(const QString &path, QByteArray *bytes, bool *exists, bool forWrite = false);

// Why the last failed write or read failed; kept until the next failure.
QString lastError();
// Counts failures, so a caller can tell whether anything in an operation
// failed without every layer passing a flag up.
quint64 failureCount();
// Records a failure that was found outside write() (a refused import source,
// an unreadable store) in the same way.
void fail(const QString &reason);
// Called on every failure with its reason; the window uses it to tell the
// user once.
void setFailureListener(std::function<void(const QString &reason)> listener);

// Whether a file name is one of our temporary files (or one an earlier
// version left behind after a crash).
bool isLeftover(const QString &fileName);
// Removes leftovers of interrupted writes from the data folders; returns how
// many were removed.
int removeLeftovers();
} // namespace SafeWrite
