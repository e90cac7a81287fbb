#include "testlib/TestData.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

// skeldctl pointer as the desktop decides: GNOME through GSettings' key-file
// back end, Plasma through its files in a temporary config home, each read
// back from the file.
class TestCmdPointer : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
};

namespace
{
const QString gnomeKeys = QStringLiteral("glib-2.0/settings/keyfile");
const QString gnomeMouse = QStringLiteral("org/gnome/desktop/peripherals/mouse/");
} // namespace

void TestCmdPointer::run_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<bool>("sessionBus");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error"); // the start of one line of standard error

    QTest::newRow("speed 0") << "GNOME" << false << QStringList{"speed", "0"} << 0 << gnomeKeys
                             << gnomeMouse + "speed"
                             << "-0.9"
                             << "";
    QTest::newRow("speed 10") << "GNOME" << false << QStringList{"speed", "10"} << 0 << gnomeKeys
                              << gnomeMouse + "speed"
                              << "1"
                              << "";
    QTest::newRow("doubleclick 0")
        << "GNOME" << false << QStringList{"doubleclick", "0"} << 0 << gnomeKeys
        << gnomeMouse + "double-click"
        << "900"
        << "";
    QTest::newRow("doubleclick 10")
        << "GNOME" << false << QStringList{"doubleclick", "10"} << 0 << gnomeKeys
        << gnomeMouse + "double-click"
        << "200"
        << "";
    QTest::newRow("lines: GNOME has no such setting")
        << "GNOME" << false << QStringList{"lines", "5"} << 1 << ""
        << ""
        << ""
        << "skeldctl: pointer lines: this desktop (GNOME) has no wheel lines setting";
    QTest::newRow("KDE lines 5") << "KDE" << true << QStringList{"lines", "5"} << 0
                                 << "kdeglobals"
                                 << "KDE/WheelScrollLines"
                                 << "5"
                                 << "";
    QTest::newRow("KDE doubleclick 10")
        << "KDE" << true << QStringList{"doubleclick", "10"} << 0 << "kdeglobals"
        << "KDE/DoubleClickInterval"
        << "200"
        << "";
    // Saved for programs started later, but the running ones were not told.
    QTest::newRow("KDE lines without a session bus")
        << "KDE" << false << QStringList{"lines", "5"} << 1 << "kdeglobals"
        << "KDE/WheelScrollLines"
        << "5"
        << "skeldctl: pointer lines: wheel lines saved in ";
    QTest::newRow("KDE speed on Wayland without KWin")
        << "KDE" << true << QStringList{"speed", "10"} << 1 << "kcminputrc"
        << "Mouse/XLbInptPointerAcceleration"
        << "1"
        << "skeldctl: pointer speed: KWin's input devices are not on the session bus";
    QTest::newRow("step above 10")
        << "GNOME" << false << QStringList{"doubleclick", "13"} << 2 << ""
        << ""
        << ""
        << "skeldctl: pointer doubleclick: the step must be 0..10, not \"13\"";
    QTest::newRow("negative") << "GNOME" << false << QStringList{"speed", "-1"} << 2 << ""
                              << ""
                              << ""
                              << "skeldctl: pointer speed: the step must be 0..10, not \"-1\"";
    QTest::newRow("lines 0")
        << "GNOME" << false << QStringList{"lines", "0"} << 2 << ""
        << ""
        << ""
        << "skeldctl: pointer lines: the value must be 1..100 or 1000, not \"0\"";
    QTest::newRow("unknown setting")
        << "GNOME" << false << QStringList{"wheel", "3"} << 2 << ""
        << ""
        << ""
        << "skeldctl: pointer: unknown setting \"wheel\" (speed, doubleclick or lines)";
    QTest::newRow("missing value")
        << "GNOME" << false << QStringList{"speed"} << 2 << ""
        << ""
        << ""
        << "skeldctl: pointer needs a setting and a value: speed|doubleclick|lines VALUE";
}

void TestCmdPointer::run()
{
    QFETCH(QString, desktop);
    QFETCH(bool, sessionBus);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, file);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, error);
    TestData data;
    QTemporaryDir config;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), desktop);
    // A Wayland session: the pointer speed would go to KWin.
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    // Never the machine's own bus: a private one, or one that is not there.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + config.filePath(QStringLiteral("no-bus")));
    p.setProcessEnvironment(env);
    QStringList command{TestData::buildDir() + QStringLiteral("/skeldctl"),
                        QStringLiteral("--data-dir"), data.root(), QStringLiteral("pointer")};
    command += args;
    if (sessionBus) command.prepend(QStringLiteral("--"));
    p.start(sessionBus ? QStringLiteral("dbus-run-session") : command.takeFirst(), command);
    QVERIFY(p.waitForFinished(30000));
    const QStringList errLines =
        QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'));
    QVERIFY2(p.exitCode() == status, qPrintable(errLines.join(QLatin1Char('\n'))));
    if (!error.isEmpty())
        QVERIFY2(std::any_of(errLines.begin(), errLines.end(),
                             [&](const QString &l) { return l.startsWith(error); }),
                 qPrintable(errLines.join(QLatin1Char('\n'))));
    if (key.isEmpty()) return;
    QSettings stored(config.filePath(file), QSettings::IniFormat);
    QCOMPARE(stored.value(key).toDouble(), value.toDouble());
}

QTEST_GUILESS_MAIN(TestCmdPointer)
#include "tst_cmd_pointer.moc"
