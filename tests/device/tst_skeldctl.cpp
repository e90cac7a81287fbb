// The command-line tool end to end: options, detect, call and batch, with
// the virtual mouse or with no device at all.
#include "device/DeviceCheck.h"
#include "testlib/TestData.h"

#include <QProcess>
#include <QtTest>

namespace
{
struct Run {
    int status = -1;
    QStringList out;
    QString err;
};
Run run(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(TestData::buildDir() + QStringLiteral("/skeldctl"), args);
    if (!p.waitForStarted(5000)) return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(20000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

class tst_Skeldctl : public QObject
{
    Q_OBJECT
private slots:
    void runs_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("out");
        QTest::addColumn<QString>("err"); // lines the error output holds, in this order
        const auto row = [](const char *args, int status, QStringList out, const char *err) {
            QTest::newRow(*args ? args : "no command") << QString::fromLatin1(args).split(' ', Qt::SkipEmptyParts) << status << out << err;
        };
        // The trace comes in order: handshake, options, then the call.
        row("--virtual 553 --trace call mouseGetRight", 0, {},
            "Device Connect|SET_FEATURE 00 83 00 00 00 00 00 00 7c|SET_FEATURE 00 82 00 00 00 00 00 00 7d|"
            "GET_FEATURE 00 82 01 00 00 00 00 00 7c|test 1");
        // Profile images hold what the device sent: byte i of record n is n*0x20+i.
        row("--virtual 560 --trace call mouseReadProfile 2", 0, {}, "SET_FEATURE 00 8c 02 00 00 00 00 00 71|READ 40 41 42 43");
        row("detect", 1, {}, "skeldctl: no device connected");
        row("--virtual 560 detect", 0, {"1 04d9:a1ee"}, "");
        row("--virtual 553 call getGlobalData mouse/icType", 0, {"553"}, ""); // numbers stay numbers
        row("call getGlobalData \"common/name\"", 1, {"\"SKELD R772\""}, "no device connected");
        row("--virtual 553 call noSuchSlot", 2, {}, "no slot noSuchSlot");
        row("--virtual 553 call mouseReadProfile", 2, {}, "no slot mouseReadProfile taking 0 argument(s)");
        row("--virtual 560 call mouseReadProfile [1,2]", 2, {}, "cannot make a uint");
        row("--virtual 561 detect", 2, {}, "553 or 560");
        row("frobnicate", 2, {}, "unknown command frobnicate");
        row("--loud detect", 2, {}, "unknown option --loud");
        row("", 2, {}, "usage:");
        row("--data-dir /nonexistent/skeld detect", 2, {}, "no data directory");
    }

    void runs()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, out);
        QFETCH(QString, err);
        TestData data;
        if (args.value(0) != "--data-dir") args = QStringList{"--data-dir", data.root()} + args;
        const Run r = run(args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
        qsizetype at = 0;
        for (const QString &e : err.split('|', Qt::SkipEmptyParts)) {
            at = r.err.indexOf(e, at);
            QVERIFY2(at >= 0, qPrintable(e + " not in order in:\n" + r.err));
        }
    }

    void batchKeepsOneConnection()
    {
        TestData data;
        const Run r = run({"--data-dir", data.root(), "--virtual", "560", "--trace", "batch"},
                          "# comment\n"
                          "setGlobalData \"test/value\" [1, \"two\", 3]\n"
                          "getGlobalData test/value\n"
                          "\n"
                          "mouseReadCurrentProfileNoSuch\n"
                          // Hostile lines: none may take the bridge down.
                          "deleteLater\n"
                          "getGlobalData " + QByteArray(5000, '[') + "\n"
                          "getGlobalData \"\xFF\\ud800 {]\n"
                          "getGlobalData test/value\n"
                          "mouseGetRight\n");
        QCOMPARE(r.status, 2); // bad calls
        QCOMPARE(r.out, (QStringList{"null", "[1,\"two\",3]", "null", "null", "null", "null", "[1,\"two\",3]", "null"}));
        QVERIFY2(r.err.contains("no slot deleteLater"), qPrintable(r.err));
        QCOMPARE(r.err.count("Device Connect"), 1);
        QCOMPARE(r.err.count("SET_FEATURE 00 00 "), 1); // one handshake for all calls
        QVERIFY(run({"--help"}).out.join('\n').contains("batch"));
    }

    void detectNamesTheInstallCommand()
    {
        TestData data;
        qputenv("SKELD_VIRTUAL_MOUSE_DENIED", "1");
        const Run r = run({"--data-dir", data.root(), "--virtual", "553", "detect"});
        qunsetenv("SKELD_VIRTUAL_MOUSE_DENIED");
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        // The command names the program beside the tool, wherever that is.
        const QString hint = DeviceCheck::permissionHint().replace(QCoreApplication::applicationDirPath(),
                                                                   TestData::buildDir());
        QVERIFY2(r.err.contains("skeldctl: " + hint), qPrintable(r.err));
        QVERIFY(r.err.contains(TestData::buildDir() + "/skeld-config --install-udev-rule"));
        QVERIFY(r.err.contains("permission denied on virtual:553:cmd"));
    }
};

QTEST_GUILESS_MAIN(tst_Skeldctl)
#include "tst_skeldctl.moc"
