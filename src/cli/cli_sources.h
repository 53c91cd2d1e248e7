#pragma once
// The palettes palfade-cli's SRC operands give: black, white and word:XXXX
// here, every file and standard input through the source layer, one palette
// or every one.

#include "cli/cli_support.h"
#include "core/app_state.h"
#include "sources/source.h"

#include <optional>
#include <vector>

namespace palfade::cli {

// black, white and word:XXXX: one palette, whatever the options.
bool IsNamedPalette(const QString& src);

// The palettes of SRC, read until `needed` of them are complete (all of them
// with kEveryPalette), by the options, the state's level tables and its
// warnings written to standard error. `which` is the state's palette used as
// scratch for black and white. `indexed`: an index chooses among them.
SourcePalettes PalettesOf(const QString& src, std::size_t needed, bool indexed, int which, AppState& state,
                          const Options& o, const Streams& io);

// Palette `which` of the state from palette K of SRC (the first when no
// index is given, as the window reads it); the state's level tables must
// already be the chosen set.
void LoadPalette(const QString& src, const std::optional<int>& index, int which, AppState& state, const Options& o,
                 const Streams& io);

// The palette pairs of a whole-screen fade: every top palette, each with the
// black or white bottom or with the bottom SRC's palette of the same number.
void LoadScreenPalettes(AppState& state, const Options& o, const Streams& io, std::vector<PaletteWords>& tops,
                        std::vector<PaletteWords>& bottoms);

} // namespace palfade::cli
