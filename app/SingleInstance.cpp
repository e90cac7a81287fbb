#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {
// A short magic keeps stray connections (port scanners, other programs that
// picked the same name) from being taken for a message.
constexpr quint32 kMagic = 0x534b4c44; // "SKLD"
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

SingleInstance::SingleInstance(const QString &executablePath, QObject *parent)
    : QObject(parent), m_id(identityFor(executablePath))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

bool SingleInstance::isRunning()
{
    if (m_decided)
        return m_running;
    m_decided = true;
    const QString lockPath = QDir(QDir::tempPath()).filePath(m_id + QStringLiteral(".lock"));
    m_lock = std::make_unique<QLockFile>(lockPath);
    // A lock left behind by a crashed instance is stale once its process is
    // gone; QLockFile checks the owner's pid for us.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_running = true;
        return true;
    }
    listen();
    return false;
}

void SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so any socket file with our name is a leftover.
    QLocalServer::removeServer(m_id);
    if (!m_server->listen(m_id))
        return;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readConnection);
}

void SingleInstance::readConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            QString message;
            in >> magic >> message;
            if (!in.commitTransaction())
                return; // wait for the rest
            if (magic == kMagic) {
                socket->write("\x01", 1);
                socket->flush();
                emit messageReceived(message);
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    auto remaining = [&] { return qMax(0, timeoutMs - int(timer.elapsed())); };

    QLocalSocket socket;
    socket.connectToServer(m_id);
    if (!socket.waitForConnected(remaining()))
        return false;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << kMagic << message;
    socket.write(data);
    if (!socket.waitForBytesWritten(remaining()))
        return false;
    // The acknowledgement means the running instance has taken the message.
    return socket.waitForReadyRead(remaining()) && socket.read(1) == "\x01";
}
