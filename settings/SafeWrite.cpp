#include "settings/SafeWrite.h"

#include "settings/SettingsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
SafeWrite::FaultHook g_hook;
std::function<void(const QString &)> g_listener;
QString g_lastError;
quint64 g_failures = 0;

constexpr auto kTempMarker = ".skeld-";

// "./modules/setting/p1.bin" is shown as the user knows it.
QString shown(const QString &path)
{
    return path.startsWith(QLatin1String("./")) ? path.mid(2) : path;
}

QString reasonFor(int error)
{
    QString text = QString::fromLocal8Bit(std::strerror(error));
    if (!text.isEmpty())
        text[0] = text.at(0).toLower();
    return text;
}

// errno of the step: the real one, or the one a test injects.
int injected(SafeWrite::Step step)
{
    return g_hook ? g_hook(step) : 0;
}

bool failWith(const QString &path, const QString &reason)
{
    SafeWrite::fail(QStringLiteral("cannot write %1: %2").arg(shown(path), reason));
    return false;
}

QString tempName(const QString &dir, const QString &base)
{
    static const char chars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(chars[QRandomGenerator::global()->bounded(int(sizeof chars - 1))]);
    return dir + QLatin1Char('/') + QLatin1Char('.') + base + QLatin1String(kTempMarker) + suffix;
}

// Writes everything or reports the error; a short write is retried, since
// only an error ends a write to a regular file early.
int writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (const int e = injected(SafeWrite::Step::Write))
            return e;
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += n;
    }
    return 0;
}

void syncDirectory(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int e = injected(SafeWrite::Step::DirSync);
    if (e == 0 && (fd < 0 || ::fsync(fd) != 0))
        e = errno;
    if (fd >= 0)
        ::close(fd);
    // The new file is in place by now; only its survival of a power cut is
    // in doubt, so this is worth a line but not a failed write.
    if (e > 0 && e != EINVAL)
        qCDebug(lcSettings).noquote()
            << QStringLiteral("config: folder %1 not synced: %2").arg(shown(dir), reasonFor(e));
}
} // namespace

namespace SafeWrite {
void setFaultHook(FaultHook hook) { g_hook = std::move(hook); }

void setFailureListener(std::function<void(const QString &)> listener)
{
    g_listener = std::move(listener);
}

QString lastError() { return g_lastError; }

quint64 failureCount() { return g_failures; }

void fail(const QString &reason)
{
    g_lastError = reason;
    ++g_failures;
    qCDebug(lcSettings).noquote() << QStringLiteral("config: %1").arg(reason);
    if (g_listener)
        g_listener(reason);
}

bool write(const QString &path, const QByteArray &bytes, Mode mode)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat st {};
    const bool exists = ::lstat(target.constData(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode))
        return failWith(path, QStringLiteral("it is a symbolic link"));
    if (exists && S_ISDIR(st.st_mode))
        return failWith(path, reasonFor(EISDIR));
    if (exists && !S_ISREG(st.st_mode))
        return failWith(path, QStringLiteral("it is not a regular file"));
    if (exists && mode == Mode::CreateOnly)
        return failWith(path, reasonFor(EEXIST));

    const QFileInfo info(path);
    const QString dir = info.path();
    const QString temp = tempName(dir, info.fileName());
    const QByteArray tempPath = QFile::encodeName(temp);

    int e = injected(Step::Open);
    int fd = -1;
    if (e == 0) {
        fd = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0)
            e = errno;
    }
    if (e == kCrash)
        return failWith(path, QStringLiteral("interrupted"));
    if (e)
        return failWith(path, reasonFor(e));

    auto abandon = [&](int error) {
        if (error == kCrash) // a killed writer cleans nothing up
            return failWith(path, QStringLiteral("interrupted"));
        if (fd >= 0)
            ::close(fd);
        ::unlink(tempPath.constData());
        return failWith(path, reasonFor(error));
    };

    // The replacement keeps the permissions the user gave the old file.
    if (exists)
        ::fchmod(fd, st.st_mode & 07777);
    if ((e = writeAll(fd, bytes)))
        return abandon(e);
    e = injected(Step::Sync);
    if (e == 0 && ::fsync(fd) != 0)
        e = errno;
    if (e)
        return abandon(e);
    e = injected(Step::Close);
    if (e == 0 && ::close(fd) != 0)
        e = errno;
    if (e == 0)
        fd = -1;
    if (e)
        return abandon(e);

    if (mode == Mode::CreateOnly) {
        // link() never replaces a file that appeared meanwhile.
        e = injected(Step::Link);
        if (e == 0 && ::link(tempPath.constData(), target.constData()) != 0)
            e = errno;
        if (e)
            return abandon(e);
        ::unlink(tempPath.constData());
    } else {
        e = injected(Step::Rename);
        if (e == 0 && ::rename(tempPath.constData(), target.constData()) != 0)
            e = errno;
        if (e)
            return abandon(e);
    }
    syncDirectory(dir);
    return true;
}

bool read(const QString &path, QByteArray *bytes, bool *exists, bool forWrite)
{
    bytes->clear();
    *exists = false;
    const QString what = forWrite ? QStringLiteral("cannot write %1: %2")
                                  : QStringLiteral("cannot read %1: %2");
    if (!QFileInfo::exists(path))
        return true;
    if (QFileInfo(path).isDir()) {
        fail(what.arg(shown(path), reasonFor(EISDIR)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(what.arg(shown(path), file.errorString()));
        return false;
    }
    *exists = true;
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(what.arg(shown(path), file.errorString()));
        return false;
    }
    return true;
}

bool isLeftover(const QString &fileName)
{
    // Ours, and what earlier versions left after a crash: a copy beside
    // apConfig.bin, and the six-character temporary names of the old saves.
    static const QRegularExpression pattern(
        QStringLiteral("^(\\..+\\.skeld-[a-z0-9]{6}|.+\\.bin\\.tmp|.+\\.bin\\.[A-Za-z0-9]{6})$"));
    return pattern.match(fileName).hasMatch();
}

int removeLeftovers()
{
    int removed = 0;
    for (const char *folder : {"./modules/setting", "./modules/macro", "./modules/gun"}) {
        QDir dir(QString::fromLatin1(folder));
        const QStringList names =
            dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            if (!isLeftover(name))
                continue;
            if (dir.remove(name)) {
                ++removed;
                qCDebug(lcSettings).noquote()
                    << QStringLiteral("config: removed %1/%2, left by an interrupted write")
                           .arg(shown(QString::fromLatin1(folder)), name);
            }
        }
    }
    return removed;
}
} // namespace SafeWrite
