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
// Refuses (with a debug line) an empty name and any name with a path
// separator, "..", or a NUL.
bool isSafeName(const QString &name);
QString filePath(const QString &name);

bool create(const QString &name, const QVariant &macroIndex);
bool save(const QString &name, const QStringList &events, const QVariant &repeat);
// The events in order and then the repeat count; empty when there is no file.
QStringList load(const QString &name);
bool remove(const QString &name);
// Updates the bindings of profiles 0 to 5, then renames the file.
bool rename(SettingsStores &stores, const QString &oldName, const QString &newName);
// Buttons of profiles 0 to 5 bound to `name` get their default assignment.
void unbind(SettingsStores &stores, const QString &name);
// Copies an exported macro in as `name`; an existing macro is never replaced.
bool importFrom(const QString &name, const QString &source);
// Writes the macro's bytes to `target`, replacing it.
bool exportTo(const QString &name, const QString &target);
} // namespace MacroStore
