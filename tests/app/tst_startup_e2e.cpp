// Starts the real program under a private X server, as a user would.
#include "app/SingleInstance.h"
#include "platform/CopyDataEndpoint.h"
#include "testlib/TestData.h"
#include "testlib/Xvfb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
// A raw client of a local socket: connected, or -1. Never blocks, so a full
// backlog shows as a failure instead of a hang.
int rawConnect(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    std::memcpy(addr.sun_path, p.constData(), std::min(size_t(p.size()), sizeof addr.sun_path - 1));
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The single-instance name of an executable as another user's program
// derives it.
QString identityOf(const QString &exe, uint uid)
{
    const QByteArray hash = QCryptographicHash::hash(QFileInfo(exe).canonicalFilePath().toUtf8(),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(16);
    return QStringLiteral("skeld-config-%1-%2").arg(uid).arg(QString::fromLatin1(hash));
}

// With --listen PATH...: a stand-in for another user's program that took our
// names; it reports every connection it gets on standard output.
int listenMode(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<std::unique_ptr<QLocalServer>> servers;
    for (int i = 2; i < argc; ++i) {
        auto s = std::make_unique<QLocalServer>();
        s->setSocketOptions(QLocalServer::WorldAccessOption);
        const QString path = QFile::decodeName(argv[i]);
        if (!s->listen(path)) {
            std::printf("cannot listen %s\n", argv[i]);
            std::fflush(stdout);
            continue;
        }
        QObject::connect(s.get(), &QLocalServer::newConnection, s.get(), [srv = s.get(), path] {
            while (QLocalSocket *c = srv->nextPendingConnection()) {
                std::printf("got %s\n", qPrintable(path));
                std::fflush(stdout);
                c->deleteLater();
            }
        });
        servers.push_back(std::move(s));
    }
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec();
}
} // namespace

class StartupE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void oneFramelessWindowSecondStartExitsOne();
    void copiesInDifferentFoldersRunSideBySide();
    void anotherUserCannotBlockOrRedirect();
    void cleanupTestCase();

private:
    // A private installation: the executable with modules/ beside it.
    QString install(const QString &dir);
    QString waitForWindow(const QString &title, qint64 pid, int timeoutMs);

    bool addUser(const QString &name, uint *uid, uint *gid);

    std::unique_ptr<Xvfb> m_x;
    QTemporaryDir m_tmp;
    QStringList m_users;
    QStringList m_leftovers;
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
        // --all: both the pid and the name must match, not either.
        const QString ids = runTool("xdotool", {"search", "--all", "--onlyvisible", "--pid",
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
    // A common default limit, well below the flood further down.
    first.start("prlimit", {"--nofile=1024:1024", "--", exe});
    QVERIFY(first.waitForStarted());
    const QString win = waitForWindow("SKELD R772", first.processId(), 30000);
    QVERIFY2(!win.isEmpty(), qPrintable("no window titled like common/name; program " +
                                        QString(first.state() == QProcess::Running
                                                    ? "running"
                                                    : "ended " + QString::number(first.exitCode())) +
                                        ": " + QString::fromUtf8(first.readAllStandardError())));

    const QString geometry = runTool("xdotool", {"getwindowgeometry", win}, m_x->environment());
    QVERIFY2(geometry.contains("Geometry: 1024x640"), qPrintable(geometry));
    const QString hints = runTool("xprop", {"-id", win, "_MOTIF_WM_HINTS"}, m_x->environment());
    // Motif hints: decorations flag set, decorations field 0, so the window
    // manager draws no frame or title bar.
    static const QRegularExpression noDecorations(R"(= 0x[2367], 0x[0-9a-f]+, 0x0\b)");
    QVERIFY2(noDecorations.match(hints).hasMatch(), qPrintable(hints));

    // Hostile clients of the same user first: a flood of idle connections
    // (more than the file limit the program runs under) and one that claims
    // a 2 GB message and keeps sending. The server must come through.
    const QString server = SingleInstance::serverNameFor(exe);
    std::vector<int> idle;
    for (int i = 0; i < 2000; ++i)
        if (const int fd = rawConnect(server); fd >= 0) idle.push_back(fd);
    QVERIFY2(idle.size() > 100, qPrintable(QString::number(idle.size())));
    // The flood may still fill the backlog; the server drains it.
    int claim = -1;
    QVERIFY(QTest::qWaitFor([&] { return (claim = rawConnect(server)) >= 0; }, 5000));
    QByteArray header;
    QDataStream(&header, QIODevice::WriteOnly) << quint32(0x534b4c44) << quint32(0x80000000u);
    const QByteArray filler(64 * 1024, 'x');
    bool claimDropped =
        ::send(claim, header.constData(), size_t(header.size()), MSG_NOSIGNAL) < 0;
    QElapsedTimer pushing;
    pushing.start();
    while (!claimDropped && pushing.elapsed() < 3000) {
        if (::send(claim, filler.constData(), size_t(filler.size()), MSG_NOSIGNAL) < 0)
            claimDropped = errno != EAGAIN;
        QTest::qWait(1);
    }
    ::close(claim);
    QVERIFY2(claimDropped, "the 2 GB claim was not cut off");

    QProcess second;
    second.setProcessEnvironment(m_x->environment());
    QElapsedTimer t;
    t.start();
    second.start(exe);
    QVERIFY(second.waitForFinished(6000));
    QVERIFY(t.elapsed() < 6000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    // It reached the running instance, which answered from its event loop.
    const QString secondErr = QString::fromUtf8(second.readAllStandardError());
    QVERIFY2(!secondErr.contains("did not answer"), qPrintable(secondErr));
    QCOMPARE(first.state(), QProcess::Running);
    for (int fd : idle)
        ::close(fd);

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

bool StartupE2E::addUser(const QString &name, uint *uid, uint *gid)
{
    int rc = -1;
    runTool("useradd", {"-M", "-N", "-s", "/usr/sbin/nologin", name},
            QProcessEnvironment::systemEnvironment(), 10000, &rc);
    if (rc != 0) return false;
    m_users << name;
    bool ok = false;
    bool gidOk = false;
    *uid = runTool("id", {"-u", name}, QProcessEnvironment::systemEnvironment()).toUInt(&ok);
    *gid = runTool("id", {"-g", name}, QProcessEnvironment::systemEnvironment()).toUInt(&gidOk);
    return ok && gidOk;
}

void StartupE2E::anotherUserCannotBlockOrRedirect()
{
    if (::geteuid() != 0 || QStandardPaths::findExecutable("useradd").isEmpty() ||
        QStandardPaths::findExecutable("setpriv").isEmpty())
        QSKIP("needs root, useradd and setpriv to make a second local user");
    const QString tag = QString::number(QCoreApplication::applicationPid());
    uint real = 0, realGroup = 0, other = 0, otherGroup = 0;
    if (!addUser("skr" + tag, &real, &realGroup) || !addUser("ska" + tag, &other, &otherGroup))
        QSKIP("useradd could not create the test users");
    auto as = [&](uint uid, const QString &program, const QStringList &args) {
        return QStringList{QStringLiteral("--reuid=%1").arg(uid),
                           QStringLiteral("--regid=%1").arg(uid == real ? realGroup : otherGroup),
                           "--init-groups", "--", program} +
               args;
    };

    // The real user's installation, readable and writable by that user only.
    QTemporaryDir shared;
    QFile(shared.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::ExeOther);
    const QString exe = install(shared.filePath("app"));
    runTool("chown", {"-R", QString::number(real), shared.filePath("app")},
            QProcessEnvironment::systemEnvironment());
    const QString home = shared.filePath("home");
    QDir().mkpath(home);
    runTool("chown", {QString::number(real), home}, QProcessEnvironment::systemEnvironment());
    const QString id = identityOf(exe, real);
    const QString tmp = QDir::tempPath();
    const QString fallback = tmp + "/skeld-config-" + QString::number(real);

    // The other user takes every name the program used to use and every
    // name it may pick now: lock files, listening sockets, a folder of its
    // own at the fallback name (wide open), a link and a plain file at the
    // next names, and a runtime folder to hand to the real user.
    const QString otherXdg = tmp + "/ska-xdg-" + tag;
    m_leftovers << otherXdg << fallback << fallback + ".1" << fallback + ".2" << fallback + ".3"
                << tmp + "/" + id + ".lock" << tmp + "/" + id << tmp + "/" + id + "-copydata";
    QStringList paths;
    for (const QString &dir : {tmp, fallback, otherXdg})
        paths << dir + "/" + id << dir + "/" + id + "-copydata";
    const QString prepare =
        QStringLiteral("umask 000; mkdir -p '%1' '%2' && "
                       "for d in '%3' '%1' '%2'; do printf junk > \"$d/%4.lock\"; done; "
                       "ln -s '%1' '%1.1'; printf x > '%1.2'")
            .arg(fallback, otherXdg, tmp, id);
    int rc = -1;
    runTool("setpriv", as(other, "/bin/sh", {"-c", prepare}),
            QProcessEnvironment::systemEnvironment(), 10000, &rc);
    QCOMPARE(rc, 0);
    QProcess squatter;
    squatter.setProcessChannelMode(QProcess::MergedChannels);
    squatter.start("setpriv", as(other, QCoreApplication::applicationFilePath(),
                                 QStringList{"--listen"} + paths));
    QVERIFY(squatter.waitForStarted());
    QByteArray heard;
    QTRY_VERIFY2_WITH_TIMEOUT((heard += squatter.readAll()).contains("listening"),
                              heard.constData(), 10000);
    heard.clear();

    QProcessEnvironment env = m_x->environment();
    env.insert("HOME", home);
    env.insert("XDG_RUNTIME_DIR", otherXdg); // not the real user's: must be refused
    QProcess first;
    first.setProcessEnvironment(env);
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start("setpriv", as(real, exe, {}));
    QVERIFY(first.waitForStarted());
    const QString win = waitForWindow("SKELD R772", first.processId(), 30000);
    QCOMPARE(first.state(), QProcess::Running);
    QVERIFY2(!win.isEmpty(), "the real user's program did not show its window");

    // It settled on the first name it could make its own, with both sockets.
    const QString own = fallback + ".3";
    QVERIFY2(QFileInfo(own).isDir() && QFileInfo(own).ownerId() == real,
             qPrintable(own + " is not the real user's folder"));
    QTRY_VERIFY(QFileInfo::exists(own + "/" + id));
    QVERIFY(QFileInfo::exists(own + "/" + id + "-copydata"));

    QProcess second;
    second.setProcessEnvironment(env);
    second.start("setpriv", as(real, exe, {}));
    QVERIFY(second.waitForFinished(8000));
    QCOMPARE(second.exitCode(), 1);
    const QString secondErr = QString::fromUtf8(second.readAllStandardError());
    QVERIFY2(!secondErr.contains("did not answer"), qPrintable(secondErr));
    QCOMPARE(first.state(), QProcess::Running);
    QTest::qWait(200);
    heard += squatter.readAll();
    QVERIFY2(!heard.contains("got"), heard.constData());

    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
    squatter.kill();
    squatter.waitForFinished(3000);
}

void StartupE2E::cleanupTestCase()
{
    // Whatever a failed run left behind in the shared temporary folder.
    if (!m_leftovers.isEmpty())
        runTool("rm", QStringList{"-rf"} + m_leftovers, QProcessEnvironment::systemEnvironment());
    for (const QString &user : std::as_const(m_users))
        runTool("userdel", {user}, QProcessEnvironment::systemEnvironment());
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--listen") == 0) return listenMode(argc, argv);
    QCoreApplication app(argc, argv);
    StartupE2E test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup_e2e.moc"
