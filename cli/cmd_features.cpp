// Subcommands of the device features: status, dpi, rate, light, buttons,
// macro send, profile. Each stores in the current profile, then sends, in
// the order the pages use.
#include "cli/Cli.h"

#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "features/ByteValues.h"
#include "features/DeviceOptions.h"
#include "features/ProfileApply.h"
#include "input/KeyMatrix.h"
#include "macro/MacroEncoder.h"
#include "macro/MacroStore.h"
#include "settings/SafeWrite.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <cstdio>
#include <optional>

namespace
{
void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int usage(const QString &message)
{
    cliError(message);
    return CliUsage;
}

std::optional<int> parseInt(const QString &text, int min, int max)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max) return std::nullopt;
    return v;
}

bool is560(CliContext &ctx)
{
    return ctx.bridge().icType == QLatin1String("560");
}

// Connects and points the bridge at the profile the user last chose, as the
// pages see it. Returns whether a device answered.
bool prepare(CliContext &ctx)
{
    const bool connected = ctx.connect().connected;
    myQQuickView &view = ctx.bridge();
    const int profile =
        int(ByteValues::toInt(view.getGlobalData(QStringLiteral("mouse/profileNo"))));
    view.stores().setCurrentProfile(profile);
    return connected;
}

// Exit status 1 with the reason when a settings write of this command
// failed; the files then hold their old values.
int writeFailed(quint64 failuresBefore)
{
    if (SafeWrite::failureCount() == failuresBefore) return CliOk;
    cliError(SafeWrite::lastError());
    return CliNoDevice;
}

int finish(bool connected, bool stored = true, std::optional<quint64> failuresBefore = {})
{
    if (failuresBefore)
        if (const int failed = writeFailed(*failuresBefore)) return failed;
    if (connected) return CliOk;
    cliError(stored ? QStringLiteral("no device connected; the values are stored in the profile")
                    : QStringLiteral("no device connected"));
    return CliNoDevice;
}

int runStatus(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty()) return usage(QStringLiteral("status takes no arguments"));
    const bool connected = prepare(ctx);
    myQQuickView &view = ctx.bridge();
    printLine(QStringLiteral("family: %1")
                  .arg(view.icType.isEmpty() ? QStringLiteral("553 (unset)") : view.icType));
    if (connected) {
        const DeviceRecord *rec = ctx.hid().currentRecord();
        printLine(QStringLiteral("connection: connected %1:%2")
                      .arg(rec->vid, 4, 16, QLatin1Char('0'))
                      .arg(rec->pid, 4, 16, QLatin1Char('0')));
    } else {
        printLine(QStringLiteral("connection: none"));
    }
    QString profile = QString::number(view.currentProfile() + 1);
    if (connected && is560(ctx))
        profile += QStringLiteral(" (device slot %1)").arg(view.mouseReadCurrentProfile().toInt());
    printLine(QStringLiteral("profile: %1").arg(profile));
    if (connected)
        printLine(QStringLiteral("dpi stage: %1").arg(view.mouseGetCurrentDPI().toInt()));
    else
        printLine(QStringLiteral("dpi stage: unknown"));
    return connected ? CliOk : CliNoDevice;
}

int runDpi(CliContext &ctx, const QStringList &args)
{
    const QString sub = args.value(0);
    myQQuickView &view = ctx.bridge();
    if (sub == QLatin1String("get") && args.size() == 1) {
        const bool connected = prepare(ctx);
        if (!connected) return finish(false, false);
        printLine(QString::number(view.mouseGetCurrentDPI().toInt()));
        return CliOk;
    }
    if (sub == QLatin1String("stage") && args.size() == 2) {
        const auto stage = parseInt(args[1], 1, 8);
        if (!stage)
            return usage(
                QStringLiteral("dpi stage takes a stage number 1..8, not %1").arg(args[1]));
        const bool connected = prepare(ctx);
        view.mouseSetCurrentDPI(uchar(*stage));
        return finish(connected, false);
    }
    if (sub == QLatin1String("set") && args.size() >= 3 && args.size() <= 10) {
        const auto count = parseInt(args[1], 1, 8);
        if (!count)
            return usage(QStringLiteral("dpi set takes a stage count 1..8, not %1").arg(args[1]));
        const int minDpi =
            int(ByteValues::toInt(view.getGlobalData(QStringLiteral("mouse/minDPI"))));
        const QVariant maxSetting = view.getGlobalData(QStringLiteral("mouse/maxDPI"));
        const int maxDpi = maxSetting.isValid() ? int(ByteValues::toInt(maxSetting)) : 1 << 20;
        QList<int> given;
        for (int i = 2; i < args.size(); ++i) {
            const auto v = parseInt(args[i], minDpi, maxDpi);
            if (!v)
                return usage(QStringLiteral("DPI value %1 is outside %2..%3")
                                 .arg(args[i])
                                 .arg(minDpi)
                                 .arg(maxDpi));
            given << *v;
        }
        const bool connected = prepare(ctx);
        // Stages the command line leaves out keep their stored values.
        QVariantList values =
            view.getDataList(QStringLiteral("mouse/dpiValueArray"), false).mid(0, 8);
        while (values.size() < 8)
            values << 0;
        for (qsizetype i = 0; i < given.size(); ++i)
            values[i] = given[i];
        const quint64 failures = SafeWrite::failureCount();
        view.setDataList(QStringLiteral("mouse/dpiValueArray"), values);
        view.setData(QStringLiteral("mouse/currentDpiCount"), *count);
        view.mouseSetDpi(*count, view.getGlobalData(QStringLiteral("mouse/sensorType")).toString(),
                         values);
        return finish(connected, true, failures);
    }
    return usage(QStringLiteral("dpi takes: set N V1..V8 | stage K | get"));
}

int runRate(CliContext &ctx, const QStringList &args)
{
    const auto index =
        args.size() == 1 ? DeviceOptions::rateIndexForHz(args[0].toInt()) : std::nullopt;
    if (!index) return usage(QStringLiteral("rate takes 125, 250, 500 or 1000"));
    const bool connected = prepare(ctx);
    myQQuickView &view = ctx.bridge();
    const quint64 failures = SafeWrite::failureCount();
    view.setData(QStringLiteral("mouse/reportRate"), *index);
    view.mouseSetReportRate(*DeviceOptions::rateByteForIndex(*index));
    return finish(connected, true, failures);
}

int runLight(CliContext &ctx, const QStringList &args)
{
    myQQuickView &view = ctx.bridge();
    const QString sub = args.value(0);
    if (sub == QLatin1String("effect") && args.size() == 4) {
        const int effects = view.isColorful ? 11 : (view.is55328 ? 5 : 4);
        const auto effect = parseInt(args[1], 0, effects - 1);
        const auto speed = parseInt(args[2], 0, 4);
        const auto bright = parseInt(args[3], 0, 4);
        if (!effect || !speed || !bright)
            return usage(
                QStringLiteral(
                    "light effect takes an effect 0..%1, a speed 0..4 and a brightness 0..4")
                    .arg(effects - 1));
        const bool connected = prepare(ctx);
        const quint64 failures = SafeWrite::failureCount();
        view.setDataList(QStringLiteral("mouse/lightValue"), {*effect, *speed, *bright});
        ProfileApply::lighting(view);
        return finish(connected, true, failures);
    }
    if (sub == QLatin1String("colors") && args.size() >= 2 && args.size() <= 9) {
        static const QRegularExpression hex(QStringLiteral("^#?[0-9A-Fa-f]{6}$"));
        for (int i = 1; i < args.size(); ++i)
            if (!hex.match(args[i]).hasMatch())
                return usage(QStringLiteral("colour %1 is not RRGGBB").arg(args[i]));
        const bool connected = prepare(ctx);
        QVariantList colors =
            view.getDataList(QStringLiteral("mouse/colorValue"), false).mid(0, 24);
        while (colors.size() < 24)
            colors << 0;
        for (int i = 1; i < args.size(); ++i) {
            const uint rgb = QString(args[i]).remove(QLatin1Char('#')).toUInt(nullptr, 16);
            colors[(i - 1) * 3] = int((rgb >> 16) & 0xFF);
            colors[(i - 1) * 3 + 1] = int((rgb >> 8) & 0xFF);
            colors[(i - 1) * 3 + 2] = int(rgb & 0xFF);
        }
        const quint64 failures = SafeWrite::failureCount();
        view.setDataList(QStringLiteral("mouse/colorValue"), colors);
        ProfileApply::lighting(view);
        return finish(connected, true, failures);
    }
    return usage(QStringLiteral("light takes: effect E SPEED BRIGHT | colors RRGGBB..."));
}

int runButtons(CliContext &ctx, const QStringList &args)
{
    const QString sub = args.value(0);
    if (args.size() != 1 || (sub != QLatin1String("show") && sub != QLatin1String("apply")))
        return usage(QStringLiteral("buttons takes: show | apply"));
    const bool connected = prepare(ctx);
    myQQuickView &view = ctx.bridge();
    if (connected) view.mouseGetRight();
    if (sub == QLatin1String("apply")) {
        ProfileApply::keyMatrix(view);
        return finish(connected);
    }
    printLine(QStringLiteral("profile %1, %2 set")
                  .arg(view.currentProfile() + 1)
                  .arg(view.right ? QStringLiteral("alternate") : QStringLiteral("normal")));
    for (int k = 0; k < KeyMatrix::kButtons; ++k) {
        const KeyMatrix::Binding b = KeyMatrix::bindingFromList(view.mouseGetKeydefine(k, false));
        printLine(QStringLiteral("%1: %2 %3 %4 %5")
                      .arg(k, 2)
                      .arg(b[0], 2, 16, QLatin1Char('0'))
                      .arg(b[1], 2, 16, QLatin1Char('0'))
                      .arg(b[2], 2, 16, QLatin1Char('0'))
                      .arg(b[3], 2, 16, QLatin1Char('0')));
    }
    return connected ? CliOk : CliNoDevice;
}

// The key names the macro files were written with: the language's list when
// it has one name per code, else the built-in names.
QStringList keyNames(myQQuickView &view)
{
    const QString lang = view.getGlobalData(QStringLiteral("common/language")).toString();
    if (lang.isEmpty() || lang.contains(QLatin1Char('/')) || lang.contains(QLatin1Char('\\')))
        return {};
    QSettings file(QStringLiteral("./modules/i18n/%1.ini").arg(lang), QSettings::IniFormat);
    const int total = file.value(QStringLiteral("keyCode/total")).toInt();
    if (total != MacroEncoder::keyCodes().size()) return {};
    QStringList names;
    for (int i = 0; i < total; ++i)
        names << file.value(QStringLiteral("keyCode/%1").arg(i)).toString();
    return names;
}

int runMacro(CliContext &ctx, const QStringList &args)
{
    if (args.size() != 3 || args[0] != QLatin1String("send"))
        return usage(QStringLiteral("macro takes: send NAME SLOT"));
    const QString name = args[1];
    const auto slot = parseInt(args[2], 1, MacroEncoder::kSlots);
    if (!slot)
        return usage(QStringLiteral("macro slot must be 1..%1, not %2")
                         .arg(MacroEncoder::kSlots)
                         .arg(args[2]));
    if (const QString problem = MacroStore::nameProblem(name); !problem.isEmpty())
        return usage(QStringLiteral("'%1' is not a macro name: %2").arg(name, problem));
    const QString path = QStringLiteral("./modules/macro/%1.bin").arg(name);
    if (!QFileInfo::exists(path)) {
        cliError(QStringLiteral("no macro named '%1'").arg(name));
        return CliUsage;
    }
    const bool connected = prepare(ctx);
    QSettings file(path, QSettings::IniFormat);
    // A damaged count must not make us read a million keys.
    const int total = qBound(0, file.value(QStringLiteral("config/total")).toInt(), 4096);
    QStringList entries;
    for (int i = 0; i < total; ++i)
        entries << file.value(QStringLiteral("macro/%1").arg(i)).toString();
    const qint64 repeat = file.value(QStringLiteral("config/repeat")).toLongLong();
    myQQuickView &view = ctx.bridge();
    const QByteArray bytes =
        MacroEncoder::encode(MacroEncoder::parseEntries(entries), repeat, keyNames(view));
    QVariantList data;
    for (char b : bytes)
        data << int(quint8(b));
    view.mouseSendMacroData(data, *slot - 1);
    if (connected) printLine(QStringLiteral("%1 bytes to slot %2").arg(bytes.size()).arg(*slot));
    return finish(connected);
}

int runProfile(CliContext &ctx, const QStringList &args)
{
    const QString sub = args.value(0);
    myQQuickView &view = ctx.bridge();
    if (sub == QLatin1String("switch") && args.size() == 2) {
        const auto number = parseInt(args[1], 1, 6);
        if (!number)
            return usage(
                QStringLiteral("profile switch takes a profile 1..6, not %1").arg(args[1]));
        const bool connected = prepare(ctx);
        const int index = *number - 1;
        const quint64 failures = SafeWrite::failureCount();
        view.setGlobalData(QStringLiteral("mouse/profileNo"), index);
        // The profile operations' own slot when the build has it.
        if (view.metaObject()->indexOfSlot("setCurrentProfile(int)") >= 0) {
            QMetaObject::invokeMethod(&view, "setCurrentProfile", Q_ARG(int, index));
        } else {
            view.stores().setCurrentProfile(index);
            if (view.hid) view.hid->hid560_02H_SetCurrentProfile(uchar(index + 1));
        }
        ProfileApply::all(view);
        if (connected)
            printLine(QStringLiteral("profile %1, dpi stage %2")
                          .arg(*number)
                          .arg(view.mouseGetCurrentDPI().toInt()));
        return finish(connected, true, failures);
    }
    if (sub == QLatin1String("read") && args.size() == 2) {
        const auto record = parseInt(args[1], 0, 4);
        if (!record)
            return usage(
                QStringLiteral("profile read takes a device record 0..4, not %1").arg(args[1]));
        if (!is560(ctx))
            return usage(QStringLiteral("only 560-family devices keep profile records"));
        if (!prepare(ctx)) return finish(false, false);
        view.profileImageRead[size_t(*record)] = false;
        view.mouseReadProfile(uint(*record));
        if (!view.profileImageRead[size_t(*record)]) {
            cliError(QStringLiteral("device: record %1 could not be read").arg(*record));
            return CliNoDevice;
        }
        const auto &image = view.profileImages[size_t(*record)];
        for (int row = 0; row < 128; row += 16) {
            const QByteArray bytes(reinterpret_cast<const char *>(image.data()) + row, 16);
            printLine(
                QStringLiteral("%1: %2").arg(row, 3).arg(QString::fromLatin1(bytes.toHex(' '))));
        }
        return CliOk;
    }
    return usage(QStringLiteral("profile takes: switch N | read N"));
}

const CliRegistrar
    statusReg({"status", "status - family, connection, current profile and DPI stage", &runStatus});
const CliRegistrar dpiReg({"dpi",
                           "dpi set N V1..V8 | dpi stage K | dpi get - store and send N active "
                           "stages with their values, select stage K, or print the active stage",
                           &runDpi});
const CliRegistrar rateReg({"rate", "rate 125|250|500|1000 - store and send the report rate",
                            &runRate});
const CliRegistrar lightReg({"light",
                             "light effect E SPEED BRIGHT | light colors RRGGBB... - store and "
                             "send the lighting effect (steps 0..4) or up to eight colours",
                             &runLight});
const CliRegistrar buttonsReg({"buttons",
                               "buttons show | buttons apply - print the current profile's "
                               "button bindings, or send them to the device",
                               &runButtons});
const CliRegistrar macroReg(
    {"macro", "macro send NAME SLOT - encode a stored macro and send it to slot 1..12", &runMacro});
const CliRegistrar profileReg({"profile",
                               "profile switch N | profile read N - make profile 1..6 current and "
                               "send its settings, or print device record 0..4 (560 family)",
                               &runProfile});
} // namespace
