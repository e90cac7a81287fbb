#include "testlib/TestData.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace
{
// The family the bridge uses comes from the global file, as on a real install.
void setFamily(TestData &data, const QString &family)
{
    QSettings global(data.path("modules/setting/apConfig.bin"), QSettings::IniFormat);
    global.setValue("mouse/icType", family);
}
} // namespace

// skeldctl's feature subcommands, run as a person would, on the virtual
// mouse with the trace on and a private data folder.
class TestCliFeatures : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void badUsage_data();
    void badUsage();
    void macroSend();
    void profileRead560();
    void profileSwitch();
    void failedWriteExitsWithReason_data();
    void failedWriteExitsWithReason();

private:
    struct Run {
        int status = -1;
        QStringList out;
        QStringList sets; // SET_FEATURE lines of the trace
        QStringList writes;
        QString err;
    };
    Run run(const QString &family, const QStringList &args);
    static void dropConnectionStart(Run &r, const QString &family);
    TestData *m_data = nullptr;
};

TestCliFeatures::Run TestCliFeatures::run(const QString &family, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(TestData::buildDir() + "/skeldctl",
            QStringList{"--data-dir", m_data->root(), "--virtual", family, "--trace"} + args);
    Run r;
    if (!p.waitForFinished(30000)) return r;
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    bool connected = false;
    for (const QString &line : r.err.split('\n')) {
        // The device check's own exchanges come before "Device Connect".
        if (line == "Device Connect") connected = true;
        if (!connected) continue;
        if (line.startsWith("SET_FEATURE "))
            r.sets << line.mid(12);
        else if (line.startsWith("WRITE "))
            r.writes << line.mid(6);
    }
    dropConnectionStart(r, family);
    return r;
}

// The connection start reads and sets the option bytes and (560) reads the
// profile records; the subcommand's own reports follow.
void TestCliFeatures::dropConnectionStart(Run &r, const QString &family)
{
    const QStringList codes =
        family == "560" ? QStringList{"81", "01", "8c"} : QStringList{"83", "03"};
    while (!r.sets.isEmpty() && codes.contains(r.sets.first().mid(3, 2)))
        r.sets.removeFirst();
}

void TestCliFeatures::commands_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("sets");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    const QString light = "00 10 00 18 00 00 00 00 d7", effect = "00 0d 0a ff 1a 00 00 00 cf";
    const auto row = [](const char *tag, const char *family, QStringList args, QStringList sets, const char *key,
                        const char *stored) { QTest::newRow(tag) << family << args << sets << key << stored; };
    row("rate 500 on 553", "553", {"rate", "500"}, {"00 01 02 00 00 00 00 00 fc"}, "mouse/reportRate", "2");
    row("rate 125 on 560", "560", {"rate", "125"}, {"00 03 01 08 00 00 00 00 f3"}, "mouse/reportRate", "0");
    row("dpi stage 2", "553", {"dpi", "stage", "2"}, {"00 0b 02 00 00 00 00 00 f2"}, "", "");
    row("dpi set on 553", "553", {"dpi", "set", "3", "800", "1600", "6000"}, {"00 11 03 08 00 00 00 00 e3"},
        "mouse/currentDpiCount", "3");
    row("dpi get", "553", {"dpi", "get"}, {"00 82 00 00 00 00 00 00 7d"}, "", "");
    row("light effect on colourful 553", "553", {"light", "effect", "10", "2", "4"},
        {light, light, effect, light, light, effect}, "mouse/lightValue", "10, 2, 4");
    row("buttons apply on 560", "560", {"buttons", "apply"},
        {"00 82 00 00 00 00 00 00 7d", "00 0d 01 80 00 00 00 00 71"}, "", "");
}

void TestCliFeatures::commands()
{
    QFETCH(QString, family);
    QFETCH(QStringList, args);
    QFETCH(QStringList, sets);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    TestData data;
    m_data = &data;
    setFamily(data, family);
    const Run r = run(family, args);
    QCOMPARE(r.status, 0);
    QCOMPARE(r.sets, sets);
    if (!key.isEmpty()) {
        QSettings p1(data.path("modules/setting/p1.bin"), QSettings::IniFormat);
        const QVariant v = p1.value(key);
        QCOMPARE(v.typeId() == QMetaType::QStringList ? v.toStringList().join(", ") : v.toString(),
                 stored);
    }
}

void TestCliFeatures::badUsage_data()
{
    QTest::addColumn<QStringList>("args");
    const QList<QStringList> rows{{"rate", "300"}, {"dpi", "set", "9", "800"}, {"dpi", "set", "2", "800", "90000"},
                                  {"dpi", "set", "2", "abc"}, {"light", "effect", "11", "0", "0"},
                                  {"light", "colors", "12345g"}, {"macro", "send", "m", "13"},
                                  {"macro", "send", "../setting/p1", "1"}, {"macro", "send", "loaderkestle", "1"},
                                  {"macro", "send", ".hidden", "1"}, {"macro", "send", QString(65, 'm'), "1"},
                                  {"macro", "send", "nothere", "1"}, {"profile", "switch", "7"},
                                  {"profile", "read", "1"}, {"buttons"}};
    for (const QStringList &args : rows)
        QTest::newRow(qPrintable(args.join(' ').left(40))) << args;
}

void TestCliFeatures::failedWriteExitsWithReason_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("asLink");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("reason");
    QTest::newRow("rate, profile is a folder")
        << "modules/setting/p1.bin" << false << QStringList{"rate", "500"}
        << "cannot write modules/setting/p1.bin: is a directory";
    QTest::newRow("dpi set, profile is a link")
        << "modules/setting/p1.bin" << true << QStringList{"dpi", "set", "2", "800", "1600"}
        << "cannot write modules/setting/p1.bin: it is a symbolic link";
    QTest::newRow("profile switch, global file is a link")
        << "modules/setting/apConfig.bin" << true << QStringList{"profile", "switch", "3"}
        << "cannot write modules/setting/apConfig.bin: it is a symbolic link";
    QTest::newRow("batch, reset onto a link")
        << "modules/setting/p1.bin" << true << QStringList{"call", "resetProfile", "0"}
        << "cannot write modules/setting/p1.bin: it is a symbolic link";
}

// A write that fails is no success: status 1 and the reason, and the files
// keep what they held.
void TestCliFeatures::failedWriteExitsWithReason()
{
    QFETCH(QString, file);
    QFETCH(bool, asLink);
    QFETCH(QStringList, args);
    QFETCH(QString, reason);
    TestData data;
    m_data = &data;
    const QString path = data.path(file);
    const QByteArray bytes = data.read(file);
    QVERIFY(QFile::remove(path));
    if (asLink) {
        data.write("outside.bin", bytes);
        QVERIFY(QFile::link(data.path("outside.bin"), path));
    } else {
        QVERIFY(QDir().mkpath(path));
    }
    const Run r = run("553", args);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("skeldctl: " + reason), qPrintable(r.err));
    QVERIFY(!r.err.contains("the values are stored"));
    if (asLink) {
        QCOMPARE(data.read("outside.bin"), bytes);
        QVERIFY(QFileInfo(path).isSymLink());
    }
}

void TestCliFeatures::badUsage()
{
    QFETCH(QStringList, args);
    TestData data;
    m_data = &data;
    const QByteArray before = data.read("modules/setting/p1.bin");
    const Run r = run("553", args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains("skeldctl: "));
    QVERIFY(r.sets.isEmpty());
    QCOMPARE(data.read("modules/setting/p1.bin"), before);
}

void TestCliFeatures::macroSend()
{
    TestData data;
    m_data = &data;
    data.write("modules/macro/burst.bin", "[config]\nindex=0\ntotal=4\nrepeat=1\ndid=-1\n\n[macro]"
                                          "\n0=\"1,A\"\n1=\"0,50\"\n2=\"2,A\"\n3=\"0,30\"\n");
    const Run r = run("553", {"macro", "send", "burst", "12"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.sets, QStringList{"00 13 0c 80 00 00 00 00 60"});
    QCOMPARE(r.writes.size(), 4);
    QVERIFY(r.writes.first().startsWith("00 00 01 05 04 81 04 00 00 00"));
    QCOMPARE(r.out, QStringList{"8 bytes to slot 12"});
}

void TestCliFeatures::profileRead560()
{
    TestData data;
    m_data = &data;
    setFamily(data, "560");
    const Run r = run("560", {"profile", "read", "4"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out.size(), 8);
    QCOMPARE(r.out.first(), QString("  0: 80 81 82 83 84 85 86 87 88 89 8a 8b 8c 8d 8e 8f"));

    const Run s = run("560", {"status"});
    QCOMPARE(s.status, 0);
    QCOMPARE(s.out, (QStringList{"family: 560", "connection: connected 04d9:a1ee",
                                 "profile: 1 (device slot 1)", "dpi stage: 1"}));
}

void TestCliFeatures::profileSwitch()
{
    TestData data;
    m_data = &data;
    // Profile 2 differs from profile 1, so sending the wrong one shows.
    QSettings p2(data.path("modules/setting/p2.bin"), QSettings::IniFormat);
    p2.setValue("mouse/reportRate", 1);
    p2.sync();
    const Run r = run("553", {"profile", "switch", "2"});
    QCOMPARE(r.status, 0);
    QVERIFY(r.sets.contains("00 01 04 00 00 00 00 00 fa")); // stored 1: code 4
    QStringList codes;
    for (const QString &set : r.sets)
        codes << set.mid(3, 2);
    // Select profile 2, then re-send its buttons, rate, DPI and lighting as
    // the pages do after a switch, then read the active stage.
    QCOMPARE(codes, (QStringList{"02", "02", "12", "01", "11", "10", "10", "0d", "10", "10", "0d", "82"}));
    QCOMPARE(r.sets.first(), QString("00 02 02 00 00 00 00 00 fb"));
    QSettings global(data.path("modules/setting/apConfig.bin"), QSettings::IniFormat);
    QCOMPARE(global.value("mouse/profileNo").toInt(), 1);
    QCOMPARE(r.out, QStringList{"profile 2, dpi stage 1"});

    const Run status = run("553", {"status"});
    QVERIFY(status.out.contains("profile: 2"));
}

QTEST_GUILESS_MAIN(TestCliFeatures)
#include "tst_cli_features.moc"
