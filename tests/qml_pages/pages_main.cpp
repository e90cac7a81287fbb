// Qt Quick Tests of the pages against the real window: its bridge and worker
// (published as ui_View and ui_Ctl), the virtual mouse behind the worker, and
// "rig" for what a test checks besides the documents.
#include "app/Ui_Controler.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/VirtualMouse.h"
#include "platform/PointerSettings.h"
#include "settings/DpiNotifications.h"
#include "testlib/FakeFileDialogs.h"
#include "testlib/TestData.h"

#include <QApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QtQuickTest>

namespace
{

// What the desktop was asked; the worker applies pointer settings too.
QMutex pointerMutex;
QStringList pointerLog;

class RecordingPointerSettings : public PointerSettings
{
public:
    const char *name() const override { return "recorder"; }
    bool setCursorSpeed(int v) override { return note("speed", v); }
    bool setDoubleClickTime(int v) override { return note("doubleClick", v); }
    bool setWheelScrollLines(uint v) override { return note("lines", int(v)); }

private:
    static bool note(const char *what, int v)
    {
        QMutexLocker lock(&pointerMutex);
        pointerLog << QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(v);
        return true;
    }
};

template <typename C> QVariantList bytes(const C &data)
{
    QVariantList out;
    for (auto b : data)
        out << int(b);
    return out;
}

} // namespace

// Each test file gets a fresh copy of the data and a fresh window.
class PagesRig : public QObject
{
    Q_OBJECT
public:
    // Rebuilds the window after changing global keys of apConfig.bin (the
    // bridge reads its capability flags only when it is built).
    Q_INVOKABLE void restart(const QVariantMap &globals)
    {
        m_widget.reset();
        QSettings config(m_data->path(QStringLiteral("modules/setting/apConfig.bin")),
                         QSettings::IniFormat);
        for (auto it = globals.begin(); it != globals.end(); ++it)
            config.setValue(it.key(), it.value());
        config.sync();
        build();
    }

    // The SET_FEATURE reports since the last clear, in order. Sets are
    // queued: they are on the wire once the worker has caught up.
    Q_INVOKABLE QStringList trace(bool clear = false)
    {
        m_widget->hid.drain();
        QMutexLocker lock(&m_mutex);
        return clear ? std::exchange(m_trace, {}) : m_trace;
    }
    Q_INVOKABLE void clearTrace() { trace(true); }
    // The virtual mouse's memory once the queued commands reached it.
    Q_INVOKABLE QVariantMap mouseState()
    {
        m_widget->hid.drain();
        const VirtualMouse::State s = HidBackends::virtualMouse(m_widget->hid.backend())->state();
        QVariantList macros, written;
        for (size_t i = 0; i < s.macros.size(); ++i) {
            macros << QVariant(bytes(s.macros[i]));
            written << s.macroWritten[i];
        }
        // The 553 matrix in use: 0, or 2 once the right flag made it current.
        const auto matrix = s.keyMatrix553.find(s.currentKeyMatrix553 == 1 ? 2 : 0);
        return {
            {"dpiStageCount553", int(s.dpiStageCount553)},
            {"dpiCodes553", bytes(s.dpiCodes553)},
            {"keyMatrix", matrix == s.keyMatrix553.end() ? QVariantList() : bytes(matrix->second)},
            {"macros", macros},
            {"macroWritten", written}};
    }

    // What the desktop was asked since the last call that took them.
    Q_INVOKABLE QStringList pointerCalls(bool take = true)
    {
        QMutexLocker lock(&pointerMutex);
        return take ? std::exchange(pointerLog, {}) : pointerLog;
    }
    Q_INVOKABLE void setPointerBackend(const QString &name) // "recording" or "x11"
    {
        if (name == QLatin1String("x11"))
            setSystemPointerSettings(std::make_unique<X11PointerSettings>());
        else
            setSystemPointerSettings(std::make_unique<RecordingPointerSettings>());
    }
    Q_INVOKABLE QString readFile(const QString &f) { return QString::fromUtf8(m_data->read(f)); }
    Q_INVOKABLE void writeFile(const QString &f, const QString &t) { m_data->write(f, t.toUtf8()); }
    Q_INVOKABLE bool removeFile(const QString &f) const { return QFile::remove(m_data->path(f)); }
    // The next file dialog picks this file of the data.
    Q_INVOKABLE void answer(const QString &f) { m_dialogs->answers = {m_data->path(f)}; }

    Q_INVOKABLE bool viewEnabled() const { return m_widget->view()->isEnabled(); }
    // What the device check or the reader's removal tells the window.
    Q_INVOKABLE void setConnected(bool connected)
    {
        if (connected)
            m_widget->hostSetDeviceConnected(true);
        else
            m_widget->hostSetViewEnabled(false); // the removal path
        m_widget->hostSetViewEnabled(true);
    }
    Q_INVOKABLE QString dpiNotification(int k) const { return DpiNotifications::text(k); }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        m_widget.reset();
        m_data.reset(); // one data copy at a time
        m_data = std::make_unique<TestData>();
        m_engine = engine;
        setSystemPointerSettings(std::make_unique<RecordingPointerSettings>());
        build();
        engine->rootContext()->setContextProperty(QStringLiteral("rig"), this);
    }
    void cleanupTestCase() { m_widget.reset(), m_data.reset(); }

private:
    void build()
    {
        m_widget = std::make_unique<Widget>();
        // The tests make their own main document; the window's copy would
        // answer the device check's "initUI" as well.
        m_widget->view()->setSource(QUrl());
        auto dialogs = std::make_unique<FakeFileDialogs>();
        m_dialogs = dialogs.get();
        m_widget->view()->setFileDialogs(std::move(dialogs));
        Hid_Thread &hid = m_widget->hid;
        auto sink = [this](const QByteArray &line, const QByteArray &) {
            if (!line.startsWith("SET_FEATURE ")) return;
            QMutexLocker lock(&m_mutex);
            m_trace << QString::fromLatin1(line);
        };
        hid.setBackend(std::make_shared<TracingBackend>(hid.backendPtr(), sink));
        hid.setDelayFunction([](int) {});
        m_widget->checkDevice();
        // The check runs on the worker and posts its results here.
        hid.drain();
        QCoreApplication::sendPostedEvents();
        m_engine->rootContext()->setContextProperty(QStringLiteral("ui_View"), m_widget->view());
        m_engine->rootContext()->setContextProperty(QStringLiteral("ui_Ctl"), m_widget->controller);
        clearTrace();
    }

    // The window traces under the mutex until it is gone, and writes to the
    // data as it goes: it is destroyed first.
    mutable QMutex m_mutex;
    QStringList m_trace;
    QQmlEngine *m_engine = nullptr;
    std::unique_ptr<TestData> m_data;
    std::unique_ptr<Widget> m_widget;
    FakeFileDialogs *m_dialogs = nullptr; // owned by the window
};

int main(int argc, char **argv)
{
    // The window is a widget: the application must be a QApplication.
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    PagesRig setup;
    return quick_test_main_with_setup(argc, argv, "qml_pages", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "pages_main.moc"
