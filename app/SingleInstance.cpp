#include "app/SingleInstance.h"

#include "platform/RuntimeDir.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QThread>
#include <QtEndian>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcSingleInstance, "skeld.app.singleinstance")

namespace {
// A short magic keeps stray connections (port scanners, other programs that
// picked the same name) from being taken for a message.
constexpr quint32 kMagic = 0x534b4c44; // "SKLD"
// The magic and the text's byte count, as QDataStream writes them.
constexpr int kHeaderSize = 8;
// QDataStream's length of a null string.
constexpr quint32 kNullString = 0xFFFFFFFFu;
} // namespace

QString SingleInstance::identityFor(const QString &executablePath)
{
    QString path = QFileInfo(executablePath).absoluteFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty())
        path = canonical;
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("skeld-config-") + QString::number(getuid()) + QLatin1Char('-') +
           QString::fromLatin1(hash);
}

QString SingleInstance::serverNameFor(const QString &executablePath)
{
    const QString dir = RuntimeDir::path();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + identityFor(executablePath);
}

SingleInstance::SingleInstance(const QString &executablePath, QObject *parent)
    : QObject(parent), m_id(identityFor(executablePath)),
      m_socketPath(serverNameFor(executablePath))
{
    m_guard.setInterval(guardIntervalMs);
    connect(&m_guard, &QTimer::timeout, this, [this] {
        // Qt closes a server for good when accept fails (out of file
        // handles, say); a second start must still find us afterwards.
        if (m_server && !m_server->isListening()) {
            qCDebug(lcSingleInstance) << "single instance: server closed"
                                      << m_server->errorString() << "- listening again";
            listen();
        }
        if (m_refused > 0) {
            qCDebug(lcSingleInstance) << "single instance:" << m_refused
                                      << "connections refused, too many at once";
            m_refused = 0;
        } else if (isListening() && m_reading.empty()) {
            // Only a burst of connections runs us out of handles: once all
            // is quiet the check stops, and an idle program never wakes.
            m_guard.stop();
        }
    });
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::isRunning()
{
    if (m_decided)
        return m_running;
    m_decided = true;
    if (m_socketPath.isEmpty())
        return false; // no private folder: run alone rather than not at all
    m_lock = std::make_unique<QLockFile>(m_socketPath + QStringLiteral(".lock"));
    // A lock left behind by a crashed instance is stale once its process is
    // gone; QLockFile checks the owner's pid for us.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_running = true;
            return true;
        }
        // A lock we cannot even write says nothing about another instance.
        qCDebug(lcSingleInstance) << "single instance: cannot use the lock file"
                                  << m_lock->error() << "- running without one";
        return false;
    }
    listen();
    return false;
}

void SingleInstance::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    }
    // We hold the lock, so any socket file with our name is a leftover.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath))
        qCDebug(lcSingleInstance) << "single instance: cannot listen on" << m_socketPath
                                  << m_server->errorString();
}

void SingleInstance::accept()
{
    if (!m_guard.isActive()) m_guard.start();
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (m_reading.size() >= std::size_t(maxConnections)) {
            // Closed at once, so a flood never holds more than a few handles.
            ++m_refused;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_reading.emplace(socket, QByteArray());
        QTimer::singleShot(readTimeoutMs, socket, [this, socket] {
            if (!m_reading.count(socket)) return;
            qCDebug(lcSingleInstance) << "single instance: sender too slow, connection dropped";
            drop(socket);
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_reading.erase(socket);
            socket->deleteLater();
        });
        readFrom(socket);
    }
}

void SingleInstance::drop(QLocalSocket *socket)
{
    m_reading.erase(socket);
    socket->abort();
    socket->deleteLater();
}

void SingleInstance::readFrom(QLocalSocket *socket)
{
    const auto it = m_reading.find(socket);
    if (it == m_reading.end()) return;
    QByteArray &buffer = it->second;
    // Never more than the largest message could take, whatever is waiting.
    buffer += socket->read(kHeaderSize + maxMessageBytes - buffer.size());
    if (buffer.size() < kHeaderSize) return;
    const quint32 magic = qFromBigEndian<quint32>(buffer.constData());
    const quint32 length = qFromBigEndian<quint32>(buffer.constData() + 4);
    if (magic != kMagic) {
        qCDebug(lcSingleInstance) << "single instance: not a message, connection dropped";
        drop(socket);
        return;
    }
    if (length != kNullString && (length > quint32(maxMessageBytes) || length % 2 != 0)) {
        qCDebug(lcSingleInstance) << "single instance: message of" << length
                                  << "bytes refused, the limit is" << maxMessageBytes;
        drop(socket);
        return;
    }
    const qsizetype whole = kHeaderSize + (length == kNullString ? 0 : qsizetype(length));
    if (buffer.size() < whole) return;
    quint32 ignored = 0;
    QString message;
    QDataStream in(buffer.left(whole));
    in >> ignored >> message;
    m_reading.erase(it);
    socket->write("\x01", 1);
    socket->flush();
    socket->disconnectFromServer();
    emit messageReceived(message);
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    auto remaining = [&] { return qMax(0, timeoutMs - int(timer.elapsed())); };

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << kMagic << message;
    // A busy or briefly closed server turns us away; it takes us on a retry.
    while (!m_socketPath.isEmpty()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(remaining())) {
            socket.write(data);
            // The acknowledgement means the running instance has taken the message.
            if (socket.waitForBytesWritten(remaining()) && socket.waitForReadyRead(remaining()) &&
                socket.read(1) == "\x01")
                return true;
        }
        if (remaining() < 50) break;
        QThread::msleep(50);
    }
    qCDebug(lcSingleInstance) << "single instance: the running instance did not answer";
    return false;
}
