#include "device/DeviceRecord.h"

#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcTable, "skeld.device")

namespace DeviceTable
{
quint16 parseHex16(const QString &text)
{
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok, 16);
    return ok ? quint16(value & 0xFFFF) : 0;
}

DeviceList read(QSettings &s)
{
    DeviceList list;
    for (int i = 0;; ++i) {
        bool ok = false;
        int count = s.value(QStringLiteral("common/deviceCount"), 0).toInt(&ok);
        if (!ok) count = 0;
        if (count > kMaxRecords) {
            if (i == 0)
                qCWarning(lcTable).noquote() << "config: deviceCount" << count
                                             << "is absurd; reading" << kMaxRecords << "rows";
            count = kMaxRecords;
        }
        if (i >= count) break;
        const QString n = QString::number(i) + QLatin1Char('/');
        auto rec = std::make_shared<DeviceRecord>();
        const QVariant type = s.value(n + QStringLiteral("type"));
        if (type.isValid()) {
            bool typeOk = false;
            const qlonglong t = type.toString().trimmed().toLongLong(&typeOk, 16);
            rec->type = typeOk ? qint32(t) : 0;
        }
        rec->vid = parseHex16(s.value(n + QStringLiteral("vid")).toString());
        rec->pid = parseHex16(s.value(n + QStringLiteral("pid")).toString());
        rec->usagePage = parseHex16(s.value(n + QStringLiteral("usagePage")).toString());
        rec->usage = parseHex16(s.value(n + QStringLiteral("usage")).toString());
        rec->usagePage2 = parseHex16(s.value(n + QStringLiteral("usagePage2")).toString());
        rec->usage2 = parseHex16(s.value(n + QStringLiteral("usage2")).toString());
        rec->reportLength = s.value(n + QStringLiteral("reportLength"), 32).toInt();
        rec->isEncode = s.value(n + QStringLiteral("isEncode"), false).toBool();
        rec->sCode = s.value(n + QStringLiteral("sCode"), QStringLiteral("731952")).toString();
        list << rec;
    }
    return list;
}

DeviceList readFile(const QString &file)
{
    QSettings s(file, QSettings::IniFormat);
    return read(s);
}

std::shared_ptr<DeviceRecord> mouseRow(const DeviceList &list)
{
    for (const auto &rec : list)
        if (rec->type == 1) return rec;
    return nullptr;
}
} // namespace DeviceTable
