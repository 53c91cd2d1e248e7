#pragma once
// Art seen through the fade: every pixel of a picture belongs to one palette
// entry (or to none) and is drawn at a fade step by one table look-up. The
// window's art preview and palfade-cli's art output both draw through here.

#include "core/fade_engine.h"
#include "core/level_table.h"
#include "render/pixel_buffer.h"

#include <array>
#include <cstdint>
#include <vector>

namespace palfade {

// A colour table holds at most 256 entries: palettes 0 to 15.
inline constexpr int kArtTableSize = 256;
inline constexpr int kMaxArtPalettes = kArtTableSize / kPaletteSize;
inline constexpr int kMaxArtSide = 4096;
inline constexpr std::int8_t kNoEntry = -1;

// A decoded picture: indexed (a colour table and an index per pixel) or true
// colour (a colour per pixel).
struct ArtPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> table;   // 0xFFRRGGBB; empty for a true-colour picture
    std::vector<std::uint8_t> indices;  // one per pixel, rows top to bottom, when indexed
    std::vector<std::uint32_t> colours; // one 0xFFRRGGBB per pixel, when true colour

    bool indexed() const { return !table.empty(); }
    // Entries 16K to 16K + 15 of the table make palette K.
    int paletteCount() const { return static_cast<int>((table.size() + kPaletteSize - 1) / kPaletteSize); }
    std::int64_t pixelCount() const { return static_cast<std::int64_t>(width) * height; }
};

// Where each pixel belongs. An indexed pixel of table index n belongs to
// palette n / 16, entry n % 16, and needs no map. A true-colour pixel
// belongs to entry i of palette 0 when its colour, converted to a word as
// "Import from image.." converts it, equals entry i of the top palette (the
// first such i), else to no entry.
struct ArtMap {
    std::vector<std::int8_t> entries; // true colour only: 0-15 or kNoEntry per pixel
    std::int64_t unmatched = 0;       // true-colour pixels of no entry
};

ArtMap MapArt(const ArtPicture& picture, const LevelTable& levels, const SourcePalette& top);

// Pixels that belong to palette `palette`: those the fade recolours.
std::int64_t PixelsOfPalette(const ArtPicture& picture, const ArtMap& map, int palette);

// What a pixel of each code shows: index n of an indexed picture, entry i of
// palette 0 of a true-colour one.
using ArtColours = std::array<std::uint32_t, kArtTableSize>;

// The picture's own colours: the table's, black past its end.
ArtColours OwnArtColours(const ArtPicture& picture);

// Palette `palette`'s entries become the display colours of step `step` of
// `fade` (in the level set given, as the fade's own preview shows them).
// Entries from `colorCount` on show the top palette's colour (step 0) in
// every step, as the game shows them: its table holds `colorCount` words a
// palette, and the rest of the palette keeps what the top palette loaded. A
// palette past the table's 256 entries changes nothing.
void PutFadeStep(const FadeTable& fade, int step, int palette, const LevelTable& levels, ArtColours& colours,
                 int colorCount = kPaletteSize);

// The colours of step `step`: the picture's own, with palette k faded by
// fades[k] for a whole-screen fade, else palette `artPalette` faded by
// fades[0]; `colorCount` as in PutFadeStep.
ArtColours ArtStepColours(const std::vector<FadeTable>& fades, bool wholeScreen, int artPalette, int step,
                          const LevelTable& levels, const ArtPicture& picture, int colorCount = kPaletteSize);

// The picture drawn with `colours`; pixels of no entry keep their own colour.
// `out` is resized to the picture.
void RecolourArt(const ArtPicture& picture, const ArtMap& map, const ArtColours& colours, PixelBuffer& out);

} // namespace palfade
