#pragma once
// Palettes picked out of real sources: the comments, count words and
// addresses around a project's palettes are passed over, and one palette or
// all of them taken from a text or a palette file of several palettes.

#include "core/hw_color.h"
#include "io/io_result.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace palfade {

// Applied in this order before the words are grouped into palettes.
struct TextSourceOptions {
    bool skipComments = false; // StripComments first
    QString after;             // empty: from the start; else right after this name
    int skipWords = 0;         // the first colour words that are no colours
};

// Removes ";" and "//" to the end of the line, "/* ... */" (also across
// lines) and every line whose first non-blank character is "*". A block
// comment leaves one space, so the words around it stay apart; line ends
// stay.
QString StripComments(QStringView text);

// Where the text continues after the first place where name stands as a
// whole identifier (not part of a longer name of letters, digits and "_");
// nothing when it stands nowhere.
std::optional<qsizetype> PositionAfterName(QStringView text, QStringView name);

// Every palette of a text: the options applied, then groups of 16 colour
// words by the rules of ParsePaletteText. Entries the last group does not
// reach are black. An error, naming `name` as the source, when `after` is not
// found or no colour word is left. Without options the first palette equals
// what the import of the same text gives over black.
IoResult<std::vector<SourcePalette>> PalettesFromText(QStringView text, const TextSourceOptions& options,
                                                      const QString& name);

// Every palette of a palette file: 32 bytes each, missing bytes of the last
// read as zero. An empty file holds one black palette, as a palette file of
// any size reads as one.
std::vector<SourcePalette> PalettesFromFileBytes(QByteArrayView bytes);

// Palette `index` (from 0) of the palettes a source holds; beyond them an
// error "NAME holds M palettes".
IoResult<SourcePalette> PickPalette(const std::vector<SourcePalette>& palettes, int index, const QString& name);

// The error of a whole-screen fade whose two sources hold different numbers
// of palettes.
QString PaletteCountMismatch(const QString& topName, qsizetype topCount, const QString& bottomName,
                             qsizetype bottomCount);

// A whole source as text (decoded as DecodeTextBytes decodes), from a file
// or a device such as standard input. Sources beyond kMaxTextSourceSize
// are refused rather than held in memory.
inline constexpr qint64 kMaxTextSourceSize = 64 * 1024 * 1024;
IoResult<QString> ReadTextSource(const QString& path);
IoResult<QString> ReadTextSourceFrom(QIODevice& device, const QString& name);

// Every palette of a palette file on disk.
IoResult<std::vector<SourcePalette>> ReadPaletteFileSet(const QString& path);

} // namespace palfade
