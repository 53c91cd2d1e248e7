#pragma once
// The picture kind: the palettes of a picture, by appearance or from its
// colour table.

#include "io/io_result.h"
#include "sources/source.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace palfade {

// Colours in order (0xRRGGBB, higher bits ignored) as palettes of
// paletteSize colours, each placed from entry firstEntry on over the
// request's base; a last palette of fewer colours leaves its further entries
// as the base has them. Each colour becomes a word as request.pictureWords
// says: through the level tables as the scan maps a colour table
// (ScanColorTable, ApplyPictureSlots), or by NgdevkitEntry. A picture's
// colour table and the exchange palettes are read through here.
// ColourMatch::Exact reads a colour that some word shows exactly as that
// word (ExactColourEntry): palettes written as colours read back as their
// words. A picture's colour table keeps the picture rule.
enum class ColourMatch { PictureRule, Exact };
std::vector<PaletteWords> PalettesOfColors(std::span<const std::uint32_t> colors, const SourceRequest& request,
                                           int paletteSize = kPaletteSize, int firstEntry = 0,
                                           ColourMatch match = ColourMatch::PictureRule);

// The kind's reader, each palette over the request's base. Appearance: one
// palette, the first 16 different colours in reading order into entries 0
// on; through the level tables with the slots the scan filled. Table:
// entries 16K to 16K + 15 of the colour table stored in the file
// (StoredColorTable) make palette K. Each colour becomes a word as
// pictureWords says; with ngdevkit's words, the entries of a palette past the
// table's end are black ($8000), as its palette tool pads them. A picture
// without a colour table read in table order is an error.
IoResult<SourcePalettes> ReadPictureSource(const QString& path, const SourceRequest& request);

} // namespace palfade
