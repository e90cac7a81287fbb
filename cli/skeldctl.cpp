// skeldctl: the bridge operations of the configuration utility from the
// command line, without a window. Subcommands live in cli/cmd_<area>.cpp.
#include "cli/Cli.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace
{
void usage(FILE *to)
{
    std::fprintf(to,
                 "usage: skeldctl [--data-dir DIR] [--virtual 553|560] [--trace] COMMAND [ARG...]\n"
                 "commands:\n");
    for (const CliCommand &c : CliRegistry::all())
        std::fprintf(to, "  %s\n", c.synopsis);
    std::fprintf(to, "exit status: 0 done, 1 no device connected, 2 bad usage\n");
}
} // namespace

int main(int argc, char *argv[])
{
    // The bridge is a widget; without a display it lives offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList args = QCoreApplication::arguments().mid(1);
    const QString exe = QCoreApplication::applicationFilePath();
    QString dataDir = exe.left(exe.lastIndexOf(QLatin1Char('/')));
    QString family;
    bool trace = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--help")) {
            usage(stdout);
            return CliOk;
        } else if (opt == QLatin1String("--trace")) {
            trace = true;
        } else if (opt == QLatin1String("--data-dir") && !args.isEmpty()) {
            dataDir = args.takeFirst();
        } else if (opt == QLatin1String("--virtual") && !args.isEmpty()) {
            family = args.takeFirst();
            if (family != QLatin1String("553") && family != QLatin1String("560")) {
                cliError(QStringLiteral("--virtual takes 553 or 560, not %1").arg(family));
                return CliUsage;
            }
        } else {
            cliError(QStringLiteral("unknown option %1").arg(opt));
            usage(stderr);
            return CliUsage;
        }
    }
    if (args.isEmpty()) {
        usage(stderr);
        return CliUsage;
    }
    const CliCommand *command = CliRegistry::find(args.first());
    if (!command) {
        cliError(QStringLiteral("unknown command %1").arg(args.first()));
        usage(stderr);
        return CliUsage;
    }
    // Every data path is ./modules/... relative to the working directory.
    if (!QDir(dataDir).exists() || !QDir::setCurrent(dataDir)) {
        cliError(QStringLiteral("no data directory %1").arg(dataDir));
        return CliUsage;
    }
    int status = CliOk;
    {
        CliContext ctx(family, trace);
        status = command->run(ctx, args.mid(1));
    }
    return status;
}
