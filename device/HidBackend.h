#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <cstddef>
#include <memory>

// One interface of a HID device as enumeration reports it.
struct HidInterfaceInfo {
    QByteArray path;
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
};

// An open HID interface. Results follow hidapi: the number of bytes moved,
// or -1 on failure; reads give 0 on a time-out.
class HidDevice
{
public:
    virtual ~HidDevice() = default;
    virtual int setNonblocking(bool nonblock) = 0;
    virtual int sendFeatureReport(const quint8 *data, size_t length) = 0;
    virtual int getFeatureReport(quint8 *data, size_t length) = 0;
    virtual int write(const quint8 *data, size_t length) = 0;
    // timeoutMs < 0 blocks until a report comes or reads are interrupted.
    virtual int readTimeout(quint8 *data, size_t length, int timeoutMs) = 0;
    // From any thread: a read blocked on this handle, and every later one,
    // gives 0 at once. A reader can then wait without a time-out (no
    // wake-ups while the mouse is idle) and still stop when told.
    virtual void interruptReads() = 0;
};

// Everything the transport needs from the system's HID layer. The transport
// never calls hidapi itself, so a test or a demo can put the virtual mouse
// (or a tracing decorator) in its place.
class HidBackend
{
public:
    virtual ~HidBackend() = default;

    // vid/pid 0 match every device, as hid_enumerate does.
    virtual QList<HidInterfaceInfo> enumerate(quint16 vid, quint16 pid) = 0;
    // nullptr when the open fails; closing is destroying the handle.
    virtual std::unique_ptr<HidDevice> open(const QByteArray &path) = 0;

    // Whether the node is still present (a failed transfer on a vanished
    // node means the device was unplugged).
    virtual bool exists(const QByteArray &path) = 0;
    // Whether the node is present but this user may not open it.
    virtual bool accessDenied(const QByteArray &path) = 0;

    // Called for every fixed delay of the transport before it is taken, so a
    // decorator can report it; the delay itself is not the back end's.
    virtual void noteDelay(int ms) { Q_UNUSED(ms); }
};
