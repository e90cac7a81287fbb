// The other road of a user's day: the DPI button on the mouse itself. The
// real window with its pages, the real event reader and the virtual mouse;
// only the tray is watched, since a test has no desktop tray to look at.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/VirtualMouse.h"
#include "testlib/TestData.h"

#include <QQuickItem>
#include <QtTest>

class WatchedWidget : public Widget
{
public:
    QStringList messages;
    void showTrayMessage(const QString &title, const QString &text, int msecs) override
    {
        messages << title + "|" + text + "|" + QString::number(msecs);
        Widget::showTrayMessage(title, text, msecs);
    }
};

class DpiButtonPath : public QObject
{
    Q_OBJECT
private slots:
    void pressingTheDpiButtonMarksTheStageAndTellsTheTray()
    {
        qputenv("SKELD_VIRTUAL_MOUSE", "553");
        TestData data;
        WatchedWidget w;
        w.checkDevice();
        QTRY_VERIFY(deviceConnected);
        QQuickItem *root = w.view()->rootObject();
        QTRY_VERIFY(root && root->property("isPownOn").toBool());
        QObject *dpi = root->findChild<QObject *>("dpiSetting");
        VirtualMouse *mouse = HidBackends::virtualMouse(w.hid.backend());
        QVERIFY(dpi && mouse);
        for (int press = 0; press < 3; ++press) {
            w.messages.clear();
            mouse->pressDpiButton();
            const int stage = mouse->state().dpiStage553;
            QTRY_COMPARE(w.messages, QStringList{QStringLiteral("Info| DPI switched to stage %1|10000").arg(stage)});
            QTRY_COMPARE(dpi->property("currentDPI").toInt(), stage - 1);
        }
        w.hid.stopEventReader();
        w.hid.waitForReader();
    }
};

QTEST_MAIN(DpiButtonPath)
#include "tst_dpi_button_path.moc"
