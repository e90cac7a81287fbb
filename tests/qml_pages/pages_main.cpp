#include "PagesRig.h"

#include <QApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

// Each test file gets a fresh copy of the data and a fresh window, published
// to its engine as ui_View, ui_Ctl and hid, with "rig" beside them.
class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // One data copy at a time: the previous file's window goes first.
        m_rig.reset();
        m_rig = std::make_unique<PagesRig>(engine);
        engine->rootContext()->setContextProperty(QStringLiteral("rig"), m_rig.get());
    }
    void cleanupTestCase() { m_rig.reset(); }

private:
    std::unique_ptr<PagesRig> m_rig;
};

int main(int argc, char **argv)
{
    // The window is a widget: the application must be a QApplication.
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Setup setup;
    return quick_test_main_with_setup(argc, argv, "qml_pages", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "pages_main.moc"
