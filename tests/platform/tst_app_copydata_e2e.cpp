// The real program under a private X server: a text sent to its copy-data
// endpoint opens one warning box titled like the main window; malformed
// records open nothing and the program keeps running.
#include "platform/CopyDataEndpoint.h"
#include "testlib/TestData.h"
#include "testlib/Xvfb.h"

#include <QLocalSocket>
#include <QtTest>

class AppCopyDataE2E : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void records_data();
    void records();

private:
    int windowCount();
    QByteArray send(const QByteArray &record);
    qint64 residentKb();

    std::unique_ptr<Xvfb> m_x;
    std::unique_ptr<TestData> m_data;
    QProcess m_app;
    QString m_endpoint;
    int m_boxes = 0;
    qint64 m_startKb = 0;
};

void AppCopyDataE2E::initTestCase()
{
    m_x = std::make_unique<Xvfb>();
    QVERIFY2(m_x->isRunning(), "Xvfb did not start");
    m_data = std::make_unique<TestData>();
    QVERIFY(m_data->isValid());
    // The executable beside its own modules/ copy, so nothing it writes
    // lands in the build tree.
    const QString exe = m_data->path(QStringLiteral("skeld-config"));
    QVERIFY(QFile::copy(TestData::buildDir() + QStringLiteral("/skeld-config"), exe));
    QVERIFY(QFile(exe).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    m_endpoint = CopyDataEndpoint::serverNameFor(QFileInfo(exe).canonicalFilePath());

    QProcessEnvironment env = m_x->environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_app.setProcessEnvironment(env);
    m_app.setProcessChannelMode(QProcess::ForwardedChannels);
    m_app.start(exe, {});
    QVERIFY(m_app.waitForStarted(5000));
    QTRY_COMPARE_WITH_TIMEOUT(windowCount(), 1, 15000);
    m_startKb = residentKb();
    QVERIFY(m_startKb > 0);
}

qint64 AppCopyDataE2E::residentKb()
{
    QFile status(QStringLiteral("/proc/%1/status").arg(m_app.processId()));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

void AppCopyDataE2E::cleanupTestCase()
{
    if (m_app.state() != QProcess::NotRunning) {
        m_app.kill();
        m_app.waitForFinished(5000);
    }
}

int AppCopyDataE2E::windowCount()
{
    const QString ids = runTool(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"), QString::number(m_app.processId()),
                                 QStringLiteral("--name"), QStringLiteral("^SKELD R772$")},
                                m_x->environment());
    return ids.isEmpty() ? 0 : int(ids.split(QLatin1Char('\n')).size());
}

QByteArray AppCopyDataE2E::send(const QByteArray &record)
{
    QLocalSocket s;
    QElapsedTimer wait;
    wait.start();
    do {
        s.connectToServer(m_endpoint);
    } while (!s.waitForConnected(1000) && wait.elapsed() < 5000 && (QTest::qWait(100), true));
    if (s.state() != QLocalSocket::ConnectedState)
        return "not connected: " + s.errorString().toUtf8();
    s.write(record);
    s.flush();
    QByteArray answer;
    QElapsedTimer t;
    t.start();
    while (answer.isEmpty() && s.state() == QLocalSocket::ConnectedState && t.elapsed() < 5000) {
        s.waitForReadyRead(100);
        answer += s.readAll();
    }
    return answer;
}

void AppCopyDataE2E::records_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("box");
    QTest::addColumn<int>("repeat");

    const QByteArray text("Update ready \xE2\x9C\x93");
    const quint32 n = quint32(text.size());
    QTest::newRow("wrong dwData") << CopyDataEndpoint::encodeRecord(0x250E, n, text)
                                  << QByteArray("\x01") << false << 1;
    QTest::newRow("wrong length") << CopyDataEndpoint::encodeRecord(0x250F, n + 1, text + 'x')
                                          .replace(int(n) + 12, 1, QByteArray(1, '\0'))
                                  << QByteArray("\x01") << false << 1;
    QTest::newRow("invalid UTF-8") << CopyDataEndpoint::encodeRecord(0x250F, 3, "a\xFF" "b")
                                   << QByteArray("\x01") << false << 1;
    QTest::newRow("claims more than it sends")
        << CopyDataEndpoint::encodeRecord(0x250F, 1000, text) << QByteArray() << false << 1;
    QTest::newRow("well-formed") << CopyDataEndpoint::encodeRecord(0x250F, n, text)
                                 << QByteArray("\x01") << true << 1;
    // While that box is open: a burst waits in a short queue or is dropped,
    // never a box inside a box.
    QTest::newRow("burst of 2000 while a box is open")
        << CopyDataEndpoint::encodeRecord(0x250F, n, text) << QByteArray("\x01") << false << 2000;
}

void AppCopyDataE2E::records()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, answer);
    QFETCH(bool, box);
    QFETCH(int, repeat);
    if (answer.isEmpty()) {
        // The sender gives up before the record is complete.
        QLocalSocket s;
        s.connectToServer(m_endpoint);
        QVERIFY(s.waitForConnected(5000));
        s.write(record);
        s.flush();
        QTest::qWait(100);
        s.abort();
    } else {
        for (int i = 0; i < repeat; ++i)
            QCOMPARE(send(record), answer);
    }
    if (box)
        ++m_boxes;
    if (box)
        QTRY_COMPARE_WITH_TIMEOUT(windowCount(), 1 + m_boxes, 10000);
    QTest::qWait(500);
    QCOMPARE(windowCount(), 1 + m_boxes);
    QCOMPARE(m_app.state(), QProcess::Running);
    const qint64 kb = residentKb();
    QVERIFY2(kb - m_startKb < 64 * 1024, qPrintable(QStringLiteral("%1 kB at start, %2 kB now")
                                                         .arg(m_startKb)
                                                         .arg(kb)));
}

QTEST_GUILESS_MAIN(AppCopyDataE2E)
#include "tst_app_copydata_e2e.moc"
