#pragma once
// Source palettes from hexadecimal words in any text: assembler "dc.w" lines,
// C arrays, the program's own exports or loose lists of "$"/"0x" words.

#include "core/hw_color.h"
#include "io/io_result.h"
#include "sources/word_reader.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <vector>

namespace palfade {

// Stores each colour token of text into entry `counter` of the palette and
// counts it, until the counter reaches 16; later tokens are read and ignored.
// Entries no token reaches keep their values. A colour token is one that,
// upper-cased and with a leading "0X" turned into "$", begins with "$"; its
// word is the low 16 bits of the hex digits after the "$" up to the first
// other character (none gives 0).
void ParsePaletteText(QStringView text, SourcePalette& palette, int& counter);

// A text file's bytes to text: UTF-8 unless the file opens with the
// byte-order mark of UTF-8, UTF-16 LE or UTF-16 BE (the mark is dropped).
// Invalid sequences become replacement characters.
QString DecodeTextBytes(QByteArrayView bytes);

// Reads bytes, possibly in pieces, as ParsePaletteText reads the whole text,
// with one counter for it, through TextDecoder and ColourWordScanner: the
// time is linear in the input and what is held is bounded, however long the
// lines and words.
class PaletteTextReader {
public:
    PaletteTextReader(SourcePalette& palette, int& counter);

    void Feed(QByteArrayView bytes);
    void Finish();
    // Once 16 entries are stored the rest of the text cannot change anything.
    bool Full() const { return counter_ >= kPaletteSize; }

private:
    int& counter_;
    TextDecoder decoder_;
    ColourWordScanner scanner_;
};

// Reads the device to its end (or until 16 entries are stored).
IoStatus ImportPaletteTextFrom(QIODevice& device, const QString& name, SourcePalette& palette, int& counter);
IoStatus ImportPaletteTextFile(const QString& path, SourcePalette& palette, int& counter);

} // namespace palfade
