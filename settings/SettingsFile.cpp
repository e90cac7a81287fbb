#include "settings/SettingsFile.h"

#include "settings/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

namespace {
// Keys as QSettings takes them: no leading, trailing or doubled slashes.
QString normalized(const QString &key)
{
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

// Where the working copies go: a memory file system where there is one,
// since QSettings syncs every file it writes and a disk sync costs
// milliseconds for text that never needs to survive.
QString scratchFolder()
{
    for (const QString &base :
         {qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/dev/shm"), QDir::tempPath()}) {
        if (!base.isEmpty() && QFileInfo(base).isDir() && QFileInfo(base).isWritable())
            return base;
    }
    return QDir::tempPath();
}

// A QSettings over a private copy of some INI text, under a file name used
// once, so nothing of an earlier file can be served from Qt's cache.
class Scratch
{
public:
    explicit Scratch(const QByteArray &bytes)
    {
        static QTemporaryDir dir(scratchFolder() + QStringLiteral("/skeld-ini-XXXXXX"));
        static quint64 counter = 0;
        if (!dir.isValid())
            return;
        m_path = dir.filePath(QStringLiteral("%1.ini").arg(++counter));
        QFile file(m_path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            return;
        file.close();
        settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    }
    ~Scratch()
    {
        settings.reset();
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    // The text QSettings wrote, after the changes made on `settings`.
    bool text(QByteArray *out)
    {
        settings->sync();
        if (settings->status() == QSettings::AccessError)
            return false;
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        *out = file.readAll();
        return true;
    }

    std::unique_ptr<QSettings> settings;

private:
    QString m_path;
};
} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) { reload(); }

void SettingsFile::adopt(QSettings &decoded)
{
    m_values.clear();
    for (const QString &key : decoded.allKeys())
        m_values.insert(key, decoded.value(key));
    m_status = decoded.status();
}

bool SettingsFile::reload()
{
    QByteArray bytes;
    bool ok = SafeWrite::read(m_path, &bytes, &m_exists);
    m_values.clear();
    m_status = QSettings::NoError;
    if (!ok) {
        m_status = QSettings::AccessError;
        return false;
    }
    if (bytes.isEmpty())
        return true;
    Scratch scratch(bytes);
    if (!scratch.settings) {
        SafeWrite::fail(QStringLiteral("cannot read %1: no room for a working copy").arg(m_path));
        m_status = QSettings::AccessError;
        return false;
    }
    adopt(*scratch.settings);
    return true;
}

QString SettingsFile::fullKey(const QString &key) const
{
    QStringList parts = m_groups;
    parts << key;
    return normalized(parts.join(QLatin1Char('/')));
}

QVariant SettingsFile::value(const QString &key, const QVariant &fallback) const
{
    return m_values.value(fullKey(key), fallback);
}

bool SettingsFile::contains(const QString &key) const { return m_values.contains(fullKey(key)); }

QStringList SettingsFile::allKeys() const
{
    const QString prefix = m_groups.isEmpty() ? QString() : fullKey(QString()) + QLatin1Char('/');
    QStringList out;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
        if (it.key().startsWith(prefix))
            out << it.key().mid(prefix.size());
    return out;
}

QStringList SettingsFile::childKeys() const
{
    QStringList out;
    for (const QString &key : allKeys())
        if (!key.contains(QLatin1Char('/')))
            out << key;
    return out;
}

QStringList SettingsFile::childGroups() const
{
    QStringList out;
    for (const QString &key : allKeys()) {
        const qsizetype slash = key.indexOf(QLatin1Char('/'));
        if (slash > 0 && !out.contains(key.left(slash)))
            out << key.left(slash);
    }
    return out;
}

void SettingsFile::beginGroup(const QString &prefix) { m_groups << normalized(prefix); }

void SettingsFile::endGroup()
{
    if (!m_groups.isEmpty())
        m_groups.removeLast();
}

bool SettingsFile::setValue(const QString &key, const QVariant &value)
{
    const QString full = fullKey(key);
    return edit([&](QSettings &s) { s.setValue(full, value); });
}

bool SettingsFile::remove(const QString &key)
{
    const QString full = fullKey(key);
    return edit([&](QSettings &s) { s.remove(full); });
}

bool SettingsFile::edit(const std::function<void(QSettings &)> &change)
{
    // Read-modify-write on what is on disk now, so a change made meanwhile by
    // another process (the command-line tool, say) is kept.
    QByteArray before;
    bool existed = false;
    if (!SafeWrite::read(m_path, &before, &existed, true))
        return false;
    Scratch scratch(before);
    QByteArray after;
    if (!scratch.settings) {
        SafeWrite::fail(QStringLiteral("cannot write %1: no room for a working copy").arg(m_path));
        return false;
    }
    change(*scratch.settings);
    if (!scratch.text(&after)) {
        SafeWrite::fail(QStringLiteral("cannot write %1: the settings could not be encoded").arg(m_path));
        return false;
    }
    const bool unchanged = existed ? after == before : after.isEmpty();
    if (!unchanged && !SafeWrite::write(m_path, after)) {
        reload();
        return false;
    }
    m_exists = existed || !unchanged;
    adopt(*scratch.settings);
    return true;
}
