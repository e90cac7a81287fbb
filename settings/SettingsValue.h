#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The settings facility reads an unquoted value with commas as a list. Text
// entries (language texts, macro events, names) are single strings to us, so
// a hand-edited file that forgot the quotes still reads as the text it meant.
inline QString settingsValueText(const QVariant &value, const QString &separator)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(separator);
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList parts;
        for (const QVariant &v : value.toList())
            parts << v.toString();
        return parts.join(separator);
    }
    return value.toString();
}

// A stored list as strings. A plain string is a list of one entry (the
// facility writes one-entry lists that way); anything else is no list.
inline QStringList settingsValueList(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QStringList:
        return value.toStringList();
    case QMetaType::QVariantList: {
        QStringList out;
        for (const QVariant &v : value.toList())
            out << v.toString();
        return out;
    }
    case QMetaType::QString:
        return {value.toString()};
    default:
        return {};
    }
}

// Whole-number count from a settings value; refuses text that is not one.
inline bool settingsValueCount(const QVariant &value, qint64 *count)
{
    if (!value.isValid()) {
        *count = 0;
        return true;
    }
    bool ok = false;
    const qint64 n = value.toString().trimmed().toLongLong(&ok);
    *count = ok ? n : 0;
    return ok;
}
