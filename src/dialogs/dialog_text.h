#pragma once
// The text forms the dialogs show: levels, words, binary words, swatch labels,
// the editor's assembler lines, and the reading of the editor's hex field.

#include "core/hw_color.h"

#include <QString>

#include <array>

namespace palfade {

// "$" and the level in two upper-case hex digits: $00 to $1F.
QString LevelText(int level);
// "$" and four upper-case hex digits, zero-filled.
QString WordText(HwColor word);
// The 16 bits, most significant first, in four groups of four: "1101 1010 0101 0010".
QString BinaryText(HwColor word);
// "$" and the swatch index as one hex digit: $0 to $F.
QString SwatchLabel(int index);
// "dc.w\t" and words 0-7 joined by ",", then "\r\ndc.w\t" and words 8-15; no final line end.
QString AssemblerText(const std::array<HwColor, kPaletteSize>& words);
// The hex field's whole text to a word: a "$" is put in front unless the text
// starts with one; the hex digits after it up to the first other character
// form the number (0 with no digit), of which the low 16 bits count.
HwColor ParseHexField(const QString& text);

} // namespace palfade
