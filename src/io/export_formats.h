#pragma once
// The bytes of every export: the fade table and one source palette as an
// assembler include, C source, raw binary or palette file. Text lines end
// with CR LF (the last one too); words are "$"/"0x" and four upper-case digits.

#include "core/app_state.h"

#include <QByteArray>

#include <array>

namespace palfade {

enum class FadeFormat { Assembler, C, Binary };
enum class PaletteFormat { Assembler, C, PaletteFile };

using PaletteWords = std::array<HwColor, kPaletteSize>;

// The first paletteCount steps and colorCount colours of the table, step by
// step. Counts beyond the table are cut to it, so no cell outside is read.
QByteArray FadeTableExport(const FadeTable& table, int paletteCount, int colorCount, FadeFormat format);

// Words of "Palette 1 (Top)" (which = 1, step 0) or "Palette 2 (Bottom)"
// (which = 2, the last step), read from the fade table's ends, which every
// computation sets equal to the source palettes.
PaletteWords SourcePaletteWords(const AppState& state, int which);

// One palette, always all 16 words. stepNumber is only used by the C form's
// comment: 1 for Palette 1 (Top), the palette count for Palette 2 (Bottom).
QByteArray SourcePaletteExport(const PaletteWords& words, int stepNumber, PaletteFormat format);

// The step number the C form of a source palette carries.
int SourcePaletteStepNumber(const AppState& state, int which);

} // namespace palfade
