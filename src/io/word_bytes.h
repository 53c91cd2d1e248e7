#pragma once
// Colour words as bytes, high byte first: palette files and binary exports.

#include "core/hw_color.h"

#include <QByteArray>
#include <QByteArrayView>

namespace palfade {

// Writes the word's two bytes at `at` and returns where they end.
inline char* PutBigEndianWord(char* at, HwColor word)
{
    at[0] = static_cast<char>(word >> 8);
    at[1] = static_cast<char>(word & 0xFF);
    return at + 2;
}

inline void AppendBigEndianWord(QByteArray& out, HwColor word)
{
    char bytes[2];
    out.append(bytes, PutBigEndianWord(bytes, word) - bytes);
}

// Word `index` of bytes; bytes past the end read as zero.
inline HwColor BigEndianWordAt(QByteArrayView bytes, qsizetype index)
{
    auto byteAt = [&](qsizetype i) -> unsigned { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    return static_cast<HwColor>((byteAt(2 * index) << 8) | byteAt(2 * index + 1));
}

} // namespace palfade
