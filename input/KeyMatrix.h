#pragma once

#include <QVariantList>
#include <QtGlobal>
#include <array>

// Button bindings as the pages store them, and the device key matrix they
// translate to. Pure functions: no I/O, no settings, no device.
namespace KeyMatrix
{

constexpr int kButtons = 16;
constexpr int kMatrixBytes = kButtons * 4;
constexpr int kMatrix560Bytes = 128;
static_assert(kMatrixBytes == 64);

// One binding: kind, then three codes.
using Binding = std::array<quint8, 4>;
using Bindings = std::array<Binding, kButtons>;
using Matrix = std::array<quint8, kMatrixBytes>;
using Matrix560 = std::array<quint8, kMatrix560Bytes>;

// Binding kinds the pages produce.
enum BindingKind : quint8 {
    MouseButton = 0x00,
    Fire = 0x01,
    KeyCombination = 0x02,
    Media = 0x03,
    Macro = 0x04,
    DpiFunction = 0x05,
    SystemFunction = 0x06,
    Shortcut = 0x07,
    GunSlot = 0x08,
    GunFunction = 0x0B,
    Special = 0xFF,
};

// Device kinds the translation produces.
enum DeviceKind : quint8 {
    DevKeys = 0x00,
    DevMouse = 0x01,
    DevConsumer = 0x03,
    DevSpecial = 0x04,
    DevDpi = 0x07,
    DevGunSlot = 0x08,
    DevMacro = 0x09,
    DevFire = 0x0A,
    DevGun = 0x0B,
    DevFixed = 0x0C,
};

// The four numbers of one button (missing or non-numeric ones are 0) as
// they are written to the profile.
QVariantList storedBinding(const QVariantList &src64, int button);
// A stored binding (any length) as bytes; missing numbers are 0.
Binding bindingFromList(const QVariantList &list);
// The sixteen bindings of a flat list of 64 numbers, button 0 first.
Bindings bindingsFromFlat(const QVariantList &src64);

// One binding translated to its device entry, before the gun-function move
// and the reorder. `is560` selects the sniper DPI function's form.
Binding translateBinding(const Binding &binding, bool is560);

// The whole device matrix: translation, gun function moved to entry 0,
// buttons 3/4/5 reordered, entry 8 fixed.
Matrix buildDeviceMatrix(const Bindings &bindings, bool is560);

// The 560 family always takes 128 bytes: the matrix, then zeros.
Matrix560 to560Form(const Matrix &matrix);

// The factory matrix of the reset: the stored entries sent as they are.
Matrix560 factoryMatrix(const std::array<QVariantList, kButtons> &entries);

} // namespace KeyMatrix
