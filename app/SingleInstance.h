#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <unordered_map>

class QLocalServer;
class QLocalSocket;

// One instance per installation: the identity is derived from the
// executable's absolute path, so two copies of the same file exclude each
// other while copies in different folders run side by side. The lock file
// and the socket live in the user's private runtime folder, where no other
// user can plant either.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // A message is a short text; anything claiming more is not one of ours.
    static constexpr int maxMessageBytes = 4096;
    // A sender has this long to deliver its whole message.
    static constexpr int readTimeoutMs = 2000;
    // Connections read at once; more are turned away (the sender retries).
    static constexpr int maxConnections = 8;
    // How often a closed server (accept failing, say) is brought back.
    static constexpr int guardIntervalMs = 3000;

    explicit SingleInstance(const QString &executablePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another process already holds this identity. The first call
    // decides; a process that is not running elsewhere starts listening.
    bool isRunning();
    bool sendMessage(const QString &message, int timeoutMs);

    // The socket's full path; empty when there is no private folder.
    QString serverName() const { return m_socketPath; }
    bool isListening() const;

    static QString identityFor(const QString &executablePath);
    // Where the instance of that executable listens.
    static QString serverNameFor(const QString &executablePath);

signals:
    void messageReceived(const QString &message);

private:
    void listen();
    void accept();
    void readFrom(QLocalSocket *socket);
    void drop(QLocalSocket *socket);

    QString m_id;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    QTimer m_guard;
    std::unordered_map<QLocalSocket *, QByteArray> m_reading;
    int m_refused = 0;
    bool m_decided = false;
    bool m_running = false;
};
