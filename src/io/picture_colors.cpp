#include "io/picture_colors.h"

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
