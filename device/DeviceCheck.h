#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class Hid_Thread;
class HidHost;

// The device check: reads the device table, finds the interfaces, runs the
// handshake in table order and opens the connection with the first device
// that answers. The window side (tray, bridge, UI) comes in as `host`.
namespace DeviceCheck
{
constexpr int kDebounceMs = 2048;

// Works from wherever the program runs, the installed copy included: the
// program installs the rule itself (asking for privileges through pkexec).
inline QString installCommand()
{
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                     : QString();
    QString exe = dir.isEmpty() ? QStringLiteral("skeld-config")
                                : dir + QStringLiteral("/skeld-config");
    if (exe.contains(QLatin1Char(' ')))
        exe = QLatin1Char('"') + exe + QLatin1Char('"');
    return exe + QStringLiteral(" --install-udev-rule");
}
QString permissionHint();

struct Result {
    bool connected = false;
    int index = -1;
    // Nodes of table rows that are present but not ours to open.
    QStringList deniedPaths;
    // Whether this check showed the permission hint (once per plug-in).
    bool hintShown = false;
};

Result run(Hid_Thread &hid, HidHost &host,
           const QString &tableFile = QStringLiteral("./modules/setting/apConfig.bin"));
// The check as the window runs it: queued on the worker after the commands
// already there, with every call of `host` posted back to the GUI thread.
// Skipped while a connection's reader runs.
void runQueued(Hid_Thread &hid, HidHost &host,
               const QString &tableFile = QStringLiteral("./modules/setting/apConfig.bin"));
} // namespace DeviceCheck
