#include "testlib/Xvfb.h"

#include "testlib/TestData.h"

#include <QProcess>
#include <QtTest>

// The whole road under a real X server: xdotool types on the desktop while
// the program's window is not focused, the X server's raw events reach the
// hook, and the usage codes arrive at the UI document's detectKeyboard.
class TestHookEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void keys_data();
    void keys();
    void heldKey();
    void buttons_data();
    void buttons();

private:
    bool xdotool(const QStringList &args);
    QStringList collect(int count, int quietMs = 300);

    std::unique_ptr<Xvfb> m_x;
    std::unique_ptr<TestData> m_data;
    QProcess m_probe;
    QByteArray m_pending;
};

void TestHookEndToEnd::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QFAIL("Xvfb and xdotool are needed (scripts/setup.sh installs them)");
    m_x = std::make_unique<Xvfb>();
    QVERIFY2(m_x->isRunning(), "Xvfb did not start");
    m_data = std::make_unique<TestData>();
    QVERIFY(m_data->isValid());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_x->display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_probe.setProcessEnvironment(env);
    m_probe.setWorkingDirectory(m_data->root());
    m_probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/skeld_hookprobe"));
    QVERIFY(m_probe.waitForStarted(5000));
    const QStringList ready = collect(1, 0);
    QCOMPARE(ready.size(), 1);
    QCOMPARE(ready.first(), QStringLiteral("ready XInput2 raw events"));

    // Without a window manager nothing activates the program's window; the
    // probe reports that with every event. The pointer stays outside it.
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("1200"), QStringLiteral("700")}));
}

void TestHookEndToEnd::cleanupTestCase()
{
    if (m_probe.state() != QProcess::NotRunning) {
        m_probe.terminate();
        if (!m_probe.waitForFinished(5000)) m_probe.kill();
        m_probe.waitForFinished(2000);
    }
    m_x.reset();
}

bool TestHookEndToEnd::xdotool(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_x->display());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Waits for count lines, then a little longer for lines that should not come.
QStringList TestHookEndToEnd::collect(int count, int quietMs)
{
    QStringList lines;
    QElapsedTimer t;
    t.start();
    auto take = [&] {
        m_pending += m_probe.readAllStandardOutput();
        int nl;
        while ((nl = m_pending.indexOf('\n')) >= 0) {
            lines << QString::fromUtf8(m_pending.left(nl));
            m_pending.remove(0, nl + 1);
        }
    };
    while (lines.size() < count && t.elapsed() < 15000) {
        m_probe.waitForReadyRead(200);
        take();
    }
    if (quietMs > 0) {
        QTest::qWait(quietMs);
        take();
    }
    return lines;
}

void TestHookEndToEnd::keys_data()
{
    QTest::addColumn<QString>("keysym");
    QTest::addColumn<QString>("usage");
    // xdotool presses a modifier keysym together with the first key of its
    // modifier (left Ctrl for right Ctrl): that key comes first, then ours.
    QTest::addColumn<QString>("alongWith");

    QTest::newRow("a") << "a"
                       << "04"
                       << "";
    QTest::newRow("Return") << "Return"
                            << "28"
                            << "";
    QTest::newRow("keypad Enter") << "KP_Enter"
                                  << "58"
                                  << "";
    QTest::newRow("right Ctrl") << "Control_R"
                                << "e4"
                                << "e0";
    QTest::newRow("left Ctrl") << "Control_L"
                               << "e0"
                               << "";
    QTest::newRow("right Shift") << "Shift_R"
                                 << "e5"
                                 << "e1";
    QTest::newRow("keypad /") << "KP_Divide"
                              << "54"
                              << "";
    QTest::newRow("slash") << "slash"
                           << "38"
                           << "";
    QTest::newRow("Up") << "Up"
                        << "52"
                        << "";
    QTest::newRow("F12") << "F12"
                         << "45"
                         << "";
    QTest::newRow("Print") << "Print"
                           << "46"
                           << "";
    QTest::newRow("Num Lock") << "Num_Lock"
                              << "53"
                              << "";
}

void TestHookEndToEnd::keys()
{
    QFETCH(QString, keysym);
    QFETCH(QString, usage);
    QFETCH(QString, alongWith);
    QVERIFY(xdotool({QStringLiteral("key"), keysym}));
    QStringList expected{QStringLiteral("key %1 1 active=0").arg(usage),
                         QStringLiteral("key %1 0 active=0").arg(usage)};
    if (!alongWith.isEmpty()) {
        expected.insert(0, QStringLiteral("key %1 1 active=0").arg(alongWith));
        expected.insert(2, QStringLiteral("key %1 0 active=0").arg(alongWith));
    }
    QCOMPARE(collect(int(expected.size())), expected);
}

void TestHookEndToEnd::heldKey()
{
    // Long enough for the server's auto-repeat to send more presses.
    QVERIFY(xdotool({QStringLiteral("keydown"), QStringLiteral("b"), QStringLiteral("sleep"),
                     QStringLiteral("0.8"), QStringLiteral("keyup"), QStringLiteral("b")}));
    QCOMPARE(collect(2), (QStringList{QStringLiteral("key 05 1 active=0"),
                                      QStringLiteral("key 05 0 active=0")}));
}

void TestHookEndToEnd::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("left") << "1"
                          << QStringList{"button f0 1 1200 700 active=0",
                                         "button f0 0 1200 700 active=0"};
    QTest::newRow("right") << "3"
                           << QStringList{"button f1 1 1200 700 active=0",
                                          "button f1 0 1200 700 active=0"};
    QTest::newRow("middle") << "2"
                            << QStringList{"button f2 1 1200 700 active=0",
                                           "button f2 0 1200 700 active=0"};
    QTest::newRow("wheel gives nothing") << "4" << QStringList{};
    QTest::newRow("side button gives nothing") << "8" << QStringList{};
}

void TestHookEndToEnd::buttons()
{
    QFETCH(QString, button);
    QFETCH(QStringList, expected);
    QVERIFY(xdotool({QStringLiteral("click"), button}));
    QCOMPARE(collect(int(expected.size()), 400), expected);
}

QTEST_GUILESS_MAIN(TestHookEndToEnd)
#include "tst_hook_e2e.moc"
