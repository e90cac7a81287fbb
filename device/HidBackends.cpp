#include "device/HidBackends.h"

#include "device/VirtualMouse.h"

#include <QLoggingCategory>
#include <QMutex>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <hidapi.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcBackend, "skeld.hid")

namespace
{
thread_local bool t_eventSide = false;

// hidapi keeps process-wide state (its init and last-error text) that
// enumerate, open and close touch; the command worker and the event reader
// must not run those at the same time. Transfers on an open handle only use
// the handle's own state and need no lock.
QMutex &hidapiMutex()
{
    static QMutex mutex;
    return mutex;
}

bool hidapiReady()
{
    static const bool ok = hid_init() == 0;
    return ok;
}

class HidapiDevice : public HidDevice
{
public:
    // Input reports are read from a descriptor of our own on the same node
    // (hidraw gives every open file its own copy of each report): hidapi's
    // read can only wait with a time-out, which would wake an idle reader
    // twice a second for nothing. Where the node cannot be opened that way,
    // hidapi reads in turns after all.
    HidapiDevice(hid_device *dev, const QByteArray &path)
        : m_dev(dev), m_readFd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)),
          m_wakeFd(m_readFd >= 0 ? ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC) : -1)
    {
    }
    ~HidapiDevice() override
    {
        if (m_wakeFd >= 0) ::close(m_wakeFd);
        if (m_readFd >= 0) ::close(m_readFd);
        QMutexLocker lock(&hidapiMutex());
        hid_close(m_dev);
    }
    int setNonblocking(bool nonblock) override { return hid_set_nonblocking(m_dev, nonblock); }
    int sendFeatureReport(const quint8 *data, size_t length) override
    {
        return hid_send_feature_report(m_dev, data, length);
    }
    int getFeatureReport(quint8 *data, size_t length) override
    {
        return hid_get_feature_report(m_dev, data, length);
    }
    int write(const quint8 *data, size_t length) override { return hid_write(m_dev, data, length); }
    int readTimeout(quint8 *data, size_t length, int timeoutMs) override
    {
        if (m_wakeFd < 0) return readInTurns(data, length, timeoutMs);
        return HidapiBackend::readNode(m_readFd, m_wakeFd, data, length, timeoutMs);
    }
    void interruptReads() override
    {
        m_interrupted.store(true);
        // Never read back: the descriptor stays readable, so a read that
        // starts after this returns at once too.
        const quint64 one = 1;
        if (m_wakeFd >= 0 && ::write(m_wakeFd, &one, sizeof one) < 0)
            qCWarning(lcBackend, "hid: a blocked read could not be woken (%s)", std::strerror(errno));
    }

private:
    int readInTurns(quint8 *data, size_t length, int timeoutMs)
    {
        constexpr int kTurnMs = 500;
        for (;;) {
            if (m_interrupted.load()) return 0;
            const int got = hid_read_timeout(m_dev, data, length, timeoutMs < 0 ? kTurnMs : timeoutMs);
            if (got != 0 || timeoutMs >= 0) return got;
        }
    }

    hid_device *m_dev;
    const int m_readFd;
    const int m_wakeFd;
    std::atomic<bool> m_interrupted{false};
};

class TracingDevice : public HidDevice
{
public:
    TracingDevice(std::unique_ptr<HidDevice> inner, QByteArray path,
                  std::shared_ptr<TracingBackend::Sink> sink, QByteArray prefix)
        : m_inner(std::move(inner)), m_path(std::move(path)), m_sink(std::move(sink)),
          m_prefix(std::move(prefix))
    {
    }
    ~TracingDevice() override
    {
        m_inner.reset();
        emitLine("CLOSE");
    }
    int setNonblocking(bool nonblock) override { return m_inner->setNonblocking(nonblock); }
    int sendFeatureReport(const quint8 *data, size_t length) override
    {
        emitLine("SET_FEATURE", data, int(length));
        return m_inner->sendFeatureReport(data, length);
    }
    int getFeatureReport(quint8 *data, size_t length) override
    {
        const int got = m_inner->getFeatureReport(data, length);
        if (got >= 0) emitLine("GET_FEATURE", data, std::min(got, int(length)));
        return got;
    }
    int write(const quint8 *data, size_t length) override
    {
        emitLine("WRITE", data, int(length));
        return m_inner->write(data, length);
    }
    int readTimeout(quint8 *data, size_t length, int timeoutMs) override
    {
        const int got = m_inner->readTimeout(data, length, timeoutMs);
        // A time-out moved nothing over the wire.
        if (got > 0) emitLine("READ", data, std::min(got, int(length)));
        return got;
    }
    void interruptReads() override { m_inner->interruptReads(); }

private:
    void emitLine(const char *what, const quint8 *data = nullptr, int length = -1)
    {
        QByteArray line = m_prefix + what;
        if (length >= 0)
            line +=
                ' ' +
                QByteArray::fromRawData(reinterpret_cast<const char *>(data), length).toHex(' ');
        (*m_sink)(line, m_path);
    }

    std::unique_ptr<HidDevice> m_inner;
    QByteArray m_path;
    std::shared_ptr<TracingBackend::Sink> m_sink;
    QByteArray m_prefix;
};

QByteArray tracePrefix()
{
    return t_eventSide ? QByteArrayLiteral("EVENT ") : QByteArray();
}
} // namespace

namespace HidTrace
{
EventSide::EventSide() { t_eventSide = true; }
EventSide::~EventSide() { t_eventSide = false; }
bool onEventSide() { return t_eventSide; }
} // namespace HidTrace

// --- hidapi ------------------------------------------------------------------------

QList<HidInterfaceInfo> HidapiBackend::enumerate(quint16 vid, quint16 pid)
{
    QList<HidInterfaceInfo> result;
    QMutexLocker lock(&hidapiMutex());
    if (!hidapiReady()) return result;
    hid_device_info *list = hid_enumerate(vid, pid);
    for (hid_device_info *it = list; it; it = it->next) {
        HidInterfaceInfo info;
        info.path = QByteArray(it->path ? it->path : "");
        info.vendorId = it->vendor_id;
        info.productId = it->product_id;
        info.usagePage = it->usage_page;
        info.usage = it->usage;
        result << info;
    }
    hid_free_enumeration(list);
    return result;
}

std::unique_ptr<HidDevice> HidapiBackend::open(const QByteArray &path)
{
    if (path.isEmpty()) return nullptr;
    QMutexLocker lock(&hidapiMutex());
    if (!hidapiReady()) return nullptr;
    hid_device *dev = hid_open_path(path.constData());
    if (!dev) return nullptr;
    return std::make_unique<HidapiDevice>(dev, path);
}

int HidapiBackend::readNode(int fd, int wakeFd, quint8 *data, size_t length, int timeoutMs)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return -1;
        if (ready == 0 || fds[1].revents) return 0;
        // What is still queued is read before a hang-up counts.
        if (fds[0].revents & POLLIN) {
            const ssize_t got = ::read(fd, data, length);
            if (got > 0) return int(got);
            if (got < 0 && errno != EAGAIN && errno != EINTR) return -1;
        }
        // The node goes away with the device: the read fails, as hidapi's.
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return -1;
        if (timeoutMs >= 0) return 0;
    }
}

bool HidapiBackend::exists(const QByteArray &path)
{
    return !path.isEmpty() && ::access(path.constData(), F_OK) == 0;
}

bool HidapiBackend::accessDenied(const QByteArray &path)
{
    if (path.isEmpty()) return false;
    errno = 0;
    return ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES;
}

// --- trace ---------------------------------------------------------------------------

TracingBackend::TracingBackend(std::shared_ptr<HidBackend> inner, Sink sink)
    : m_inner(std::move(inner)),
      m_sink(std::make_shared<Sink>(sink ? std::move(sink) : Sink(&TracingBackend::writeToStderr)))
{
}

void TracingBackend::writeToStderr(const QByteArray &line, const QByteArray &path)
{
    Q_UNUSED(path);
    // The event reader traces from its own thread; keep lines whole.
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

QList<HidInterfaceInfo> TracingBackend::enumerate(quint16 vid, quint16 pid)
{
    return m_inner->enumerate(vid, pid);
}

std::unique_ptr<HidDevice> TracingBackend::open(const QByteArray &path)
{
    std::unique_ptr<HidDevice> dev = m_inner->open(path);
    const QByteArray prefix = tracePrefix();
    if (!dev) {
        (*m_sink)(prefix + "OPEN_FAILED " + path, path);
        return nullptr;
    }
    (*m_sink)(prefix + "OPEN " + path, path);
    return std::make_unique<TracingDevice>(std::move(dev), path, m_sink, prefix);
}

void TracingBackend::noteDelay(int ms)
{
    (*m_sink)(tracePrefix() + "SLEEP " + QByteArray::number(ms), QByteArray());
    m_inner->noteDelay(ms);
}

// --- selection -----------------------------------------------------------------------

namespace HidBackends
{
std::shared_ptr<HidBackend> none()
{
    return std::make_shared<NoHidBackend>();
}

std::shared_ptr<HidBackend> create(const QString &virtualFamily, bool trace)
{
    std::shared_ptr<HidBackend> backend;
    if (virtualFamily == QLatin1String("553") || virtualFamily == QLatin1String("560")) {
        auto mouse = VirtualMouse::fromDataFolder(virtualFamily == QLatin1String("560")
                                                      ? VirtualMouse::Family::F560
                                                      : VirtualMouse::Family::F553);
        // Shows the permission hint without a real device.
        if (qEnvironmentVariableIntValue("SKELD_VIRTUAL_MOUSE_DENIED") == 1) {
            VirtualMouse::Faults faults;
            faults.accessDenied = true;
            mouse->setFaults(faults);
        }
        backend = mouse;
    } else {
        if (!virtualFamily.isEmpty())
            qCWarning(lcBackend).noquote()
                << "config: unknown virtual mouse" << virtualFamily << "- using real devices";
        if (qEnvironmentVariableIntValue("SKELD_HID_NO_HARDWARE") == 1)
            backend = none();
        else
            backend = std::make_shared<HidapiBackend>();
    }
    if (trace) backend = std::make_shared<TracingBackend>(backend);
    return backend;
}

std::shared_ptr<HidBackend> fromEnvironment()
{
    return create(qEnvironmentVariable("SKELD_VIRTUAL_MOUSE"),
                  qEnvironmentVariableIntValue("SKELD_HID_TRACE") == 1);
}

VirtualMouse *virtualMouse(HidBackend *backend)
{
    while (backend) {
        if (auto *vm = dynamic_cast<VirtualMouse *>(backend)) return vm;
        auto *trace = dynamic_cast<TracingBackend *>(backend);
        backend = trace ? trace->inner() : nullptr;
    }
    return nullptr;
}
} // namespace HidBackends
