#include "pictures/picture_colors.h"

#include <algorithm>

namespace palfade {

void ScanPictureColors(const RgbPixels& pixels, const std::array<std::int16_t, 256>& inverse,
                       ImportSlots& importSlots)
{
    importSlots.fill(kEmptySlot);
    if (pixels.data == nullptr)
        return;
    // Pictures are mostly runs of one colour: a pixel like the one before it
    // is already in a slot.
    std::int32_t previous = kEmptySlot;
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* p = pixels.data + static_cast<qsizetype>(y) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, p += 3) {
            const std::int32_t key = ColorKey(inverse[p[0]], inverse[p[1]], inverse[p[2]]);
            if (key == previous)
                continue;
            previous = key;
            bool placed = false;
            for (std::int32_t& slot : importSlots) {
                if (slot == key) {
                    placed = true;
                    break;
                }
                if (slot == kEmptySlot) {
                    slot = key;
                    placed = true;
                    break;
                }
            }
            if (!placed)
                return; // a 17th colour
        }
    }
}

void ScanColorTable(std::span<const std::uint32_t> table, std::size_t first,
                    const std::array<std::int16_t, 256>& inverse, ImportSlots& importSlots)
{
    importSlots.fill(kEmptySlot);
    for (std::size_t k = 0; k < importSlots.size() && first + k < table.size(); ++k) {
        const std::uint32_t rgb = table[first + k];
        importSlots[k] = ColorKey(inverse[(rgb >> 16) & 0xFF], inverse[(rgb >> 8) & 0xFF], inverse[rgb & 0xFF]);
    }
}

std::optional<PaletteEntry> ExactColourEntry(std::uint32_t rgb, const LevelTable& levels)
{
    const std::array<std::int32_t, 3> channels{static_cast<std::int32_t>((rgb >> 16) & 0xFF),
                                                static_cast<std::int32_t>((rgb >> 8) & 0xFF),
                                                static_cast<std::int32_t>(rgb & 0xFF)};
    const auto shows = [&](const PaletteEntry& e) {
        return DisplayColor(levels, e) == MakeDisplayRgb(channels[0], channels[1], channels[2]);
    };
    const PaletteEntry mapped =
        EntryFromIndices(levels.inverse[static_cast<std::size_t>(channels[0])],
                         levels.inverse[static_cast<std::size_t>(channels[1])],
                         levels.inverse[static_cast<std::size_t>(channels[2])], true);
    if (shows(mapped))
        return mapped;
    for (const std::int32_t dark : {0, 1}) {
        std::array<std::int32_t, 3> level{};
        for (std::size_t c = 0; c < channels.size(); ++c) {
            level[c] = -1;
            for (std::int32_t l = 0; l <= kMaxLevel && level[c] < 0; ++l)
                if (levels.forward[static_cast<std::size_t>(IntensityIndex(l, dark))] == channels[c])
                    level[c] = l;
        }
        if (level[0] >= 0 && level[1] >= 0 && level[2] >= 0)
            return PaletteEntry{level[0], level[1], level[2], dark};
    }
    return std::nullopt;
}

PaletteEntry NgdevkitEntry(std::uint32_t rgb)
{
    const std::int32_t red = static_cast<std::int32_t>((rgb >> 16) & 0xFF) >> 2;
    const std::int32_t green = static_cast<std::int32_t>((rgb >> 8) & 0xFF) >> 2;
    const std::int32_t blue = static_cast<std::int32_t>(rgb & 0xFF) >> 2;
    const bool dark = red % 2 == 0 && green % 2 == 0 && blue % 2 == 0;
    return PaletteEntry{red >> 1, green >> 1, blue >> 1, dark ? 1 : 0};
}

void ScanNgdevkitColors(const RgbPixels& pixels, SourcePalette& palette)
{
    if (pixels.data == nullptr)
        return;
    std::size_t found = 0;
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* p = pixels.data + static_cast<qsizetype>(y) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, p += 3) {
            const PaletteEntry entry = NgdevkitEntry((std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2]);
            if (std::find(palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(found), entry) !=
                palette.begin() + static_cast<std::ptrdiff_t>(found))
                continue;
            if (found == palette.size())
                return; // a 17th colour
            palette[found++] = entry;
        }
    }
}

void ApplyPictureSlots(const ImportSlots& importSlots, SourcePalette& palette)
{
    auto index = [](std::int32_t key, int shift) {
        return std::clamp((key >> shift) & 0xFF, 0, kIntensityCount - 1);
    };
    for (std::size_t k = 0; k < importSlots.size(); ++k) {
        const std::int32_t key = importSlots[k];
        if (key < 0)
            continue;
        palette[k] = EntryFromIndices(index(key, 0), index(key, 8), index(key, 16), true);
    }
}

} // namespace palfade
