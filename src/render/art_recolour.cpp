#include "render/art_recolour.h"

#include <algorithm>

namespace palfade {
namespace {

HwColor ImportedWord(std::uint32_t pixel, const LevelTable& levels)
{
    auto index = [&](int shift) {
        return std::clamp<std::int32_t>(levels.inverse[(pixel >> shift) & 0xFF], 0, kIntensityCount - 1);
    };
    return EncodeHwColor(EntryFromIndices(index(16), index(8), index(0), true));
}

} // namespace

ArtMap MapArt(const ArtPicture& picture, const LevelTable& levels, const SourcePalette& top)
{
    ArtMap map;
    if (picture.indexed())
        return map;
    std::array<HwColor, kPaletteSize> words{};
    std::transform(top.begin(), top.end(), words.begin(), [](const PaletteEntry& e) { return EncodeHwColor(e); });
    map.entries.resize(picture.colours.size());
    // Art is mostly runs of one colour: a pixel like the one before it
    // belongs where that one did.
    std::uint32_t previous = 0;
    std::int8_t previousEntry = kNoEntry;
    bool first = true;
    for (std::size_t p = 0; p < picture.colours.size(); ++p) {
        const std::uint32_t pixel = picture.colours[p];
        if (first || pixel != previous) {
            const HwColor word = ImportedWord(pixel, levels);
            const auto it = std::find(words.begin(), words.end(), word);
            previousEntry = it == words.end() ? kNoEntry : static_cast<std::int8_t>(it - words.begin());
            previous = pixel;
            first = false;
        }
        map.entries[p] = previousEntry;
        if (previousEntry == kNoEntry)
            ++map.unmatched;
    }
    return map;
}

std::int64_t PixelsOfPalette(const ArtPicture& picture, const ArtMap& map, int palette)
{
    if (!picture.indexed())
        return palette == 0 ? picture.pixelCount() - map.unmatched : 0;
    const int first = palette * kPaletteSize;
    return std::count_if(picture.indices.begin(), picture.indices.end(),
                         [first](std::uint8_t n) { return n >= first && n < first + kPaletteSize; });
}

ArtColours OwnArtColours(const ArtPicture& picture)
{
    ArtColours colours;
    colours.fill(0xFF000000u);
    const std::size_t n = std::min(picture.table.size(), colours.size());
    for (std::size_t k = 0; k < n; ++k)
        colours[k] = 0xFF000000u | picture.table[k];
    return colours;
}

void PutFadeStep(const FadeTable& fade, int step, int palette, const LevelTable& levels, ArtColours& colours,
                 int colorCount)
{
    if (palette < 0 || palette >= kMaxArtPalettes || step < 0 || step >= fade.steps())
        return;
    for (int i = 0; i < kPaletteSize; ++i)
        colours[static_cast<std::size_t>(palette * kPaletteSize + i)] =
            DisplayToPixel(DisplayColor(levels, fade.at(i, i < colorCount ? step : 0)));
}

ArtColours ArtStepColours(const std::vector<FadeTable>& fades, bool wholeScreen, int artPalette, int step,
                          const LevelTable& levels, const ArtPicture& picture, int colorCount)
{
    ArtColours colours = OwnArtColours(picture);
    if (wholeScreen) {
        for (std::size_t k = 0; k < fades.size(); ++k)
            PutFadeStep(fades[k], step, static_cast<int>(k), levels, colours, colorCount);
    } else if (!fades.empty()) {
        PutFadeStep(fades.front(), step, artPalette, levels, colours, colorCount);
    }
    return colours;
}

void RecolourArt(const ArtPicture& picture, const ArtMap& map, const ArtColours& colours, PixelBuffer& out)
{
    out.Resize(picture.width, picture.height);
    if (picture.indexed()) {
        std::transform(picture.indices.begin(), picture.indices.end(), out.pixels.begin(),
                       [&colours](std::uint8_t n) { return colours[n]; });
        return;
    }
    const bool mapped = map.entries.size() == out.pixels.size();
    for (std::size_t p = 0; p < out.pixels.size(); ++p) {
        const std::int8_t entry = mapped ? map.entries[p] : kNoEntry;
        out.pixels[p] = entry == kNoEntry ? (0xFF000000u | picture.colours[p])
                                          : colours[static_cast<std::size_t>(entry)];
    }
}

} // namespace palfade
