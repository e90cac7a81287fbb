#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVariant>

class QObject;

// Calls a slot of `target` by name, the way the UI documents do: each
// argument a JSON text converted to the slot's parameter type.
namespace SlotCall
{
struct Outcome {
    bool ok = false;
    bool hasResult = false;
    QJsonValue result;
    QString error;
};

// A JSON value from one argument; text that is not JSON is taken as a string
// (so `mouse/icType` works as well as `"mouse/icType"`).
QVariant parseArgument(const QString &text);
// Splits "SLOT ARG ARG" at blanks outside quotes and brackets.
QStringList splitLine(const QString &line);
Outcome invoke(QObject *target, const QString &slot, const QStringList &args);
// The result as one line of JSON.
QString toJsonLine(const QJsonValue &value);
} // namespace SlotCall
