#include "input/KeyMatrix.h"

#include "features/ByteValues.h"

namespace KeyMatrix
{

QVariantList storedBinding(const QVariantList &src64, int button)
{
    QVariantList out;
    for (int i = 0; i < 4; ++i)
        out << int(ByteValues::intAt(src64, qsizetype(button) * 4 + i));
    return out;
}

Binding bindingFromList(const QVariantList &list)
{
    Binding b{};
    for (int i = 0; i < 4; ++i)
        b[size_t(i)] = ByteValues::byteAt(list, i);
    return b;
}

Bindings bindingsFromFlat(const QVariantList &src64)
{
    Bindings all{};
    for (int k = 0; k < kButtons; ++k)
        for (int i = 0; i < 4; ++i)
            all[size_t(k)][size_t(i)] = ByteValues::byteAt(src64, qsizetype(k) * 4 + i);
    return all;
}

namespace
{
// These code pairs are consumer-page usages whatever kind the page gave them,
// so the device must send them as consumer reports.
bool isConsumerUsage(quint8 b2, quint8 b3)
{
    return ((b2 == 0x21 || b2 == 0x23) && b3 == 0x02) || (b2 == 0x94 && b3 == 0x01);
}
} // namespace

Binding translateBinding(const Binding &in, bool is560)
{
    const auto [b0, b1, b2, b3] = in;
    Binding out = in;
    switch (b0) {
    case MouseButton:
        if (b2 == 0x1E && b3 == 0x02)
            out = {DevFire, b1, 0x1E, 0x02}; // double fire
        else
            out = {DevMouse, b1, b2, b3};
        break;
    case Fire:
        out = {DevFire, b1, b2, b3};
        break;
    case KeyCombination:
    case SystemFunction:
    case Shortcut:
        out = {DevKeys, b1, b2, b3};
        break;
    case Media:
        out = {DevConsumer, b1, b2, b3};
        break;
    case Macro:
        // The device counts macro slots from 1.
        out = {DevMacro, b1, quint8(b2 + 1), b3};
        break;
    case DpiFunction:
        if (b2 != 4)
            out = {DevDpi, b1, b2, b3};
        else if (is560)
            out = {DevGun, 0x00, 0x03, 0x03};
        else
            out = {DevDpi, 0x00, 0x04, 0x01};
        break;
    case GunSlot:
        out = {DevGunSlot, b1, b2, b3};
        break;
    case Special:
        out = {DevSpecial, b1, b2, b3};
        break;
    default:
        break; // 0x09..0xFE travel unchanged
    }
    if (isConsumerUsage(out[2], out[3])) out[0] = DevConsumer;
    return out;
}

Matrix buildDeviceMatrix(const Bindings &bindings, bool is560)
{
    Bindings entries{};
    for (int k = 0; k < kButtons; ++k)
        entries[size_t(k)] = translateBinding(bindings[size_t(k)], is560);

    // The firmware runs the gun function only from entry 0; its own button
    // keeps a placeholder.
    for (int k = 0; k < kButtons; ++k) {
        Binding &e = entries[size_t(k)];
        if (e[0] == DevGun && e[1] == 0xFF) {
            const Binding gun{DevGun, 0x00, e[2], e[3]};
            entries[0] = gun;
            e = {DevGunSlot, 0x00, 0x02, 0x00};
        }
    }

    // The firmware numbers the side and middle buttons differently from the
    // picture the pages show.
    const Binding b3 = entries[3], b4 = entries[4], b5 = entries[5];
    entries[3] = b4;
    entries[4] = b5;
    entries[5] = b3;
    entries[8] = {DevFixed, 0x00, 0x00, 0x00};

    Matrix m{};
    for (int k = 0; k < kButtons; ++k)
        for (int i = 0; i < 4; ++i)
            m[size_t(k * 4 + i)] = entries[size_t(k)][size_t(i)];
    return m;
}

Matrix560 to560Form(const Matrix &matrix)
{
    Matrix560 out{};
    std::copy(matrix.begin(), matrix.end(), out.begin());
    return out;
}

Matrix560 factoryMatrix(const std::array<QVariantList, kButtons> &entries)
{
    Matrix560 out{};
    for (int k = 0; k < kButtons; ++k) {
        const Binding b = bindingFromList(entries[size_t(k)]);
        for (int i = 0; i < 4; ++i)
            out[size_t(k * 4 + i)] = b[size_t(i)];
    }
    return out;
}

} // namespace KeyMatrix
