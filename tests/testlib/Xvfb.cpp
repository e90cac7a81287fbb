#include "Xvfb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

Xvfb::Xvfb(const QString &screen)
{
    // Random start spreads parallel tests over different display numbers.
    const int start = 100 + int(QRandomGenerator::global()->bounded(800));
    for (int i = 0; i < 40; ++i) {
        const int n = start + i;
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
            QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
            continue;
        m_process.start(QStringLiteral("Xvfb"),
                        {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                         screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_process.waitForStarted(3000))
            return;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000 && m_process.state() == QProcess::Running) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
                m_display = QStringLiteral(":%1").arg(n);
                return;
            }
            QThread::msleep(20);
        }
        m_process.kill();
        m_process.waitForFinished(2000);
    }
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
