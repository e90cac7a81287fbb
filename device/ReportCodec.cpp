#include "device/ReportCodec.h"

#include <utility>

namespace ReportCodec
{
namespace
{
constexpr quint8 swapNibbles(quint8 b)
{
    return quint8((b << 4) | (b >> 4));
}

void swapPairs(quint8 *b)
{
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}

quint64 toWord(const quint8 *b)
{
    quint64 w = 0;
    for (int i = 0; i < 8; ++i)
        w = (w << 8) | b[i];
    return w;
}

void fromWord(quint64 w, quint8 *b)
{
    for (int i = 7; i >= 0; --i) {
        b[i] = quint8(w & 0xFF);
        w >>= 8;
    }
}
} // namespace

void encipher(quint8 *b, const quint8 *code)
{
    swapPairs(b);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    const quint64 w = toWord(b);
    fromWord((w << 3) | (w >> 61), b);
    for (int i = 0; i < 8; ++i)
        b[i] = quint8(b[i] + swapNibbles(kKeyTable[size_t(i)]));
}

void decipher(quint8 *b, const quint8 *code)
{
    for (int i = 0; i < 8; ++i)
        b[i] = quint8(b[i] - swapNibbles(kKeyTable[size_t(i)]));
    const quint64 w = toWord(b);
    fromWord((w >> 3) | (w << 61), b);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    swapPairs(b);
}

bool loadSecrecyCode(quint8 *code8, const QString &sCode)
{
    if (sCode.size() != 6) return false;
    for (int i = 0; i < 6; ++i)
        code8[1 + i] = quint8(sCode.at(i).unicode() & 0xFF);
    return true;
}
} // namespace ReportCodec
