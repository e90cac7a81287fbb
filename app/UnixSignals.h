#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so a
// session logout or `kill` ends the program as "Quit" does: reader stopped,
// settings flushed, exit code 0.
class UnixSignals : public QObject
{
    Q_OBJECT
public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

signals:
    void terminateRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
