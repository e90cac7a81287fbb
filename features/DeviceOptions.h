#pragma once

#include <QtGlobal>
#include <array>
#include <optional>

// Report rate, option bytes and the gun fields of the profile images.
namespace DeviceOptions
{

// The rate byte is the report interval in ms; the main page stores the
// index of its four choices.
std::optional<quint8> rateByteForIndex(int index);
std::optional<quint8> rateByteForHz(int hz);
std::optional<int> rateIndexForHz(int hz);
// The main page's rule for a stored index: anything unknown is 1000 Hz.
quint8 rateByteForStored(int index);

// The 553 firmware mirrors the vertical axis when option byte 3 is set, so
// the Y correction must be sent negated then.
quint8 gunYByte(qint64 y, quint8 optionByte3);

// Gun fields of one 560 profile image.
void patchGun(std::array<quint8, 128> &image, quint8 shots, quint8 x, quint8 y);

constexpr int kStageCountOffset = 70;

} // namespace DeviceOptions
