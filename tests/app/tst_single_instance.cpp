// The single-instance server: a second start reaches the first, hostile
// local clients are cut off in time, and its files are the user's alone.
#include "app/SingleInstance.h"
#include "testlib/RawSocket.h"
#include "testlib/TestData.h"

#include <QSignalSpy>
#include <QtTest>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

// True once the other end has hung up on `fd`.
bool hungUp(int fd)
{
    char c;
    const ssize_t n = ::recv(fd, &c, 1, MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

// A second start, in a thread of its own as a separate process would be.
bool secondStart(const QString &exe)
{
    bool sent = false;
    QThread *t = QThread::create([&] {
        SingleInstance second(exe);
        if (second.isRunning()) sent = second.sendMessage(QString(), 5000);
    });
    t->start();
    // The running instance answers from this thread's event loop.
    const bool finished = QTest::qWaitFor([t] { return t->isFinished(); }, 8000);
    if (!finished) t->wait();
    delete t;
    return finished && sent;
}

QByteArray header(quint32 length)
{
    QByteArray b;
    QDataStream(&b, QIODevice::WriteOnly) << quint32(0x534b4c44) << length;
    return b;
}
const int kSlow = SingleInstance::readTimeoutMs + 1000;
const struct { const char *tag; QByteArray bytes; int connections, cutOffWithinMs; } kHostile[] = {
    {"claims one byte over the limit", header(SingleInstance::maxMessageBytes + 2), 1, 1000},
    {"not a message", "GET / HTTP/1.0\r\n\r\n", 1, 1000},
    {"half a message, then silence", header(8) + "ab", 1, kSlow},
    {"idle flood", {}, 300, kSlow}};
} // namespace

class SingleInstanceTest : public QObject
{
    Q_OBJECT
private slots:
    void hostileSendersAreCutOff_data() { addRows(kHostile); }
    void hostileSendersAreCutOff();
    void runtimeFilesArePrivate();
};

void SingleInstanceTest::hostileSendersAreCutOff()
{
    ROW(kHostile);
    const QString exe = QStringLiteral("/tmp/skeld-test-%1/hostile/skeld-config").arg(QCoreApplication::applicationPid());
    SingleInstance first(exe);
    SingleInstance elsewhere(QFileInfo(exe).path() + "2/skeld-config"); // other folders do not exclude
    QVERIFY(!first.isRunning() && !elsewhere.isRunning());
    QVERIFY(first.isListening());
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    std::vector<int> fds;
    for (int i = 0; i < r.connections; ++i) {
        const int fd = rawConnect(first.serverName());
        if (fd < 0) continue;
        fds.push_back(fd);
        if (!r.bytes.isEmpty()) QVERIFY(::send(fd, r.bytes.constData(), size_t(r.bytes.size()), MSG_DONTWAIT | MSG_NOSIGNAL) > 0);
    }
    QVERIFY(!fds.empty());
    // Every one of them is hung up on in time, and none counts as a message.
    QElapsedTimer t;
    t.start();
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(fds.begin(), fds.end(), hungUp), r.cutOffWithinMs + 2000);
    QVERIFY2(t.elapsed() < r.cutOffWithinMs, qPrintable(QString::number(t.elapsed())));
    for (int fd : fds)
        ::close(fd);
    QVERIFY(received.isEmpty());
    QVERIFY(first.isListening());
    // A second start still gets through, from a name of the same folder.
    QVERIFY(secondStart(QFileInfo(exe).path() + "/../hostile/skeld-config"));
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first().toString(), QString());
}

void SingleInstanceTest::runtimeFilesArePrivate()
{
    // A runtime folder that is not ours alone is passed over, and so is
    // every fallback name someone else holds: another user's folder, a
    // link, a plain file.
    QTemporaryDir wide, tmp;
    ::chmod(QFile::encodeName(wide.path()).constData(), 0777);
    qputenv("XDG_RUNTIME_DIR", wide.path().toUtf8());
    qputenv("TMPDIR", tmp.path().toUtf8());
    const QString base = tmp.filePath(QStringLiteral("skeld-config-%1").arg(::getuid()));
    QVERIFY(QDir().mkdir(base + ".x") && QDir().mkdir(base));
    QVERIFY(::chmod(QFile::encodeName(base).constData(), 0700) == 0);
    if (::geteuid() == 0) QVERIFY(::chown(QFile::encodeName(base).constData(), 65534, 65534) == 0);
    else QVERIFY(::chmod(QFile::encodeName(base).constData(), 0755) == 0);
    QVERIFY(QFile::link(base + ".x", base + ".1"));
    QVERIFY(QFile(base + ".2").open(QIODevice::WriteOnly));
    const QString exe = QStringLiteral("/tmp/skeld-test-%1/private/skeld-config").arg(QCoreApplication::applicationPid());
    SingleInstance first(exe);
    QVERIFY(!first.isRunning());
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("TMPDIR");
    const QString dir = QFileInfo(first.serverName()).path();
    QCOMPARE(dir, base + ".3");
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(dir).constData(), &st), 0);
    QVERIFY(S_ISDIR(st.st_mode));
    QCOMPARE(st.st_mode & 0777, 0700u);
    QCOMPARE(st.st_uid, ::getuid());
    QVERIFY(QFileInfo::exists(first.serverName() + ".lock"));
    QVERIFY(first.isListening());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_single_instance.moc"
