#include "device/DeviceCheck.h"

#include "device/HidHost.h"
#include "device/Hid_Thread.h"

#include <QDebug>
#include <QHash>
#include <QSettings>

namespace DeviceCheck
{
QString permissionHint()
{
    return QStringLiteral("The mouse was found but this user may not open it. Run \"%1\" once, "
                          "then plug the mouse in again.")
        .arg(installCommand());
}

Result run(Hid_Thread &hid, HidHost &host, const QString &tableFile)
{
    Result result;
    QSettings settings(tableFile, QSettings::IniFormat);
    DeviceList list = DeviceTable::read(settings);

    // One enumeration per id pair is enough: the answer does not change
    // within a check, and a table of many default rows stays cheap.
    QHash<quint32, QList<HidInterfaceInfo>> seen;
    HidBackend *backend = hid.backend();
    for (const auto &rec : list) {
        rec->path.clear();
        rec->path2.clear();
        const quint32 key = (quint32(rec->vid) << 16) | rec->pid;
        if (!seen.contains(key)) seen.insert(key, backend->enumerate(rec->vid, rec->pid));
        for (const HidInterfaceInfo &info : seen.value(key)) {
            if (info.usagePage == rec->usagePage && info.usage == rec->usage)
                rec->path = QString::fromLocal8Bit(info.path);
            if (info.usagePage == rec->usagePage2 && info.usage == rec->usage2)
                rec->path2 = QString::fromLocal8Bit(info.path);
        }
        for (const QString &p : {rec->path, rec->path2})
            if (!p.isEmpty() && !result.deniedPaths.contains(p) &&
                backend->accessDenied(p.toLocal8Bit()))
                result.deniedPaths << p;
    }

    // A reader stopped but still inside its last read uses the old records.
    hid.waitForReader();
    hid.devices = list;

    // Once per plug-in: a node we already hinted about stays quiet until it
    // has gone away and come back.
    QStringList fresh;
    for (const QString &p : std::as_const(result.deniedPaths))
        if (!hid.hintedDeniedPaths.contains(p)) fresh << p;
    hid.hintedDeniedPaths = result.deniedPaths;
    if (!fresh.isEmpty()) {
        qDebug().noquote() << "device: permission denied on" << fresh.join(QLatin1String(", "))
                           << "- run" << installCommand();
        host.showTrayMessage(QStringLiteral("Info"), permissionHint(), 10000);
        result.hintShown = true;
    }

    for (int i = 0; i < hid.devices.size(); ++i) {
        if (hid.devices.at(i)->path.isEmpty()) continue;
        if (!hid.chkDeviceIsEnCode(i)) continue;
        qDebug("Device Connect");
        host.hostClearHidBusy();
        host.hostSetDeviceConnected(true);
        host.showTrayMessage(QStringLiteral("Info"), QStringLiteral("Detect Device"), 10000);
        hid.startEventReader(unsigned(hid.curDevice));
        if (host.hostIcType() == QLatin1String("560"))
            for (unsigned n = 0; n < 4; ++n)
                host.hostReadProfile(n);
        host.hostSetViewEnabled(true);
        host.hostInitUI();
        result.connected = true;
        result.index = i;
        return result;
    }
    qDebug("Device DisConnect");
    host.hostSetDeviceConnected(false);
    host.hostInitUI();
    return result;
}
} // namespace DeviceCheck
