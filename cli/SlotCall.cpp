#include "cli/SlotCall.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QObject>
#include <cmath>
#include <limits>
#include <vector>

namespace SlotCall
{
namespace
{
// JSON numbers arrive as doubles; whole ones become ints so a QVariant
// parameter sees what a page would pass.
QVariant normalized(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::floor(d) &&
            std::fabs(d) <= double(std::numeric_limits<int>::max()))
            return QVariant(int(d));
        return v;
    }
    if (v.typeId() == QMetaType::QVariantList) {
        QVariantList out;
        for (const QVariant &e : v.toList())
            out << normalized(e);
        return out;
    }
    if (v.typeId() == QMetaType::QVariantMap) {
        QVariantMap out;
        const QVariantMap in = v.toMap();
        for (auto it = in.begin(); it != in.end(); ++it)
            out.insert(it.key(), normalized(it.value()));
        return out;
    }
    return v;
}
} // namespace

QVariant parseArgument(const QString &text)
{
    QJsonParseError err{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray("[") + text.toUtf8() + QByteArray("]"), &err);
    if (err.error == QJsonParseError::NoError && doc.isArray() && doc.array().size() == 1)
        return normalized(doc.array().at(0).toVariant());
    return QVariant(text);
}

QStringList splitLine(const QString &line)
{
    QStringList out;
    QString current;
    int depth = 0;
    bool inString = false, escaped = false, have = false;
    for (const QChar c : line) {
        if (inString) {
            current += c;
            if (escaped)
                escaped = false;
            else if (c == QLatin1Char('\\'))
                escaped = true;
            else if (c == QLatin1Char('"'))
                inString = false;
            continue;
        }
        if (c.isSpace() && depth == 0) {
            if (have) out << current;
            current.clear();
            have = false;
            continue;
        }
        have = true;
        current += c;
        if (c == QLatin1Char('"'))
            inString = true;
        else if (c == QLatin1Char('[') || c == QLatin1Char('{'))
            ++depth;
        else if ((c == QLatin1Char(']') || c == QLatin1Char('}')) && depth > 0)
            --depth;
    }
    if (have) out << current;
    return out;
}

Outcome invoke(QObject *target, const QString &slot, const QStringList &args)
{
    Outcome outcome;
    if (!target) {
        outcome.error = QStringLiteral("no object to call");
        return outcome;
    }
    if (args.size() > 10) {
        outcome.error = QStringLiteral("too many arguments for %1").arg(slot);
        return outcome;
    }
    const QMetaObject *mo = target->metaObject();
    QMetaMethod method;
    // The most derived class first: the bridge's own operations win over
    // anything of the same name further up. QObject's own (deleteLater)
    // would free the bridge under the next call.
    for (int i = mo->methodCount() - 1; i >= QObject::staticMetaObject.methodCount(); --i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() != QMetaMethod::Slot && m.methodType() != QMetaMethod::Method) continue;
        if (m.access() != QMetaMethod::Public || m.name() != slot.toLatin1() ||
            m.parameterCount() != args.size())
            continue;
        method = m;
        break;
    }
    if (!method.isValid()) {
        outcome.error =
            QStringLiteral("no slot %1 taking %2 argument(s)").arg(slot).arg(args.size());
        return outcome;
    }

    // The meta-call keeps only pointers: the values and the type names must
    // outlive it (parameterTypeName() hands out a temporary).
    std::vector<QVariant> values(size_t(args.size()));
    std::vector<QByteArray> typeNames(size_t(args.size()));
    QGenericArgument argv[10];
    for (int i = 0; i < args.size(); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        QVariant v = parseArgument(args.at(i));
        if (type.id() == QMetaType::QVariant) {
            values[size_t(i)] = v;
        } else if (type.id() == QMetaType::QStringList && v.typeId() == QMetaType::QVariantList) {
            QStringList list;
            for (const QVariant &e : v.toList())
                list << e.toString();
            values[size_t(i)] = list;
        } else if (!type.isValid() || !v.convert(type)) {
            outcome.error =
                QStringLiteral("argument %1 of %2: cannot make a %3 of %4")
                    .arg(i + 1)
                    .arg(slot, QString::fromLatin1(method.parameterTypeName(i)), args.at(i));
            return outcome;
        } else {
            values[size_t(i)] = v;
        }
        // A QVariant parameter takes the variant itself, any other its content.
        const void *data = type.id() == QMetaType::QVariant
                               ? static_cast<const void *>(&values[size_t(i)])
                               : values[size_t(i)].constData();
        typeNames[size_t(i)] = method.parameterTypeName(i);
        argv[i] = QGenericArgument(typeNames[size_t(i)].constData(), data);
    }

    const QMetaType returnType = method.returnMetaType();
    const bool hasResult = returnType.id() != QMetaType::Void && returnType.isValid();
    const bool variantResult = returnType.id() == QMetaType::QVariant;
    QVariant variantStorage;
    QVariant ret = hasResult && !variantResult ? QVariant(returnType) : QVariant();
    void *retData = variantResult ? static_cast<void *>(&variantStorage) : ret.data();
    QGenericReturnArgument retArg =
        hasResult ? QGenericReturnArgument(method.typeName(), retData) : QGenericReturnArgument();
    if (!method.invoke(target, Qt::DirectConnection, retArg, argv[0], argv[1], argv[2], argv[3],
                       argv[4], argv[5], argv[6], argv[7], argv[8], argv[9])) {
        outcome.error = QStringLiteral("calling %1 failed").arg(slot);
        return outcome;
    }
    outcome.ok = true;
    outcome.hasResult = hasResult;
    if (hasResult) {
        outcome.result = QJsonValue::fromVariant(variantResult ? variantStorage : ret);
    }
    return outcome;
}

QString toJsonLine(const QJsonValue &value)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}
} // namespace SlotCall
