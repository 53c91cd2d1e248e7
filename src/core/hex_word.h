#pragma once
// The hexadecimal form of a colour word: the four digits after "$" or "0x" in
// the exports and in the palette editor's field, and reading them back.

#include "core/hw_color.h"

#include <array>
#include <optional>
#include <string_view>

namespace palfade {

// Upper-case, most significant digit first.
constexpr std::array<char, 4> HexWordDigits(HwColor word)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[(word >> 12) & 0xF], kDigits[(word >> 8) & 0xF], kDigits[(word >> 4) & 0xF], kDigits[word & 0xF]};
}

// 0-15 for an ASCII hex digit of either case, -1 for anything else.
constexpr int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// The hex digits (either case) at the start of text, up to the first other
// character; none gives 0. Only the low 16 bits are kept while accumulating,
// so the last four digits count and any number of digits reads safely.
constexpr HwColor ParseHexWord(std::u16string_view text)
{
    unsigned value = 0;
    for (const char16_t c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            break;
        value = ((value << 4) | static_cast<unsigned>(digit)) & 0xFFFFu;
    }
    return static_cast<HwColor>(value);
}

// One to four ASCII hex digits (either case) and nothing else, as a word is
// typed on a command line; anything else is no word rather than a guess.
constexpr std::optional<HwColor> ParseHexDigits(std::string_view text)
{
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(static_cast<unsigned char>(c));
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<unsigned>(digit);
    }
    return static_cast<HwColor>(value);
}

} // namespace palfade
