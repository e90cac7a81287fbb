#include "testlib/TestData.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

// skeldctl pointer against GSettings' key-file back end, whose file the
// test reads back.
class TestCmdPointer : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
};

void TestCmdPointer::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error");

    QTest::newRow("speed 0") << QStringList{"speed", "0"} << 0 << "speed"
                             << "-0.9"
                             << "";
    QTest::newRow("speed 10") << QStringList{"speed", "10"} << 0 << "speed"
                              << "1"
                              << "";
    QTest::newRow("doubleclick 0") << QStringList{"doubleclick", "0"} << 0 << "double-click"
                                   << "900"
                                   << "";
    QTest::newRow("doubleclick 10") << QStringList{"doubleclick", "10"} << 0 << "double-click"
                                    << "200"
                                    << "";
    QTest::newRow("lines: the desktop has no such setting")
        << QStringList{"lines", "1000"} << 1 << ""
        << ""
        << "skeldctl: pointer lines: the desktop (GSettings) did not store it";
    QTest::newRow("step above 10")
        << QStringList{"doubleclick", "13"} << 2 << ""
        << ""
        << "skeldctl: pointer doubleclick: the step must be 0..10, not \"13\"";
    QTest::newRow("negative") << QStringList{"speed", "-1"} << 2 << ""
                              << ""
                              << "skeldctl: pointer speed: the step must be 0..10, not \"-1\"";
    QTest::newRow("lines 0")
        << QStringList{"lines", "0"} << 2 << ""
        << ""
        << "skeldctl: pointer lines: the value must be 1..100 or 1000, not \"0\"";
    QTest::newRow("unknown setting")
        << QStringList{"wheel", "3"} << 2 << ""
        << ""
        << "skeldctl: pointer: unknown setting \"wheel\" (speed, doubleclick or lines)";
    QTest::newRow("missing value")
        << QStringList{"speed"} << 2 << ""
        << ""
        << "skeldctl: pointer needs a setting and a value: speed|doubleclick|lines VALUE";
}

void TestCmdPointer::run()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, error);
    TestData data;
    QTemporaryDir config;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    p.setProcessEnvironment(env);
    p.start(TestData::buildDir() + QStringLiteral("/skeldctl"),
            QStringList{QStringLiteral("--data-dir"), data.root(), QStringLiteral("pointer")} +
                args);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), status);
    const QStringList errLines =
        QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'));
    if (!error.isEmpty())
        QVERIFY2(errLines.contains(error), qPrintable(errLines.join(QLatin1Char('\n'))));
    if (key.isEmpty()) return;
    QSettings file(config.filePath(QStringLiteral("glib-2.0/settings/keyfile")),
                   QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("org/gnome/desktop/peripherals/mouse/") + key).toDouble(),
             value.toDouble());
}

QTEST_GUILESS_MAIN(TestCmdPointer)
#include "tst_cmd_pointer.moc"
