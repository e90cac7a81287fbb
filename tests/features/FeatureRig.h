#pragma once

#include "../device/DeviceRig.h"
#include "app/myQQuickView.h"

#include <QByteArray>
#include <QList>
#include <memory>

// The bridge wired to a worker that talks to the virtual mouse, with the
// trace and the delays recorded. The capability flags of the bridge are set
// per test, as the global file would set them.
class FeatureRig
{
public:
    struct Model {
        VirtualMouse::Family family = VirtualMouse::Family::F553;
        bool isEncode = false;
        bool isColorful = false;
        bool is55328 = false;
        bool isGun = false;
        int reportLength = 32;
    };

    explicit FeatureRig(const Model &model);

    DeviceRig rig;
    std::unique_ptr<myQQuickView> view;

    void setProfile(int index);
    // Reads the device's records into the images, as a connection start does.
    void readImages(std::initializer_list<int> records);

    // Command reports sent since the last clear, deciphered, as hex text.
    QStringList commands() const;
    // Payload bytes of every output report since the last clear, joined.
    QByteArray payload() const;
    int writes() const;
    void clear() { rig.clearTrace(); }

    VirtualMouse::State state() const { return rig.mouse->state(); }

    static QString report(quint8 code, std::array<quint8, 6> params);
    // The pattern the virtual mouse starts its profile records with.
    static quint8 recordByte(int record, int i) { return quint8((record * 0x20 + i) & 0xFF); }

private:
    Model m_model;
};
