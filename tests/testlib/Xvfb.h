#pragma once

#include <QProcess>
#include <QString>

// A private X server for tests that need a real one. Picks a free display
// number, waits for the socket and stops the server on destruction.
class Xvfb
{
public:
    explicit Xvfb(const QString &screen = QStringLiteral("1280x800x24"));
    ~Xvfb();

    bool isRunning() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; }
    // Environment with DISPLAY set and the offscreen platform removed.
    QProcessEnvironment environment() const;
    // Runs xdotool on this server; true when it succeeded.
    bool xdotool(const QStringList &args) const;

private:
    QProcess m_process;
    QString m_display;
};

// Runs a command to completion and returns its standard output, trimmed.
QString runTool(const QString &program, const QStringList &args,
                const QProcessEnvironment &env, int timeoutMs = 10000, int *exitCode = nullptr);
