#include "device/VirtualMouse.h"

#include "device/DeviceRecord.h"
#include "device/ReportCodec.h"

#include <algorithm>
#include <chrono>
#include <cstring>

class VirtualMouseHandle : public HidDevice
{
public:
    VirtualMouseHandle(std::shared_ptr<VirtualMouse> mouse, VirtualMouse::Port port,
                       quint64 generation, quint64 id)
        : m_mouse(std::move(mouse)), m_port(port), m_generation(generation), m_id(id)
    {
    }
    ~VirtualMouseHandle() override { m_mouse->handleClosed(m_port, m_id); }
    int setNonblocking(bool) override { return 0; }
    int sendFeatureReport(const quint8 *data, size_t length) override
    {
        return m_mouse->sendFeature(m_generation, m_port, data, length);
    }
    int getFeatureReport(quint8 *data, size_t length) override
    {
        return m_mouse->getFeature(m_generation, m_port, data, length);
    }
    int write(const quint8 *data, size_t length) override
    {
        return m_mouse->writeReport(m_generation, m_port, data, length);
    }
    int readTimeout(quint8 *data, size_t length, int timeoutMs) override
    {
        return m_mouse->readReport(m_generation, m_id, data, length, timeoutMs);
    }
    void interruptReads() override { m_mouse->interruptReads(m_id); }

private:
    std::shared_ptr<VirtualMouse> m_mouse;
    VirtualMouse::Port m_port;
    quint64 m_generation;
    quint64 m_id;
};

VirtualMouse::VirtualMouse(Family family, Identity identity)
    : m_family(family), m_identity(std::move(identity))
{
    ReportCodec::loadSecrecyCode(m_code, m_identity.sCode);
    for (size_t n = 0; n < m_state.profiles.size(); ++n)
        for (size_t i = 0; i < 128; ++i)
            m_state.profiles[n][i] = quint8(n * 0x20 + i);
}

VirtualMouse::~VirtualMouse() = default;

VirtualMouse::Identity VirtualMouse::identityFromTable(const QString &file)
{
    Identity id;
    const std::shared_ptr<DeviceRecord> row = DeviceTable::mouseRow(DeviceTable::readFile(file));
    if (!row) return id;
    id.vid = row->vid;
    id.pid = row->pid;
    id.usagePage = row->usagePage;
    id.usage = row->usage;
    id.usagePage2 = row->usagePage2;
    id.usage2 = row->usage2;
    // A broken length would make the firmware model as useless as the host.
    if (row->reportLength >= 1 && row->reportLength <= 4096) id.reportLength = row->reportLength;
    id.isEncode = row->isEncode;
    id.sCode = row->sCode;
    return id;
}

std::shared_ptr<VirtualMouse> VirtualMouse::fromDataFolder(Family family)
{
    return std::make_shared<VirtualMouse>(family, identityFromTable());
}

QByteArray VirtualMouse::commandPath() const
{
    std::lock_guard lock(m_mutex);
    return nodePathLocked("cmd");
}

QByteArray VirtualMouse::eventPath() const
{
    std::lock_guard lock(m_mutex);
    return nodePathLocked("event");
}

QByteArray VirtualMouse::nodePathLocked(const char *port) const
{
    // The first nodes keep their plain names; a re-plug onto new nodes gets
    // numbered ones, as hidraw hands out the next free number.
    QByteArray path = m_family == Family::F560 ? "virtual:560:" : "virtual:553:";
    if (m_node > 0) path += QByteArray::number(m_node) + ':';
    return path + port;
}

VirtualMouse::State VirtualMouse::state() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

void VirtualMouse::modifyState(const std::function<void(State &)> &change)
{
    std::lock_guard lock(m_mutex);
    change(m_state);
}

void VirtualMouse::setFaults(Faults faults)
{
    std::lock_guard lock(m_mutex);
    m_faults = std::move(faults);
    m_transfers = 0;
}

// --- event interface ---------------------------------------------------------------

void VirtualMouse::queueLocked(Port port, const QByteArray &report)
{
    // Like hidraw: every open handle gets its own copy; with none open the
    // report is gone.
    bool delivered = false;
    for (auto &[id, handle] : m_handles)
        if (handle.port == port) {
            handle.reports.push_back(report);
            delivered = true;
        }
    if (!delivered && port == Port::Event) ++m_state.lostEvents;
    m_wake.notify_all();
}

void VirtualMouse::pushEventLocked(const QByteArray &report)
{
    queueLocked(Port::Event, report);
}

void VirtualMouse::pushEvent(const QByteArray &report)
{
    std::lock_guard lock(m_mutex);
    if (m_state.plugged) pushEventLocked(report);
}

void VirtualMouse::interruptReads(quint64 id)
{
    std::lock_guard lock(m_mutex);
    auto it = m_handles.find(id);
    if (it == m_handles.end()) return;
    it->second.interrupted = true;
    m_wake.notify_all();
}

void VirtualMouse::pressDpiButton()
{
    std::lock_guard lock(m_mutex);
    if (!m_state.plugged) return;
    quint8 stage = 0;
    if (m_family == Family::F553) {
        const int count = m_state.dpiStageCount553 >= 1 && m_state.dpiStageCount553 <= 8
                              ? m_state.dpiStageCount553
                              : 8;
        m_state.dpiStage553 = quint8(m_state.dpiStage553 % count + 1);
        stage = m_state.dpiStage553;
    } else {
        const int p = std::clamp(int(m_state.currentProfile560), 1, 4);
        const int stages = m_state.profiles[0][70];
        const int count = stages >= 1 && stages <= 8 ? stages : 8;
        quint8 &s = m_state.dpiStage560[size_t(p)];
        s = quint8(s % count + 1);
        stage = s;
    }
    pushEventLocked(QByteArray::fromHex("060700") + char(stage));
}

void VirtualMouse::setRight(bool right)
{
    std::lock_guard lock(m_mutex);
    if (!m_state.plugged) return;
    m_state.right = right;
    pushEventLocked(QByteArray::fromHex(right ? "060d0100" : "060d0000"));
}

void VirtualMouse::unplugLocked()
{
    m_state.plugged = false;
    ++m_generation;
    for (auto &[id, handle] : m_handles)
        handle.reports.clear();
    m_pendingReadBack.clear();
    m_payloadExpected = 0;
    m_payload.clear();
    m_wake.notify_all();
}

void VirtualMouse::unplug()
{
    std::lock_guard lock(m_mutex);
    unplugLocked();
    m_nodesPresent = false;
}

void VirtualMouse::unplugKeepingNodes()
{
    std::lock_guard lock(m_mutex);
    unplugLocked();
}

void VirtualMouse::removeNodes()
{
    std::lock_guard lock(m_mutex);
    m_nodesPresent = false;
}

void VirtualMouse::replug(bool sameNodes)
{
    std::lock_guard lock(m_mutex);
    if (m_state.plugged) unplugLocked();
    if (!sameNodes) ++m_node;
    m_state.plugged = true;
    m_nodesPresent = true;
    m_wake.notify_all();
}

// --- back end --------------------------------------------------------------------

QList<HidInterfaceInfo> VirtualMouse::enumerate(quint16 vid, quint16 pid)
{
    std::lock_guard lock(m_mutex);
    QList<HidInterfaceInfo> list;
    if (!m_state.plugged || !m_nodesPresent || (vid && vid != m_identity.vid) ||
        (pid && pid != m_identity.pid))
        return list;
    list << HidInterfaceInfo{nodePathLocked("cmd"), m_identity.vid, m_identity.pid,
                             m_identity.usagePage, m_identity.usage};
    if (!m_faults.noEventInterface)
        list << HidInterfaceInfo{nodePathLocked("event"), m_identity.vid, m_identity.pid,
                                 m_identity.usagePage2, m_identity.usage2};
    return list;
}

bool VirtualMouse::exists(const QByteArray &path)
{
    std::lock_guard lock(m_mutex);
    return m_nodesPresent && (path == nodePathLocked("cmd") ||
                              (path == nodePathLocked("event") && !m_faults.noEventInterface));
}

bool VirtualMouse::accessDenied(const QByteArray &path)
{
    const bool present = exists(path);
    std::lock_guard lock(m_mutex);
    return present && m_faults.accessDenied;
}

std::unique_ptr<HidDevice> VirtualMouse::open(const QByteArray &path)
{
    if (!exists(path)) return nullptr;
    std::lock_guard lock(m_mutex);
    // A node whose device has gone but which udev has not removed yet.
    if (!m_state.plugged) return nullptr;
    if (m_faults.failOpen || m_faults.accessDenied) return nullptr;
    const Port port = path == nodePathLocked("cmd") ? Port::Command : Port::Event;
    if (port == Port::Command) {
        ++m_state.openCommandHandles;
    } else {
        ++m_state.openEventHandles;
        ++m_state.eventOpens;
        m_state.maxOpenEventHandles =
            std::max(m_state.maxOpenEventHandles, m_state.openEventHandles);
    }
    const quint64 id = ++m_nextHandle;
    m_handles[id] = OpenHandle{port, {}};
    return std::make_unique<VirtualMouseHandle>(shared_from_this(), port, m_generation, id);
}

void VirtualMouse::handleClosed(Port port, quint64 id)
{
    std::lock_guard lock(m_mutex);
    // What was queued for this handle goes with it.
    m_handles.erase(id);
    if (port == Port::Command)
        --m_state.openCommandHandles;
    else
        --m_state.openEventHandles;
}

bool VirtualMouse::liveLocked(quint64 generation)
{
    return m_state.plugged && generation == m_generation;
}

bool VirtualMouse::countTransferLocked()
{
    if (m_faults.unplugAfterTransfers >= 0 && m_transfers >= m_faults.unplugAfterTransfers) {
        m_faults.unplugAfterTransfers = -1;
        unplugLocked();
        m_nodesPresent = false;
        return false;
    }
    ++m_transfers;
    return true;
}

int VirtualMouse::sendFeature(quint64 generation, Port port, const quint8 *data, size_t length)
{
    std::lock_guard lock(m_mutex);
    if (!liveLocked(generation) || port != Port::Command || !countTransferLocked()) return -1;
    if (length < 9 || data[0] != 0x00) {
        ++m_state.rejectedReports;
        return int(length);
    }
    std::array<quint8, 9> report{};
    std::memcpy(report.data(), data, 9);
    if (m_identity.isEncode) ReportCodec::decipher(report.data() + 1, m_code);
    if (ReportCodec::checksum(report.data() + 1) != report[8]) {
        ++m_state.rejectedReports;
        return int(length);
    }
    handleCommandLocked(report);
    return int(length);
}

void VirtualMouse::replyLocked(const std::array<quint8, 6> &values)
{
    m_reply = ReportCodec::commandReport(m_pendingCommand[1], values);
}

void VirtualMouse::handleCommandLocked(const std::array<quint8, 9> &r)
{
    if (m_payloadExpected > 0) {
        ++m_state.incompletePayloads;
        m_payloadExpected = 0;
    }
    m_payload.clear();
    m_pendingReadBack.clear();
    for (auto &[id, handle] : m_handles)
        if (handle.port == Port::Command) handle.reports.clear();
    m_pendingCommand = r;
    m_reply.fill(0);
    const quint8 code = r[1];
    const quint8 *p = r.data() + 2;
    auto expectPayload = [&] {
        const int n = p[1];
        if (n < 1 || n > 128) {
            ++m_state.rejectedReports;
            return;
        }
        m_payloadExpected = n;
    };
    bool known = true;
    State &s = m_state;
    if (code == 0x00) {
        ++s.handshakes;
        replyLocked({p[0], p[1], p[2], p[3], 0, 0});
    } else if (m_family == Family::F553) {
        switch (code) {
        case 0x01:
            s.reportRate553 = p[0];
            break;
        case 0x02:
            s.currentKeyMatrix553 = p[0];
            break;
        case 0x03:
            std::copy(p, p + 4, s.options553.begin());
            break;
        case 0x04:
            std::copy(p + 1, p + 5, s.gunData.begin());
            break;
        case 0x0B:
            s.dpiStage553 = p[0];
            break;
        case 0x0C:
            std::copy(p, p + 3, s.fixLedColor.begin());
            break;
        case 0x0D:
            std::copy(p, p + 3, s.rgbEffect.begin());
            break;
        case 0x10:
        case 0x11:
        case 0x12:
        case 0x13:
            expectPayload();
            break;
        case 0x82:
            replyLocked({s.dpiStage553, 0, 0, 0, 0, 0});
            break;
        case 0x83:
            replyLocked({s.options553[0], s.options553[1], s.options553[2], s.options553[3], 0, 0});
            break;
        default:
            known = false;
        }
    } else {
        switch (code) {
        case 0x01:
            std::copy(p, p + 2, s.options560.begin());
            break;
        case 0x02:
            s.currentProfile560 = p[0];
            break;
        case 0x03:
            if (p[0] < 5)
                s.reportRate560[p[0]] = p[1];
            else
                ++s.rejectedReports;
            break;
        case 0x04:
            if (p[0] < 5)
                s.dpiStage560[p[0]] = p[1];
            else
                ++s.rejectedReports;
            break;
        case 0x0C:
        case 0x0D:
        case 0x0F:
            expectPayload();
            break;
        case 0x81:
            replyLocked({s.options560[0], s.options560[1], 0, 0, 0, 0});
            break;
        case 0x82:
            replyLocked({s.currentProfile560, 0, 0, 0, 0, 0});
            break;
        case 0x84: {
            const quint8 profile = p[0] < 5 ? p[0] : s.currentProfile560;
            replyLocked({profile, s.dpiStage560[std::min<size_t>(profile, 4)], 0, 0, 0, 0});
            break;
        }
        case 0x8C: {
            if (p[0] >= 5) {
                ++s.rejectedReports;
                break;
            }
            replyLocked({p[0], 0, 0, 0, 0, 0});
            if (m_faults.muteReadBack) break;
            const int rl = m_identity.reportLength;
            const Block128 &rec = s.profiles[p[0]];
            for (int offset = 0; offset < 128; offset += std::min(rl, 128)) {
                QByteArray report(rl, '\0');
                const int n = std::min({rl, 128 - offset});
                std::memcpy(report.data(), rec.data() + offset, size_t(n));
                m_pendingReadBack.push_back(m_faults.inputFilter ? m_faults.inputFilter(report)
                                                                 : report);
            }
            break;
        }
        default:
            known = false;
        }
    }
    if (known)
        s.commands << code;
    else
        ++s.unknownCommands;
}

void VirtualMouse::applyPayloadLocked()
{
    const quint8 code = m_pendingCommand[1];
    const quint8 *p = m_pendingCommand.data() + 2;
    const auto *data = reinterpret_cast<const quint8 *>(m_payload.constData());
    const int n = int(m_payload.size());
    State &s = m_state;
    auto storeMacro = [&] {
        if (p[0] >= 1 && p[0] <= 12 && n >= 128) {
            std::copy(data, data + 128, s.macros[p[0] - 1u].begin());
            s.macroWritten[p[0] - 1u] = true;
        } else {
            ++s.rejectedReports;
        }
    };
    if (m_family == Family::F553) {
        switch (code) {
        case 0x10:
            s.led8StageType = p[0];
            s.led8StageLength = std::min(n, 24);
            std::copy(data, data + s.led8StageLength, s.led8StageColors.begin());
            break;
        case 0x11:
            if (n >= 8) {
                std::copy(data, data + 8, s.dpiCodes553.begin());
                if (p[0] >= 1 && p[0] <= 8) s.dpiStageCount553 = p[0];
            }
            break;
        case 0x12:
            if (n >= 64) std::copy(data, data + 64, s.keyMatrix553[p[0]].begin());
            break;
        case 0x13:
            storeMacro();
            break;
        default:
            break;
        }
    } else {
        switch (code) {
        case 0x0C:
            if (p[0] < 5 && n >= 128)
                std::copy(data, data + 128, s.profiles[p[0]].begin());
            else
                ++s.rejectedReports;
            break;
        case 0x0D:
            if (n >= 128) std::copy(data, data + 128, s.keyMatrix560[p[0]].begin());
            break;
        case 0x0F:
            storeMacro();
            break;
        default:
            break;
        }
    }
}

int VirtualMouse::getFeature(quint64 generation, Port port, quint8 *data, size_t length)
{
    std::lock_guard lock(m_mutex);
    if (!liveLocked(generation) || port != Port::Command || !countTransferLocked()) return -1;
    if (m_faults.failGetFeature) return -1;
    std::array<quint8, 9> wire = m_reply;
    if (m_identity.isEncode) ReportCodec::encipher(wire.data() + 1, m_code);
    QByteArray bytes(reinterpret_cast<const char *>(wire.data()), 9);
    if (m_faults.replyFilter) bytes = m_faults.replyFilter(m_pendingCommand[1], bytes);
    const size_t n = std::min(length, size_t(bytes.size()));
    std::memcpy(data, bytes.constData(), n);
    // The read-back follows the reply, on whatever handles are open now.
    for (const QByteArray &report : m_pendingReadBack)
        queueLocked(Port::Command, report);
    m_pendingReadBack.clear();
    return int(n);
}

int VirtualMouse::writeReport(quint64 generation, Port port, const quint8 *data, size_t length)
{
    std::lock_guard lock(m_mutex);
    if (!liveLocked(generation) || port != Port::Command || !countTransferLocked()) return -1;
    if (m_payloadExpected <= 0 || length < 1 || data[0] != 0x00) {
        ++m_state.unexpectedWrites;
        return int(length);
    }
    const int remaining = m_payloadExpected - int(m_payload.size());
    const int take = std::min({remaining, int(length) - 1, m_identity.reportLength});
    m_payload.append(reinterpret_cast<const char *>(data + 1), take);
    if (m_payload.size() >= m_payloadExpected) {
        m_payloadExpected = 0;
        applyPayloadLocked();
    }
    return int(length);
}

int VirtualMouse::readReport(quint64 generation, quint64 id, quint8 *data, size_t length,
                             int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    if (!liveLocked(generation)) return -1;
    auto handle = [&]() -> OpenHandle * {
        auto it = m_handles.find(id);
        return it == m_handles.end() ? nullptr : &it->second;
    };
    auto ready = [&] {
        const OpenHandle *h = handle();
        return !h || !h->reports.empty() || h->interrupted || !liveLocked(generation);
    };
    if (timeoutMs < 0)
        m_wake.wait(lock, ready);
    else
        m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    OpenHandle *h = handle();
    if (!liveLocked(generation) || !h) return -1;
    if (h->reports.empty() || h->interrupted) return 0;
    // Only command-interface transfers count: the event reader's timing
    // must not move the point where a test unplugs the mouse.
    if (h->port == Port::Command && !countTransferLocked()) return -1;
    const QByteArray report = h->reports.front();
    h->reports.pop_front();
    const size_t n = std::min(length, size_t(report.size()));
    std::memcpy(data, report.constData(), n);
    return int(n);
}
