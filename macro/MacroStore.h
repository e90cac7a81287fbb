#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class SettingsStores;

// One INI file per macro, ./modules/macro/<name>.bin: [config] index, total,
// repeat, did and the events as [macro] 0 .. total-1, each "<type>,<info>".
// The macro's name is the file's base name, so every operation first makes
// sure the name cannot reach outside the macro folder.
namespace MacroStore {
// A macro the editor can send holds a few dozen events; a count far above
// that comes from a broken or foreign file.
constexpr int kMaxEvents = 1024;
// Profiles whose bindings follow a rename or delete: the ones the UI uses.
constexpr int kUiProfiles = 6;
constexpr int kButtons = 16;

QString directory();
// The one rule for macro names, shared with the macro page: 1 to 64
// characters, not only blanks, no leading dot, no control character, none
// of / \ : * ? " < > | (it is a file name on every system), and not the
// name list's padding word (a list of it and one name would read as one).
constexpr int kMaxNameLength = 64;
// Empty when `name` is usable, else why not.
QString nameProblem(const QString &name);
// nameProblem() with a debug line for a refused name.
bool isSafeName(const QString &name);
QString filePath(const QString &name);

bool create(const QString &name, const QVariant &macroIndex);
bool save(const QString &name, const QStringList &events, const QVariant &repeat);
// The events in order and then the repeat count; empty when there is no file.
QStringList load(const QString &name);
bool remove(const QString &name);
// Renames the file (never over an existing one), then points the bindings of
// profiles 0 to 5 at the new name. All or nothing: when any step fails the
// file and the bindings stay as they were.
bool rename(SettingsStores &stores, const QString &oldName, const QString &newName);
// Buttons of profiles 0 to 5 bound to `name` get their default assignment;
// false when a profile could not be written.
bool unbind(SettingsStores &stores, const QString &name);
// Copies an exported macro in as `name`; an existing macro is never replaced.
bool importFrom(const QString &name, const QString &source);
// Writes the macro's bytes to `target`, replacing it.
bool exportTo(const QString &name, const QString &target);
} // namespace MacroStore
