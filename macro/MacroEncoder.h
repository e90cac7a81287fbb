#pragma once

#include <QByteArray>
#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <array>

Q_DECLARE_LOGGING_CATEGORY(lcMacro)

// The device's compact macro form and the editor's size counter.
// Pure functions: no files, no device.
namespace MacroEncoder
{

constexpr int kImageBytes = 128;
constexpr int kSlots = 12;
constexpr int kMaxRepeat = 65535;
using Image = std::array<quint8, kImageBytes>;

enum EventType { Delay = 0, KeyPress = 1, KeyRelease = 2, ButtonPress = 3, ButtonRelease = 4 };

struct Event {
    int type = Delay;
    QString info;
};

// "<type>,<info>" as stored in macro files. Entries whose type is not 0..4
// come back with type -1 so the encoder can skip them.
Event parseEntry(const QString &entry);
QList<Event> parseEntries(const QStringList &entries);

// The key-name table the pages use, in code order; names may be replaced
// by a language's names position for position.
const QList<quint8> &keyCodes();
const QStringList &builtinKeyNames();
// Code of the first name equal to `name`; 0 when none matches. `names`
// replaces the built-in names when it has one name per code.
quint8 codeForName(const QString &name, const QStringList &names = {});
QString nameForCode(quint8 code, const QStringList &names = {});

// Device bytes of a macro: repeat count, action pairs, end pair. A macro
// without key or button events is the two repeat bytes alone. The result
// never exceeds 128 bytes: actions that would not fit are dropped from the
// end, with a debug line.
QByteArray encode(const QList<Event> &events, qint64 repeat, const QStringList &names = {});

// Length encode() needs before any dropping, computed without building it.
int encodedSize(const QList<Event> &events);

// The 128 bytes sent to a macro slot from the page's list of numbers.
Image imageFromList(const QVariantList &macroData);

} // namespace MacroEncoder
