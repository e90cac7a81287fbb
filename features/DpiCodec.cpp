#include "features/DpiCodec.h"

#include "features/ByteValues.h"

#include <algorithm>

namespace DpiCodec
{

Sensor sensorFromName(QStringView name)
{
    if (name == u"3360") return Sensor::S3360;
    if (name == u"3050") return Sensor::S3050;
    if (name == u"3389") return Sensor::S3389;
    if (name == u"3327") return Sensor::S3327;
    return Sensor::S4090;
}

namespace
{
quint8 clampByte(qint64 v)
{
    return quint8(std::clamp<qint64>(v, 0, 0xFF));
}
} // namespace

StageCode stageCode(qint64 v, Sensor sensor)
{
    switch (sensor) {
    case Sensor::S4090:
        if (v <= 5000) return {clampByte(v / 100 - 1), false};
        // 200-DPI steps with bit 6 set; six bits reach 12799 DPI.
        return {quint8(std::min<qint64>(v / 200, 0x3F) | 0x40), false};
    case Sensor::S3360:
        return {clampByte(v / 100 - 1), false};
    case Sensor::S3050: {
        static constexpr std::array<std::pair<int, quint8>, 12> table{{{250, 1},
                                                                       {500, 2},
                                                                       {750, 3},
                                                                       {1000, 4},
                                                                       {1250, 5},
                                                                       {1500, 6},
                                                                       {1750, 7},
                                                                       {2000, 8},
                                                                       {2500, 0x45},
                                                                       {3000, 0x46},
                                                                       {3500, 0x47},
                                                                       {4000, 0x48}}};
        for (const auto &[threshold, code] : table)
            if (v <= threshold) return {code, false};
        return {0x48, false};
    }
    case Sensor::S3389: {
        const qint64 c = std::clamp<qint64>(v / 50, 0, 0x1FF);
        return {quint8(c & 0xFF), c > 0xFF};
    }
    case Sensor::S3327:
        return {clampByte(v / 100), false};
    }
    return {};
}

Stages encodeStages(const QVariantList &values, Sensor sensor)
{
    Stages s;
    s.listed = int(std::min<qsizetype>(values.size(), kStages));
    for (int i = 0; i < s.listed; ++i) {
        const StageCode c = stageCode(ByteValues::toInt(values.at(i)), sensor);
        s.codes[size_t(i)] = c.code;
        if (c.highBit) s.highBits |= quint8(1u << i);
    }
    return s;
}

Codes buffer553(const Stages &stages, int dpiCount)
{
    Codes out = stages.codes;
    for (int i = std::max(dpiCount, 0); i < stages.listed; ++i)
        out[size_t(i)] = 0x80; // the 553 firmware skips stages marked off
    return out;
}

quint8 stageMask(int dpiCount)
{
    const int n = std::clamp(dpiCount, 0, kStages);
    return quint8((1u << n) - 1u);
}

void patchImage(std::array<quint8, 128> &image, const Stages &stages, int dpiCount, Sensor sensor)
{
    for (int i = 0; i < kStages; ++i) {
        image[size_t(84 + i)] = stages.codes[size_t(i)];
        image[size_t(92 + i)] = stages.codes[size_t(i)];
    }
    image[100] = stageMask(dpiCount);
    if (sensor == Sensor::S3389) {
        image[82] = stages.highBits;
        image[83] = stages.highBits;
    }
}

} // namespace DpiCodec
