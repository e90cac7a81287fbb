// On platforms without global input the program's own windows feed the
// hook; the tests run offscreen, which is such a case. Each physical event
// counts once, auto-repeat is dropped, and a focus loss releases what is held.
#include "app/InputRouting.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "input/GlobalInputHook.h"
#include "testlib/TestData.h"

#include <QKeyEvent>
#include <QQuickItem>
#include <QWindow>
#include <QtTest>

namespace {
QStringList events;
void recordKey(quint8 usbCode, quint8 isDown, void *)
{
    events << QStringLiteral("key %1 %2").arg(usbCode, 2, 16, QLatin1Char('0')).arg(isDown);
}
void recordButton(quint8 buttonCode, quint8 isDown, qint32, qint32, void *)
{
    events << QStringLiteral("button %1 %2").arg(buttonCode, 2, 16, QLatin1Char('0')).arg(isDown);
}
const struct { const char *tag; Qt::Key key; Qt::KeyboardModifiers modifiers; const char *usage; } kKeys[] = {
    {"a", Qt::Key_A, {}, "04"}, {"Return", Qt::Key_Return, {}, "28"}, {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "58"},
    {"Home", Qt::Key_Home, {}, "4a"}, {"keypad 7 (Home without Num Lock)", Qt::Key_Home, Qt::KeypadModifier, "5f"},
    {"keypad /", Qt::Key_Slash, Qt::KeypadModifier, "54"}, {"F12", Qt::Key_F12, {}, "45"}, {"Pause", Qt::Key_Pause, {}, "48"},
    {"unknown key", Qt::Key_VolumeUp, {}, nullptr}};
} // namespace

class TestKeyCapture : public QObject
{
    Q_OBJECT
private slots:
    void init() { events.clear(); }
    void keysOnAWindow_data() { addRows(kKeys); }
    void keysOnAWindow();
    void programWindow();
};

void TestKeyCapture::keysOnAWindow()
{
    ROW(kKeys);
    QWindow window;
    window.resize(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    GlobalInputHook hook;
    QVERIFY(hook.hooksInstalled());
    QCOMPARE(hook.sourceName(), QStringLiteral("application event filter"));
    hook.setKeyboardCallback(&recordKey, nullptr);
    QTest::keyClick(&window, r.key, r.modifiers);
    const QString u = QString::fromLatin1(r.usage);
    QCOMPARE(events, (u.isEmpty() ? QStringList() : QStringList{"key " + u + " 1", "key " + u + " 0"}));
    // Removed hooks report nothing until installed again.
    events.clear();
    hook.removeHooks();
    QTest::keyClick(&window, Qt::Key_A);
    QVERIFY(events.isEmpty());
    QVERIFY(hook.installHooks());
    QTest::keyClick(&window, Qt::Key_A);
    QCOMPARE(events, (QStringList{"key 04 1", "key 04 0"}));
}

void TestKeyCapture::programWindow()
{
    TestData data;
    Widget top;
    top.showNormal();
    top.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&top));
    GlobalInputHook hook;
    hook.setKeyboardCallback(&recordKey, nullptr);
    hook.setMouseCallback(&recordButton, nullptr);
    // Through the window the platform delivers input to over the pages:
    // the scene's own, inside the program's.
    myQQuickView *view = top.view();
    QWindow *w = view->quickWindow();
    const QPoint at = w->geometry().center();
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton})
        QTest::mouseClick(w, b, {}, at);
    QTest::keyClick(w, Qt::Key_B);
    QCOMPARE(events, (QStringList{"button f0 1", "button f0 0", "button f1 1", "button f1 0", "button f2 1",
                                  "button f2 0", "key 05 1", "key 05 0"}));
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
    // However Qt spells a double-click, downs and ups alternate.
    events.clear();
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QVERIFY(!events.isEmpty());
    for (int i = 0; i < events.size(); ++i)
        QCOMPARE(events.at(i), i % 2 ? QStringLiteral("button f0 0") : QStringLiteral("button f0 1"));

    // Another program's window takes the focus: releases never reach us, so
    // what is held is released then, and later releases end nothing twice.
    events.clear();
    QTest::keyPress(w, Qt::Key_A);
    QTest::mousePress(w, Qt::RightButton, {}, at);
    QWindow other;
    other.resize(50, 50);
    other.show();
    other.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::keyRelease(w, Qt::Key_A);
    QTest::mouseRelease(w, Qt::RightButton, {}, at);
    QCOMPARE(events, (QStringList{"key 04 1", "button f1 1", "key 04 0", "button f1 0"}));

    // The pages hear keys only while one of them listens.
    other.close();
    top.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&top));
    hook.setKeyboardCallback(&InputRouting::keyboardToBridge, &top);
    QSignalSpy keys(view->rootObject(), SIGNAL(msg_KB(bool, int)));
    QTest::keyClick(w, Qt::Key_A); // nobody records: stops in the bridge
    view->setKeyListener("macroRecording", true);
    QVERIFY(view->keyListening());
    QTest::keyClick(w, Qt::Key_B);
    view->setKeyListener("macroRecording", false);
    QTest::keyClick(w, Qt::Key_C);
    // D comes after C in the queue: once D is in, C had its chance.
    view->setKeyListener("keyAssigment", true);
    QTest::keyClick(w, Qt::Key_D);
    QTRY_COMPARE(keys.count(), 4);
    QStringList seen;
    for (const QList<QVariant> &k : std::as_const(keys))
        seen << QStringLiteral("%1 %2").arg(k.at(1).toInt(), 2, 16, QLatin1Char('0')).arg(k.at(0).toBool());
    QCOMPARE(seen, (QStringList{"05 1", "05 0", "07 1", "07 0"}));
}

QTEST_MAIN(TestKeyCapture)
#include "tst_key_capture.moc"
