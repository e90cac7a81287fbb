#include "features/DeviceOptions.h"

namespace DeviceOptions
{

std::optional<quint8> rateByteForIndex(int index)
{
    static constexpr std::array<quint8, 4> bytes{8, 4, 2, 1};
    if (index < 0 || index >= int(bytes.size())) return std::nullopt;
    return bytes[size_t(index)];
}

quint8 rateByteForStored(int index)
{
    return rateByteForIndex(index).value_or(1);
}

std::optional<int> rateIndexForHz(int hz)
{
    switch (hz) {
    case 125:
        return 0;
    case 250:
        return 1;
    case 500:
        return 2;
    case 1000:
        return 3;
    default:
        return std::nullopt;
    }
}

std::optional<quint8> rateByteForHz(int hz)
{
    const auto index = rateIndexForHz(hz);
    return index ? rateByteForIndex(*index) : std::nullopt;
}

quint8 gunYByte(qint64 y, quint8 optionByte3)
{
    const quint8 low = quint8(y & 0xFF);
    return optionByte3 ? quint8(-low) : low;
}

void patchGun(std::array<quint8, 128> &image, quint8 shots, quint8 x, quint8 y)
{
    image[65] = quint8(image[65] & ~0x04);
    image[78] = 0xF0;
    image[79] = shots;
    image[80] = x;
    image[81] = y;
}

} // namespace DeviceOptions
