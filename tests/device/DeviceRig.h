#pragma once

#include "app/myQQuickView.h"
#include "device/DeviceCheck.h"
#include "device/HidBackends.h"
#include "device/HidHost.h"
#include "device/Hid_Thread.h"
#include "device/VirtualMouse.h"
#include "testlib/TestData.h"

#include <QRegularExpression>
#include <QStringList>
#include <memory>
#include <mutex>

// The window side of the worker, recording every call in order.
class FakeHost : public HidHost
{
public:
    QString icType = QStringLiteral("553");
    int currentProfile = 0;
    Hid_Thread *hid = nullptr; // for clearHidBusy
    std::array<std::array<uchar, 128>, 5> images{};

    QStringList calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_calls.clear();
    }
    int count(const QString &call) const { return calls().count(call); }

    void showTrayMessage(const QString &title, const QString &text, int msecs) override
    {
        record(QStringLiteral("tray %1|%2|%3").arg(title, text).arg(msecs));
    }
    void hostSetCurrentDPI(int stage) override { record(QStringLiteral("setCurrentDPI %1").arg(stage)); }
    void hostSetRight(bool right) override { record(right ? "right true" : "right false"); }
    void hostRunUI() override { record(QStringLiteral("runUI")); }
    void hostSetViewEnabled(bool on) override { record(on ? "viewEnabled true" : "viewEnabled false"); }
    int hostCurrentProfile() const override { return currentProfile; }
    QString hostIcType() const override { return icType; }
    void hostClearHidBusy() override;
    void hostSetDeviceConnected(bool on) override { record(on ? "deviceConnected true" : "deviceConnected false"); }
    void hostProfileRead(unsigned int profileNo, const QByteArray &record) override;
    void hostInitUI() override { record(QStringLiteral("initUI")); }
    void hostDeviceRemoved() override { record(QStringLiteral("deviceRemoved")); }

private:
    void record(const QString &call)
    {
        std::lock_guard lock(m_mutex);
        m_calls << call;
    }
    mutable std::mutex m_mutex;
    QStringList m_calls;
};

// A worker wired to a virtual mouse, with the trace and the delays recorded
// instead of written and slept.
class DeviceRig
{
public:
    struct Options {
        VirtualMouse::Family family = VirtualMouse::Family::F553;
        int reportLength = 32;
        bool isEncode = false;
        QString sCode = QStringLiteral("731952");
    };

    // With `withData`, a copy of modules/ whose device table matches the
    // options (for the device check); without, much quicker.
    explicit DeviceRig(const Options &options, bool withData = false);
    DeviceRig() : DeviceRig(Options{}) {}
    ~DeviceRig();

    std::unique_ptr<TestData> data;
    std::shared_ptr<VirtualMouse> mouse;
    Hid_Thread hid;
    FakeHost host;

    // Puts the mouse's record at index 1 and runs the handshake.
    bool attach();
    DeviceCheck::Result check() { return DeviceCheck::run(hid, host); }

    // Trace lines of the command interface and delays, since the last clear.
    QStringList trace() const
    {
        std::lock_guard lock(m_mutex);
        return m_trace;
    }
    // Only the transfers (SET_FEATURE, GET_FEATURE, WRITE, READ).
    QStringList transfers() const { return trace().filter(QRegularExpression("^(SET_FEATURE|GET_FEATURE|WRITE|READ)")); }
    QList<int> delays() const
    {
        std::lock_guard lock(m_mutex);
        return m_delays;
    }
    void clearTrace();

    static QString hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ')); }

    Options options;

private:
    mutable std::mutex m_mutex;
    QStringList m_trace;
    QList<int> m_delays;
};

// The bridge wired to an attached virtual mouse in a private data copy.
struct BridgeRig {
    struct Model {
        VirtualMouse::Family family = VirtualMouse::Family::F553;
        bool isEncode = false, isColorful = false, is55328 = false, isGun = false;
    };
    explicit BridgeRig(const Model &m);

    void setProfile(int index);
    // Reads the device's records into the images, as a connection start does.
    void readImages();
    // Command reports sent since the last clear, deciphered, as hex text.
    QStringList commands() const;
    // Payload bytes of every output report since the last clear, joined.
    QByteArray payload() const;
    VirtualMouse::State state() const { return rig.mouse->state(); }

    DeviceRig rig;
    Model model;
    std::unique_ptr<myQQuickView> view; // made once the data copy is in place
};

QByteArray plainReport(quint8 code, std::array<quint8, 6> params);
// The report as it goes over the wire for a device with this code.
QByteArray wireReport(const QByteArray &plain, bool isEncode, const QString &sCode);

// Payloads of the command tests: byte i is (7i + 3) & 0xff.
QByteArray pattern(int n);
template <typename A> QByteArray toBytes(const A &a, size_t n = std::tuple_size_v<A>)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(n));
}
