// Subcommands of the device layer: detect, call, batch.
#include "cli/Cli.h"
#include "cli/SlotCall.h"

#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "settings/SafeWrite.h"

#include <QTextStream>
#include <cstdio>

namespace
{
void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// Connects once; says so when nothing answered.
bool connectOrSay(CliContext &ctx)
{
    const DeviceCheck::Result &r = ctx.connect();
    if (r.connected) return true;
    if (!r.deniedPaths.isEmpty()) cliError(DeviceCheck::permissionHint());
    cliError(QStringLiteral("no device connected"));
    return false;
}

int runDetect(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty()) {
        cliError(QStringLiteral("detect takes no arguments"));
        return CliUsage;
    }
    if (!connectOrSay(ctx)) return CliNoDevice;
    const DeviceRecord *rec = ctx.hid().currentRecord();
    printLine(QStringLiteral("%1 %2:%3")
                  .arg(ctx.connect().index)
                  .arg(rec->vid, 4, 16, QLatin1Char('0'))
                  .arg(rec->pid, 4, 16, QLatin1Char('0')));
    return CliOk;
}

// Returns false on a bad call (reported on standard error). A settings write
// that failed during the call is reported too, and counted in *writeFailed.
bool callOne(CliContext &ctx, const QStringList &words, bool printVoid, bool *writeFailed)
{
    const quint64 failures = SafeWrite::failureCount();
    const SlotCall::Outcome out = SlotCall::invoke(&ctx.bridge(), words.first(), words.mid(1));
    if (!out.ok) {
        cliError(out.error);
        if (printVoid) printLine(QStringLiteral("null"));
        return false;
    }
    if (out.hasResult)
        printLine(SlotCall::toJsonLine(out.result));
    else if (printVoid)
        printLine(QStringLiteral("null"));
    if (SafeWrite::failureCount() != failures) {
        cliError(SafeWrite::lastError());
        *writeFailed = true;
    }
    return true;
}

int runCall(CliContext &ctx, const QStringList &args)
{
    if (args.isEmpty()) {
        cliError(QStringLiteral("call needs a slot name"));
        return CliUsage;
    }
    // Store operations work without a device, so the call is made anyway;
    // the status still says that nothing answered.
    const bool connected = connectOrSay(ctx);
    bool writeFailed = false;
    if (!callOne(ctx, args, false, &writeFailed)) return CliUsage;
    return connected && !writeFailed ? CliOk : CliNoDevice;
}

int runBatch(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty()) {
        cliError(QStringLiteral("batch reads its calls from standard input"));
        return CliUsage;
    }
    const bool connected = connectOrSay(ctx);
    bool allGood = true;
    bool writeFailed = false;
    QTextStream in(stdin);
    QString line;
    while (in.readLineInto(&line)) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        allGood = callOne(ctx, SlotCall::splitLine(trimmed), true, &writeFailed) && allGood;
    }
    if (!allGood) return CliUsage;
    return connected && !writeFailed ? CliOk : CliNoDevice;
}

const CliRegistrar detectReg({"detect",
                              "detect - run the device check; print the record index and "
                              "vid:pid of the connected device",
                              &runDetect});
const CliRegistrar callReg({"call",
                            "call SLOT [ARG...] - call a bridge slot, each ARG a JSON value; "
                            "print its result as JSON",
                            &runCall});
const CliRegistrar batchReg({"batch",
                             "batch - read 'SLOT ARG...' lines from standard input and call "
                             "them on one connection, one result line each",
                             &runBatch});
} // namespace
