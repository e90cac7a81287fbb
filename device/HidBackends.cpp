#include "device/HidBackends.h"

#include "device/VirtualMouse.h"

#include <QLoggingCategory>
#include <QMutex>
#include <cerrno>
#include <cstdio>
#include <hidapi.h>
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
    explicit HidapiDevice(hid_device *dev) : m_dev(dev) {}
    ~HidapiDevice() override
    {
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
        return hid_read_timeout(m_dev, data, length, timeoutMs);
    }

private:
    hid_device *m_dev;
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
    return std::make_unique<HidapiDevice>(dev);
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
