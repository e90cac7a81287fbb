#include "PagesRig.h"

#include "app/Ui_Controler.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/HidBackends.h"
#include "device/VirtualMouse.h"
#include "platform/PointerSettings.h"
#include "settings/DpiNotifications.h"
#include "settings/FileDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>

namespace
{

QMutex sharedMutex;
QStringList pointerLog;
QString openAnswer;
QString saveAnswer;
// The desktop's pointer settings, as a list of what was asked.
class RecordingPointerSettings : public PointerSettings
{
public:
    const char *name() const override { return "recorder"; }
    bool setCursorSpeed(int speed) override { return note(QStringLiteral("speed %1").arg(speed)); }
    bool setDoubleClickTime(int ms) override
    {
        return note(QStringLiteral("doubleClick %1").arg(ms));
    }
    bool setWheelScrollLines(uint lines) override
    {
        return note(QStringLiteral("lines %1").arg(lines));
    }

private:
    static bool note(const QString &line)
    {
        QMutexLocker lock(&sharedMutex);
        pointerLog << line;
        return true;
    }
};

class AnsweringDialogs : public FileDialogs
{
public:
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        QMutexLocker lock(&sharedMutex);
        return std::exchange(openAnswer, QString());
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        QMutexLocker lock(&sharedMutex);
        return std::exchange(saveAnswer, QString());
    }
};

QVariantList bytes(const quint8 *data, size_t n)
{
    QVariantList out;
    for (size_t i = 0; i < n; ++i)
        out << int(data[i]);
    return out;
}

} // namespace

PagesRig::PagesRig(QQmlEngine *engine) : m_engine(engine)
{
    setSystemPointerSettings(std::make_unique<RecordingPointerSettings>());
    build();
}

PagesRig::~PagesRig()
{
    m_widget.reset();
}

void PagesRig::build()
{
    m_widget = std::make_unique<Widget>();
    // The tests make their own main document; the window's copy would
    // answer the device check's "initUI" as well.
    m_widget->view()->setSource(QUrl());
    m_widget->view()->setFileDialogs(std::make_unique<AnsweringDialogs>());

    Hid_Thread &hid = m_widget->hid;
    auto sink = [this](const QByteArray &line, const QByteArray &) {
        if (line.startsWith("EVENT ") || line.startsWith("SLEEP") || line.startsWith("OPEN") ||
            line.startsWith("CLOSE"))
            return;
        QMutexLocker lock(&m_mutex);
        m_trace << QString::fromLatin1(line);
    };
    hid.setBackend(std::make_shared<TracingBackend>(hid.backendPtr(), sink));
    hid.setDelayFunction([](int) {});
    m_widget->checkDevice();
    // The check runs on the worker and posts its results here.
    hid.drain();
    QCoreApplication::sendPostedEvents();
    QQmlContext *ctx = m_engine->rootContext();
    ctx->setContextProperty(QStringLiteral("ui_View"), m_widget->view());
    ctx->setContextProperty(QStringLiteral("hid"), &m_widget->hid);
    ctx->setContextProperty(QStringLiteral("ui_Ctl"), m_widget->controller);
    clearTrace();
}

void PagesRig::restart(const QVariantMap &globals)
{
    m_widget.reset();
    {
        QSettings config(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
        for (auto it = globals.begin(); it != globals.end(); ++it)
            config.setValue(it.key(), it.value());
    }
    build();
}

QStringList PagesRig::trace() const
{
    // Sets are queued: what the pages asked for is on the wire once the
    // worker has caught up.
    if (m_widget) m_widget->hid.drain();
    QMutexLocker lock(&m_mutex);
    return m_trace;
}

void PagesRig::clearTrace()
{
    if (m_widget) m_widget->hid.drain();
    QMutexLocker lock(&m_mutex);
    m_trace.clear();
}

QStringList PagesRig::sentCommands() const
{
    // "SET_FEATURE 00 cc p1 .. p6 sum": the code follows the report id.
    QStringList out;
    for (const QString &line : trace())
        if (line.startsWith(QLatin1String("SET_FEATURE "))) out << line.mid(15, 2);
    return out;
}

QVariantList PagesRig::reports(const QString &code) const
{
    QVariantList out;
    for (const QString &line : trace()) {
        if (!line.startsWith(QLatin1String("SET_FEATURE ")) || line.mid(15, 2) != code) continue;
        QVariantList params;
        const QStringList parts = line.mid(12).split(QLatin1Char(' '));
        for (qsizetype i = 2; i < 8 && i < parts.size(); ++i)
            params << parts.at(i).toInt(nullptr, 16);
        out << QVariant(params);
    }
    return out;
}

QVariantMap PagesRig::mouseState() const
{
    m_widget->hid.drain();
    VirtualMouse *mouse = HidBackends::virtualMouse(m_widget->hid.backend());
    if (!mouse) return {};
    const VirtualMouse::State s = mouse->state();
    QVariantMap out;
    out[QStringLiteral("reportRate553")] = int(s.reportRate553);
    out[QStringLiteral("dpiStage553")] = int(s.dpiStage553);
    out[QStringLiteral("dpiStageCount553")] = int(s.dpiStageCount553);
    out[QStringLiteral("dpiCodes553")] = bytes(s.dpiCodes553.data(), s.dpiCodes553.size());
    out[QStringLiteral("fixLedColor")] = bytes(s.fixLedColor.data(), s.fixLedColor.size());
    out[QStringLiteral("led8StageColors")] =
        bytes(s.led8StageColors.data(), s.led8StageColors.size());
    // The 553 matrix in use: matrix 0, or matrix 2 once the right flag made
    // the alternate one current.
    auto matrix = s.keyMatrix553.find(s.currentKeyMatrix553 == 1 ? 2 : 0);
    if (matrix != s.keyMatrix553.end())
        out[QStringLiteral("keyMatrix")] = bytes(matrix->second.data(), matrix->second.size());
    QVariantList macros, written;
    for (size_t i = 0; i < s.macros.size(); ++i) {
        macros << QVariant(bytes(s.macros[i].data(), s.macros[i].size()));
        written << s.macroWritten[i];
    }
    out[QStringLiteral("macros")] = macros;
    out[QStringLiteral("macroWritten")] = written;
    return out;
}

QStringList PagesRig::pointerCalls() const
{
    QMutexLocker lock(&sharedMutex);
    return pointerLog;
}

void PagesRig::clearPointerCalls()
{
    QMutexLocker lock(&sharedMutex);
    pointerLog.clear();
}

QString PagesRig::readFile(const QString &relative) const
{
    return QString::fromUtf8(m_data.read(relative));
}

void PagesRig::writeFile(const QString &relative, const QString &text) const
{
    m_data.write(relative, text.toUtf8());
}

QString PagesRig::path(const QString &relative) const
{
    return m_data.path(relative);
}

bool PagesRig::removeFile(const QString &relative) const
{
    return QFile::remove(m_data.path(relative));
}

QStringList PagesRig::allFiles() const
{
    QStringList out;
    QDirIterator it(m_data.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(m_data.root().size() + 1);
    out.sort();
    return out;
}

QVariant PagesRig::profileValue(int profile, const QString &key) const
{
    const QString name = profile < 0 ? QStringLiteral("modules/setting/pD.bin")
                                     : QStringLiteral("modules/setting/p%1.bin").arg(profile + 1);
    QSettings file(m_data.path(name), QSettings::IniFormat);
    return file.value(key);
}

void PagesRig::answerOpen(const QString &file)
{
    QMutexLocker lock(&sharedMutex);
    openAnswer = file;
}

void PagesRig::answerSave(const QString &file)
{
    QMutexLocker lock(&sharedMutex);
    saveAnswer = file;
}

bool PagesRig::viewEnabled() const
{
    return m_widget->view()->isEnabled();
}

QPoint PagesRig::windowPos() const
{
    return m_widget->pos();
}

bool PagesRig::windowVisible() const { return m_widget->isVisible(); }

void PagesRig::showWindow() { m_widget->show(); }

void PagesRig::setPointerBackend(const QString &name)
{
    if (name == QLatin1String("x11"))
        setSystemPointerSettings(std::make_unique<X11PointerSettings>());
    else if (name == QLatin1String("none"))
        setSystemPointerSettings(std::make_unique<NoPointerSettings>());
    else
        setSystemPointerSettings(std::make_unique<RecordingPointerSettings>());
}

QStringList PagesRig::trayTexts() const
{
    QStringList texts;
    for (QAction *a : m_widget->trayIcon->contextMenu()->actions())
        texts << a->text();
    return texts;
}

void PagesRig::setConnected(bool connected)
{
    if (connected)
        m_widget->hostSetDeviceConnected(true);
    else
        m_widget->hostSetViewEnabled(false); // the removal path
    m_widget->hostSetViewEnabled(true);
}

QString PagesRig::dpiNotification(int k) const
{
    return DpiNotifications::text(k);
}
