#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The UI texts of one language, ./modules/i18n/<language>.ini: per section a
// count under "total" and the texts under "0" .. "total-1".
namespace LangStrings {
// No page has more than a few hundred texts; a larger count is a broken
// file and is cut here rather than filling memory with empty strings.
constexpr int kMaxTexts = 1024;

// A code names a file directly in modules/i18n/: not empty, no leading dot,
// no path separator, no control character.
bool isValidCode(const QString &langCode);
QString filePath(const QString &langCode);
// The texts of one section; a missing file or section gives an empty list.
QStringList read(const QString &section, const QString &langCode);
// The fixed notification texts used for the "French" language.
QStringList frenchNotificationTexts();
// read(), and for section "other" also replaces the DPI-stage notification
// texts of the event reader.
QStringList load(const QString &section, const QString &langCode);
// The languages with a file in ./modules/i18n, sorted.
QStringList available();
// The file matching a locale ("French" for fr_CA, "ChineseSimplified" for
// zh_CN), or "English" when none of `available` matches.
QString forLocale(const QLocale &locale, const QStringList &available);
} // namespace LangStrings
