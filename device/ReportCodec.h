#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <cstddef>

// The framing and scrambling of command reports, as pure functions: no I/O,
// so the byte sequences can be checked on their own.
namespace ReportCodec
{
constexpr size_t kReportSize = 9;
constexpr size_t kBlockSize = 8;
using Report = std::array<quint8, kReportSize>;
using Block = std::array<quint8, kBlockSize>;

constexpr Block kKeyTable = {'P', 'u', 'D', 'e', 's', 'K', 'a', 'l'};

// Bitwise NOT of the 8-bit sum of the seven bytes at `src`.
constexpr quint8 checksum(const quint8 *src)
{
    quint8 sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = quint8(sum + src[i]);
    return quint8(~sum);
}

// 00, code, six parameters, checksum over bytes 1..7.
constexpr Report commandReport(quint8 code, const std::array<quint8, 6> &params)
{
    Report r{};
    r[1] = code;
    for (size_t i = 0; i < 6; ++i)
        r[2 + i] = params[i];
    r[8] = checksum(r.data() + 1);
    return r;
}

static_assert(commandReport(0x01, {0x02, 0, 0, 0, 0, 0})[8] == 0xFC);
static_assert(commandReport(0x82, {})[8] == 0x7D);

// Secrecy code bytes 1..6 are used; 0 and 7 are not. Both work in place on
// eight bytes and are each other's inverse for any code.
void encipher(quint8 *block8, const quint8 *code8);
void decipher(quint8 *block8, const quint8 *code8);

// Six characters give the six code bytes (into code8[1..6]); any other
// length leaves the code as it was. Returns whether it was loaded.
bool loadSecrecyCode(quint8 *code8, const QString &sCode);
} // namespace ReportCodec
