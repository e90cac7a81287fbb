#include "settings/SettingsStores.h"

#include "settings/FileReplace.h"
#include "settings/SafeWrite.h"

#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcSettings, "skeld.settings")

namespace {
std::unique_ptr<SettingsFile> openIni(const QString &path)
{
    return std::make_unique<SettingsFile>(path);
}

QVariant normalizeText(const QString &text)
{
    static const QRegularExpression integer(QStringLiteral("^-?(0|[1-9][0-9]{0,8})$"));
    if (integer.match(text).hasMatch())
        return text.toInt();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return text;
}
} // namespace

SettingsStores::SettingsStores()
{
    // What an interrupted write of an earlier run left behind.
    SafeWrite::removeLeftovers();
    m_global = openIni(globalPath());
    m_defaults = openIni(defaultsPath());
    for (int i = 0; i < kProfileCount; ++i)
        m_profiles.push_back(openIni(profilePath(i)));
}

SettingsFile *SettingsStores::profile(int index)
{
    if (index < 0 || index >= kProfileCount)
        return nullptr;
    return m_profiles[size_t(index)].get();
}

SettingsFile &SettingsStores::current() { return *m_profiles[size_t(m_current)]; }

bool SettingsStores::setCurrentProfile(int index)
{
    if (index < 0 || index >= kProfileCount) {
        qCDebug(lcSettings) << "config: no profile" << index << "- current profile unchanged";
        return false;
    }
    m_current = index;
    return true;
}

QVariant SettingsStores::normalize(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return normalizeText(value.toString());
    case QMetaType::QStringList: {
        QVariantList out;
        for (const QString &s : value.toStringList())
            out << normalizeText(s);
        return out;
    }
    case QMetaType::QVariantList: {
        QVariantList out;
        for (const QVariant &v : value.toList())
            out << normalize(v);
        return out;
    }
    default:
        return value;
    }
}

bool SettingsStores::readBool(const QVariant &value)
{
    const QVariant v = normalize(value);
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return v.toDouble() != 0;
    default:
        return false;
    }
}

QVariant SettingsStores::getData(const QString &key, bool isRecovery)
{
    SettingsFile &store = isRecovery ? defaults() : current();
    return normalize(store.value(key));
}

QVariant SettingsStores::getGlobalData(const QString &key) { return normalize(global().value(key)); }

QVariantList SettingsStores::getDataList(const QString &key, bool isRecovery)
{
    SettingsFile &store = isRecovery ? defaults() : current();
    const QVariant value = store.value(key);
    // A scalar is not a list, even though QVariant would happily convert a
    // string into a one-entry list.
    if (value.typeId() != QMetaType::QStringList && value.typeId() != QMetaType::QVariantList)
        return {};
    return normalize(value).toList();
}

bool SettingsStores::setData(const QString &key, const QVariant &data)
{
    return current().setValue(key, data);
}

bool SettingsStores::setGlobalData(const QString &key, const QVariant &data)
{
    return global().setValue(key, data);
}

bool SettingsStores::setDataList(const QString &key, const QVariantList &list)
{
    return current().setValue(key, list);
}

bool SettingsStores::resetGlobal()
{
    // One rename puts the factory copy in place: there is no moment without
    // a global file, whenever the program stops.
    const FileReplace::Result r = FileReplace::replace(globalFactoryPath(), globalPath());
    const bool ok = r == FileReplace::Result::Copied || r == FileReplace::Result::SameFile;
    if (!ok)
        qCDebug(lcSettings).noquote() << QStringLiteral("config: %1 kept, factory copy %2: %3")
                                             .arg(globalPath(), globalFactoryPath(),
                                                  QString::fromLatin1(FileReplace::describe(r)));
    m_global->reload();
    return ok;
}

void SettingsStores::reopenProfile(int index)
{
    if (SettingsFile *s = profile(index))
        s->reload();
}
