#include "DeviceRig.h"

#include "device/ReportCodec.h"

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
    mouse = std::make_shared<VirtualMouse>(o.family, withData ? VirtualMouse::identityFromTable() : identity(o));
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
    if (mouse) mouse->endPendingReads();
    hid.waitForReader();
}

VirtualMouse::Identity DeviceRig::identity(const Options &o)
{
    VirtualMouse::Identity id;
    std::tie(id.reportLength, id.isEncode, id.sCode) = std::tuple(o.reportLength, o.isEncode, o.sCode);
    return id;
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

QByteArray runCommand(Hid_Thread &hid, const QString &key, QByteArray preset)
{
    QByteArray p128 = pattern(128), buf(128, '\x55');
    uchar *o = reinterpret_cast<uchar *>(preset.data()), *p = reinterpret_cast<uchar *>(p128.data());
    // clang-format off
    if (key == "553:01") hid.hid553_01H_SetReportRate(4);
    else if (key == "553:02") hid.hid553_02H_SetCurrentKeyMatrix(2);
    else if (key == "553:03") hid.hid553_03H_SetKeyboardoption(1, 2, 3, 0x40);
    else if (key == "553:04") hid.hid553_04H_SetGunData(0x0A, 0x0B, 0x0C, 0x0D);
    else if (key == "553:0B") hid.hid553_0BH_SetCurrentDPI(3);
    else if (key == "553:0C") hid.hid553_0CH_SetFixLEDColor(p);
    else if (key == "553:0D") hid.hid553_0DH_SetRGBLedEffect(5, 6, 7);
    else if (key == "553:10t2") hid.hid553_10H_SetLED8StageColor(2, p);
    else if (key == "553:10t0") hid.hid553_10H_SetLED8StageColor(0, p);
    else if (key == "553:11") hid.hid553_11H_SetDPISet(6, p);
    else if (key == "553:12") hid.hid553_12H_SetKeyMatrix(p, 2);
    else if (key == "553:13") hid.hid553_13H_SetMacroKey(5, p);
    else if (key == "553:82dpi") return hid.hid553_8BH_GetCurrentDPI(o[0]), preset.left(1);
    else if (key == "553:82right") return hid.hid553_8BH_GetRight(o[0]), preset.left(1);
    else if (key == "553:83") return hid.hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]), preset;
    else if (key == "553:00") return hid.hid553_00H_GetSecrecyCode(o[0], o[1], o[2], o[3]), preset;
    else if (key == "560:01") hid.hid560_01H_SetKeyboardoption(0x08, 0x02);
    else if (key == "560:02") hid.hid560_02H_SetCurrentProfile(3);
    else if (key == "560:03") hid.hid560_03H_SetReportRate(2);
    else if (key == "560:04") hid.hid560_04H_SetCurrentDPI(5);
    else if (key == "560:0C") hid.hid560_0CH_setProfile(p, 2);
    else if (key == "560:0D") hid.hid560_0DH_SetKeyMatrix(p, 3);
    else if (key == "560:0F") hid.hid560_0FH_SetMacroKey(12, p);
    else if (key == "560:81") return hid.hid560_81H_GetKeyboardoption(o[0], o[1]), preset.left(2);
    else if (key == "560:82") return hid.hid560_82H_GetCurrentProfile(o[0]), preset.left(1);
    else if (key == "560:84") return o[0] = 2, hid.hid560_84H_GetCurrentDPI(o[0], o[1]), preset.left(2);
    else if (key == "560:8C") return hid.hid560_8CH_readProfile(reinterpret_cast<uchar *>(buf.data()), 3), buf;
    else qFatal("unknown command key %s", qPrintable(key));
    // clang-format on
    return QByteArray();
}

QStringList commandKeys()
{
    return QStringLiteral("553:01 553:02 553:03 553:04 553:0B 553:0C 553:0D 553:10t2 553:10t0 553:11 553:12 553:13 "
                          "553:82dpi 553:82right 553:83 553:00 560:01 560:02 560:03 560:04 560:0C 560:0D 560:0F "
                          "560:81 560:82 560:84 560:8C")
        .split(' ');
}
