#pragma once

#include "device/HidBackend.h"

#include <QString>
#include <functional>
#include <memory>

class VirtualMouse;

// The real back end: hidapi on hidraw.
class HidapiBackend : public HidBackend
{
public:
    QList<HidInterfaceInfo> enumerate(quint16 vid, quint16 pid) override;
    std::unique_ptr<HidDevice> open(const QByteArray &path) override;
    bool exists(const QByteArray &path) override;
    bool accessDenied(const QByteArray &path) override;

    // A read of input reports from a node opened non-blocking, as hidapi's
    // on hidraw, except that `wakeFd` becoming readable ends it with 0.
    // -1 when the node hangs up or fails (the device went away).
    static int readNode(int fd, int wakeFd, quint8 *data, size_t length, int timeoutMs);
};

// A system without any HID device: what tests get when they did not ask for
// the virtual mouse, so no test ever reaches real hardware.
class NoHidBackend : public HidBackend
{
public:
    QList<HidInterfaceInfo> enumerate(quint16, quint16) override { return {}; }
    std::unique_ptr<HidDevice> open(const QByteArray &) override { return nullptr; }
    bool exists(const QByteArray &) override { return false; }
    bool accessDenied(const QByteArray &) override { return false; }
};

// Writes every transfer of the wrapped back end as one line:
// SET_FEATURE / GET_FEATURE / WRITE / READ <hex bytes>, SLEEP <ms>,
// OPEN <path>, OPEN_FAILED <path>, CLOSE. Lowercase hex, single spaces.
class TracingBackend : public HidBackend
{
public:
    // The sink gets the line and the path of the interface it concerns
    // (empty for SLEEP), so a reader of the trace can tell the two apart.
    using Sink = std::function<void(const QByteArray &line, const QByteArray &path)>;

    explicit TracingBackend(std::shared_ptr<HidBackend> inner, Sink sink = {});

    static void writeToStderr(const QByteArray &line, const QByteArray &path);

    HidBackend *inner() const { return m_inner.get(); }

    QList<HidInterfaceInfo> enumerate(quint16 vid, quint16 pid) override;
    std::unique_ptr<HidDevice> open(const QByteArray &path) override;
    bool exists(const QByteArray &path) override { return m_inner->exists(path); }
    bool accessDenied(const QByteArray &path) override { return m_inner->accessDenied(path); }
    void noteDelay(int ms) override;

private:
    std::shared_ptr<HidBackend> m_inner;
    std::shared_ptr<Sink> m_sink;
};

// Trace lines of the event reader begin with "EVENT ", so the command
// side's lines read the same with or without a reader running beside them.
namespace HidTrace
{
// Marks the current thread as the event reader's for its lifetime.
struct EventSide {
    EventSide();
    ~EventSide();
    EventSide(const EventSide &) = delete;
    EventSide &operator=(const EventSide &) = delete;
};
bool onEventSide();
} // namespace HidTrace

namespace HidBackends
{
// SKELD_VIRTUAL_MOUSE=553|560 picks the virtual mouse (identity from
// ./modules/setting/apConfig.bin), SKELD_HID_TRACE=1 adds the trace on
// standard error. SKELD_HID_NO_HARDWARE=1 (set for every test) replaces the
// real back end by one without devices; SKELD_VIRTUAL_MOUSE_DENIED=1 makes
// the virtual mouse's nodes present but not ours to open.
std::shared_ptr<HidBackend> fromEnvironment();
// family: "553", "560" or empty for the real back end.
std::shared_ptr<HidBackend> create(const QString &virtualFamily, bool trace);
std::shared_ptr<HidBackend> none();
// The virtual mouse behind `backend` (through a trace), or nullptr.
VirtualMouse *virtualMouse(HidBackend *backend);
} // namespace HidBackends
