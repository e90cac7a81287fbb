#pragma once

#include <QVariantList>
#include <QtGlobal>
#include <array>

// The lighting page's choices (effect index, speed step, brightness step,
// colour list) as the byte values each model takes. Pure functions.
namespace LightingTables
{

struct Triple {
    quint8 a = 0, b = 0, c = 0;
    bool operator==(const Triple &) const = default;
};

// RGB models: mode, brightness, speed.
Triple colorfulEffect(quint8 effect, quint8 speedStep, quint8 brightnessStep);
// Single-colour models: the (A, B, C) triple.
Triple plainEffect(quint8 effect, quint8 speedStep, quint8 brightnessStep);

using Colors = std::array<quint8, 24>;
// R, G, B of eight colours; zero-filled, at most 24 values used.
Colors colorsFromList(const QVariantList &src24);
// Colour 8 carries the "Breath Loop" colour on is55328 models.
bool hasColor8(const Colors &colors);

// Where the lighting bytes sit in the 560 family's profile images.
constexpr int kEffectOffset = 71;
constexpr int kColorfulColorsImage = 0;
constexpr int kColorfulColorsOffset = 24;
constexpr int kPlainColorsImage = 1;
constexpr int kPlainColorsOffset = 104;

void patchEffect(std::array<quint8, 128> &image, const Triple &bytes);
void patchColors(std::array<quint8, 128> &image, int offset, const Colors &colors);

} // namespace LightingTables
