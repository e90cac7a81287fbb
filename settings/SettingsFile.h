#pragma once

#include <QMap>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// One INI settings file, read into memory when opened and written through
// SafeWrite on every change, in the text Qt's INI format writes.
//
// QSettings keeps one shared, cached copy per path and re-reads a file only
// when its size or time stamp changed, so a file replaced by another of the
// same size within the same millisecond read back stale. Here QSettings only
// encodes and decodes: it works on a private copy under a name never used
// before, and the real file is read and written by us.
class SettingsFile
{
public:
    explicit SettingsFile(QString path);

    const QString &fileName() const { return m_path; }
    // Reads the file again, after someone replaced it. False when it exists
    // but cannot be read (it then reads as empty).
    bool reload();
    bool exists() const { return m_exists; }
    // NoError, or FormatError when the text was partly unreadable.
    QSettings::Status status() const { return m_status; }

    QVariant value(const QString &key, const QVariant &fallback = {}) const;
    bool contains(const QString &key) const;
    QStringList allKeys() const;
    QStringList childKeys() const;
    QStringList childGroups() const;
    void beginGroup(const QString &prefix);
    void endGroup();

    // Each change is on disk when the call returns true. On false the file
    // keeps its old bytes, the store keeps reading them, and
    // SafeWrite::lastError() says why. A change that leaves the text as it
    // was writes nothing.
    bool setValue(const QString &key, const QVariant &value);
    bool remove(const QString &key);
    // Several changes in one write, made on a QSettings over the current
    // contents (keys there are full keys, without this object's group).
    bool edit(const std::function<void(QSettings &)> &change);
    // Every change is already on disk; kept so callers can say "flush now".
    bool sync() const { return true; }

private:
    QString fullKey(const QString &key) const;
    void adopt(QSettings &decoded);

    QString m_path;
    QMap<QString, QVariant> m_values;
    QStringList m_groups;
    bool m_exists = false;
    QSettings::Status m_status = QSettings::NoError;
};
