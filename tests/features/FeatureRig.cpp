#include "FeatureRig.h"

#include "device/ReportCodec.h"

namespace
{
DeviceRig::Options optionsOf(const FeatureRig::Model &m)
{
    DeviceRig::Options o;
    o.family = m.family;
    o.isEncode = m.isEncode;
    o.reportLength = m.reportLength;
    return o;
}
} // namespace

FeatureRig::FeatureRig(const Model &model) : rig(optionsOf(model), true), m_model(model)
{
    // The bridge opens its stores relative to the working directory, which
    // must be the rig's private data copy.
    Q_ASSERT(rig.data && rig.data->isValid());
    rig.attach();
    view = std::make_unique<myQQuickView>();
    view->hid = &rig.hid;
    view->isColorful = model.isColorful;
    view->is55328 = model.is55328;
    view->isGun = model.isGun;
    view->icType =
        model.family == VirtualMouse::Family::F560 ? QStringLiteral("560") : QStringLiteral("553");
    rig.clearTrace();
}

void FeatureRig::setProfile(int index)
{
    view->stores().setCurrentProfile(index);
    rig.host.currentProfile = index;
}

void FeatureRig::readImages(std::initializer_list<int> records)
{
    for (int r : records)
        view->mouseReadProfile(uint(r));
    rig.clearTrace();
}

QStringList FeatureRig::commands() const
{
    QStringList out;
    quint8 code[8] = {};
    ReportCodec::loadSecrecyCode(code, rig.options.sCode);
    for (const QString &line : rig.trace()) {
        if (!line.startsWith(QLatin1String("SET_FEATURE "))) continue;
        QByteArray bytes = QByteArray::fromHex(line.mid(12).toLatin1());
        if (m_model.isEncode && bytes.size() == 9)
            ReportCodec::decipher(reinterpret_cast<quint8 *>(bytes.data()) + 1, code);
        out << QString::fromLatin1(bytes.toHex(' '));
    }
    return out;
}

QByteArray FeatureRig::payload() const
{
    QByteArray out;
    for (const QString &line : rig.trace())
        if (line.startsWith(QLatin1String("WRITE ")))
            out += QByteArray::fromHex(line.mid(6).toLatin1()).mid(1);
    return out;
}

int FeatureRig::writes() const
{
    int n = 0;
    for (const QString &line : rig.trace())
        n += line.startsWith(QLatin1String("WRITE ")) ? 1 : 0;
    return n;
}

QString FeatureRig::report(quint8 code, std::array<quint8, 6> params)
{
    return QString::fromLatin1(plainReport(code, params).toHex(' '));
}
