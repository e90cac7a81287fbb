#include "cli/Cli.h"

#include "app/Ui_Controler.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"

#include <cstdio>

CliContext::CliContext(QString family, bool traceOn)
    : virtualFamily(std::move(family)), trace(traceOn)
{
}

CliContext::~CliContext()
{
    if (m_widget) m_widget->hid.stopEventReader();
}

Widget &CliContext::widget()
{
    if (!m_widget) {
        m_widget = std::make_unique<Widget>();
        // The tool decides the back end from its own options, falling back
        // to the environment the program itself reads.
        const QString family =
            virtualFamily.isEmpty() ? qEnvironmentVariable("SKELD_VIRTUAL_MOUSE") : virtualFamily;
        m_widget->hid.setBackend(HidBackends::create(
            family, trace || qEnvironmentVariableIntValue("SKELD_HID_TRACE") == 1));
    }
    return *m_widget;
}

myQQuickView &CliContext::bridge()
{
    return *widget().view();
}

const DeviceCheck::Result &CliContext::connect()
{
    if (!m_check) {
        Widget &w = widget();
        m_check = std::make_unique<DeviceCheck::Result>(DeviceCheck::run(w.hid, w));
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
