#include "platform/RuntimeDir.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcRuntimeDir, "skeld.platform.runtimedir")

namespace RuntimeDir
{
namespace
{
// How many fallback names we try before settling for a folder of our own
// that no later start can find again.
constexpr int kFallbackNames = 8;

// Makes `dir` with mode 0700 unless something is there already; true when
// what is there afterwards is ours and private.
bool claim(const QString &dir)
{
    const QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) == 0) {
        // The umask can only take bits away; put the owner's back.
        ::chmod(native.constData(), 0700);
    } else if (errno != EEXIST) {
        return false;
    }
    return isPrivate(dir);
}
} // namespace

bool isPrivate(const QString &dir)
{
    struct stat st {};
    if (dir.isEmpty() || ::lstat(QFile::encodeName(dir).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0777) == 0700;
}

QString path()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty()) {
        if (QDir::isAbsolutePath(xdg) && isPrivate(xdg)) return QDir::cleanPath(xdg);
        qCDebug(lcRuntimeDir) << "runtime dir: XDG_RUNTIME_DIR" << xdg
                              << "is not a private folder of ours, using a folder of our own";
    }
    const QString base = QDir::tempPath() + QStringLiteral("/skeld-config-") +
                         QString::number(::getuid());
    for (int i = 0; i < kFallbackNames; ++i) {
        const QString dir = i == 0 ? base : base + QLatin1Char('.') + QString::number(i);
        if (claim(dir)) return dir;
        qCDebug(lcRuntimeDir) << "runtime dir:" << dir << "belongs to someone else, passed over";
    }
    // Every name taken: a folder no one can guess keeps us safe, at the price
    // of a second start not finding this one.
    QByteArray unique = QFile::encodeName(base + QStringLiteral("-XXXXXX"));
    if (::mkdtemp(unique.data()) && isPrivate(QFile::decodeName(unique)))
        return QFile::decodeName(unique);
    qCDebug(lcRuntimeDir) << "runtime dir: no private folder, running as a lone instance";
    return {};
}
} // namespace RuntimeDir
