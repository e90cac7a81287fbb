#pragma once

#include <QVariant>
#include <QVariantList>
#include <QtGlobal>

// The pages hand us numbers as variants of any type. These helpers turn them
// into the bytes and integers the device wants with one rule everywhere:
// missing or non-numeric values are 0, bytes are the value's low 8 bits.
namespace ByteValues
{

// Integer value of a variant; anything that is not a number (or numeric text)
// counts as 0. Doubles are truncated toward zero.
inline qint64 toInt(const QVariant &value)
{
    if (!value.isValid()) return 0;
    bool ok = false;
    const int type = value.typeId();
    if (type != QMetaType::Double && type != QMetaType::Float) {
        const qint64 i = value.toLongLong(&ok);
        if (ok) return i;
    }
    const double d = value.toDouble(&ok);
    if (ok && d > -9.0e18 && d < 9.0e18) return qint64(d);
    return 0;
}

inline quint8 toByte(const QVariant &value)
{
    return quint8(toInt(value) & 0xFF);
}

// Element i of a list, or 0 when the list is shorter.
inline qint64 intAt(const QVariantList &list, qsizetype i)
{
    return i >= 0 && i < list.size() ? toInt(list.at(i)) : 0;
}

inline quint8 byteAt(const QVariantList &list, qsizetype i)
{
    return quint8(intAt(list, i) & 0xFF);
}

} // namespace ByteValues
