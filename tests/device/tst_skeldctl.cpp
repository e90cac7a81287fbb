// The command-line tool end to end, with the virtual mouse or no device.
#include "testlib/TestData.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace
{
struct Run {
    int status = -1;
    QStringList out;
    QString err;
    QStringList sets; // feature(): SET_FEATURE lines after the connection start
};
Run run(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(TestData::buildDir() + QStringLiteral("/skeldctl"), args);
    if (!p.waitForStarted(5000)) return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            QString::fromUtf8(p.readAllStandardError()), {}};
}

// A feature subcommand on the traced virtual mouse; the family comes from the global file.
Run feature(TestData &data, const QString &family, const QStringList &args)
{
    if (family != "553") // the shipped family
        QSettings(data.path("modules/setting/apConfig.bin"), QSettings::IniFormat).setValue("mouse/icType", family);
    Run r = run(QStringList{"--data-dir", data.root(), "--virtual", family, "--trace"} + args);
    // Skips the connection start's own reports.
    const QStringList start = family == "560" ? QStringList{"81", "01", "8c"} : QStringList{"83", "03"};
    const QStringList lines = r.err.split('\n');
    for (qsizetype i = lines.indexOf("Device Connect"); i >= 0 && i < lines.size(); ++i)
        if (lines[i].startsWith("SET_FEATURE ") && (!r.sets.isEmpty() || !start.contains(lines[i].mid(15, 2))))
            r.sets << lines[i].mid(12);
    return r;
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
        row("detect", 1, {}, "skeldctl: no device connected");
        row("--virtual 560 detect", 0, {"1 04d9:a1ee"}, "");
        row("call getGlobalData \"common/name\"", 1, {"\"SKELD R772\""}, "no device connected");
        row("--virtual 553 call mouseReadProfile", 2, {}, "no slot mouseReadProfile taking 0 argument(s)");
        row("--virtual 561 detect", 2, {}, "553 or 560");
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
    }

    void detectNamesTheInstallCommand()
    {
        TestData data;
        qputenv("SKELD_VIRTUAL_MOUSE_DENIED", "1");
        const Run r = run({"--data-dir", data.root(), "--virtual", "553", "detect"});
        qunsetenv("SKELD_VIRTUAL_MOUSE_DENIED");
        QCOMPARE(r.status, 1);
        // The command names the program beside the tool, wherever that is.
        QVERIFY2(r.err.contains(TestData::buildDir() + "/skeld-config --install-udev-rule"), qPrintable(r.err));
    }

    void features_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("sets"); // "*": not looked at
        QTest::addColumn<QStringList>("out"); // the first lines
        QTest::addColumn<QString>("stored");  // key=value in profile 1
        const QString light = "00 10 00 18 00 00 00 00 d7", effect = "00 0d 0a ff 1a 00 00 00 cf";
        const auto row = [](const char *family, const char *args, QStringList sets, QStringList out, const char *stored) {
            QTest::newRow(args) << family << QString(args).split(' ') << sets << out << stored;
        };
        row("560", "rate 125", {"00 03 01 08 00 00 00 00 f3"}, {}, "mouse/reportRate=0");
        row("553", "dpi set 3 800 1600 6000", {"00 11 03 08 00 00 00 00 e3"}, {}, "mouse/currentDpiCount=3");
        row("553", "light effect 10 2 4", {light, light, effect, light, light, effect}, {}, "mouse/lightValue=10, 2, 4");
        row("560", "buttons apply", {"00 82 00 00 00 00 00 00 7d", "00 0d 01 80 00 00 00 00 71"}, {}, "");
        row("553", "macro send burst 12", {"00 13 0c 80 00 00 00 00 60"}, {"8 bytes to slot 12"}, "");
        row("560", "status", {"*"}, {"family: 560", "connection: connected 04d9:a1ee", "profile: 1 (device slot 1)", "dpi stage: 1"}, "");
    }

    void features()
    {
        QFETCH(QString, family);
        QFETCH(QStringList, args);
        QFETCH(QStringList, sets);
        QFETCH(QStringList, out);
        QFETCH(QString, stored);
        TestData data;
        data.write("modules/macro/burst.bin", "[config]\nindex=0\ntotal=4\nrepeat=1\ndid=-1\n\n[macro]"
                                              "\n0=\"1,A\"\n1=\"0,50\"\n2=\"2,A\"\n3=\"0,30\"\n");
        const Run r = feature(data, family, args);
        QCOMPARE(r.status, 0);
        if (sets != QStringList{"*"}) QCOMPARE(r.sets, sets);
        QCOMPARE(r.out.mid(0, out.size()), out);
        if (args.first() == "macro") QVERIFY(r.err.contains("WRITE 00 00 01 05 04 81 04 00 00 00"));
        if (stored.isEmpty()) return;
        const QVariant v = QSettings(data.path("modules/setting/p1.bin"), QSettings::IniFormat).value(stored.section('=', 0, 0));
        QCOMPARE(v.typeId() == QMetaType::QStringList ? v.toStringList().join(", ") : v.toString(), stored.section('=', 1));
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        for (const QStringList &args : QList<QStringList>{
                 {"rate", "300"}, {"dpi", "set", "9", "800"}, {"dpi", "set", "2", "abc"}, {"light", "effect", "11", "0", "0"},
                 {"macro", "send", "../setting/p1", "1"}, {"macro", "send", "m", "13"}, {"profile", "switch", "7"}, {"buttons"}})
            QTest::newRow(qPrintable(args.join(' ').left(40))) << args;
    }

    void badUsage()
    {
        QFETCH(QStringList, args);
        TestData data;
        const QByteArray before = data.read("modules/setting/p1.bin");
        const Run r = feature(data, "553", args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("skeldctl: "));
        QVERIFY(r.sets.isEmpty());
        QCOMPARE(data.read("modules/setting/p1.bin"), before);
    }

    void profileSwitch()
    {
        TestData data;
        // Profile 2 differs from profile 1, so sending the wrong one shows.
        QSettings(data.path("modules/setting/p2.bin"), QSettings::IniFormat).setValue("mouse/reportRate", 1);
        const Run r = feature(data, "553", {"profile", "switch", "2"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.sets.contains("00 01 04 00 00 00 00 00 fa")); // stored 1: code 4
        QCOMPARE(r.sets.first(), QString("00 02 02 00 00 00 00 00 fb")); // then the profile, as the window applies it
        QCOMPARE(QSettings(data.path("modules/setting/apConfig.bin"), QSettings::IniFormat).value("mouse/profileNo").toInt(), 1);
        QCOMPARE(r.out, QStringList{"profile 2, dpi stage 1"});
        QVERIFY(feature(data, "553", {"status"}).out.contains("profile: 2"));
    }

    // A failed write is no success (the store itself keeps the file behind the link).
    void failedWriteExitsWithReason()
    {
        TestData data;
        const QString file = "modules/setting/apConfig.bin", path = data.path(file);
        const QByteArray bytes = data.read(file);
        QVERIFY(QFile::remove(path));
        data.write("outside.bin", bytes);
        QVERIFY(QFile::link(data.path("outside.bin"), path));
        const Run r = feature(data, "553", {"profile", "switch", "3"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("skeldctl: cannot write " + file + ": it is a symbolic link"), qPrintable(r.err));
        QVERIFY(!r.err.contains("the values are stored"));
    }
};

QTEST_GUILESS_MAIN(tst_Skeldctl)
#include "tst_skeldctl.moc"
