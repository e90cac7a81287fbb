// Qt Quick Tests of the button-assignment, macro-editor and gun documents and
// of their computation libraries, run against the real bridge.
#include "app/myQQuickView.h"
#include "macro/MacroCodec.h"
#include "testlib/TestData.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

// What the QML tests reach as "testEnv": the private data folder and the
// bridge built on it.
class TestEnv : public QObject
{
    Q_OBJECT
public:
    explicit TestEnv(QQmlEngine *engine) : m_engine(engine) { reset(); }

public slots:
    // A fresh copy of modules/ and a bridge opened on it.
    void reset()
    {
        view.reset();
        data.reset();
        data = std::make_unique<TestData>();
        view = std::make_unique<myQQuickView>();
        m_engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), view.get());
    }
    QObject *bridge() { return view.get(); }
    QString readFile(const QString &relative) { return QString::fromUtf8(data->read(relative)); }
    bool fileExists(const QString &relative) { return QFile::exists(data->path(relative)); }
    bool removeFile(const QString &relative) { return QFile::remove(data->path(relative)); }
    void writeFile(const QString &relative, const QString &text)
    {
        data->write(relative, text.toUtf8());
    }
    // Files anywhere under the data root, to prove nothing lands outside
    // the macro folder.
    QStringList allFiles()
    {
        QStringList out;
        QDirIterator it(data->root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next().mid(data->root().size() + 1);
        out.sort();
        return out;
    }

private:
    QQmlEngine *m_engine;
    std::unique_ptr<TestData> data;
    std::unique_ptr<myQQuickView> view;
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
    // The bridge is a widget, so the test needs a widget application.
    QApplication app(argc, argv);
    MacroCodec::registerQmlType();
    Setup setup;
    const QByteArray dir = qgetenv("SKELD_QML_TEST_DIR");
    return quick_test_main_with_setup(argc, argv, "qml_pages2", dir.constData(), &setup);
}

#include "tst_qml_pages2.moc"
