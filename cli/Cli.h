#pragma once

#include "device/DeviceCheck.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class Widget;
class myQQuickView;

// What every subcommand gets: the options of the command line and, on first
// use, the program's window with its bridge and worker (offscreen), and one
// device connection shared by everything the subcommand does.
class CliContext
{
public:
    CliContext(QString virtualFamily, bool trace);
    ~CliContext();

    Widget &widget();
    myQQuickView &bridge();
    // Runs the device check once; later calls return its result.
    const DeviceCheck::Result &connect();

    const QString virtualFamily;
    const bool trace;

private:
    std::unique_ptr<Widget> m_widget;
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
