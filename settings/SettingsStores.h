#pragma once

#include "settings/SettingsFile.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

// The settings files the bridge keeps open for its whole life: the global
// file, the profile defaults and the ten profiles, plus the index of the
// profile that per-profile reads and writes go to. Every write is on disk
// when its call returns true; false means the file kept its old bytes.
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

    SettingsFile &global() { return *m_global; }
    SettingsFile &defaults() { return *m_defaults; }
    SettingsFile *profile(int index);
    SettingsFile &current();

    int currentProfile() const { return m_current; }
    // Out-of-range indexes are ignored: there is no profile store for them.
    bool setCurrentProfile(int index);

    QVariant getData(const QString &key, bool isRecovery);
    QVariant getGlobalData(const QString &key);
    QVariantList getDataList(const QString &key, bool isRecovery);
    bool setData(const QString &key, const QVariant &data);
    bool setGlobalData(const QString &key, const QVariant &data);
    bool setDataList(const QString &key, const QVariantList &list);

    // Replaces the global file by its factory copy and reads it again. On
    // failure the old file and its values stay.
    bool resetGlobal();

    // Reads the store at `index` again, after the caller replaced its file.
    // No change is ever pending, so nothing of the old file can be written
    // into the new one.
    void reopenProfile(int index);

    // Values come back from INI text as strings; turn the ones the pages
    // wrote as numbers or booleans back into those types so a value reads the
    // same after a restart as in the session that wrote it.
    static QVariant normalize(const QVariant &value);
    // Strict boolean read: only true, "true" or a non-zero number count, so a
    // garbled value falls back to false instead of "any text is true".
    static bool readBool(const QVariant &value);

private:
    std::unique_ptr<SettingsFile> m_global;
    std::unique_ptr<SettingsFile> m_defaults;
    std::vector<std::unique_ptr<SettingsFile>> m_profiles;
    int m_current = 0;
};
