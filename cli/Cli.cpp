#include "cli/Cli.h"

#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/HidHost.h"
#include "device/Hid_Thread.h"

#include <algorithm>
#include <cstdio>

namespace
{
// The window's part in a connection, for a tool without a window: the
// bridge keeps what the device reports, the rest has no one to show it to.
class CliHost : public HidHost
{
public:
    CliHost(Hid_Thread &hid, myQQuickView &bridge) : m_hid(hid), m_bridge(bridge) {}

    void showTrayMessage(const QString &, const QString &, int) override {}
    void hostSetCurrentDPI(int stage) override { m_bridge.setCurrentDPI(stage); }
    void hostSetRight(bool right) override { m_bridge.right = right; }
    void hostRunUI() override {}
    void hostSetViewEnabled(bool) override {}
    int hostCurrentProfile() const override { return m_bridge.currentProfile(); }
    QString hostIcType() const override { return m_bridge.icType; }
    void hostClearHidBusy() override { m_hid.idle = true; }
    void hostProfileRead(unsigned int profileNo, const QByteArray &record) override
    {
        if (profileNo >= m_bridge.profileImages.size() ||
            record.size() != int(m_bridge.profileImages[profileNo].size()))
            return;
        std::copy(record.begin(), record.end(), m_bridge.profileImages[profileNo].begin());
        m_bridge.profileImageRead[profileNo] = true;
    }

private:
    Hid_Thread &m_hid;
    myQQuickView &m_bridge;
};
} // namespace

CliContext::CliContext(QString family, bool traceOn)
    : virtualFamily(std::move(family)), trace(traceOn)
{
}

CliContext::~CliContext()
{
    if (m_hid) m_hid->stopEventReader();
    // The bridge refers to the worker; it goes first.
    m_bridge.reset();
    m_hid.reset();
}

void CliContext::build()
{
    if (m_hid) return;
    m_hid = std::make_unique<Hid_Thread>();
    // The tool decides the back end from its own options, falling back to
    // the environment the program itself reads.
    const QString family =
        virtualFamily.isEmpty() ? qEnvironmentVariable("SKELD_VIRTUAL_MOUSE") : virtualFamily;
    m_hid->setBackend(HidBackends::create(
        family, trace || qEnvironmentVariableIntValue("SKELD_HID_TRACE") == 1));
    m_bridge = std::make_unique<myQQuickView>();
    m_bridge->hid = m_hid.get();
    m_host = std::make_unique<CliHost>(*m_hid, *m_bridge);
    m_hid->owner = m_host.get();
}

Hid_Thread &CliContext::hid()
{
    build();
    return *m_hid;
}

myQQuickView &CliContext::bridge()
{
    build();
    return *m_bridge;
}

const DeviceCheck::Result &CliContext::connect()
{
    if (!m_check) {
        build();
        m_check = std::make_unique<DeviceCheck::Result>(DeviceCheck::run(*m_hid, *m_host));
    }
    return *m_check;
}

void CliRegistry::add(const CliCommand &command)
{
    const_cast<QList<CliCommand> &>(all()).append(command);
}

const QList<CliCommand> &CliRegistry::all()
{
    static QList<CliCommand> commands;
    return commands;
}

const CliCommand *CliRegistry::find(const QString &name)
{
    for (const CliCommand &c : all())
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

void cliError(const QString &message)
{
    const QByteArray line = "skeldctl: " + message.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}
