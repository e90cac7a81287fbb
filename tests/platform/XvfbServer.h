#pragma once

#include <QProcess>
#include <QString>

// An X server of the test's own on a free display, gone with the object.
class XvfbServer
{
public:
    XvfbServer()
    {
        // -displayfd 1: Xvfb picks a free display and prints its number
        // once it accepts connections.
        m_process.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                 QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                                 QStringLiteral("-screen"), QStringLiteral("0"),
                                                 QStringLiteral("1280x1024x24")});
        if (!m_process.waitForStarted(5000)) return;
        QByteArray out;
        while (!out.contains('\n') && m_process.waitForReadyRead(10000))
            out += m_process.readAllStandardOutput();
        bool ok = false;
        const int number = out.trimmed().toInt(&ok);
        if (ok) m_display = QStringLiteral(":%1").arg(number);
    }

    ~XvfbServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    bool isValid() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};
