#include "settings/LangStrings.h"

#include "app/myQQuickView.h"
#include "settings/DpiNotifications.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsValue.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace LangStrings {
QString filePath(const QString &langCode)
{
    return QStringLiteral("./modules/i18n/") + langCode + QStringLiteral(".ini");
}

bool isValidCode(const QString &langCode)
{
    bool ok = !langCode.isEmpty() && !langCode.startsWith(QLatin1Char('.'));
    for (const QChar c : langCode)
        ok = ok && c.unicode() >= 0x20 && c != QLatin1Char('/') && c != QLatin1Char('\\');
    if (!ok) {
        QString shown = langCode;
        for (QChar &c : shown)
            if (c.unicode() < 0x20)
                c = QChar(u'?');
        qCDebug(lcSettings).noquote()
            << QStringLiteral("config: language \"%1\" names no file in modules/i18n/").arg(shown);
    }
    return ok;
}

QStringList read(const QString &section, const QString &langCode)
{
    if (!isValidCode(langCode))
        return {};
    const QString path = filePath(langCode);
    QSettings file(path, QSettings::IniFormat);
    const QVariant totalValue = file.value(section + QStringLiteral("/total"));
    qint64 total = 0;
    if (!settingsValueCount(totalValue, &total)) {
        qCDebug(lcSettings).noquote() << QStringLiteral("config: %1 [%2] total \"%3\" is no number")
                                             .arg(path, section, totalValue.toString());
        return {};
    }
    if (total < 0) {
        qCDebug(lcSettings).noquote()
            << QStringLiteral("config: %1 [%2] total %3 is negative").arg(path, section).arg(total);
        return {};
    }
    if (total > kMaxTexts) {
        qCDebug(lcSettings).noquote() << QStringLiteral("config: %1 [%2] total %3 cut to %4")
                                             .arg(path, section)
                                             .arg(total)
                                             .arg(kMaxTexts);
        total = kMaxTexts;
    }
    QStringList texts;
    texts.reserve(int(total));
    for (int i = 0; i < int(total); ++i)
        texts << settingsValueText(file.value(section + QLatin1Char('/') + QString::number(i)),
                                   QStringLiteral(", "));
    return texts;
}

QStringList frenchNotificationTexts()
{
    QStringList texts;
    for (const char *ordinal : {"1st", "2st", "3st", "4st", "5st", "6st", "7st", "8st"})
        texts << QStringLiteral("DPI switch to the %1 segment").arg(QLatin1String(ordinal));
    return texts;
}

QStringList load(const QString &section, const QString &langCode)
{
    const QStringList texts = read(section, langCode);
    if (section == QLatin1String("other"))
        DpiNotifications::replace(langCode == QLatin1String("French") ? frenchNotificationTexts()
                                                                      : texts);
    return texts;
}
QStringList available()
{
    QStringList names;
    const QFileInfoList files = QDir(QStringLiteral("./modules/i18n"))
                                    .entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    for (const QFileInfo &f : files)
        names << f.completeBaseName();
    return names;
}

QString forLocale(const QLocale &locale, const QStringList &available)
{
    QString name = QLocale::languageToString(locale.language());
    if (locale.language() == QLocale::Chinese)
        name = locale.script() == QLocale::TraditionalHanScript ||
                       (locale.script() == QLocale::AnyScript &&
                        (locale.territory() == QLocale::Taiwan ||
                         locale.territory() == QLocale::HongKong))
                   ? QStringLiteral("ChineseTraditional")
                   : QStringLiteral("ChineseSimplified");
    return available.contains(name) ? name : QStringLiteral("English");
}
} // namespace LangStrings

// Bridge operation ----------------------------------------------------------

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    return LangStrings::load(typeStr, langCode);
}

QStringList myQQuickView::languages() const { return LangStrings::available(); }

QString myQQuickView::language()
{
    SettingsFile &global = stores().global();
    const QString stored = global.value(QStringLiteral("common/language")).toString();
    if (SettingsStores::readBool(global.value(QStringLiteral("common/languageChosen"))) &&
        !stored.isEmpty())
        return stored;
    // Until the user picks one, the desktop's language where we have it.
    const QStringList files = LangStrings::available();
    const QString desktop = LangStrings::forLocale(QLocale::system(), files);
    if (desktop != QLatin1String("English") || QLocale::system().language() == QLocale::English)
        return desktop;
    return files.contains(stored) ? stored : desktop;
}

void myQQuickView::setLanguage(const QString &code)
{
    if (!LangStrings::available().contains(code)) {
        qCDebug(lcSettings).noquote() << "config: no language file for" << code;
        return;
    }
    setGlobalData(QStringLiteral("common/language"), code);
    setGlobalData(QStringLiteral("common/languageChosen"), true);
    emit languageChanged();
}
