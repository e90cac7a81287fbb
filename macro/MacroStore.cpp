#include "macro/MacroStore.h"

#include "app/myQQuickView.h"
#include "settings/FileDialogs.h"
#include "settings/FileReplace.h"
#include "settings/SettingsStores.h"
#include "settings/SettingsValue.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSettings>

namespace {
Q_LOGGING_CATEGORY(lcMacro, "skeld.macro")
} // namespace

namespace {
QString key(const char *group, qint64 i)
{
    return QLatin1String(group) + QLatin1Char('/') + QString::number(i);
}

// A name as stored in a profile: one string, even if someone wrote it
// without quotes around a comma.
QString nameValue(const QVariant &value) { return settingsValueText(value, QStringLiteral(", ")); }
} // namespace

namespace MacroStore {
QString directory() { return QStringLiteral("./modules/macro/"); }

bool isSafeName(const QString &name)
{
    const bool safe = !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
                      !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1String("..")) &&
                      !name.contains(QChar(u'\0'));
    if (!safe) {
        QString shown = name;
        shown.replace(QChar(u'\0'), QLatin1String("\\0"));
        qCDebug(lcMacro).noquote() << QStringLiteral("macro: refused name \"%1\"").arg(shown);
    }
    return safe;
}

QString filePath(const QString &name) { return directory() + name + QStringLiteral(".bin"); }

bool create(const QString &name, const QVariant &macroIndex)
{
    if (!isSafeName(name))
        return false;
    QSettings file(filePath(name), QSettings::IniFormat);
    file.setValue(QStringLiteral("config/index"), macroIndex.toUInt());
    file.setValue(QStringLiteral("config/total"), 0);
    file.setValue(QStringLiteral("config/repeat"), 1);
    file.setValue(QStringLiteral("config/did"), -1);
    file.sync();
    if (file.status() == QSettings::AccessError)
        qCDebug(lcMacro).noquote() << QStringLiteral("macro: %1 cannot be written").arg(filePath(name));
    return true;
}

bool save(const QString &name, const QStringList &events, const QVariant &repeat)
{
    if (!isSafeName(name) || !QFile::exists(filePath(name)))
        return false;
    QSettings file(filePath(name), QSettings::IniFormat);
    file.remove(QStringLiteral("macro"));
    file.setValue(QStringLiteral("config/total"), int(events.size()));
    file.setValue(QStringLiteral("config/repeat"), repeat.isValid() ? repeat : QVariant(0));
    for (qsizetype i = 0; i < events.size(); ++i)
        file.setValue(key("macro", i), events.at(i));
    file.sync();
    // A format error only means the old text was partly unreadable; the
    // new entries were still written.
    return file.status() != QSettings::AccessError;
}

QStringList load(const QString &name)
{
    if (!isSafeName(name) || !QFile::exists(filePath(name)))
        return {};
    const QString path = filePath(name);
    QSettings file(path, QSettings::IniFormat);
    const QVariant totalValue = file.value(QStringLiteral("config/total"));
    qint64 total = 0;
    if (!settingsValueCount(totalValue, &total))
        qCDebug(lcMacro).noquote() << QStringLiteral("macro: %1 total \"%2\" is no number")
                                          .arg(path, totalValue.toString());
    if (total < 0) {
        qCDebug(lcMacro).noquote() << QStringLiteral("macro: %1 total %2 is negative").arg(path).arg(total);
        total = 0;
    }
    if (total > kMaxEvents) {
        qCDebug(lcMacro).noquote()
            << QStringLiteral("macro: %1 total %2 cut to %3").arg(path).arg(total).arg(kMaxEvents);
        total = kMaxEvents;
    }
    QStringList out;
    out.reserve(int(total) + 1);
    for (qint64 i = 0; i < total; ++i) {
        const QVariant v = file.value(key("macro", i));
        out << (v.isValid() ? settingsValueText(v, QStringLiteral(",")) : QStringLiteral("0"));
    }
    const QVariant repeat = file.value(QStringLiteral("config/repeat"));
    out << (repeat.isValid() ? settingsValueText(repeat, QStringLiteral(",")) : QStringLiteral("0"));
    return out;
}

bool remove(const QString &name)
{
    if (!isSafeName(name))
        return false;
    return QFile::remove(filePath(name));
}

bool rename(SettingsStores &stores, const QString &oldName, const QString &newName)
{
    if (!isSafeName(oldName) || !isSafeName(newName) || !QFile::exists(filePath(oldName)))
        return false;
    for (int p = 0; p < kUiProfiles; ++p) {
        QSettings *profile = stores.profile(p);
        profile->beginGroup(QStringLiteral("mouseMacroKey"));
        const QStringList keys = profile->childKeys();
        for (const QString &k : keys) {
            if (nameValue(profile->value(k)) == oldName)
                profile->setValue(k, newName);
        }
        profile->endGroup();
    }
    // The bindings follow the new name even when the file cannot: the UI has
    // already shown it on the buttons.
    return QFile::rename(filePath(oldName), filePath(newName));
}

void unbind(SettingsStores &stores, const QString &name)
{
    // No macro has an empty name; matching it would reset every macro
    // button whose name entry is missing.
    if (name.isEmpty())
        return;
    for (int p = 0; p < kUiProfiles; ++p) {
        QSettings *profile = stores.profile(p);
        for (int k = 0; k < kButtons; ++k) {
            const QString matrixKey = key("mouseKeyMatrix", k);
            const QStringList entry = settingsValueList(profile->value(matrixKey));
            if (entry.size() < 3)
                continue;
            bool kindOk = false;
            bool slotOk = false;
            const int kind = entry.at(0).trimmed().toInt(&kindOk);
            const int slot = entry.at(2).trimmed().toInt(&slotOk);
            if (!kindOk || !slotOk || kind != 4)
                continue;
            if (nameValue(profile->value(key("mouseMacroKey", slot))) != name)
                continue;
            const QVariant defaults = stores.defaults().value(matrixKey);
            if (defaults.isValid()) {
                profile->setValue(matrixKey, defaults);
            } else {
                qCDebug(lcMacro).noquote()
                    << QStringLiteral("macro: no default for %1 - binding removed").arg(matrixKey);
                profile->remove(matrixKey);
            }
        }
    }
}

bool importFrom(const QString &name, const QString &source)
{
    if (!isSafeName(name))
        return false;
    QDir().mkpath(directory());
    const FileReplace::Result r = FileReplace::copyNew(source, filePath(name));
    if (r == FileReplace::Result::Copied)
        return true;
    qCDebug(lcMacro).noquote() << QStringLiteral("macro: %1 not imported as \"%2\": %3")
                                      .arg(source, name, QString::fromLatin1(FileReplace::describe(r)));
    return false;
}

bool exportTo(const QString &name, const QString &target)
{
    if (!isSafeName(name))
        return false;
    const FileReplace::Result r = FileReplace::replace(filePath(name), target);
    if (r == FileReplace::Result::Copied || r == FileReplace::Result::SameFile)
        return true;
    qCDebug(lcMacro).noquote() << QStringLiteral("macro: \"%1\" not exported to %2: %3")
                                      .arg(name, target, QString::fromLatin1(FileReplace::describe(r)));
    return false;
}
} // namespace MacroStore

// Bridge operations ---------------------------------------------------------

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    const QString name = macroFileName.toString();
    if (!MacroStore::isSafeName(name))
        return false;
    const QString file = fileDialogs().openFile(this, tr("Open File"), FileDialogs::startFolder(),
                                                tr("Macro(*.mc)"));
    if (file.isEmpty())
        return false;
    // True whenever a file was chosen: the editor then shows whatever the
    // macro file holds, and creates an empty one only on cancel.
    MacroStore::importFrom(name, file);
    return true;
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    const QString name = macroFileName.toString();
    if (!MacroStore::isSafeName(name))
        return;
    const QString file = fileDialogs().saveFile(this, tr("Save File"), FileDialogs::startFolder(),
                                                tr("Macro(*.mc)"));
    if (file.isEmpty())
        return;
    MacroStore::exportTo(name, file);
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    return MacroStore::create(name.toString(), macroIndex);
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    return MacroStore::rename(*m_stores, oldname.toString(), newname.toString());
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    MacroStore::unbind(*m_stores, macroName.toString());
}

QVariant myQQuickView::deleteMacroIni(QVariant name) { return MacroStore::remove(name.toString()); }

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    return MacroStore::save(name.toString(), macros, repeat);
}

QStringList myQQuickView::loadMacroIni(QVariant name) { return MacroStore::load(name.toString()); }
