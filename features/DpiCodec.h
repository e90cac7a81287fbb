#pragma once

#include <QStringView>
#include <QVariantList>
#include <QtGlobal>
#include <array>

// DPI stage values to the one-byte stage codes of each sensor, and the
// buffers the two device families take. Pure functions.
namespace DpiCodec
{

constexpr int kStages = 8;
using Codes = std::array<quint8, kStages>;

enum class Sensor { S4090, S3360, S3050, S3389, S3327 };

// Unknown names, the empty one included, encode like "4090".
Sensor sensorFromName(QStringView name);

struct StageCode {
    quint8 code = 0;
    bool highBit = false; // ninth bit, "3389" only
};

// Values beyond what a sensor's code can carry are clamped to its highest
// code instead of wrapping into an unrelated stage; values below its lowest
// DPI give its lowest code.
StageCode stageCode(qint64 dpi, Sensor sensor);

struct Stages {
    Codes codes{};       // stage 1 first; 0 where the list has no value
    quint8 highBits = 0; // bit i = ninth bit of stage i+1
    int listed = 0;      // how many stages the list carried (at most 8)
};

Stages encodeStages(const QVariantList &values, Sensor sensor);

// 553 family: stages from dpiCount on that the list carries are marked off.
Codes buffer553(const Stages &stages, int dpiCount);

// 560 family: bit i for every active stage i+1.
quint8 stageMask(int dpiCount);

// Writes stage codes (X and Y), mask and, for "3389", the flag bytes into
// one 128-byte profile image.
void patchImage(std::array<quint8, 128> &image, const Stages &stages, int dpiCount, Sensor sensor);

} // namespace DpiCodec
