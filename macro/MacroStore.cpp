#include "macro/MacroStore.h"

#include "app/myQQuickView.h"
#include "settings/FileDialogs.h"
#include "settings/FileReplace.h"
#include "settings/NameLists.h"
#include "settings/SafeWrite.h"
#include "settings/SettingsStores.h"
#include "settings/SettingsValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>
#include <unistd.h>

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

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("it is empty");
    if (name.size() > kMaxNameLength)
        return QStringLiteral("it is longer than %1 characters").arg(kMaxNameLength);
    if (name.trimmed().isEmpty())
        return QStringLiteral("it is only blanks");
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("it starts with a dot");
    if (name == NameLists::kPadding)
        return QStringLiteral("it is the name list's padding word");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f))
            return QStringLiteral("it holds a control character");
        if (QStringView(u"/\\:*?\"<>|").contains(c))
            return QStringLiteral("it holds \"%1\"").arg(c);
    }
    return {};
}

bool isSafeName(const QString &name)
{
    const QString problem = nameProblem(name);
    if (!problem.isEmpty()) {
        QString shown = name.left(kMaxNameLength + 16);
        for (QChar &c : shown)
            if (c.unicode() < 0x20)
                c = QChar(u'?');
        qCDebug(lcMacro).noquote()
            << QStringLiteral("macro: refused name \"%1\": %2").arg(shown, problem);
    }
    return problem.isEmpty();
}

QString filePath(const QString &name) { return directory() + name + QStringLiteral(".bin"); }

bool create(const QString &name, const QVariant &macroIndex)
{
    if (!isSafeName(name))
        return false;
    QDir().mkpath(directory());
    SettingsFile file(filePath(name));
    return file.edit([&](QSettings &s) {
        s.setValue(QStringLiteral("config/index"), macroIndex.toUInt());
        s.setValue(QStringLiteral("config/total"), 0);
        s.setValue(QStringLiteral("config/repeat"), 1);
        s.setValue(QStringLiteral("config/did"), -1);
    });
}

bool save(const QString &name, const QStringList &events, const QVariant &repeat)
{
    if (!isSafeName(name) || !QFile::exists(filePath(name)))
        return false;
    SettingsFile file(filePath(name));
    return file.edit([&](QSettings &s) {
        s.remove(QStringLiteral("macro"));
        s.setValue(QStringLiteral("config/total"), int(events.size()));
        s.setValue(QStringLiteral("config/repeat"), repeat.isValid() ? repeat : QVariant(0));
        for (qsizetype i = 0; i < events.size(); ++i)
            s.setValue(key("macro", i), events.at(i));
    });
}

QStringList load(const QString &name)
{
    if (!isSafeName(name) || !QFile::exists(filePath(name)))
        return {};
    const QString path = filePath(name);
    const SettingsFile file(path);
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

namespace {
// Points every binding of profiles 0 to 5 from `from` to `to`; false, with
// the profiles written so far pointed back, when a profile cannot be written.
bool rebind(SettingsStores &stores, const QString &from, const QString &to)
{
    auto rebindOne = [&](SettingsFile &profile, const QString &a, const QString &b) {
        return profile.edit([&](QSettings &s) {
            s.beginGroup(QStringLiteral("mouseMacroKey"));
            for (const QString &k : s.childKeys())
                if (nameValue(s.value(k)) == a)
                    s.setValue(k, b);
            s.endGroup();
        });
    };
    for (int p = 0; p < kUiProfiles; ++p) {
        if (rebindOne(*stores.profile(p), from, to))
            continue;
        for (int q = 0; q < p; ++q)
            rebindOne(*stores.profile(q), to, from);
        return false;
    }
    return true;
}
} // namespace

bool rename(SettingsStores &stores, const QString &oldName, const QString &newName)
{
    if (!isSafeName(oldName) || !isSafeName(newName) || !QFile::exists(filePath(oldName)))
        return false;
    if (oldName == newName)
        return true;
    // The file moves first, never over an existing macro (link fails where
    // rename would replace); the bindings follow only a macro that exists.
    const QByteArray from = QFile::encodeName(filePath(oldName));
    const QByteArray to = QFile::encodeName(filePath(newName));
    if (QFileInfo(filePath(newName)).exists() || QFileInfo(filePath(newName)).isSymLink() ||
        ::link(from.constData(), to.constData()) != 0) {
        const int e = QFileInfo(filePath(newName)).exists() ? EEXIST : errno;
        SafeWrite::fail(QStringLiteral("cannot rename %1 to %2: %3")
                            .arg(filePath(oldName).mid(2), filePath(newName).mid(2),
                                 QString::fromLocal8Bit(std::strerror(e))));
        return false;
    }
    if (!rebind(stores, oldName, newName)) {
        ::unlink(to.constData());
        return false;
    }
    ::unlink(from.constData());
    return true;
}

bool unbind(SettingsStores &stores, const QString &name)
{
    // No macro has an empty name; matching it would reset every macro
    // button whose name entry is missing.
    if (name.isEmpty())
        return true;
    bool ok = true;
    for (int p = 0; p < kUiProfiles; ++p) {
        SettingsFile *profile = stores.profile(p);
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
                ok = profile->setValue(matrixKey, defaults) && ok;
            } else {
                qCDebug(lcMacro).noquote()
                    << QStringLiteral("macro: no default for %1 - binding removed").arg(matrixKey);
                ok = profile->remove(matrixKey) && ok;
            }
        }
    }
    return ok;
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
    const QString file = fileDialogs().openFile(dialogParent(), tr("Open File"), FileDialogs::startFolder(),
                                                tr("Macro(*.mc)"));
    if (file.isEmpty())
        return false;
    // True whenever a file was chosen, unless nothing could be written: the
    // editor then shows whatever the macro file holds, and creates an empty
    // one only on false.
    const quint64 failures = SafeWrite::failureCount();
    MacroStore::importFrom(name, file);
    return SafeWrite::failureCount() == failures;
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    const QString name = macroFileName.toString();
    if (!MacroStore::isSafeName(name))
        return;
    const QString file = fileDialogs().saveFile(dialogParent(), tr("Save File"), FileDialogs::startFolder(),
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
