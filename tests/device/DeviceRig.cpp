#include "DeviceRig.h"

#include "device/ReportCodec.h"

#include <QtTest>

void FakeHost::hostClearHidBusy()
{
    record(QStringLiteral("clearHidBusy"));
    if (hid) hid->idle = true;
}

void FakeHost::hostProfileRead(unsigned int profileNo, const QByteArray &bytes)
{
    record(QStringLiteral("readProfile %1").arg(profileNo));
    if (profileNo < images.size() && bytes.size() == 128) std::copy(bytes.begin(), bytes.end(), images[profileNo].begin());
}

DeviceRig::DeviceRig(const Options &o, bool withData) : options(o)
{
    const QString family = QLatin1String(o.family == VirtualMouse::Family::F560 ? "560" : "553");
    if (withData) {
        // The shipped keyboard row (section 0) and a mouse row that matches the options.
        data = std::make_unique<TestData>();
        data->write(QStringLiteral("modules/setting/apConfig.bin"),
                    QStringLiteral("[common]\nname=SKELD R772\ndeviceCount=2\n\n"
                                   "[0]\ntype=0\nvid=04d9\npid=8008\nusagePage=ff01\nusage=0001\n"
                                   "usagePage2=ff02\nusage2=0001\nreportLength=64\nisEncode=false\nsCode=731952\n\n"
                                   "[1]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n"
                                   "usagePage2=ff01\nusage2=ff01\nreportLength=%1\nisEncode=%2\nsCode=%3\n\n"
                                   "[mouse]\nicType=%4\n")
                        .arg(o.reportLength)
                        .arg(o.isEncode ? "true" : "false", o.sCode, family)
                        .toUtf8());
    }
    VirtualMouse::Identity id = withData ? VirtualMouse::identityFromTable() : VirtualMouse::Identity{};
    if (!withData) std::tie(id.reportLength, id.isEncode, id.sCode) = std::tuple(o.reportLength, o.isEncode, o.sCode);
    mouse = std::make_shared<VirtualMouse>(o.family, id);
    hid.setBackend(std::make_shared<TracingBackend>(mouse, [this](const QByteArray &line, const QByteArray &) {
        // The event interface has its own reader; keep the command side.
        if (line.startsWith("EVENT ")) return;
        std::lock_guard lock(m_mutex);
        m_trace << QString::fromLatin1(line);
    }));
    hid.setDelayFunction([this](int ms) {
        std::lock_guard lock(m_mutex);
        m_delays << ms;
    });
    hid.owner = &host;
    host.hid = &hid;
    host.icType = family;
}

DeviceRig::~DeviceRig()
{
    hid.stopEventReader();
    hid.waitForReader();
}

bool DeviceRig::attach()
{
    auto rec = std::make_shared<DeviceRecord>();
    std::tie(rec->type, rec->vid, rec->pid) = std::tuple(1, 0x04d9, 0xa1ee);
    std::tie(rec->reportLength, rec->isEncode, rec->sCode) = std::tuple(options.reportLength, options.isEncode, options.sCode);
    rec->path = QString::fromLatin1(mouse->commandPath());
    rec->path2 = QString::fromLatin1(mouse->eventPath());
    hid.devices = DeviceList{std::make_shared<DeviceRecord>(), rec};
    return hid.chkDeviceIsEnCode(1);
}

void DeviceRig::clearTrace()
{
    std::lock_guard lock(m_mutex);
    m_trace.clear();
    m_delays.clear();
}

BridgeRig::BridgeRig(const Model &m) : rig(DeviceRig::Options{m.family, 32, m.isEncode, "731952"}, true), model(m)
{
    QVERIFY(rig.attach());
    view = std::make_unique<myQQuickView>();
    view->hid = &rig.hid;
    std::tie(view->isColorful, view->is55328, view->isGun) = std::tuple(m.isColorful, m.is55328, m.isGun);
    view->icType = QLatin1String(m.family == VirtualMouse::Family::F560 ? "560" : "553");
    rig.clearTrace();
}

void BridgeRig::setProfile(int index)
{
    view->stores().setCurrentProfile(index);
    rig.host.currentProfile = index;
}

void BridgeRig::readImages()
{
    for (uint r = 0; r < 5; ++r)
        view->mouseReadProfile(r);
    rig.clearTrace();
}

QStringList BridgeRig::commands() const
{
    QStringList out;
    quint8 code[8] = {};
    ReportCodec::loadSecrecyCode(code, rig.options.sCode);
    for (const QString &line : rig.trace().filter(QRegularExpression("^SET_FEATURE "))) {
        QByteArray bytes = QByteArray::fromHex(line.mid(12).toLatin1());
        if (model.isEncode) ReportCodec::decipher(reinterpret_cast<quint8 *>(bytes.data()) + 1, code);
        out << QString::fromLatin1(bytes.toHex(' '));
    }
    return out;
}

QByteArray BridgeRig::payload() const
{
    QByteArray out;
    for (const QString &line : rig.trace().filter(QRegularExpression("^WRITE ")))
        out += QByteArray::fromHex(line.mid(6).toLatin1()).mid(1);
    return out;
}

QByteArray plainReport(quint8 code, std::array<quint8, 6> params)
{
    return toBytes(ReportCodec::commandReport(code, params));
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

QByteArray pattern(int n)
{
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char((i * 7 + 3) & 0xFF);
    return p;
}
