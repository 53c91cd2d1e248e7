#pragma once
// The hexadecimal form of a colour word: the four digits after "$" or "0x" in
// the exports and in the palette editor's field, and reading them back.

#include "core/hw_color.h"

#include <array>
#include <string_view>

namespace palfade {

// Upper-case, most significant digit first.
constexpr std::array<char, 4> HexWordDigits(HwColor word)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[(word >> 12) & 0xF], kDigits[(word >> 8) & 0xF], kDigits[(word >> 4) & 0xF], kDigits[word & 0xF]};
}

// The hex digits (either case) at the start of text, up to the first other
// character; none gives 0. Only the low 16 bits are kept while accumulating,
// so the last four digits count and any number of digits reads safely.
constexpr HwColor ParseHexWord(std::u16string_view text)
{
    unsigned value = 0;
    for (const char16_t c : text) {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        if (digit < 0)
            break;
        value = ((value << 4) | static_cast<unsigned>(digit)) & 0xFFFFu;
    }
    return static_cast<HwColor>(value);
}

} // namespace palfade
