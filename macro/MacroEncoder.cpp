#include "macro/MacroEncoder.h"

#include "features/ByteValues.h"

#include <QtGlobal>
#include <algorithm>

Q_LOGGING_CATEGORY(lcMacro, "skeld.macro")

namespace MacroEncoder
{

Event parseEntry(const QString &entry)
{
    Event e;
    const QChar t = entry.isEmpty() ? QChar() : entry.at(0);
    if (t >= QLatin1Char('0') && t <= QLatin1Char('4'))
        e.type = t.unicode() - '0';
    else
        e.type = -1;
    e.info = entry.mid(2);
    return e;
}

QList<Event> parseEntries(const QStringList &entries)
{
    QList<Event> out;
    out.reserve(entries.size());
    for (const QString &s : entries)
        out << parseEntry(s);
    return out;
}

const QList<quint8> &keyCodes()
{
    static const QList<quint8> codes = [] {
        QList<quint8> c;
        for (int k = 0x04; k <= 0x73; ++k)
            c << quint8(k);
        for (int k : {0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91})
            c << quint8(k);
        for (int k = 0xE0; k <= 0xE7; ++k)
            c << quint8(k);
        for (int k = 0xF0; k <= 0xF4; ++k)
            c << quint8(k);
        return c;
    }();
    return codes;
}

const QStringList &builtinKeyNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (char c = 'A'; c <= 'Z'; ++c)
            n << QString(QLatin1Char(c));
        for (int d = 1; d <= 9; ++d)
            n << QString::number(d);
        n << QStringLiteral("0");
        n << QStringLiteral("Enter") << QStringLiteral("Esc") << QStringLiteral("Back")
          << QStringLiteral("Tab") << QStringLiteral("Space") << QStringLiteral("-")
          << QStringLiteral("=") << QStringLiteral("[") << QStringLiteral("]")
          << QStringLiteral("\\") << QStringLiteral("\\") << QStringLiteral(";")
          << QStringLiteral("'") << QStringLiteral("`") << QStringLiteral(",")
          << QStringLiteral(".") << QStringLiteral("/") << QStringLiteral("Caps");
        for (int f = 1; f <= 12; ++f)
            n << QStringLiteral("F%1").arg(f);
        n << QStringLiteral("Prt") << QStringLiteral("Scr") << QStringLiteral("Pau")
          << QStringLiteral("Ins") << QStringLiteral("Hom") << QStringLiteral("Pgu")
          << QStringLiteral("Del") << QStringLiteral("End") << QStringLiteral("PgD")
          << QString(QChar(0x25BA)) << QString(QChar(0x25C4)) << QString(QChar(0x25BC))
          << QString(QChar(0x25B2)) << QStringLiteral("Num") << QStringLiteral("KP/")
          << QStringLiteral("KP*") << QStringLiteral("KP-") << QStringLiteral("KP+")
          << QStringLiteral("KPEnter");
        for (int d = 1; d <= 9; ++d)
            n << QStringLiteral("KP%1").arg(d);
        n << QStringLiteral("KP0") << QStringLiteral("KP.") << QStringLiteral("Eur2")
          << QStringLiteral("App") << QStringLiteral("Power") << QStringLiteral("KP=");
        for (int f = 13; f <= 24; ++f)
            n << QStringLiteral("F%1").arg(f);
        n << QStringLiteral("Keypad") << QStringLiteral("Intl1") << QStringLiteral("Intl2")
          << QStringLiteral("Intl2") << QStringLiteral("Intl4") << QStringLiteral("Intl5")
          << QStringLiteral("Lang1") << QStringLiteral("Lang2");
        n << QStringLiteral("LCtrl") << QStringLiteral("LShift") << QStringLiteral("LAlt")
          << QStringLiteral("LWin") << QStringLiteral("RCtrl") << QStringLiteral("RShift")
          << QStringLiteral("RAlt") << QStringLiteral("RWin");
        n << QStringLiteral("MS-L") << QStringLiteral("MS-R") << QStringLiteral("MS-M")
          << QStringLiteral("MS-B4") << QStringLiteral("MS-B5");
        return n;
    }();
    return names;
}

namespace
{
const QStringList &effectiveNames(const QStringList &names)
{
    // A language list of the wrong length would pair names with the wrong
    // codes; the built-in names are safer than a shifted table.
    return names.size() == keyCodes().size() ? names : builtinKeyNames();
}

qint64 delayMs(const QString &info)
{
    bool ok = false;
    qint64 ms = info.trimmed().toLongLong(&ok);
    if (!ok) {
        const double d = info.trimmed().toDouble(&ok);
        ms = ok && d > 0 && d < 1.0e12 ? qint64(d) : 0;
    }
    return std::max<qint64>(ms, 0);
}

bool isAction(const Event &e)
{
    return e.type >= KeyPress && e.type <= ButtonRelease;
}
bool isRelease(const Event &e)
{
    return e.type == KeyRelease || e.type == ButtonRelease;
}

// Bytes one closed action takes for a following delay of `ticks`.
int chunkSize(qint64 ticks)
{
    return ticks < 127 ? 2 : 6;
}

void appendClosed(QByteArray &out, quint8 code, bool release, qint64 ticks)
{
    const quint8 rel = release ? 0x80 : 0x00;
    if (ticks < 127) {
        out.append(char(quint8(ticks == 0 ? 1 : ticks) | rel));
        out.append(char(code));
        return;
    }
    out.append(char(rel));
    out.append(char(code));
    quint8 unit;
    qint64 count;
    if (ticks < 100000) {
        unit = 1;
        count = ticks / 2;
    } else if (ticks < 300000) {
        unit = 2;
        count = ticks / 5;
    } else {
        // The longest delay the count can carry; beyond it the pairs would
        // no longer describe a delay at all.
        unit = 3;
        count = std::min<qint64>(ticks / 10, 0xFFFF);
    }
    out.append(char(0));
    out.append(char(unit));
    out.append(char(quint8(count >> 8)));
    out.append(char(quint8(count & 0xFF)));
}

struct Action {
    quint8 code;
    bool release;
    qint64 ticksAfter; // delay before the next action
};

QList<Action> actionsOf(const QList<Event> &events, const QStringList &names, bool report)
{
    QList<Action> actions;
    qint64 ms = 0;
    for (const Event &e : events) {
        if (e.type == Delay) {
            if (!actions.isEmpty()) ms += delayMs(e.info);
        } else if (isAction(e)) {
            if (!actions.isEmpty()) actions.last().ticksAfter = ms / 10;
            actions << Action{codeForName(e.info, names), isRelease(e), 0};
            ms = 0;
        } else if (report) {
            qCDebug(lcMacro) << "macro: skipped an entry of unknown type" << e.type;
        }
    }
    return actions;
}
} // namespace

quint8 codeForName(const QString &name, const QStringList &names)
{
    const qsizetype i = effectiveNames(names).indexOf(name);
    return i < 0 ? 0 : keyCodes().at(i);
}

QString nameForCode(quint8 code, const QStringList &names)
{
    const qsizetype i = keyCodes().indexOf(code);
    return i < 0 ? QString() : effectiveNames(names).at(i);
}

QByteArray encode(const QList<Event> &events, qint64 repeat, const QStringList &names)
{
    const qint64 r = std::clamp<qint64>(repeat, 0, kMaxRepeat);
    QByteArray out;
    out.append(char(quint8(r >> 8)));
    out.append(char(quint8(r & 0xFF)));

    QList<Action> actions = actionsOf(events, names, true);
    if (actions.isEmpty()) return out;

    // Keep as many leading actions as fit with the closing pair and the end
    // pair; the device reads no further than 128 bytes.
    int size = 2 + 4;
    qsizetype keep = 1;
    while (keep < actions.size() && size + chunkSize(actions[keep - 1].ticksAfter) <= kImageBytes) {
        size += chunkSize(actions[keep - 1].ticksAfter);
        ++keep;
    }
    if (keep < actions.size()) {
        qCDebug(lcMacro) << "macro: too long for the device; dropped" << actions.size() - keep
                         << "trailing actions";
        actions.resize(keep);
    }

    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        appendClosed(out, actions[i].code, actions[i].release, actions[i].ticksAfter);
    // Delays after the last action mean nothing to the device.
    appendClosed(out, actions.last().code, actions.last().release, 1);
    out.append(char(0));
    out.append(char(0));
    return out;
}

int encodedSize(const QList<Event> &events)
{
    const QList<Action> actions = actionsOf(events, {}, false);
    if (actions.isEmpty()) return 2;
    int size = 2 + 4;
    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        size += chunkSize(actions[i].ticksAfter);
    return size;
}

Image imageFromList(const QVariantList &macroData)
{
    Image img{};
    const qsizetype n = std::min<qsizetype>(macroData.size(), kImageBytes);
    for (qsizetype i = 0; i < n; ++i)
        img[size_t(i)] = ByteValues::toByte(macroData.at(i));
    return img;
}

} // namespace MacroEncoder
