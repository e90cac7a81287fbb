// skeldctl pointer: the desktop's pointer speed, double-click time and wheel
// lines, in the steps of the system settings page. Needs no device.
#include "cli/Cli.h"

#include "features/PointerSettings.h"
#include "platform/PointerSettings.h"

namespace
{
// The back end's own words; a back end that gives none is named instead.
QString refusal(const PointerSettings &desktop)
{
    if (!desktop.failureReason().isEmpty()) return desktop.failureReason();
    return QStringLiteral("the desktop (%1) did not store it")
        .arg(QString::fromLatin1(desktop.name()));
}

int runPointer(CliContext &ctx, const QStringList &args)
{
    Q_UNUSED(ctx);
    if (args.size() != 2) {
        cliError(
            QStringLiteral("pointer needs a setting and a value: speed|doubleclick|lines VALUE"));
        return CliUsage;
    }
    const QString &what = args.at(0);
    bool ok = false;
    const uint value = args.at(1).toUInt(&ok);
    PointerSettings &desktop = systemPointerSettings();
    if (what == QLatin1String("speed") || what == QLatin1String("doubleclick")) {
        if (!ok || value > PointerSteps::maxStep) {
            cliError(QStringLiteral("pointer %1: the step must be 0..10, not \"%2\"")
                         .arg(what, args.at(1)));
            return CliUsage;
        }
        const bool stored = what == QLatin1String("speed") ? applyCursorSpeed(desktop, value)
                                                           : applyDoubleClickSpeed(desktop, value);
        if (!stored) {
            cliError(QStringLiteral("pointer %1: %2").arg(what, refusal(desktop)));
            return CliNoDevice;
        }
        return CliOk;
    }
    if (what == QLatin1String("lines")) {
        // The page offers 1..100 lines, or 1000 for one screen per notch.
        if (!ok || value == 0 || (value > 100 && value != 1000)) {
            cliError(QStringLiteral("pointer lines: the value must be 1..100 or 1000, not \"%1\"")
                         .arg(args.at(1)));
            return CliUsage;
        }
        if (!applyVerticalScrollLines(desktop, value)) {
            cliError(QStringLiteral("pointer lines: %1").arg(refusal(desktop)));
            return CliNoDevice;
        }
        return CliOk;
    }
    cliError(
        QStringLiteral("pointer: unknown setting \"%1\" (speed, doubleclick or lines)").arg(what));
    return CliUsage;
}

const CliRegistrar
    reg({"pointer",
         "pointer speed|doubleclick|lines VALUE - set the desktop's pointer speed "
         "(step 0..10), double-click time (step 0..10) or wheel lines (1..100, 1000); "
         "exits 1 with the reason when the desktop cannot store it",
         &runPointer});
} // namespace
