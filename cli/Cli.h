#pragma once

#include "device/DeviceCheck.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class Hid_Thread;
class HidHost;
class myQQuickView;

// What every subcommand gets: the options of the command line and, on first
// use, the bridge and the device layer (no window, no UI document: nothing
// goes on the wire that the command did not ask for), and one device
// connection shared by everything the subcommand does.
class CliContext
{
public:
    CliContext(QString virtualFamily, bool trace);
    ~CliContext();

    Hid_Thread &hid();
    myQQuickView &bridge();
    // Runs the device check once; later calls return its result.
    const DeviceCheck::Result &connect();

    const QString virtualFamily;
    const bool trace;

private:
    void build();

    std::unique_ptr<Hid_Thread> m_hid;
    std::unique_ptr<myQQuickView> m_bridge;
    std::unique_ptr<HidHost> m_host;
    std::unique_ptr<DeviceCheck::Result> m_check;
};

// Exit statuses of the tool.
enum CliStatus { CliOk = 0, CliNoDevice = 1, CliUsage = 2 };

using CliFunction = int (*)(CliContext &ctx, const QStringList &args);

struct CliCommand {
    const char *name;
    const char *synopsis; // "NAME ARGS - what it does", shown by --help
    CliFunction run;
};

// Subcommands register themselves from their own cmd_<area>.cpp file:
//   static const CliRegistrar reg({"detect", "detect - ...", &runDetect});
class CliRegistry
{
public:
    static void add(const CliCommand &command);
    static const QList<CliCommand> &all();
    static const CliCommand *find(const QString &name);
};

struct CliRegistrar {
    explicit CliRegistrar(const CliCommand &command) { CliRegistry::add(command); }
};

// One clear line on standard error.
void cliError(const QString &message);
