#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

// One instance per installation: the identity is derived from the
// executable's absolute path, so two copies of the same file exclude each
// other while copies in different folders run side by side.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &executablePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another process already holds this identity. The first call
    // decides; a process that is not running elsewhere starts listening.
    bool isRunning();
    bool sendMessage(const QString &message, int timeoutMs);

    QString serverName() const { return m_id; }

    static QString identityFor(const QString &executablePath);

signals:
    void messageReceived(const QString &message);

private:
    void listen();
    void readConnection();

    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    bool m_decided = false;
    bool m_running = false;
};
