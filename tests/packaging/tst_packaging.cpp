// What scripts/install.sh puts in place, and the udev rule it ships.
#include "app/UdevRule.h"
#include "testlib/TestData.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <unistd.h>

namespace {
QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Runs the install script with HOME (and SUDO_USER) set; its exit code.
int install(const QString &home, const QStringList &args, QString *output = nullptr, const QString &sudoUser = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"SUDO_USER", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        env.remove(name);
    if (!sudoUser.isEmpty()) env.insert("SUDO_USER", sudoUser);
    env.insert("HOME", home);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("sh", QStringList{TestData::sourceDir() + "/scripts/install.sh"} + args);
    if (!p.waitForFinished(60000)) return -1;
    if (output) *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
} // namespace

class TestPackaging : public QObject
{
    Q_OBJECT
private slots:
    void udevRule();
    void installTwice();
    void badOptionIsRefused();
};

void TestPackaging::udevRule()
{
    const QString text = readText(TestData::sourceDir() + "/packaging/70-skeld-config.rules");
    // The program's own copy (skeld-config --install-udev-rule) is this file.
    QTemporaryDir rules;
    QVERIFY(UdevRule::write(rules.path()));
    QCOMPARE(readText(rules.filePath(UdevRule::kFileName)), text);
    // uaccess is applied by 73-seat-late.rules: the tag must be set earlier.
    QVERIFY(QString(UdevRule::kFileName).left(2).toInt() < 73);
    // Each rule gives the seat's user one device's hidraw nodes: every row
    // of the shipped device table, and nothing else.
    static const QRegularExpression rule(
        R"re(^SUBSYSTEM=="hidraw", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"$)re");
    QSet<QString> ruled, devices;
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = rule.match(line);
        QVERIFY2(line.startsWith('#') || m.hasMatch(), qPrintable(line));
        if (m.hasMatch()) ruled.insert(m.captured(1) + ':' + m.captured(2));
    }
    QSettings table(TestData::sourceDir() + "/modules/setting/apConfig.bin", QSettings::IniFormat);
    QCOMPARE(table.value("common/deviceCount").toInt(), 2);
    for (int i = 0; i < 2; ++i)
        devices.insert((table.value(QString::number(i) + "/vid").toString() + ':' + table.value(QString::number(i) + "/pid").toString()).toLower());
    QCOMPARE(ruled, devices);
}

void TestPackaging::installTwice()
{
    QTemporaryDir tmp;
    const QString home = tmp.filePath("home with space");
    const QString prefix = home + "/.local/share/skeld-config";
    const QString exe = prefix + "/skeld-config";
    const QStringList args{"--autostart", "--build-dir", TestData::buildDir()};
    QString out;
    QCOMPARE(install(home, args, &out), 0);
    QVERIFY2(out.contains("installed " + exe), qPrintable(out));
    // The user's own settings stay, a shipped file the user lost comes back.
    const QString p1 = prefix + "/modules/setting/p1.bin", lost = prefix + "/modules/setting/pD.bin";
    QFile f(p1);
    QVERIFY(f.open(QIODevice::Append) && f.write("\n[userTest]\nmarker=kept\n") > 0);
    f.close();
    QVERIFY(QFile::remove(lost));
    QCOMPARE(install(home, args, &out), 0);
    QVERIFY(readText(p1).contains("marker=kept"));
    QVERIFY(QFile::exists(lost));
    // One autostart entry that starts the installed program, quoted.
    const QDir autostart(home + "/.config/autostart");
    QCOMPARE(autostart.entryList(QDir::Files), QStringList{"skeld-config.desktop"});
    QVERIFY(readText(autostart.filePath("skeld-config.desktop")).contains("\nExec=\"" + exe + "\"\n"));

    // The build's program itself (tst_user_path_e2e starts such a copy from elsewhere).
    QVERIFY(QFileInfo(exe).isExecutable());
    QCOMPARE(QFileInfo(exe).size(), QFileInfo(TestData::buildDir() + "/skeld-config").size());
    // Turning autostart off again.
    QCOMPARE(install(home, {"--no-autostart", "--build-dir", TestData::buildDir()}), 0);
    QVERIFY(autostart.entryList(QDir::Files).isEmpty());
}

void TestPackaging::badOptionIsRefused()
{
    QTemporaryDir tmp;
    QString out;
    QCOMPARE(install(tmp.path(), {"--frobnicate"}, &out), 2);
    QVERIFY(out.contains("unknown option: --frobnicate"));
    QVERIFY(QDir(tmp.path()).isEmpty());
    // Under sudo the program part would land in the user's home owned by
    // root: refused.
    if (::geteuid() != 0) return;
    QCOMPARE(install(tmp.path(), {"--autostart"}, &out, "nobody"), 2);
    QVERIFY(out.contains("run it without sudo"));
    QVERIFY(QDir(tmp.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
