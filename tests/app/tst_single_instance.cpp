#include "app/SingleInstance.h"

#include <QSignalSpy>
#include <QtTest>

class SingleInstanceTest : public QObject
{
    Q_OBJECT
private slots:
    void identityFollowsTheExecutablePath();
    void secondHolderIsRunningAndDeliversItsMessage();
    void differentFoldersDoNotExclude();
};

void SingleInstanceTest::identityFollowsTheExecutablePath()
{
    QCOMPARE(SingleInstance::identityFor("/opt/a/skeld-config"),
             SingleInstance::identityFor("/opt/a/../a/skeld-config"));
    QVERIFY(SingleInstance::identityFor("/opt/a/skeld-config") !=
            SingleInstance::identityFor("/opt/b/skeld-config"));
}

void SingleInstanceTest::secondHolderIsRunningAndDeliversItsMessage()
{
    const QString exe = QStringLiteral("/tmp/skeld-test-%1/skeld-config").arg(QCoreApplication::applicationPid());
    SingleInstance first(exe);
    QVERIFY(!first.isRunning());
    QSignalSpy received(&first, &SingleInstance::messageReceived);

    // The second start runs in a thread of its own, as a separate process would.
    bool secondRunning = false;
    bool sent = false;
    QThread *t = QThread::create([&] {
        SingleInstance second(exe);
        secondRunning = second.isRunning();
        if (secondRunning)
            sent = second.sendMessage(QString(), 5000);
    });
    t->start();
    QTRY_VERIFY(t->isFinished());
    delete t;
    QVERIFY(secondRunning);
    QVERIFY(sent);
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first().toString(), QString());
}

void SingleInstanceTest::differentFoldersDoNotExclude()
{
    const QString base = QStringLiteral("/tmp/skeld-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance a(base + "/one/skeld-config");
    SingleInstance b(base + "/two/skeld-config");
    QVERIFY(!a.isRunning());
    QVERIFY(!b.isRunning());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_single_instance.moc"
