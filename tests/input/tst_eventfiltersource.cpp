#include "app/InputRouting.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "input/GlobalInputHook.h"
#include "platform/EventFilterSource.h"
#include "testlib/TestData.h"

#include <QKeyEvent>
#include <QQuickItem>
#include <QWindow>
#include <QtTest>

namespace
{
QStringList events;

void recordKey(quint8 usbCode, quint8 isDown, void *)
{
    events << QStringLiteral("key %1 %2").arg(usbCode, 2, 16, QLatin1Char('0')).arg(isDown);
}

void recordButton(quint8 buttonCode, quint8 isDown, qint32, qint32, void *)
{
    events << QStringLiteral("button %1 %2").arg(buttonCode, 2, 16, QLatin1Char('0')).arg(isDown);
}
} // namespace

// On platforms without global input the program's own windows still feed
// the hook. The tests run on the offscreen platform, which is such a case.
class TestEventFilterSource : public QObject
{
    Q_OBJECT
private slots:
    void init() { events.clear(); }
    void defaultSourceOffscreen();
    void keysOnAWindow_data();
    void keysOnAWindow();
    void programWindowReportsEachEventOnce();
    void focusLossReleasesWhatIsHeld();
    void keysReachThePagesOnlyWhileOneListens();
    void removedHooksReportNothing();
};

void TestEventFilterSource::defaultSourceOffscreen()
{
    GlobalInputHook hook;
    QVERIFY(hook.hooksInstalled());
    QCOMPARE(hook.sourceName(), QStringLiteral("application event filter"));
}

void TestEventFilterSource::keysOnAWindow_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("expected");

    const int none = Qt::NoModifier;
    const int kp = Qt::KeypadModifier;
    QTest::newRow("a") << int(Qt::Key_A) << none << QStringList{"key 04 1", "key 04 0"};
    QTest::newRow("Return") << int(Qt::Key_Return) << none << QStringList{"key 28 1", "key 28 0"};
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << kp
                                  << QStringList{"key 58 1", "key 58 0"};
    QTest::newRow("Home") << int(Qt::Key_Home) << none << QStringList{"key 4a 1", "key 4a 0"};
    QTest::newRow("keypad 7 (Home without Num Lock)")
        << int(Qt::Key_Home) << kp << QStringList{"key 5f 1", "key 5f 0"};
    QTest::newRow("keypad /") << int(Qt::Key_Slash) << kp << QStringList{"key 54 1", "key 54 0"};
    QTest::newRow("F12") << int(Qt::Key_F12) << none << QStringList{"key 45 1", "key 45 0"};
    QTest::newRow("Pause") << int(Qt::Key_Pause) << none << QStringList{"key 48 1", "key 48 0"};
    QTest::newRow("unknown key") << int(Qt::Key_VolumeUp) << none << QStringList{};
}

void TestEventFilterSource::keysOnAWindow()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(QStringList, expected);
    QWindow window;
    window.resize(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    GlobalInputHook hook;
    hook.setKeyboardCallback(&recordKey, nullptr);
    QTest::keyClick(&window, Qt::Key(qtKey), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(events, expected);
}

void TestEventFilterSource::programWindowReportsEachEventOnce()
{
    // The program's own window: its QQuickWidget forwards each event to the
    // window it renders into; the hook must count it once, like the
    // platform counts one physical press.
    TestData data;
    QVERIFY(data.isValid());
    Widget top;
    top.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    GlobalInputHook hook;
    hook.setKeyboardCallback(&recordKey, nullptr);
    hook.setMouseCallback(&recordButton, nullptr);
    // Through the window, as the platform delivers input, over the pages.
    QWindow *w = top.windowHandle();
    myQQuickView *view = top.view();
    const QPoint at = view->mapTo(&top, view->rect().center());
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseClick(w, Qt::RightButton, {}, at);
    QTest::mouseClick(w, Qt::MiddleButton, {}, at);
    QTest::mouseClick(w, Qt::BackButton, {}, at);
    view->setFocus();
    QTest::keyClick(w, Qt::Key_B);
    QCOMPARE(events, (QStringList{"button f0 1", "button f0 0", "button f1 1", "button f1 0",
                                  "button f2 1", "button f2 0", "key 05 1", "key 05 0"}));

    // A held key: the platform repeats it as release/press pairs.
    events.clear();
    QTest::keyPress(w, Qt::Key_A);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
        QCoreApplication::sendEvent(w, &up);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
        QCoreApplication::sendEvent(w, &down);
    }
    QTest::keyRelease(w, Qt::Key_A);
    QCOMPARE(events, (QStringList{"key 04 1", "key 04 0"}));

    events.clear();
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QVERIFY(!events.isEmpty());
    // However Qt spells a double-click, downs and ups alternate.
    for (int i = 0; i < events.size(); ++i)
        QCOMPARE(events.at(i),
                 i % 2 ? QStringLiteral("button f0 0") : QStringLiteral("button f0 1"));
}

void TestEventFilterSource::focusLossReleasesWhatIsHeld()
{
    TestData data;
    QVERIFY(data.isValid());
    Widget top;
    top.showNormal();
    top.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&top));
    GlobalInputHook hook;
    hook.setKeyboardCallback(&recordKey, nullptr);
    hook.setMouseCallback(&recordButton, nullptr);
    QWindow *w = top.windowHandle();
    const QPoint at = top.view()->mapTo(&top, top.view()->rect().center());
    QTest::keyPress(w, Qt::Key_A);
    QTest::mousePress(w, Qt::RightButton, {}, at);
    QCOMPARE(events, (QStringList{"key 04 1", "button f1 1"}));

    // Another program's window takes the focus: its releases never reach us.
    QWindow other;
    other.resize(50, 50);
    other.show();
    other.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(events, (QStringList{"key 04 1", "button f1 1", "key 04 0", "button f1 0"}));

    // Releases that do arrive later end nothing a second time.
    QTest::keyRelease(w, Qt::Key_A);
    QTest::mouseRelease(w, Qt::RightButton, {}, at);
    QCOMPARE(events.size(), 4);
}

void TestEventFilterSource::keysReachThePagesOnlyWhileOneListens()
{
    TestData data;
    QVERIFY(data.isValid());
    Widget top;
    top.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    GlobalInputHook hook;
    hook.setKeyboardCallback(&InputRouting::keyboardToBridge, &top);
    QQuickItem *root = top.view()->rootObject();
    QVERIFY(root);
    // What the document hands on to the recording pages.
    QSignalSpy keys(root, SIGNAL(msg_KB(bool, int)));
    QWindow *w = top.windowHandle();
    QTest::keyClick(w, Qt::Key_A); // nobody records: stops in the bridge
    top.view()->setKeyListener(QStringLiteral("macroRecording"), true);
    QVERIFY(top.view()->keyListening());
    QTest::keyClick(w, Qt::Key_B);
    top.view()->setKeyListener(QStringLiteral("macroRecording"), false);
    QTest::keyClick(w, Qt::Key_C);
    // D comes after C in the queue: once D is in, C had its chance.
    top.view()->setKeyListener(QStringLiteral("keyAssigment"), true);
    QTest::keyClick(w, Qt::Key_D);
    QTRY_COMPARE(keys.count(), 4);
    QStringList seen;
    for (const QList<QVariant> &k : std::as_const(keys))
        seen << QStringLiteral("%1 %2").arg(k.at(1).toInt(), 2, 16, QLatin1Char('0')).arg(k.at(0).toBool());
    QCOMPARE(seen, (QStringList{"05 1", "05 0", "07 1", "07 0"}));
}

void TestEventFilterSource::removedHooksReportNothing()
{
    QWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    GlobalInputHook hook;
    hook.setKeyboardCallback(&recordKey, nullptr);
    hook.removeHooks();
    QTest::keyClick(&window, Qt::Key_A);
    QVERIFY(events.isEmpty());
    QVERIFY(hook.installHooks());
    QTest::keyClick(&window, Qt::Key_A);
    QCOMPARE(events, (QStringList{"key 04 1", "key 04 0"}));
}

QTEST_MAIN(TestEventFilterSource)
#include "tst_eventfiltersource.moc"
