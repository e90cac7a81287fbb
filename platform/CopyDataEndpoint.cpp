#include "platform/CopyDataEndpoint.h"

#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <array>

Q_LOGGING_CATEGORY(lcCopyData, "skeld.platform.copydata")

CopyDataEndpoint::CopyDataEndpoint(const QString &serverName, Handler handler, QObject *parent)
    : QObject(parent), m_name(serverName), m_handler(std::move(handler))
{
}

CopyDataEndpoint::~CopyDataEndpoint() = default;

QString CopyDataEndpoint::serverNameFor(const QString &executablePath)
{
    // Beside the single-instance socket, in the user's private folder.
    const QString instance = SingleInstance::serverNameFor(executablePath);
    return instance.isEmpty() ? QString() : instance + QStringLiteral("-copydata");
}

QByteArray CopyDataEndpoint::encodeRecord(quint64 dwData, quint32 cbData, QByteArrayView payload)
{
    QByteArray out(headerSize, '\0');
    qToLittleEndian<quint64>(dwData, out.data());
    qToLittleEndian<quint32>(cbData, out.data() + 8);
    out.append(payload.data(), payload.size());
    out.append('\0');
    return out;
}

bool CopyDataEndpoint::listen()
{
    if (m_server) return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(maxConnections);
    connect(m_server, &QLocalServer::newConnection, this, &CopyDataEndpoint::accept);
    // Qt closes a server for good when accept fails (out of file handles,
    // say); senders must still reach us afterwards. Only a burst of
    // connections runs us out of handles, so the check runs while one
    // lasts and stops once all is quiet: an idle program never wakes.
    m_guard = new QTimer(m_server);
    m_guard->setInterval(guardIntervalMs);
    connect(m_guard, &QTimer::timeout, this, [this] {
        if (m_server->isListening()) {
            if (m_pending.empty()) m_guard->stop();
            return;
        }
        qCDebug(lcCopyData) << "copydata: server closed" << m_server->errorString()
                            << "- listening again";
        QLocalServer::removeServer(m_name);
        m_server->listen(m_name);
    });
    // A crashed instance leaves its socket file behind; the single-instance
    // lock already guarantees that no live instance owns this name.
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name)) {
        qCDebug(lcCopyData) << "copydata: cannot listen on" << m_name << m_server->errorString();
        return false;
    }
    return true;
}

void CopyDataEndpoint::accept()
{
    if (!m_guard->isActive()) m_guard->start();
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        if (m_pending.size() >= std::size_t(maxConnections)) {
            qCDebug(lcCopyData) << "copydata: sender refused, too many open connections";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_pending.emplace(socket, Progress{});
        auto *stall = new QTimer(socket);
        stall->setSingleShot(true);
        connect(stall, &QTimer::timeout, socket, [socket] {
            qCDebug(lcCopyData) << "copydata: sender stalled, record dropped";
            socket->abort();
        });
        stall->start(stallTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            const auto it = m_pending.find(socket);
            if (it != m_pending.end() && !it->second.done)
                qCDebug(lcCopyData) << "copydata: sender closed before the record was complete";
            m_pending.erase(socket);
            socket->deleteLater();
        });
        readFrom(socket);
    }
}

void CopyDataEndpoint::readFrom(QLocalSocket *socket)
{
    const auto it = m_pending.find(socket);
    if (it == m_pending.end() || it->second.done) return;
    Progress &p = it->second;
    if (!p.headerDone) {
        p.header += socket->read(headerSize - p.header.size());
        if (p.header.size() < headerSize) return;
        std::array<uchar, headerSize> h{};
        std::copy_n(p.header.cbegin(), headerSize, h.begin());
        p.record.dwData = qFromLittleEndian<quint64>(h.data());
        p.record.cbData = qFromLittleEndian<quint32>(h.data() + 8);
        p.headerDone = true;
        if (p.record.cbData > maxPayload) {
            qCDebug(lcCopyData) << "copydata: record of" << p.record.cbData
                                << "bytes refused, the limit is" << maxPayload;
            p.done = true;
            socket->abort();
            return;
        }
    }
    // Exactly the text and its zero byte; whatever the sender adds stays unread.
    const qint64 wanted = qint64(p.record.cbData) + 1;
    p.record.bytes += socket->read(wanted - p.record.bytes.size());
    if (p.record.bytes.size() < wanted) return;
    p.done = true;
    const CopyDataRecord record = p.record;
    socket->write("\x01", 1);
    socket->flush();
    socket->disconnectFromServer();
    // Delivered from the event loop: the handler may open a modal box.
    QTimer::singleShot(0, this, [this, record] {
        if (m_handler) m_handler(record);
    });
}
