#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>

class QSettings;

// One row of the device table: which USB HID device we talk to and how.
// `path` and `path2` are filled by the device check.
struct DeviceRecord {
    qint32 type = -1;
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    quint16 usagePage2 = 0;
    quint16 usage2 = 0;
    qint32 reportLength = 32;
    bool isEncode = false;
    QString sCode = QStringLiteral("731952");
    QString path;
    QString path2;
};

using DeviceList = QList<std::shared_ptr<DeviceRecord>>;

namespace DeviceTable
{
// A table claiming more rows than this is broken; reading a million default
// rows (each enumerating every HID device) would freeze the check.
constexpr int kMaxRecords = 64;

// Reads sections 0 .. common/deviceCount - 1 of an open device table.
DeviceList read(QSettings &settings);
// Reads ./modules/setting/apConfig.bin (or `file`).
DeviceList readFile(const QString &file = QStringLiteral("./modules/setting/apConfig.bin"));
// The first mouse row (type 1), or nullptr.
std::shared_ptr<DeviceRecord> mouseRow(const DeviceList &list);

// Hexadecimal key value stored as 16 bits; text that does not parse is 0.
quint16 parseHex16(const QString &text);
} // namespace DeviceTable
