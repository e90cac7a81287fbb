#include "settings/NameLists.h"

#include "app/myQQuickView.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsValue.h"

#include <QSettings>

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

void update(const QVariant &type, QStringList names)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return;
    if (names.size() == 1)
        names << kPadding;
    QSettings file(filePath(), QSettings::IniFormat);
    if (names.isEmpty())
        file.remove(key);
    else
        file.setValue(key, names);
    file.sync();
}

QVariantList get(const QVariant &type)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return {};
    QSettings file(filePath(), QSettings::IniFormat);
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
    NameLists::update(type, nameList);
    return true;
}

QVariantList myQQuickView::getNameList(QVariant type) { return NameLists::get(type); }
