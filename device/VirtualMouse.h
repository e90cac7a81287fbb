#pragma once

#include "device/HidBackend.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

// An in-process model of the mouse firmware of both families, standing in
// for the hardware in tests and demos. It offers two interfaces, the command
// interface (feature reports, output and input reports) and the event
// interface (4-byte event reports), enciphers and deciphers with its own
// secrecy code when its identity says so, and keeps what the commands set.
//
// Commands whose checksum does not hold (after deciphering) are counted in
// `rejectedReports` and otherwise ignored, as is anything the family does not
// know (`unknownCommands`), so a test can assert a clean exchange.
class VirtualMouse : public HidBackend, public std::enable_shared_from_this<VirtualMouse>
{
public:
    enum class Family { F553, F560 };

    struct Identity {
        quint16 vid = 0x04d9;
        quint16 pid = 0xa1ee;
        quint16 usagePage = 0xff00;
        quint16 usage = 0xff00;
        quint16 usagePage2 = 0xff01;
        quint16 usage2 = 0xff01;
        int reportLength = 32;
        bool isEncode = false;
        QString sCode = QStringLiteral("731952");
    };

    using Block64 = std::array<quint8, 64>;
    using Block128 = std::array<quint8, 128>;

    // Everything the firmware keeps. Records start with a recognisable
    // pattern: byte i of profile record n is (n * 0x20 + i) & 0xff.
    struct State {
        bool plugged = true;
        bool right = false;
        // 553 family
        std::array<quint8, 4> options553{};
        quint8 reportRate553 = 1;
        quint8 dpiStage553 = 1;
        quint8 dpiStageCount553 = 8;
        std::array<quint8, 8> dpiCodes553{};
        quint8 currentKeyMatrix553 = 0;
        std::map<quint8, Block64> keyMatrix553; // by the command's indexAddOne
        std::array<quint8, 3> fixLedColor{};
        std::array<quint8, 3> rgbEffect{}; // effect, option1, option2
        quint8 led8StageType = 0;
        int led8StageLength = 0;
        std::array<quint8, 24> led8StageColors{};
        std::array<quint8, 4> gunData{};
        // 560 family
        std::array<quint8, 2> options560{};
        quint8 currentProfile560 = 1;
        std::array<quint8, 5> reportRate560{}; // by profile number
        std::array<quint8, 5> dpiStage560{1, 1, 1, 1, 1};
        std::map<quint8, Block128> keyMatrix560; // by the command's indexAddOne
        std::array<Block128, 5> profiles{};
        // both: macro ids 1..12
        std::array<Block128, 12> macros{};
        std::array<bool, 12> macroWritten{};
        // bookkeeping
        QList<quint8> commands; // codes of accepted command reports, in order
        int handshakes = 0;
        int rejectedReports = 0;
        int unknownCommands = 0;
        int unexpectedWrites = 0;
        int incompletePayloads = 0;
        // Handles open right now and the most ever open at once, per port.
        int openCommandHandles = 0;
        int openEventHandles = 0;
        int maxOpenEventHandles = 0;
        int eventOpens = 0;
        // Event reports that came while no handle was open to take them.
        int lostEvents = 0;
    };

    // Ways to misbehave, for tests of the transport's fault handling.
    struct Faults {
        bool muteReadBack = false;   // never send the input reports of 8C
        bool failGetFeature = false; // every reply fails
        bool failOpen = false;       // every open fails (node still present)
        bool accessDenied = false;   // nodes present but not ours to open
        bool noEventInterface = false;
        int unplugAfterTransfers = -1; // unplug before transfer n+1
        // Replaces the reply of a command (any length; cut to what the host
        // asked for). Runs under the mouse's lock: do not call back into it.
        std::function<QByteArray(quint8 code, const QByteArray &reply)> replyFilter;
        // Replaces each read-back input report as it is queued; same rules.
        std::function<QByteArray(const QByteArray &report)> inputFilter;
    };

    VirtualMouse(Family family, Identity identity);
    ~VirtualMouse() override;

    // Identity from the mouse row (type 1) of the device table in `file`.
    static Identity
    identityFromTable(const QString &file = QStringLiteral("./modules/setting/apConfig.bin"));
    static std::shared_ptr<VirtualMouse> fromDataFolder(Family family);

    Family family() const { return m_family; }
    const Identity &identity() const { return m_identity; }
    QByteArray commandPath() const;
    QByteArray eventPath() const;

    State state() const;
    void modifyState(const std::function<void(State &)> &change);
    void setFaults(Faults faults);

    // Event interface: what a user does with the mouse in hand.
    void pressDpiButton();
    void setRight(bool right);
    // The device goes and its nodes with it.
    void unplug();
    // The device goes, transfers and reads fail, but its nodes stay until
    // removeNodes(): the kernel's order more often than not.
    void unplugKeepingNodes();
    void removeNodes();
    // Back again, on the same node names (as the kernel often does within a
    // moment) or on new ones.
    void replug(bool sameNodes = true);
    // Queues a raw event report (any length), for tests of the reader.
    void pushEvent(const QByteArray &report);

    // HidBackend
    QList<HidInterfaceInfo> enumerate(quint16 vid, quint16 pid) override;
    std::unique_ptr<HidDevice> open(const QByteArray &path) override;
    bool exists(const QByteArray &path) override;
    bool accessDenied(const QByteArray &path) override;

private:
    friend class VirtualMouseHandle;
    enum class Port { Command, Event };

    struct OpenHandle {
        Port port;
        std::deque<QByteArray> reports; // input reports for this handle only
        bool interrupted = false;
    };

    void handleClosed(Port port, quint64 id);
    QByteArray nodePathLocked(const char *port) const;
    void queueLocked(Port port, const QByteArray &report);
    void unplugLocked();
    bool liveLocked(quint64 generation);
    bool countTransferLocked();
    int sendFeature(quint64 generation, Port port, const quint8 *data, size_t length);
    int getFeature(quint64 generation, Port port, quint8 *data, size_t length);
    int writeReport(quint64 generation, Port port, const quint8 *data, size_t length);
    int readReport(quint64 generation, quint64 id, quint8 *data, size_t length, int timeoutMs);
    void interruptReads(quint64 id);

    void handleCommandLocked(const std::array<quint8, 9> &report);
    void applyPayloadLocked();
    void replyLocked(const std::array<quint8, 6> &values);
    void pushEventLocked(const QByteArray &report);

    const Family m_family;
    const Identity m_identity;
    quint8 m_code[8] = {};

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    State m_state;
    Faults m_faults;
    quint64 m_generation = 1;
    int m_transfers = 0;

    std::array<quint8, 9> m_reply{};
    std::array<quint8, 9> m_pendingCommand{};
    int m_payloadExpected = 0;
    QByteArray m_payload;
    std::map<quint64, OpenHandle> m_handles;
    quint64 m_nextHandle = 0;
    std::deque<QByteArray> m_pendingReadBack; // follows the next reply
    bool m_nodesPresent = true;
    int m_node = 0;
};
