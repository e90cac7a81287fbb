#include "settings/NameLists.h"

#include "app/myQQuickView.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsValue.h"

namespace NameLists {
QString filePath() { return QStringLiteral("./modules/setting/name.bin"); }

QString keyFor(const QVariant &type)
{
    bool ok = false;
    const uint t = type.toUInt(&ok);
    if (ok) {
        switch (t) {
        case 0:
            return QStringLiteral("macro/macroName");
        case 1:
            return QStringLiteral("gun/gunName");
        case 2:
            return QStringLiteral("profile/profileName");
        case 3:
            return QStringLiteral("gun/selectGun");
        default:
            break;
        }
    }
    qCDebug(lcSettings).noquote()
        << QStringLiteral("config: no name list of type \"%1\"").arg(type.toString());
    return {};
}

bool update(const QVariant &type, QStringList names)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return true;
    if (names.size() == 1)
        names << kPadding;
    // The pages store the list they just read when they open; an unchanged
    // list writes nothing.
    SettingsFile file(filePath());
    return names.isEmpty() ? file.remove(key) : file.setValue(key, names);
}

QVariantList get(const QVariant &type)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return {};
    const SettingsFile file(filePath());
    QVariantList out;
    for (const QString &name : settingsValueList(file.value(key)))
        out << name;
    return out;
}

QStringList withoutPadding(const QStringList &stored)
{
    if (stored.size() == 2 && stored.at(1) == kPadding)
        return {stored.at(0)};
    return stored;
}
} // namespace NameLists

// Bridge operations ---------------------------------------------------------

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    return NameLists::update(type, nameList);
}

QVariantList myQQuickView::getNameList(QVariant type) { return NameLists::get(type); }
