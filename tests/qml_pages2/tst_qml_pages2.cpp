// Qt Quick Tests of the button-assignment, macro-editor and gun documents and
// of their computation libraries, run against the real bridge of a real
// window whose device is the virtual mouse.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/VirtualMouse.h"
#include "testlib/TestData.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

// What the QML tests reach as "testEnv": the private data folder, the window
// built on it (its bridge is "ui_View") and the virtual mouse behind it.
class TestEnv : public QObject
{
    Q_OBJECT
public:
    explicit TestEnv(QQmlEngine *engine) : m_engine(engine) { reset(); }
    ~TestEnv() override
    {
        window.reset();
        data.reset();
    }

public slots:
    // A fresh copy of modules/, a window on it, connected to a fresh mouse.
    void reset()
    {
        window.reset();
        data.reset();
        data = std::make_unique<TestData>();
        window = std::make_unique<Widget>();
        // The transport's fixed pauses give real firmware time; the virtual
        // mouse answers at once, so the tests skip them.
        window->hid.setDelayFunction([](int) {});
        window->checkDevice();
        // The check runs on the worker and posts its results here.
        window->hid.drain();
        QCoreApplication::sendPostedEvents();
        m_engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), window->view());
    }
    bool connected() { return deviceConnected; }
    QString readFile(const QString &relative) { return QString::fromUtf8(data->read(relative)); }
    bool fileExists(const QString &relative) { return QFile::exists(data->path(relative)); }
    bool removeFile(const QString &relative) { return QFile::remove(data->path(relative)); }
    void writeFile(const QString &relative, const QString &text)
    {
        data->write(relative, text.toUtf8());
    }
    // Files anywhere under the data root (and its parent, where a name with
    // "../" would land), to prove nothing is written outside the folder.
    QStringList allFiles()
    {
        QStringList out;
        QDirIterator it(data->root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next().mid(data->root().size() + 1);
        out.sort();
        return out;
    }

    // The virtual mouse's memory.
    QVariantList macroSlot(int slot)
    {
        QVariantList out;
        if (VirtualMouse *m = mouse(); m && slot >= 1 && slot <= 12) {
            const VirtualMouse::State s = m->state();
            for (quint8 b : s.macros[size_t(slot - 1)])
                out << int(b);
        }
        return out;
    }
    bool macroWritten(int slot)
    {
        VirtualMouse *m = mouse();
        return m && slot >= 1 && slot <= 12 && m->state().macroWritten[size_t(slot - 1)];
    }
    QVariantList keyMatrix(int indexAddOne)
    {
        QVariantList out;
        if (VirtualMouse *m = mouse()) {
            const auto s = m->state();
            auto it = s.keyMatrix553.find(quint8(indexAddOne));
            if (it != s.keyMatrix553.end())
                for (quint8 b : it->second)
                    out << int(b);
        }
        return out;
    }
    // The 553 matrix in use: matrix 0, or matrix 2 once the right flag made
    // the alternate one current.
    QVariantList currentKeyMatrix()
    {
        VirtualMouse *m = mouse();
        return keyMatrix(m && m->state().currentKeyMatrix553 == 1 ? 2 : 0);
    }
    int commandCount(int code)
    {
        VirtualMouse *m = mouse();
        return m ? int(m->state().commands.count(quint8(code))) : -1;
    }
    void pressDpiButton()
    {
        if (VirtualMouse *m = mouse()) m->pressDpiButton();
    }

private:
    // Queued commands are on the wire before the mouse is asked.
    VirtualMouse *mouse()
    {
        if (!window) return nullptr;
        window->hid.drain();
        return HidBackends::virtualMouse(window->hid.backend());
    }

    QQmlEngine *m_engine;
    std::unique_ptr<TestData> data;
    std::unique_ptr<Widget> window;
};

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        env.reset();
        env = std::make_unique<TestEnv>(engine);
        engine->rootContext()->setContextProperty(QStringLiteral("testEnv"), env.get());
    }
    void cleanupTestCase() { env.reset(); }

private:
    std::unique_ptr<TestEnv> env;
};

int main(int argc, char **argv)
{
    // The pages talk to the virtual mouse, never to hardware.
    qputenv("SKELD_VIRTUAL_MOUSE", "553");
    // The bridge is a widget, so the test needs a widget application.
    QApplication app(argc, argv);
    Setup setup;
    const QByteArray dir = qgetenv("SKELD_QML_TEST_DIR");
    return quick_test_main_with_setup(argc, argv, "qml_pages2", dir.constData(), &setup);
}

#include "tst_qml_pages2.moc"
