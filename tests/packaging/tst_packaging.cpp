// What scripts/install.sh puts in place, and the udev rule it ships.
#include "app/SingleInstance.h"
#include "app/UdevRule.h"
#include "testlib/TestData.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <unistd.h>

namespace
{
QString source(const QString &relative)
{
    return TestData::sourceDir() + QLatin1Char('/') + relative;
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Key=value lines of a desktop entry's main group.
QMap<QString, QString> desktopEntry(const QString &path)
{
    QMap<QString, QString> keys;
    const QStringList lines = readText(path).split(QLatin1Char('\n'));
    if (lines.value(0) != QLatin1String("[Desktop Entry]")) return keys;
    for (const QString &line : lines.mid(1)) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0) keys.insert(line.left(eq), line.mid(eq + 1));
    }
    return keys;
}
} // namespace

class TestPackaging : public QObject
{
    Q_OBJECT
private slots:
    void udevRule();
    void installTwice();
    void badOptionIsRefused();

private:
    int install(const QString &home, const QStringList &args, QString *output = nullptr,
                const QString &sudoUser = QString());
};

void TestPackaging::udevRule()
{
    const QString path = source(QStringLiteral("packaging/70-skeld-config.rules"));
    const QString text = readText(path);
    QVERIFY(!text.isEmpty());
    // The program's own copy (skeld-config --install-udev-rule) is this file.
    QCOMPARE(UdevRule::text(), text);
    QTemporaryDir rules;
    QVERIFY(UdevRule::write(rules.path()));
    QCOMPARE(readText(rules.filePath(QLatin1String(UdevRule::kFileName))), text);
    // uaccess is applied by 73-seat-late.rules: the tag must be set earlier.
    QVERIFY(QFileInfo(path).fileName().left(2).toInt() < 73);

    static const QRegularExpression token(
        QStringLiteral("^([A-Z]+)(\\{([A-Za-z]+)\\})?(==|!=|\\+=|=)\"([^\"]*)\"$"));
    QSet<QString> ruled;
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QString vid;
        QString pid;
        bool hidraw = false;
        bool uaccess = false;
        for (const QString &t : line.split(QStringLiteral(", "))) {
            const QRegularExpressionMatch m = token.match(t);
            QVERIFY2(m.hasMatch(), qPrintable(QStringLiteral("malformed: ") + t));
            const QString key = m.captured(1) + m.captured(2);
            if (key == QLatin1String("SUBSYSTEM") && m.captured(4) == QLatin1String("=="))
                hidraw = m.captured(5) == QLatin1String("hidraw");
            else if (key == QLatin1String("ATTRS{idVendor}"))
                vid = m.captured(5);
            else if (key == QLatin1String("ATTRS{idProduct}"))
                pid = m.captured(5);
            else if (key == QLatin1String("TAG") && m.captured(4) == QLatin1String("+="))
                uaccess = m.captured(5) == QLatin1String("uaccess");
        }
        static const QRegularExpression hex4(QStringLiteral("^[0-9a-f]{4}$"));
        QVERIFY2(hidraw && uaccess && hex4.match(vid).hasMatch() && hex4.match(pid).hasMatch(), qPrintable(line));
        ruled.insert(vid + QLatin1Char(':') + pid);
    }

    // Every row of the shipped device table, and nothing else.
    QSettings table(source(QStringLiteral("modules/setting/apConfig.bin")), QSettings::IniFormat);
    const int rows = table.value(QStringLiteral("common/deviceCount")).toInt();
    QCOMPARE(rows, 2);
    QSet<QString> devices;
    for (int i = 0; i < rows; ++i) {
        devices.insert(table.value(QStringLiteral("%1/vid").arg(i)).toString().toLower() +
                       QLatin1Char(':') +
                       table.value(QStringLiteral("%1/pid").arg(i)).toString().toLower());
    }
    QCOMPARE(ruled, devices);
}

int TestPackaging::install(const QString &home, const QStringList &args, QString *output,
                           const QString &sudoUser)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("SUDO_USER"));
    if (!sudoUser.isEmpty()) env.insert(QStringLiteral("SUDO_USER"), sudoUser);
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("sh"), QStringList{source(QStringLiteral("scripts/install.sh"))} + args);
    if (!p.waitForFinished(60000)) return -1;
    if (output) *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void TestPackaging::installTwice()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString home = tmp.filePath(QStringLiteral("home with space"));
    const QString prefix = home + QStringLiteral("/.local/share/skeld-config");
    const QStringList args{QStringLiteral("--autostart"), QStringLiteral("--build-dir"),
                           TestData::buildDir()};
    QString out;
    QVERIFY(QFile::exists(TestData::buildDir() + QStringLiteral("/skeld-config")));
    QCOMPARE(install(home, args, &out), 0);
    QVERIFY2(out.contains(QStringLiteral("installed ") + prefix + QStringLiteral("/skeld-config")),
             qPrintable(out));

    // The user's own settings, and a shipped file the user lost.
    const QString p1 = prefix + QStringLiteral("/modules/setting/p1.bin");
    QFile f(p1);
    QVERIFY(f.open(QIODevice::Append));
    f.write("\n[userTest]\nmarker=kept\n");
    f.close();
    const QString lost = prefix + QStringLiteral("/modules/setting/pD.bin");
    QVERIFY(QFile::remove(lost));

    QCOMPARE(install(home, args, &out), 0);
    QVERIFY(readText(p1).contains(QStringLiteral("marker=kept")));
    QVERIFY(QFile::exists(lost));

    // One menu entry, one autostart entry, no leftovers.
    const QDir apps(home + QStringLiteral("/.local/share/applications"));
    QCOMPARE(apps.entryList(QDir::Files), QStringList{QStringLiteral("skeld-config.desktop")});
    const QDir autostart(home + QStringLiteral("/.config/autostart"));
    QCOMPARE(autostart.entryList(QDir::Files), QStringList{QStringLiteral("skeld-config.desktop")});
    QCOMPARE(QDir(prefix).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("skeld-config")});

    const QMap<QString, QString> entry =
        desktopEntry(apps.filePath(QStringLiteral("skeld-config.desktop")));
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Exec")),
             QLatin1Char('"') + prefix + QStringLiteral("/skeld-config\""));
    QCOMPARE(entry.value(QStringLiteral("Path")), prefix);
    QVERIFY(QFile::exists(entry.value(QStringLiteral("Icon"))));
    const QMap<QString, QString> auto_ =
        desktopEntry(autostart.filePath(QStringLiteral("skeld-config.desktop")));
    QCOMPARE(auto_.value(QStringLiteral("Exec")), entry.value(QStringLiteral("Exec")));

    // The installation starts, from anywhere, and is the one instance.
    const QString exe = prefix + "/skeld-config";
    QProcess app, second;
    app.setWorkingDirectory(tmp.path());
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.start(exe, {});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SingleInstance::serverNameFor(exe)), 15000);
    second.start(exe, {});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitCode(), 1);
    app.terminate();
    QVERIFY(app.waitForFinished(10000));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);

    // Turning autostart off again.
    QCOMPARE(install(home, {QStringLiteral("--no-autostart"), QStringLiteral("--build-dir"),
                            TestData::buildDir()}),
             0);
    QVERIFY(autostart.entryList(QDir::Files).isEmpty());
}

void TestPackaging::badOptionIsRefused()
{
    QTemporaryDir tmp;
    QString out;
    QCOMPARE(install(tmp.path(), {QStringLiteral("--frobnicate")}, &out), 2);
    QVERIFY(out.contains(QStringLiteral("unknown option: --frobnicate")));
    QCOMPARE(install(tmp.path(), {QStringLiteral("--prefix"), QStringLiteral("/tmp/a$b")}, &out),
             2);
    QVERIFY(QDir(tmp.path()).isEmpty());
    // Under sudo the program part would land in the user's home owned by
    // root: refused.
    if (::geteuid() == 0) {
        QCOMPARE(
            install(tmp.path(), {QStringLiteral("--autostart")}, &out, QStringLiteral("nobody")),
            2);
        QVERIFY(out.contains(QStringLiteral("run it without sudo")));
        QVERIFY(QDir(tmp.path()).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
