#pragma once
// The bytes of every export: the fade table and one source palette as an
// assembler include, C source, raw binary or palette file. Text lines end
// with CR LF (the last one too); words are "$"/"0x" and four upper-case digits.

#include "core/app_state.h"
#include "core/screen_fade.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace palfade {

enum class FadeFormat { Assembler, C, Binary };
enum class PaletteFormat { Assembler, C, PaletteFile };

using PaletteWords = std::array<HwColor, kPaletteSize>;

// How the text forms are dressed for a toolchain. The defaults give the
// window's bytes.
enum class AsmSyntax {
    Motorola, // "\tdc.w\t$7FFF", read by vasm and "as -M"
    Gnu,      // "\t.word\t0x7FFF", GNU as in its default syntax
};

struct ExportOptions {
    AsmSyntax asmSyntax = AsmSyntax::Motorola;
    // Empty: no label lines and the C array keeps its name. Otherwise the
    // assembler forms open with an exported, word-aligned label of this name
    // and the C array is called so. Must pass IsCIdentifier.
    QString label;
    // The C array's element type; must pass IsCType.
    QString cType = QStringLiteral("int");
};

// A letter or "_", then letters, digits and "_" (ASCII only).
bool IsCIdentifier(QStringView name);
// One or more C identifiers separated by single spaces: "u16",
// "unsigned short", "uint16_t".
bool IsCType(QStringView type);

// The first paletteCount steps and colorCount colours of the table, step by
// step. Counts beyond the table are cut to it, so no cell outside is read.
QByteArray FadeTableExport(const FadeTable& table, int paletteCount, int colorCount, FadeFormat format,
                           const ExportOptions& options = {});

// A whole-screen fade, frame-major as its words are. Text forms write one
// line per palette and step; the C comment names both, "step S palette K"
// with S from 1 and K from 0.
QByteArray ScreenFadeExport(const ScreenFadeWords& screen, FadeFormat format, const ExportOptions& options = {});

// Words of "Palette 1 (Top)" (which = 1, step 0) or "Palette 2 (Bottom)"
// (which = 2, the last step), read from the fade table's ends, which every
// computation sets equal to the source palettes.
PaletteWords SourcePaletteWords(const AppState& state, int which);
PaletteWords WordsOfPalette(const SourcePalette& palette);

// One palette, always all 16 words. stepNumber is only used by the C form's
// comment: 1 for Palette 1 (Top), the palette count for Palette 2 (Bottom).
QByteArray SourcePaletteExport(const PaletteWords& words, int stepNumber, PaletteFormat format,
                               const ExportOptions& options = {});

// Several palettes, one line each (the C comment "palette K", K from 0), or
// their palette files one after another (32 bytes each).
QByteArray PaletteSetExport(const std::vector<PaletteWords>& palettes, PaletteFormat format,
                            const ExportOptions& options = {});

// The step number the C form of a source palette carries.
int SourcePaletteStepNumber(const AppState& state, int which);

} // namespace palfade
