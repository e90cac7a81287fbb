// The command-line tool end to end: options, detect, call and batch, with
// the virtual mouse or with no device at all.
#include "device/DeviceCheck.h"
#include "testlib/TestData.h"

#include <QProcess>
#include <QtTest>

class tst_Skeldctl : public QObject
{
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
    void batchKeepsOneConnection();
    void detectNamesTheInstallCommand();

private:
    struct Run {
        int status = -1;
        QStringList out;
        QString err;
    };
    Run run(const QStringList &args, const QByteArray &input = QByteArray());
};

tst_Skeldctl::Run tst_Skeldctl::run(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.start(TestData::buildDir() + QStringLiteral("/skeldctl"), args);
    if (!p.waitForStarted(5000)) return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(20000);
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out =
        QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void tst_Skeldctl::runs_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QStringList>("errContains");

    QTest::newRow("mouseGetRight on the virtual 553, traced")
        << QStringList{"--virtual", "553", "--trace", "call", "mouseGetRight"} << 0 << QStringList{}
        << QStringList{"Device Connect",
                       "OPEN virtual:553:cmd",
                       "SET_FEATURE 00 82 00 00 00 00 00 00 7d",
                       "GET_FEATURE 00 82 01 00 00 00 00 00 7c",
                       "SLEEP 8",
                       "CLOSE",
                       "test 1"};
    QTest::newRow("detect without any device") << QStringList{"detect"} << 1 << QStringList{}
                                               << QStringList{"skeldctl: no device connected"};
    QTest::newRow("detect the virtual 560") << QStringList{"--virtual", "560", "detect"} << 0
                                            << QStringList{"1 04d9:a1ee"} << QStringList{};
    QTest::newRow("a result prints as JSON")
        << QStringList{"--virtual", "553", "call", "getGlobalData", "mouse/icType"} << 0
        << QStringList{"553"} << QStringList{}; // the store gives numbers back as numbers
    QTest::newRow("store slots answer without a device, status says none")
        << QStringList{"call", "getGlobalData", "\"common/name\""} << 1
        << QStringList{"\"SKELD R772\""} << QStringList{"no device connected"};
    QTest::newRow("unknown slot") << QStringList{"--virtual", "553", "call", "noSuchSlot"} << 2
                                  << QStringList{} << QStringList{"no slot noSuchSlot"};
    QTest::newRow("wrong argument count")
        << QStringList{"--virtual", "553", "call", "mouseReadProfile"} << 2 << QStringList{}
        << QStringList{"no slot mouseReadProfile taking 0 argument(s)"};
    QTest::newRow("argument of the wrong kind")
        << QStringList{"--virtual", "560", "call", "mouseReadProfile", "[1,2]"} << 2
        << QStringList{} << QStringList{"cannot make a uint"};
    QTest::newRow("bad virtual family") << QStringList{"--virtual", "561", "detect"} << 2
                                        << QStringList{} << QStringList{"553 or 560"};
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << QStringList{}
                                     << QStringList{"unknown command frobnicate"};
    QTest::newRow("unknown option") << QStringList{"--loud", "detect"} << 2 << QStringList{}
                                    << QStringList{"unknown option --loud"};
    QTest::newRow("no command") << QStringList{} << 2 << QStringList{} << QStringList{"usage:"};
    QTest::newRow("missing data dir") << QStringList{"--data-dir", "/nonexistent/skeld", "detect"}
                                      << 2 << QStringList{} << QStringList{"no data directory"};
    // Profile images hold what the device sent: record 2 of the 560 model
    // (byte i of record n is n*0x20+i), seen in the trace of the read-back.
    QTest::newRow("call converts its arguments")
        << QStringList{"--virtual", "560", "--trace", "call", "mouseReadProfile", "2"} << 0
        << QStringList{} << QStringList{"SET_FEATURE 00 8c 02 00 00 00 00 00 71", "READ 40 41 42 43"};
    QTest::newRow("help") << QStringList{"--help"} << 0 << QStringList{} << QStringList{};
}

void tst_Skeldctl::runs()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, out);
    QFETCH(QStringList, errContains);
    TestData data;
    if (args.value(0) != "--data-dir") args = QStringList{"--data-dir", data.root()} + args;
    const Run r = run(args);
    QCOMPARE(r.status, status);
    if (QTest::currentDataTag() != QByteArray("help"))
        QCOMPARE(r.out, out);
    else
        QVERIFY(r.out.join('\n').contains("batch"));
    const QStringList errLines = r.err.split('\n');
    for (const QString &e : errContains)
        QVERIFY2(r.err.contains(e), qPrintable(e + " not in:\n" + r.err));
    // The trace comes in order: handshake, options, then the call.
    if (args.contains("mouseGetRight")) {
        const int connect = int(errLines.indexOf("Device Connect"));
        const int call = int(errLines.indexOf("SET_FEATURE 00 82 00 00 00 00 00 00 7d"));
        QVERIFY(connect > 0 && call > connect);
        QVERIFY(errLines.indexOf("SET_FEATURE 00 83 00 00 00 00 00 00 7c") > connect);
    }
}

void tst_Skeldctl::batchKeepsOneConnection()
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
    QCOMPARE(r.out, (QStringList{"null", "[1,\"two\",3]", "null", "null", "null", "null",
                                 "[1,\"two\",3]", "null"}));
    QVERIFY2(r.err.contains("no slot deleteLater"), qPrintable(r.err));
    QCOMPARE(r.err.count("Device Connect"), 1);
    QCOMPARE(r.err.count("SET_FEATURE 00 00 "), 1); // one handshake for all calls
}

void tst_Skeldctl::detectNamesTheInstallCommand()
{
    TestData data;
    qputenv("SKELD_VIRTUAL_MOUSE_DENIED", "1");
    const Run r = run({"--data-dir", data.root(), "--virtual", "553", "detect"});
    qunsetenv("SKELD_VIRTUAL_MOUSE_DENIED");
    QCOMPARE(r.status, 1);
    QVERIFY(r.out.isEmpty());
    // The command names the program beside the tool, wherever that is.
    const QString hint = DeviceCheck::permissionHint().replace(
        QCoreApplication::applicationDirPath(), TestData::buildDir());
    QVERIFY2(r.err.contains("skeldctl: " + hint), qPrintable(r.err));
    QVERIFY(r.err.contains(TestData::buildDir() + "/skeld-config --install-udev-rule"));
    QVERIFY(r.err.contains("permission denied on virtual:553:cmd"));
}

QTEST_GUILESS_MAIN(tst_Skeldctl)
#include "tst_skeldctl.moc"
