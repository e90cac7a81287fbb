#include "device/Hid_Thread.h"

#include "device/HidBackends.h"
#include "device/HidHost.h"
#include "device/ReportCodec.h"
#include "settings/DpiNotifications.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QRandomGenerator>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cstring>
#include <vector>

Q_LOGGING_CATEGORY(lcTransport, "skeld.transport")

uchar secrecyCodeBuf[8] = {0, 0, 0, 0, 0, 0, 0, 0};
const uchar usbKeyTable[8] = {'P', 'u', 'D', 'e', 's', 'K', 'a', 'l'};

namespace
{
void failText(const char *text)
{
    // The trailing space is part of the line other tools match on.
    qDebug("%s ", text);
}
} // namespace

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent)
{
    m_backend = HidBackends::fromEnvironment();
    m_delay = [](int ms) { QThread::msleep(ulong(ms)); };
}

Hid_Thread::~Hid_Thread()
{
    stopEventReader();
    stopWorker();
    waitForReader();
    closeCmdDevice();
}

// --- the command queue -------------------------------------------------------------

void Hid_Thread::startWorker()
{
    if (isRunning()) return;
    {
        std::lock_guard lock(m_queueMutex);
        m_stopping = false;
        m_finished = false;
    }
    setObjectName(QStringLiteral("skeld-device"));
    start();
}

void Hid_Thread::stopWorker()
{
    if (!isRunning()) return;
    {
        std::unique_lock lock(m_queueMutex);
        m_stopping = true;
        m_queueWake.notify_all();
        // Our own handshake, not only QThread::wait(): what the worker did
        // last is then ordered before what the caller does next.
        m_queueWake.wait(lock, [this] { return m_finished; });
    }
    wait();
}

bool Hid_Thread::onWorker() const
{
    return QThread::currentThread() == this || !isRunning();
}

int Hid_Thread::queuedJobs() const
{
    std::lock_guard lock(m_queueMutex);
    return int(m_queue.size());
}

void Hid_Thread::enqueue(Job job)
{
    {
        std::lock_guard lock(m_queueMutex);
        if (!m_stopping) {
            m_queue.push_back(std::move(job));
            m_queueWake.notify_all();
            return;
        }
    }
    // Shutting down: nothing more goes on the wire.
    qCInfo(lcTransport) << "device: shutting down, command dropped";
    if (job.done) job.done->set_value();
}

void Hid_Thread::post(std::function<void()> job)
{
    if (onWorker()) {
        job();
        return;
    }
    enqueue({std::move(job), nullptr});
}

void Hid_Thread::call(const std::function<void()> &job)
{
    if (onWorker()) {
        job();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    // The job refers to the caller's frame, which lives until it has run.
    enqueue({job, done});
    finished.wait();
}

void Hid_Thread::run()
{
    std::unique_lock lock(m_queueMutex);
    for (;;) {
        m_queueWake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping) break;
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        job.run();
        if (job.done) job.done->set_value();
        lock.lock();
    }
    if (!m_queue.empty())
        qCInfo(lcTransport).noquote()
            << "device: exit with" << m_queue.size() << "queued commands; they are not sent";
    for (Job &job : m_queue)
        if (job.done) job.done->set_value();
    m_queue.clear();
    lock.unlock();
    closeCmdDevice();
    lock.lock();
    m_finished = true;
    m_queueWake.notify_all();
}

void Hid_Thread::setBackend(std::shared_ptr<HidBackend> backend)
{
    closeCmdDevice();
    m_backend = backend ? std::move(backend) : HidBackends::none();
}

void Hid_Thread::setDelayFunction(DelayFunction delayFn)
{
    if (delayFn) m_delay = std::move(delayFn);
}

void Hid_Thread::delay(int ms)
{
    m_backend->noteDelay(ms);
    m_delay(ms);
}

DeviceRecord *Hid_Thread::record(int index) const
{
    return index >= 0 && index < devices.size() ? devices.at(index).get() : nullptr;
}

// --- codec slots ---------------------------------------------------------------

uchar Hid_Thread::hidCS(uchar *src)
{
    return src ? ReportCodec::checksum(src) : uchar(0xFF);
}

void Hid_Thread::USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode)
{
    if (FIFOBuf && SecrecyCode) ReportCodec::encipher(FIFOBuf, SecrecyCode);
}

void Hid_Thread::USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode)
{
    if (FIFOBuf && SecrecyCode) ReportCodec::decipher(FIFOBuf, SecrecyCode);
}

bool Hid_Thread::chkDeviceIsEnCode(int index)
{
    curDevice = index;
    QRandomGenerator gen(quint32(QDateTime::currentSecsSinceEpoch()));
    const uchar c1 = uchar(gen.generate()), c2 = uchar(gen.generate()), c3 = uchar(gen.generate()),
                c4 = uchar(gen.generate());
    const std::shared_ptr<DeviceRecord> rec = devices.value(index);
    if (!rec) return false;
    ReportCodec::loadSecrecyCode(secrecyCodeBuf, rec->sCode);
    uchar r1 = c1, r2 = c2, r3 = c3, r4 = c4;
    hid553_00H_GetSecrecyCode(r1, r2, r3, r4);
    return r1 == c1 && r2 == c2 && r3 == c3 && r4 == c4;
}

// --- transport -------------------------------------------------------------------

bool Hid_Thread::waitIdle()
{
    for (int poll = 0; poll < kIdlePolls; ++poll) {
        if (idle) {
            idle = false;
            return true;
        }
        delay(kIdlePollMs);
    }
    return false;
}

HidDevice *Hid_Thread::openCmdDevice(int index)
{
    DeviceRecord *rec = record(index);
    if (!rec || rec->path.isEmpty()) return nullptr;
    closeCmdDevice();
    cmdHandle = m_backend->open(rec->path.toLocal8Bit());
    if (!cmdHandle) {
        // The device is gone until the next check finds it again.
        rec->path.clear();
        return nullptr;
    }
    cmdHandle->setNonblocking(false);
    return cmdHandle.get();
}

HidDevice *Hid_Thread::openEventDevice(int index)
{
    DeviceRecord *rec = record(index);
    if (!rec || rec->path2.isEmpty()) return nullptr;
    closeEventDevice();
    std::unique_ptr<HidDevice> handle = m_backend->open(rec->path2.toLocal8Bit());
    if (!handle) {
        rec->path2.clear();
        return nullptr;
    }
    handle->setNonblocking(false);
    std::lock_guard lock(m_eventHandleMutex);
    eventHandle = std::move(handle);
    return eventHandle.get();
}

void Hid_Thread::closeCmdDevice()
{
    cmdHandle.reset();
}

void Hid_Thread::closeEventDevice()
{
    std::unique_ptr<HidDevice> closing;
    std::lock_guard lock(m_eventHandleMutex);
    closing = std::move(eventHandle);
}

void Hid_Thread::transferFailed(const QString &path, bool eventSide, int index)
{
    if (eventSide)
        closeEventDevice();
    else
        closeCmdDevice();
    // A transfer that fails because the node vanished means the device was
    // unplugged mid-exchange: forget the path as a failed open would.
    if (!path.isEmpty() && !m_backend->exists(path.toLocal8Bit())) {
        if (DeviceRecord *rec = record(index)) {
            if (eventSide && rec->path2 == path)
                rec->path2.clear();
            else if (!eventSide && rec->path == path)
                rec->path.clear();
        }
    }
}

std::shared_ptr<DeviceRecord> Hid_Thread::startExchange(int length, const char *what)
{
    // Holding the record keeps it alive for the whole exchange.
    const std::shared_ptr<DeviceRecord> rec = devices.value(curDevice);
    if (rec && length > 0 && (rec->reportLength < 1 || rec->reportLength > kMaxReportLength)) {
        qCWarning(lcTransport).noquote() << "config: reportLength" << rec->reportLength
                                         << "of device" << curDevice << "cannot carry" << what;
        idle = true;
        return nullptr;
    }
    if (!openCmdDevice(curDevice)) {
        // Commands queued behind an unplug drain here, one line each.
        qCInfo(lcTransport).noquote().nospace()
            << "device: not connected; command " << QByteArray(1, char(cmdReport[1])).toHex()
            << " not sent";
        idle = true;
        return nullptr;
    }
    if (rec->isEncode) ReportCodec::encipher(cmdReport.data() + 1, secrecyCodeBuf);
    return rec;
}

bool Hid_Thread::sendReport(int length, bool settle)
{
    length = std::clamp(length, 0, kPayloadSize);
    const int index = curDevice;
    // One handle for the whole exchange: hidraw gives each open its own
    // queue, and a reopen between transfers is a chance to lose the device.
    const std::shared_ptr<DeviceRecord> rec = startExchange(length, "a payload");
    if (!rec)
        return false;
    const QString path = rec->path;
    if (cmdHandle->sendFeatureReport(cmdReport.data(), kReportSize) < 0) {
        transferFailed(path, false, index);
        idle = true;
        return false;
    }
    if (settle) waitAck();
    if (length == 0) {
        closeCmdDevice();
        idle = true;
        return true;
    }
    const int reportLength = rec->reportLength;
    const int chunk = std::min(length, reportLength);
    // Cleared once: a short last chunk carries the tail of the one before.
    std::vector<uchar> buffer(size_t(reportLength) + 1, 0);
    for (int offset = 0; offset < length; offset += chunk) {
        buffer[0] = 0x00;
        const int n = std::min(chunk, length - offset);
        std::memcpy(buffer.data() + 1, payload.data() + offset, size_t(n));
        if (cmdHandle->write(buffer.data(), buffer.size()) < 0) {
            transferFailed(path, false, index);
            idle = true;
            return false;
        }
        delay(kOutputReportMs);
    }
    if (settle) waitAck();
    closeCmdDevice();
    idle = true;
    return true;
}

bool Hid_Thread::exchangeReport(int length)
{
    length = std::clamp(length, 0, kPayloadSize);
    const int index = curDevice;
    const std::shared_ptr<DeviceRecord> rec = startExchange(length, "a read-back");
    if (!rec)
        return false;
    const QString path = rec->path;
    // The read-back's input reports arrive on the handle the feature get
    // used; a reopen in between would drop them.
    if (cmdHandle->sendFeatureReport(cmdReport.data(), kReportSize) < 0 ||
        cmdHandle->getFeatureReport(replyReport.data(), kReportSize) < 0) {
        transferFailed(path, false, index);
        idle = true;
        return false;
    }
    if (length == 0) {
        closeCmdDevice();
        idle = true;
        if (rec->isEncode) ReportCodec::decipher(replyReport.data() + 1, secrecyCodeBuf);
        return true;
    }
    const int reportLength = rec->reportLength;
    const int chunk = std::min(length, reportLength);
    std::vector<uchar> buffer(size_t(reportLength) + 1, 0);
    for (int offset = 0; offset < length; offset += chunk) {
        std::fill(buffer.begin(), buffer.end(), uchar(0));
        // Bounded: a device that never sends its read-back must not hold the
        // queue forever. A time-out counts as a failed read.
        const int got = cmdHandle->readTimeout(buffer.data(), buffer.size(), readBackTimeoutMs);
        if (got <= 0) {
            if (got == 0)
                qCWarning(lcTransport).noquote()
                    << "device: no read-back within" << readBackTimeoutMs << "ms";
            transferFailed(path, false, index);
            idle = true;
            return false;
        }
        const int n = std::min(chunk, length - offset);
        std::memcpy(payload.data() + offset, buffer.data(), size_t(n));
    }
    closeCmdDevice();
    idle = true;
    return true;
}

void Hid_Thread::waitAck()
{
    // Nothing acknowledges early, so the settle always runs two 64 ms rounds;
    // they are taken as one 128 ms delay (one SLEEP 128 in the trace).
    ackFlag = false;
    int total = 0;
    for (int round = 0; round < 256; ++round) {
        total += 64;
        if (ackFlag) break;
        ackFlag = true;
    }
    delay(total);
}

// --- command shapes -----------------------------------------------------------

void Hid_Thread::frame(uchar code, std::array<uchar, 6> params)
{
    cmdReport = ReportCodec::commandReport(code, params);
}

int Hid_Thread::profileByte() const
{
    return ((owner ? owner->hostCurrentProfile() : 0) + 1) & 0xFF;
}

void Hid_Thread::setCommand(const char *text, uchar code, std::array<uchar, 6> params)
{
    queueSet(text, code, params, true);
}

void Hid_Thread::setNoSettle(const char *text, uchar code, std::array<uchar, 6> params)
{
    queueSet(text, code, params, false);
}

void Hid_Thread::queueSet(const char *text, uchar code, std::array<uchar, 6> params, bool settle)
{
    post([this, text, code, params, settle] {
        if (!waitIdle()) {
            failText(text);
            return;
        }
        frame(code, params);
        sendReport(0, settle);
        if (!settle) delay(kNoSettleMs);
    });
}

void Hid_Thread::setWithPayload(const char *text, uchar code, std::array<uchar, 6> params,
                                const uchar *data, int length)
{
    if (!data) {
        qCWarning(lcTransport).noquote()
            << "caller: no payload buffer for command" << QByteArray(1, char(code)).toHex();
        return;
    }
    // Copied now: the caller may change its buffer before the command runs.
    std::array<uchar, kPayloadSize> bytes{};
    std::memcpy(bytes.data(), data, size_t(std::clamp(length, 0, kPayloadSize)));
    post([this, text, code, params, bytes, length] {
        if (!waitIdle()) {
            failText(text);
            return;
        }
        frame(code, params);
        payload = bytes;
        sendReport(length, true);
    });
}

void Hid_Thread::getCommand(const char *text, uchar code, std::array<uchar, 6> params,
                            std::initializer_list<uchar *> out)
{
    call([&] {
        if (!waitIdle()) {
            failText(text);
            return;
        }
        frame(code, params);
        replyReport.fill(0);
        replyReport[1] = code;
        size_t i = 2;
        for (uchar *o : out)
            replyReport[i++] = *o;
        exchangeReport(0);
        i = 2;
        for (uchar *o : out)
            *o = replyReport[i++];
    });
}

// --- 553 family ----------------------------------------------------------------

void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    // The challenge must never come back unchanged without the device having
    // echoed it: every failure, a busy bus or a dropped command included,
    // answers zeros.
    std::array<uchar, 4> answer{};
    call([&] {
        if (!waitIdle()) {
            failText("cmd Failed 00");
            return;
        }
        frame(0x00, {byte1, byte2, byte3, byte4, 0, 0});
        replyReport.fill(0);
        exchangeReport(0);
        std::copy(replyReport.begin() + 2, replyReport.begin() + 6, answer.begin());
    });
    byte1 = answer[0];
    byte2 = answer[1];
    byte3 = answer[2];
    byte4 = answer[3];
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3,
                                              uchar &byte4)
{
    getCommand("cmd Failed 83", 0x83, {}, {&byte1, &byte2, &byte3, &byte4});
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &stage)
{
    getCommand("cmd Failed 8BH", 0x82, {}, {&stage});
}

void Hid_Thread::hid553_8BH_GetRight(uchar &right)
{
    getCommand("cmd Failed 82H", 0x82, {}, {&right});
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    setNoSettle("cmd Failed 03", 0x03, {byte1, byte2, byte3, byte4, 0, 0});
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    setNoSettle("cmd Failed 04", 0x04, {0, byte1, byte2, byte3, byte4, 0});
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
    setCommand("cmd Failed 01", 0x01, {rate, 0, 0, 0, 0, 0});
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
    setCommand("cmd Failed 0B", 0x0B, {stage, 0, 0, 0, 0, 0});
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    setWithPayload("cmd Failed 12", 0x12, {indexAddOne, 0x40, 0x08, 0, 0, 0}, src64, 64);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    setWithPayload("cmd Failed 13", 0x13, {macroId, 0x80, 0, 0, 0, 0}, src128, 128);
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    setWithPayload("cmd Failed 11", 0x11, {dpiStage, 0x08, 0, 0, 0, 0}, src8, 8);
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    setCommand("cmd Failed 02", 0x02, {currentKeyMatrix, 0, 0, 0, 0, 0});
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    setCommand("cmd Failed 0D", 0x0D, {effect, option1, option2, 0, 0, 0});
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    if (!src3) {
        qCWarning(lcTransport) << "caller: no colour for command 0c";
        return;
    }
    setCommand("cmd Failed 0C", 0x0C, {src3[0], src3[1], src3[2], 0, 0, 0});
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    const uchar n = type == 2 ? 4 : 24;
    setWithPayload("cmd Failed 10", 0x10, {type, n, 0, 0, 0, 0}, src24, n);
}

// --- 560 family ----------------------------------------------------------------

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    getCommand("cmd Failed 81", 0x81, {}, {&byte1, &byte2});
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &profile)
{
    getCommand("cmd Failed 82", 0x82, {}, {&profile});
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &profile, uchar &stage)
{
    getCommand("cmd Failed 84", 0x84, {profile, 0, 0, 0, 0, 0}, {&profile, &stage});
}

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    setNoSettle("cmd Failed 01", 0x01, {byte1, byte2, 0, 0, 0, 0});
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    setCommand("cmd Failed 03", 0x03, {uchar(profileByte()), rate, 0, 0, 0, 0});
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    setCommand("cmd Failed 04", 0x04, {uchar(profileByte()), stage, 0, 0, 0, 0});
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    setWithPayload("cmd Failed 0D", 0x0D, {indexAddOne, 0x80, 0, 0, 0, 0}, src64, 128);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    setWithPayload("cmd Failed 0C", 0x0C, {profileData, 0x80, 0, 0, 0, 0}, src128, 128);
}

bool Hid_Thread::readProfileRecord(uchar *src128, uchar profileNo)
{
    if (!src128) {
        qCWarning(lcTransport) << "caller: no buffer for command 8c";
        return false;
    }
    bool ok = false;
    call([&] {
        if (!waitIdle()) {
            failText("cmd Failed 8c");
            return;
        }
        frame(0x8C, {profileNo, 0, 0, 0, 0, 0});
        replyReport.fill(0);
        std::memcpy(payload.data(), src128, kPayloadSize);
        ok = exchangeReport(kPayloadSize);
        // Only a complete read-back replaces the caller's record; a read that
        // broke off half-way must not leave it half old, half new.
        if (ok) std::memcpy(src128, payload.data(), kPayloadSize);
    });
    return ok;
}

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    readProfileRecord(src128, profileNo);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    setNoSettle("cmd Failed 02", 0x02, {profile, 0, 0, 0, 0, 0});
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    setWithPayload("cmd Failed 0F", 0x0F, {macroId, 0x80, 0, 0, 0, 0}, src128, 128);
}

// --- event reader ----------------------------------------------------------------

void Hid_Thread::postToGui(std::function<void()> f)
{
    QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

void Hid_Thread::startEventReader(unsigned int index)
{
    stopEventReader();
    // The option exchange and the list the reader reads belong to the
    // command side; from another thread the whole start is one queued job.
    if (!onWorker()) {
        call([this, index] { startEventReader(index); });
        return;
    }
    if (owner && owner->hostIcType() == QLatin1String("560")) {
        uchar o1 = 0, o2 = 0;
        hid560_81H_GetKeyboardoption(o1, o2);
        o1 |= 0x08;
        hid560_01H_SetKeyboardoption(o1, o2);
    } else {
        uchar o1 = 0, o2 = 0, o3 = 0, o4 = 0;
        hid553_83H_GetKeyboardoption(o1, o2, o3, o4);
        o4 |= 0x40;
        hid553_03H_SetKeyboardoption(o1, o2, o3, o4);
    }
    // An earlier loop may still be on its way out. Two loops must never
    // share eventHandle.
    waitForReader();
    m_readerActive.store(true, std::memory_order_relaxed);
    readerRunning = true;
    readerFuture =
        QtConcurrent::run(QThreadPool::globalInstance(), &Hid_Thread::eventReaderLoop, this, index);
}

void Hid_Thread::stopEventReader()
{
    readerRunning = false;
    // The reader waits for a report without a time-out. A loop that has
    // not opened its handle yet sees the cleared flag once it has: the
    // handle is set under this lock before the flag is read.
    std::lock_guard lock(m_eventHandleMutex);
    if (eventHandle) eventHandle->interruptReads();
}

void Hid_Thread::waitForReader()
{
    if (readerFuture.isStarted() || readerFuture.isRunning()) readerFuture.waitForFinished();
    while (m_readerActive.load(std::memory_order_acquire))
        QThread::yieldCurrentThread();
}

void Hid_Thread::eventReaderLoop(unsigned int index)
{
    readerTurns(index);
    m_readerActive.store(false, std::memory_order_release);
}

void Hid_Thread::readerTurns(unsigned int index)
{
    // Pairs with the store in startEventReader: what the worker wrote before
    // starting us (the device list) is visible from here on.
    if (!readerRunning.load(std::memory_order_acquire)) return;
    const std::shared_ptr<DeviceRecord> rec = devices.value(qsizetype(index));
    if (!rec || rec->path2.isEmpty()) {
        readerRunning = false;
        return;
    }
    const HidTrace::EventSide eventSide;
    // One handle for the whole connection: hidraw drops what arrives while
    // no handle is open, so reopening for every read would lose button presses.
    if (!openEventDevice(int(index))) {
        reportRemoval(*rec);
        return;
    }
    while (readerRunning) {
        std::array<uchar, 4> report{};
        const int got = eventHandle->readTimeout(report.data(), report.size(), -1);
        if (got < 0) {
            // A hidraw read fails only when the device is going away, whether
            // or not its node has disappeared yet. A re-plug, even under the
            // same node name, is a new device and gets a full check.
            closeEventDevice();
            reportRemoval(*rec);
            return;
        }
        if (got == 0) break; // woken by a stop
        if (got != 4 || report[0] != 0x06) continue;
        if (report[1] == 0x07) {
            const int stage = report[3];
            const int k = stage >= 1 && stage <= 7 ? stage - 1 : 7;
            const QString text = QStringLiteral(" ") + DpiNotifications::text(k);
            postToGui([this, stage, text] {
                if (!owner) return;
                owner->hostSetCurrentDPI(stage);
                owner->showTrayMessage(QStringLiteral("Info"), text, 10000);
            });
        } else if (report[1] == 0x0D) {
            const bool right = report[2] != 0;
            qDebug("test %d", int(report[2]));
            postToGui([this, right] {
                if (!owner) return;
                owner->hostSetRight(right);
                owner->hostRunUI();
            });
        }
    }
    closeEventDevice();
}

void Hid_Thread::reportRemoval(DeviceRecord &rec)
{
    qDebug("Device removed");
    // Only a check fills it again; the list is not replaced while we run.
    rec.path2.clear();
    readerRunning = false;
    postToGui([this] {
        if (!owner) return;
        owner->hostSetViewEnabled(false);
        owner->hostDeviceRemoved();
    });
}
