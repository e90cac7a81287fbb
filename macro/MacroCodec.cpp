#include "macro/MacroCodec.h"

#include "macro/MacroEncoder.h"

#include <QQmlEngine>

MacroCodec::MacroCodec(QObject *parent) : QObject(parent) {}

void MacroCodec::setKeyNames(const QStringList &names)
{
    if (names == m_keyNames) return;
    if (!names.isEmpty() && names.size() != MacroEncoder::keyCodes().size())
        qCDebug(lcMacro) << "macro: key-name list has" << names.size() << "names instead of"
                         << MacroEncoder::keyCodes().size() << "; built-in names apply";
    m_keyNames = names;
    emit keyNamesChanged();
}

QVariantList MacroCodec::deCode(const QStringList &entries, int repeat) const
{
    const QByteArray bytes =
        MacroEncoder::encode(MacroEncoder::parseEntries(entries), repeat, m_keyNames);
    QVariantList out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out << int(quint8(b));
    return out;
}

int MacroCodec::recordCount(const QStringList &entries) const
{
    return MacroEncoder::encodedSize(MacroEncoder::parseEntries(entries));
}

QVariantList MacroCodec::encodeStored(const QStringList &loaded) const
{
    if (loaded.isEmpty()) return {};
    bool ok = false;
    const int repeat = loaded.last().trimmed().toInt(&ok);
    return deCode(loaded.mid(0, loaded.size() - 1), ok ? repeat : 0);
}

int MacroCodec::codeForName(const QString &name) const
{
    return MacroEncoder::codeForName(name, m_keyNames);
}

QString MacroCodec::nameForCode(int code) const
{
    return code < 0 || code > 0xFF ? QString()
                                   : MacroEncoder::nameForCode(quint8(code), m_keyNames);
}

void MacroCodec::registerQmlType()
{
    qmlRegisterSingletonType<MacroCodec>(
        "skeld.macro", 1, 0, "MacroCodec",
        [](QQmlEngine *, QJSEngine *) -> QObject * { return new MacroCodec; });
}
