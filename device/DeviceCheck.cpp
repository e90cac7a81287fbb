#include "device/DeviceCheck.h"

#include "device/HidHost.h"
#include "device/Hid_Thread.h"

#include <QDebug>
#include <QHash>
#include <QSettings>
#include <array>
#include <functional>
#include <memory>

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
            for (unsigned n = 0; n < 4; ++n) {
                std::array<uchar, Hid_Thread::kPayloadSize> record{};
                const bool ok = hid.readProfileRecord(record.data(), uchar(n));
                host.hostProfileRead(n, ok ? QByteArray(reinterpret_cast<const char *>(record.data()),
                                                        int(record.size()))
                                           : QByteArray());
            }
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

namespace
{
// The window seen from the worker: every call is posted to the GUI thread in
// the order the check makes it; what the check asks of the window was read
// there before the check was queued.
class PostingHost : public HidHost
{
public:
    PostingHost(Hid_Thread &hid, HidHost &gui)
        : m_hid(hid), m_gui(gui), m_icType(gui.hostIcType()),
          m_currentProfile(gui.hostCurrentProfile())
    {
    }

    void showTrayMessage(const QString &title, const QString &text, int msecs) override
    {
        post([=](HidHost &h) { h.showTrayMessage(title, text, msecs); });
    }
    void hostSetCurrentDPI(int stage) override
    {
        post([=](HidHost &h) { h.hostSetCurrentDPI(stage); });
    }
    void hostSetRight(bool right) override
    {
        post([=](HidHost &h) { h.hostSetRight(right); });
    }
    void hostRunUI() override
    {
        post([](HidHost &h) { h.hostRunUI(); });
    }
    void hostSetViewEnabled(bool enabled) override
    {
        post([=](HidHost &h) { h.hostSetViewEnabled(enabled); });
    }
    int hostCurrentProfile() const override { return m_currentProfile; }
    QString hostIcType() const override { return m_icType; }
    // The bus flag belongs to the worker, where this runs.
    void hostClearHidBusy() override { m_hid.idle = true; }
    void hostSetDeviceConnected(bool connected) override
    {
        post([=](HidHost &h) { h.hostSetDeviceConnected(connected); });
    }
    void hostProfileRead(unsigned int profileNo, const QByteArray &record) override
    {
        post([=](HidHost &h) { h.hostProfileRead(profileNo, record); });
    }
    void hostInitUI() override
    {
        post([](HidHost &h) { h.hostInitUI(); });
    }
    void hostDeviceRemoved() override
    {
        post([](HidHost &h) { h.hostDeviceRemoved(); });
    }

private:
    void post(std::function<void(HidHost &)> f)
    {
        HidHost *gui = &m_gui;
        m_hid.postToGui([gui, f = std::move(f)] { f(*gui); });
    }

    Hid_Thread &m_hid;
    HidHost &m_gui;
    const QString m_icType;
    const int m_currentProfile;
};
} // namespace

void runQueued(Hid_Thread &hid, HidHost &host, const QString &tableFile)
{
    auto posting = std::make_shared<PostingHost>(hid, host);
    hid.post([&hid, posting, tableFile] {
        // A connection whose reader still runs is alive: the notification
        // was about some other device.
        if (hid.readerRunning) {
            qCInfo(lcTransport) << "device: connection open, nothing to check";
            return;
        }
        run(hid, *posting, tableFile);
    });
}
} // namespace DeviceCheck
