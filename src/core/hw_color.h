#pragma once
// The Neo Geo colour word and the editable colour record: three 5-bit levels
// and one dark bit shared by the three channels, packed into 16 bits.

#include <array>
#include <cstdint>

namespace palfade {

// Bit 15 dark, bits 14/13/12 the low bits of red/green/blue, bits 11-8, 7-4
// and 3-0 the upper four bits of red, green and blue. Every value is a colour.
using HwColor = std::uint16_t;

inline constexpr int kPaletteSize = 16;
inline constexpr int kMaxLevel = 31;
inline constexpr int kIntensityCount = 64;

struct PaletteEntry {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    std::int32_t dark = 0;

    bool operator==(const PaletteEntry&) const = default;
};

using SourcePalette = std::array<PaletteEntry, kPaletteSize>;

constexpr HwColor EncodeHwColor(const PaletteEntry& e)
{
    std::uint32_t w = ((static_cast<std::uint32_t>(e.blue) >> 1) & 0xF) |
                      ((static_cast<std::uint32_t>(e.blue) & 1) << 12) |
                      (((static_cast<std::uint32_t>(e.green) >> 1) & 0xF) << 4) |
                      ((static_cast<std::uint32_t>(e.green) & 1) << 13) |
                      (((static_cast<std::uint32_t>(e.red) >> 1) & 0xF) << 8) |
                      ((static_cast<std::uint32_t>(e.red) & 1) << 14);
    if (e.dark == 1)
        w |= 0x8000;
    return static_cast<HwColor>(w & 0xFFFF);
}

// A palette as the words a game loads.
using PaletteWords = std::array<HwColor, kPaletteSize>;

constexpr PaletteWords WordsOfPalette(const SourcePalette& palette)
{
    PaletteWords words{};
    for (std::size_t j = 0; j < words.size(); ++j)
        words[j] = EncodeHwColor(palette[j]);
    return words;
}

constexpr PaletteEntry DecodeHwColor(HwColor word)
{
    const std::int32_t w = word;
    return PaletteEntry{((w >> 14) & 1) | ((w >> 7) & 0x1E),
                        ((w >> 13) & 1) | ((w >> 3) & 0x1E),
                        ((w >> 12) & 1) | ((w << 1) & 0x1E),
                        (w >> 15) & 1};
}

// The entries of a palette's words; WordsOfPalette gives them back.
constexpr SourcePalette PaletteOfWords(const PaletteWords& words)
{
    SourcePalette palette{};
    for (std::size_t j = 0; j < palette.size(); ++j)
        palette[j] = DecodeHwColor(words[j]);
    return palette;
}

// The half-step scale: the normal version of level L is the odd index 2L+1,
// its dark version the even index 2L. Indices 0 and 1 are both black.
constexpr std::int32_t IntensityIndex(std::int32_t level, std::int32_t dark)
{
    return 2 * level + 1 - dark;
}

// Three intensity indices back to levels and one shared dark bit. The dark bit
// is only possible when every channel is on a dark (even) index or black; when
// one channel needs the normal version, the even channels lose half a step of
// darkness rather than the odd one losing half a step of brightness.
constexpr PaletteEntry EntryFromIndices(std::int32_t r, std::int32_t g, std::int32_t b,
                                        bool darkAllowed)
{
    auto darkable = [](std::int32_t i) { return i <= 1 || (i & 1) == 0; };
    const bool dark = darkAllowed && darkable(r) && darkable(g) && darkable(b);
    return PaletteEntry{r >> 1, g >> 1, b >> 1, dark ? 1 : 0};
}

} // namespace palfade
