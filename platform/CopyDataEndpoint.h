#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <functional>
#include <unordered_map>

class QLocalServer;
class QTimer;
class QLocalSocket;

// A text message another process hands to the running instance: a tag, the
// length of the text and the bytes as they arrived. `bytes` never holds more
// than cbData + 1 bytes (the text and its terminating zero byte).
struct CopyDataRecord {
    quint64 dwData = 0;
    quint32 cbData = 0;
    QByteArray bytes;
};

// The running instance's door for such records: a local socket. A sender
// connects and writes one record:
//   8 bytes dwData, 4 bytes cbData (both little-endian), cbData bytes of
//   payload, one zero byte;
// the endpoint answers with one byte 0x01 once the record is taken and
// closes. Whatever a sender claims, at most header + cbData + 1 bytes are
// read; records that are too large, cut short or stall are dropped.
class CopyDataEndpoint : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const CopyDataRecord &)>;

    static constexpr int headerSize = 12;
    static constexpr quint32 maxPayload = 1u << 20;
    static constexpr int stallTimeoutMs = 5000;
    static constexpr int maxConnections = 8;
    static constexpr int guardIntervalMs = 3000;

    CopyDataEndpoint(const QString &serverName, Handler handler, QObject *parent = nullptr);
    ~CopyDataEndpoint() override;

    bool listen();
    QString serverName() const { return m_name; }

    // The name the instance started from this executable listens on.
    static QString serverNameFor(const QString &executablePath);
    // The bytes a sender writes; the zero byte is appended here.
    static QByteArray encodeRecord(quint64 dwData, quint32 cbData, QByteArrayView payload);

private:
    void accept();
    void readFrom(QLocalSocket *socket);

    struct Progress {
        QByteArray header;
        CopyDataRecord record;
        bool headerDone = false;
        bool done = false;
    };

    QString m_name;
    Handler m_handler;
    QLocalServer *m_server = nullptr;
    QTimer *m_guard = nullptr;
    std::unordered_map<QLocalSocket *, Progress> m_pending;
};
