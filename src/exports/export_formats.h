#pragma once
// Every export of colour words, each a short loop over the export writer:
// the fade table, whole-screen fades, one source palette and sets of
// palettes, in the syntax a format's descriptor gives (an assembler include,
// C source, raw binary or palette file).

#include "core/fade_engine.h"
#include "core/screen_fade.h"
#include "exports/export_writer.h"
#include "io/file_access.h"

#include <QByteArray>

#include <functional>
#include <span>
#include <vector>

namespace palfade {

// Each Write function writes a whole export, head to tail, and returns
// Tail()'s answer. Each ...Export function gives the same bytes in memory.

// An export made while it is written to whatever device it is given (a file
// through WriteFileAtomically, standard output, memory): `write` gets a
// writer over that device.
DeviceWrite StreamedExport(const ExportSyntax& syntax, const ExportOptions& options,
                           std::function<bool(LineWriter&)> write);

// The first paletteCount steps and colorCount colours of the table, one line
// per step ("step S", S from 1). Counts beyond the table are cut to it, so no
// cell outside is read.
bool WriteFadeTable(LineWriter& writer, const FadeTable& table, int paletteCount, int colorCount);
QByteArray FadeTableExport(const FadeTable& table, int paletteCount, int colorCount, const ExportSyntax& syntax,
                           const ExportOptions& options = {});

// Step `step` (from 0) of a fade: `words` holds the step's words of each
// palette, one palette after another. A whole-screen step names each line
// "step S palette K" (K from 0), a single fade's step "step S". The fade
// table and whole-screen fades are both written step by step through here.
void WriteFadeStep(LineWriter& writer, int step, std::span<const HwColor> words, int palettes, bool wholeScreen);

// A whole-screen fade computed as it is written, frame f being step
// order[f] of every palette (ForEachScreenFadeFrame): one frame is held
// whatever the number of palettes. `written` sees each frame after the
// writer has it.
bool WriteScreenFade(LineWriter& writer, const ScreenFadeInputs& in, int colorCount, std::span<const int> order,
                     const std::function<void(std::span<const HwColor>)>& written = {});

// One palette, always all 16 words. stepNumber is only used by the C form's
// comment: 1 for Palette 1 (Top), the palette count for Palette 2 (Bottom).
bool WriteSourcePalette(LineWriter& writer, const PaletteWords& words, int stepNumber);
QByteArray SourcePaletteExport(const PaletteWords& words, int stepNumber, const ExportSyntax& syntax,
                               const ExportOptions& options = {});

// Several palettes, one line each ("palette K", K from 0); as palette files,
// one after another (32 bytes each).
bool WritePaletteSet(LineWriter& writer, std::span<const PaletteWords> palettes);
QByteArray PaletteSetExport(const std::vector<PaletteWords>& palettes, const ExportSyntax& syntax,
                            const ExportOptions& options = {});

} // namespace palfade
