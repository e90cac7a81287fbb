#include "Xvfb.h"

#include <QElapsedTimer>

Xvfb::Xvfb(const QString &screen)
{
    // The server picks a free display itself and writes its number once it
    // accepts connections: no race with parallel tests, and no client that
    // connects before the server listens.
    m_process.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), screen, QStringLiteral("-nolisten"),
                     QStringLiteral("tcp")});
    if (!m_process.waitForStarted(3000)) return;
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (!out.contains('\n') && timer.elapsed() < 10000 &&
           m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(200);
        out += m_process.readAllStandardOutput();
    }
    bool ok = false;
    const int n = out.trimmed().toInt(&ok);
    if (ok && out.contains('\n')) {
        m_display = QStringLiteral(":%1").arg(n);
        return;
    }
    m_process.kill();
    m_process.waitForFinished(2000);
}

Xvfb::~Xvfb()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
}

QProcessEnvironment Xvfb::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool Xvfb::xdotool(const QStringList &args) const
{
    int rc = -1;
    runTool(QStringLiteral("xdotool"), args, environment(), 10000, &rc);
    return rc == 0;
}

QString runTool(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                int timeoutMs, int *exitCode)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
    }
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}
