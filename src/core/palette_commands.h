#pragma once
// Commands that change the source palettes or the view settings without a
// file or dialog of their own. They change data only; the caller refreshes.
// A palette number other than 1 or 2 changes nothing.

#include "app_state.h"

#include <optional>
#include <string_view>

namespace palfade {

void SetPaletteBlack(AppState& state, int which);
// Colour 0 black, colours 1-15 white, every dark bit cleared.
void SetPaletteWhite(AppState& state, int which);
// Colour 0 black, colours 1-15 the colour of `word` (its dark bit included):
// the target of a flash or tint without a file of its own.
SourcePalette WordPalette(HwColor word);
void SetPaletteWord(AppState& state, int which, HwColor word);

// A palette named on a command line as "word:7C00": the prefix, then one to
// four hex digits.
inline constexpr std::string_view kWordSourcePrefix = "word:";
bool IsWordSource(std::string_view src);
// The palette of a word source; none when src lacks the prefix or its digits
// are not one to four hex digits.
std::optional<SourcePalette> WordSourcePalette(std::string_view src);
void SwapPalettes(AppState& state);
// Levels to grey on the 0-31 scale (not on display values); dark bit cleared.
void GreyscalePalette(AppState& state, int which);
PaletteEntry GreyscaleEntry(const PaletteEntry& e);

// The data side of "New": 16 palettes, both palettes black; the colour count,
// zoom and settings stay.
void NewFade(AppState& state);

// The data side of the settings toggles. The hardware colours and dark bit
// toggles reload the level tables (the set depends on hardwareColors alone).
void ToggleGrid(AppState& state);
void ToggleHardwareColors(AppState& state);
void ToggleDarkBit(AppState& state);
void ToggleSimpleFade(AppState& state);

} // namespace palfade
