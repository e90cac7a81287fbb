// Under a real X server xdotool types and clicks while the window is not
// focused; the raw events reach the hook with the codes the UI documents. The
// test runs itself with --probe as that program, wired as start-up wires it.
#include "app/InputRouting.h"
#include "app/Widget.h"
#include "input/GlobalInputHook.h"
#include "testlib/TestData.h"
#include "testlib/Xvfb.h"

#include <QApplication>
#include <QtTest>

#include <cstdio>

namespace {
Widget *window = nullptr;

void say(const QString &line)
{
    std::printf("%s active=%d\n", qPrintable(line), window->isActiveWindow() ? 1 : 0);
    std::fflush(stdout);
}

void onKey(quint8 code, quint8 isDown, void *context)
{
    say(QStringLiteral("key %1 %2").arg(code, 2, 16, QLatin1Char('0')).arg(isDown));
    InputRouting::keyboardToBridge(code, isDown, context);
}

void onButton(quint8 code, quint8 isDown, qint32 x, qint32 y, void *context)
{
    say(QStringLiteral("button %1 %2 %3 %4").arg(code, 2, 16, QLatin1Char('0')).arg(isDown).arg(x).arg(y));
    InputRouting::mouseToBridge(code, isDown, x, y, context);
}
} // namespace

int probe(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Widget w;
    window = &w;
    GlobalInputHook hook;
    hook.setKeyboardCallback(&onKey, &w);
    hook.setMouseCallback(&onButton, &w);
    w.move(0, 0);
    w.showNormal();
    say("ready " + hook.sourceName());
    return QApplication::exec();
}

class TestHookEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void keyAndButton();

private:
    std::unique_ptr<Xvfb> m_x;
    std::unique_ptr<TestData> m_data;
    QProcess m_probe;
    QStringList m_lines; // the probe's output since the last check
};

void TestHookEndToEnd::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("xdotool").isEmpty(), "xdotool is needed (scripts/setup.sh)");
    m_x = std::make_unique<Xvfb>();
    QVERIFY2(m_x->isRunning(), "Xvfb did not start");
    m_data = std::make_unique<TestData>();
    QVERIFY(m_data->isValid());
    QProcessEnvironment env = m_x->environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    m_probe.setProcessEnvironment(env);
    m_probe.setWorkingDirectory(m_data->root());
    m_probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_probe, &QProcess::readyReadStandardOutput, this, [this] {
        while (m_probe.canReadLine())
            m_lines << QString::fromUtf8(m_probe.readLine()).trimmed();
    });
    m_probe.start(QCoreApplication::applicationFilePath(), {"--probe"});
    QTRY_COMPARE_WITH_TIMEOUT(m_lines, QStringList{"ready XInput2 raw events active=0"}, 15000);
    m_lines.clear();
    // No window manager activates the window; the pointer stays outside it.
    QVERIFY(m_x->xdotool({"mousemove", "1200", "700"}));
}

void TestHookEndToEnd::cleanupTestCase()
{
    // Nothing more came than the test asked for.
    QTest::qWait(400);
    QCOMPARE(m_lines, QStringList());
    m_probe.terminate();
    if (!m_probe.waitForFinished(5000)) m_probe.kill();
}

void TestHookEndToEnd::keyAndButton()
{
    // The codes themselves are tst_key_tables'; here that real events arrive.
    QVERIFY(m_x->xdotool({"key", "a"}));
    QTRY_COMPARE_WITH_TIMEOUT(m_lines, (QStringList{"key 04 1 active=0", "key 04 0 active=0"}), 15000);
    m_lines.clear();
    // Wheel and side buttons give nothing: whatever they sent would come first.
    QVERIFY(m_x->xdotool({"click", "4", "click", "8", "click", "1"}));
    QTRY_COMPARE_WITH_TIMEOUT(m_lines, (QStringList{"button f0 1 1200 700 active=0", "button f0 0 1200 700 active=0"}), 15000);
    m_lines.clear();
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--probe") == 0) return probe(argc, argv);
    QCoreApplication app(argc, argv);
    TestHookEndToEnd test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hook_e2e.moc"
