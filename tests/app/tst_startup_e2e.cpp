// Starts the real program under a private X server, as a user would.
#include "testlib/TestData.h"
#include "testlib/Xvfb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

#include <csignal>

class StartupE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void oneFramelessWindowSecondStartExitsOne();
    void copiesInDifferentFoldersRunSideBySide();

private:
    // A private installation: the executable with modules/ beside it.
    QString install(const QString &dir);
    QString waitForWindow(const QString &title, qint64 pid, int timeoutMs);

    std::unique_ptr<Xvfb> m_x;
    QTemporaryDir m_tmp;
};

void StartupE2E::initTestCase()
{
    m_x = std::make_unique<Xvfb>();
    QVERIFY2(m_x->isRunning(), "Xvfb did not start");
}

QString StartupE2E::install(const QString &dir)
{
    QDir().mkpath(dir);
    const QString exe = dir + "/skeld-config";
    QFile::copy(TestData::buildDir() + "/skeld-config", exe);
    QFile(exe).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    runTool("cp", {"-r", TestData::sourceDir() + "/modules", dir + "/modules"},
            QProcessEnvironment::systemEnvironment());
    return exe;
}

QString StartupE2E::waitForWindow(const QString &title, qint64 pid, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        const QString ids = runTool("xdotool", {"search", "--onlyvisible", "--pid",
                                                QString::number(pid), "--name", "^" + title + "$"},
                                    m_x->environment());
        if (!ids.isEmpty())
            return ids.split('\n').first();
        QTest::qWait(100);
    }
    return {};
}

void StartupE2E::oneFramelessWindowSecondStartExitsOne()
{
    const QString exe = install(m_tmp.filePath("a"));
    QProcess first;
    first.setProcessEnvironment(m_x->environment());
    first.setWorkingDirectory(QDir::rootPath()); // not the executable's folder
    first.start(exe);
    QVERIFY(first.waitForStarted());
    const QString win = waitForWindow("SKELD R772", first.processId(), 30000);
    QVERIFY2(!win.isEmpty(), "no window titled like common/name");

    const QString geometry = runTool("xdotool", {"getwindowgeometry", win}, m_x->environment());
    QVERIFY2(geometry.contains("Geometry: 1024x640"), qPrintable(geometry));
    const QString hints = runTool("xprop", {"-id", win, "_MOTIF_WM_HINTS"}, m_x->environment());
    // Motif hints: decorations flag set, decorations field 0, so the window
    // manager draws no frame or title bar.
    static const QRegularExpression noDecorations(R"(= 0x[2367], 0x[0-9a-f]+, 0x0\b)");
    QVERIFY2(noDecorations.match(hints).hasMatch(), qPrintable(hints));

    QProcess second;
    second.setProcessEnvironment(m_x->environment());
    QElapsedTimer t;
    t.start();
    second.start(exe);
    QVERIFY(second.waitForFinished(6000));
    QVERIFY(t.elapsed() < 6000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QCOMPARE(first.state(), QProcess::Running);

    // A session ending the program is a clean quit.
    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    const QString err = QString::fromUtf8(first.readAllStandardError());
    QVERIFY2(!err.contains("qrc:"), qPrintable(err)); // no QML errors
}

void StartupE2E::copiesInDifferentFoldersRunSideBySide()
{
    QProcess one, two;
    for (auto [p, dir] : {std::pair{&one, "b"}, std::pair{&two, "c"}}) {
        p->setProcessEnvironment(m_x->environment());
        p->start(install(m_tmp.filePath(dir)));
        QVERIFY(p->waitForStarted());
    }
    QVERIFY(!waitForWindow("SKELD R772", one.processId(), 30000).isEmpty());
    QVERIFY(!waitForWindow("SKELD R772", two.processId(), 30000).isEmpty());
    QCOMPARE(one.state(), QProcess::Running);
    QCOMPARE(two.state(), QProcess::Running);
    for (QProcess *p : {&one, &two}) {
        p->terminate();
        QVERIFY(p->waitForFinished(10000));
        QCOMPARE(p->exitCode(), 0);
    }
}

QTEST_GUILESS_MAIN(StartupE2E)
#include "tst_startup_e2e.moc"
