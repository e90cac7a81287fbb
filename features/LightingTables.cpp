#include "features/LightingTables.h"

#include "features/ByteValues.h"

#include <algorithm>

namespace LightingTables
{

namespace
{
quint8 pick(const std::array<quint8, 5> &row, quint8 step)
{
    return step < 5 ? row[step] : 0;
}

quint8 brightness(quint8 step)
{
    switch (step) {
    case 1:
        return 64;
    case 2:
        return 128;
    case 3:
        return 192;
    case 4:
        return 255;
    default:
        return 0;
    }
}
} // namespace

Triple colorfulEffect(quint8 effect, quint8 speedStep, quint8 brightnessStep)
{
    static constexpr std::array<quint8, 5> slow{10, 7, 5, 3, 1};
    static constexpr std::array<quint8, 5> neon{20, 18, 15, 14, 13};
    static constexpr std::array<quint8, 5> yoyo{15, 13, 10, 7, 5};
    static constexpr std::array<quint8, 5> spot{30, 28, 26, 24, 23};
    const quint8 bright = brightness(brightnessStep);
    switch (effect) {
    case 0:
        return {0, 0, 0};
    case 1:
        return {1, bright, pick(slow, speedStep)};
    case 2:
        return {2, bright, pick(neon, speedStep)};
    case 3:
        return {3, 0, pick(slow, speedStep)};
    case 4:
        return {4, bright, 0};
    case 5:
        return {5, bright, 0};
    case 6:
        return {6, 0, pick(slow, speedStep)};
    case 7:
        return {7, 0, 0};
    case 8:
        return {8, bright, 0};
    case 9:
        return {9, bright, pick(yoyo, speedStep)};
    case 10:
        return {10, bright, pick(spot, speedStep)};
    default:
        return {0, 0, 0};
    }
}

Triple plainEffect(quint8 effect, quint8 speedStep, quint8 brightnessStep)
{
    static constexpr std::array<quint8, 5> level{1, 3, 5, 7, 10};
    static constexpr std::array<quint8, 5> neon{30, 24, 18, 12, 6};
    switch (effect) {
    case 0:
        return {1, pick(level, brightnessStep), 1};
    case 1:
        return {2, quint8(speedStep + 1), 1};
    case 2:
        return {3, pick(neon, speedStep), 1};
    case 4:
        return {2, quint8(speedStep + 1), 3};
    default:
        return {0, 0, 0};
    }
}

Colors colorsFromList(const QVariantList &src24)
{
    Colors c{};
    const qsizetype n = std::min<qsizetype>(src24.size(), 24);
    for (qsizetype i = 0; i < n; ++i)
        c[size_t(i)] = ByteValues::toByte(src24.at(i));
    return c;
}

bool hasColor8(const Colors &colors)
{
    return colors[21] || colors[22] || colors[23];
}

void patchEffect(std::array<quint8, 128> &image, const Triple &bytes)
{
    image[kEffectOffset] = bytes.a;
    image[kEffectOffset + 1] = bytes.b;
    image[kEffectOffset + 2] = bytes.c;
}

void patchColors(std::array<quint8, 128> &image, int offset, const Colors &colors)
{
    std::copy(colors.begin(), colors.end(), image.begin() + offset);
}

} // namespace LightingTables
