#include "settings/SettingsStores.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcSettings, "skeld.settings")

namespace {
std::unique_ptr<QSettings> openIni(const QString &path)
{
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
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
    m_global = openIni(globalPath());
    m_defaults = openIni(defaultsPath());
    for (int i = 0; i < kProfileCount; ++i)
        m_profiles.push_back(openIni(profilePath(i)));
}

QSettings *SettingsStores::profile(int index)
{
    if (index < 0 || index >= kProfileCount)
        return nullptr;
    return m_profiles[size_t(index)].get();
}

QSettings &SettingsStores::current() { return *m_profiles[size_t(m_current)]; }

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
    QSettings &store = isRecovery ? defaults() : current();
    return normalize(store.value(key));
}

QVariant SettingsStores::getGlobalData(const QString &key) { return normalize(global().value(key)); }

QVariantList SettingsStores::getDataList(const QString &key, bool isRecovery)
{
    QSettings &store = isRecovery ? defaults() : current();
    const QVariant value = store.value(key);
    // A scalar is not a list, even though QVariant would happily convert a
    // string into a one-entry list.
    if (value.typeId() != QMetaType::QStringList && value.typeId() != QMetaType::QVariantList)
        return {};
    return normalize(value).toList();
}

void SettingsStores::setData(const QString &key, const QVariant &data) { current().setValue(key, data); }

void SettingsStores::setGlobalData(const QString &key, const QVariant &data)
{
    global().setValue(key, data);
}

void SettingsStores::setDataList(const QString &key, const QVariantList &list)
{
    current().setValue(key, list);
}

void SettingsStores::resetGlobal()
{
    const QString fileName = m_global->fileName();
    // Drop the store without letting it write anything back into the file.
    m_global.reset();
    const QString tmp = fileName + QStringLiteral(".tmp");
    QFile::remove(tmp);
    if (QFile::copy(globalFactoryPath(), tmp)) {
        QFile::remove(fileName);
        if (!QFile::rename(tmp, fileName))
            qCDebug(lcSettings) << "config: could not replace" << fileName;
    } else {
        qCDebug(lcSettings) << "config: factory copy" << globalFactoryPath() << "unreadable";
    }
    m_global = openIni(globalPath());
}

void SettingsStores::reopenProfile(int index)
{
    if (index < 0 || index >= kProfileCount)
        return;
    auto &slot = m_profiles[size_t(index)];
    const QString fileName = slot->fileName();
    slot.reset();
    slot = openIni(fileName);
}

void SettingsStores::syncProfile(int index)
{
    if (QSettings *s = profile(index))
        s->sync();
}
