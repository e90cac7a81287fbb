#include "DeviceRig.h"

#include "device/ReportCodec.h"

#include <QFile>

QStringList FakeHost::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

void FakeHost::clear()
{
    QMutexLocker lock(&m_mutex);
    m_calls.clear();
}

void FakeHost::record(const QString &call)
{
    QMutexLocker lock(&m_mutex);
    m_calls << call;
}

void FakeHost::showTrayMessage(const QString &title, const QString &text, int msecs)
{
    record(QStringLiteral("tray %1|%2|%3").arg(title, text).arg(msecs));
}

void FakeHost::hostSetCurrentDPI(int stage) { record(QStringLiteral("setCurrentDPI %1").arg(stage)); }

void FakeHost::hostSetRight(bool right)
{
    record(QStringLiteral("right %1").arg(right ? "true" : "false"));
}

void FakeHost::hostRunUI() { record(QStringLiteral("runUI")); }

void FakeHost::hostSetViewEnabled(bool enabled)
{
    record(QStringLiteral("viewEnabled %1").arg(enabled ? "true" : "false"));
}

void FakeHost::hostClearHidBusy()
{
    record(QStringLiteral("clearHidBusy"));
    if (hid)
        hid->idle = true;
}

void FakeHost::hostSetDeviceConnected(bool connected)
{
    record(QStringLiteral("deviceConnected %1").arg(connected ? "true" : "false"));
}

void FakeHost::hostReadProfile(unsigned int profileNo)
{
    record(QStringLiteral("readProfile %1").arg(profileNo));
    if (hid && profileNo < images.size())
        hid->hid560_8CH_readProfile(images[profileNo].data(), uchar(profileNo));
}

void FakeHost::hostInitUI() { record(QStringLiteral("initUI")); }

DeviceRig::DeviceRig(const Options &opts, bool withData) : options(opts)
{
    if (withData) {
        data = std::make_unique<TestData>();
        writeTable(opts);
        mouse = std::make_shared<VirtualMouse>(opts.family, VirtualMouse::identityFromTable());
    } else {
        mouse = std::make_shared<VirtualMouse>(opts.family, identity(opts));
    }
    auto sink = [this](const QByteArray &line, const QByteArray &path) {
        // The event interface has its own reader; keep the command side.
        if (path.endsWith(":event"))
            return;
        QMutexLocker lock(&m_mutex);
        m_trace << QString::fromLatin1(line);
    };
    hid.setBackend(std::make_shared<TracingBackend>(mouse, sink));
    hid.setDelayFunction([this](int ms) {
        QMutexLocker lock(&m_mutex);
        m_delays << ms;
    });
    hid.owner = &host;
    host.hid = &hid;
    host.icType = opts.family == VirtualMouse::Family::F560 ? QStringLiteral("560")
                                                            : QStringLiteral("553");
}

DeviceRig::~DeviceRig()
{
    hid.stopEventReader();
    hid.waitForReader();
}

VirtualMouse::Identity DeviceRig::identity(const Options &o)
{
    VirtualMouse::Identity id;
    id.reportLength = o.reportLength;
    id.isEncode = o.isEncode;
    id.sCode = o.sCode;
    return id;
}

void DeviceRig::writeTable(const Options &o, const QString &extraMouseKeys)
{
    QString table = QStringLiteral(
                        "[common]\nname=SKELD R772\ndeviceCount=2\n\n"
                        "[0]\ntype=0\nvid=04d9\npid=8008\nusagePage=ff01\nusage=0001\n"
                        "usagePage2=ff02\nusage2=0001\nreportLength=64\nisEncode=false\n"
                        "sCode=731952\n\n"
                        "[1]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n"
                        "usagePage2=ff01\nusage2=ff01\nreportLength=%1\nisEncode=%2\nsCode=%3\n%4\n"
                        "[mouse]\nicType=%5\n")
                        .arg(o.reportLength)
                        .arg(o.isEncode ? "true" : "false")
                        .arg(o.sCode, extraMouseKeys,
                             o.family == VirtualMouse::Family::F560 ? "560" : "553");
    if (data)
        data->write(QStringLiteral("modules/setting/apConfig.bin"), table.toUtf8());
}

bool DeviceRig::attach()
{
    DeviceList list;
    list << std::make_shared<DeviceRecord>();
    auto rec = std::make_shared<DeviceRecord>();
    rec->type = 1;
    rec->vid = 0x04d9;
    rec->pid = 0xa1ee;
    rec->reportLength = options.reportLength;
    rec->isEncode = options.isEncode;
    rec->sCode = options.sCode;
    rec->path = QString::fromLatin1(mouse->commandPath());
    rec->path2 = QString::fromLatin1(mouse->eventPath());
    list << rec;
    hid.devices = list;
    return hid.chkDeviceIsEnCode(1);
}

QStringList DeviceRig::trace() const
{
    QMutexLocker lock(&m_mutex);
    return m_trace;
}

QStringList DeviceRig::transfers() const
{
    QStringList out;
    for (const QString &l : trace())
        if (l.startsWith(QLatin1String("SET_FEATURE")) || l.startsWith(QLatin1String("GET_FEATURE")) ||
            l.startsWith(QLatin1String("WRITE")) || l.startsWith(QLatin1String("READ")))
            out << l;
    return out;
}

QList<int> DeviceRig::delays() const
{
    QMutexLocker lock(&m_mutex);
    return m_delays;
}

void DeviceRig::clearTrace()
{
    QMutexLocker lock(&m_mutex);
    m_trace.clear();
    m_delays.clear();
}

QByteArray plainReport(quint8 code, std::array<quint8, 6> params)
{
    const ReportCodec::Report r = ReportCodec::commandReport(code, params);
    return QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size()));
}

QByteArray wireReport(const QByteArray &plain, bool isEncode, const QString &sCode)
{
    QByteArray out = plain;
    if (isEncode) {
        quint8 code[8] = {};
        ReportCodec::loadSecrecyCode(code, sCode);
        ReportCodec::encipher(reinterpret_cast<quint8 *>(out.data()) + 1, code);
    }
    return out;
}
