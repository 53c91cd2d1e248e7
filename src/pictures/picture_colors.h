#pragma once
// Source palettes from pictures: the first 16 different colours in reading
// order, after mapping each 8-bit channel to an intensity index.

#include "core/hw_color.h"
#include "core/import_slots.h"
#include "core/level_table.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace palfade {

// Decoded 8-bit RGB pixels, three bytes per pixel, rows `stride` bytes apart.
struct RgbPixels {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    qsizetype stride = 0;
};

// A colour key packs three intensity indices like a display colour.
constexpr std::int32_t ColorKey(int redIndex, int greenIndex, int blueIndex)
{
    return redIndex | (greenIndex << 8) | (blueIndex << 16);
}

// Marks all slots empty, then collects the distinct keys in reading order
// (rows from the top, each left to right). The whole scan stops at the first
// 17th colour, so what follows it cannot matter.
void ScanPictureColors(const RgbPixels& pixels, const std::array<std::int16_t, 256>& inverse,
                       ImportSlots& importSlots);

// Entries first to first + 15 of a picture's colour table (0xAARRGGBB, alpha
// ignored), in table order, each mapped to its key as the scan maps a pixel.
// Slots past the table's end stay empty.
void ScanColorTable(std::span<const std::uint32_t> table, std::size_t first,
                    const std::array<std::int16_t, 256>& inverse, ImportSlots& importSlots);

// A picture colour (0xRRGGBB, higher bits ignored) as ngdevkit's palette tool
// converts it: each 8-bit channel c becomes the 6-bit value c >> 2, the dark
// bit is set only when all three 6-bit values are even, and each channel's
// level is its 6-bit value >> 1.
PaletteEntry NgdevkitEntry(std::uint32_t rgb);

// The first 16 different colours of the pixels in reading order, each as
// NgdevkitEntry gives it, into entries 0 on; entries past them keep theirs.
void ScanNgdevkitColors(const RgbPixels& pixels, SourcePalette& palette);

// The entry that shows exactly the colour `rgb` (0xRRGGBB, higher bits
// ignored) in the level set, if one does: the entry the picture rule gives
// (ScanColorTable, ApplyPictureSlots) when it shows that colour, else the
// normal version, else the dark one. The hardware set shows some levels alike
// with and without the dark bit, so a dark colour's channels can each map to
// a normal index while together they only have the dark version: the picture
// rule, reading each channel alone, would lose it.
std::optional<PaletteEntry> ExactColourEntry(std::uint32_t rgb, const LevelTable& levels);

// Each filled slot becomes an entry through EntryFromIndices with the dark bit
// allowed whatever the fade setting; an entry whose slot is empty keeps its
// previous colour.
void ApplyPictureSlots(const ImportSlots& importSlots, SourcePalette& palette);

} // namespace palfade
