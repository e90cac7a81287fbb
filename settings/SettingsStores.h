#pragma once

#include <QList>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>

// The settings files the bridge keeps open for its whole life: the global
// file, the profile defaults and the ten profiles, plus the index of the
// profile that per-profile reads and writes go to.
class SettingsStores
{
public:
    static constexpr int kProfileCount = 10;

    static QString globalPath() { return QStringLiteral("./modules/setting/apConfig.bin"); }
    static QString globalFactoryPath() { return QStringLiteral("./modules/setting/apConfigD.bin"); }
    static QString defaultsPath() { return QStringLiteral("./modules/setting/pD.bin"); }
    static QString profilePath(int index)
    {
        return QStringLiteral("./modules/setting/p%1.bin").arg(index + 1);
    }

    SettingsStores();

    QSettings &global() { return *m_global; }
    QSettings &defaults() { return *m_defaults; }
    QSettings *profile(int index);
    QSettings &current();

    int currentProfile() const { return m_current; }
    // Out-of-range indexes are ignored: there is no profile store for them.
    bool setCurrentProfile(int index);

    QVariant getData(const QString &key, bool isRecovery);
    QVariant getGlobalData(const QString &key);
    QVariantList getDataList(const QString &key, bool isRecovery);
    void setData(const QString &key, const QVariant &data);
    void setGlobalData(const QString &key, const QVariant &data);
    void setDataList(const QString &key, const QVariantList &list);

    // Replaces the global file by its factory copy and reopens the store.
    void resetGlobal();

    // Drops the store at `index` and reopens it on its file, after the caller
    // replaced the file. The dropped store writes pending changes back when it
    // closes, so callers flush (syncProfile) before they replace the file.
    void reopenProfile(int index);
    // Writes pending changes of the store at `index` to disk.
    void syncProfile(int index);

    // Values come back from INI text as strings; turn the ones the pages
    // wrote as numbers or booleans back into those types so a value reads the
    // same after a restart as in the session that wrote it.
    static QVariant normalize(const QVariant &value);
    // Strict boolean read: only true, "true" or a non-zero number count, so a
    // garbled value falls back to false instead of "any text is true".
    static bool readBool(const QVariant &value);

private:
    std::unique_ptr<QSettings> m_global;
    std::unique_ptr<QSettings> m_defaults;
    std::vector<std::unique_ptr<QSettings>> m_profiles;
    int m_current = 0;
};
