#pragma once
// Source palettes from hexadecimal words in any text: assembler "dc.w" lines,
// C arrays, the program's own exports or loose lists of "$"/"0x" words.

#include "core/hw_color.h"
#include "io/io_result.h"

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

// Every colour word of text in order, by the token rules of ParsePaletteText
// but without its limit of 16.
std::vector<HwColor> ColourWordsOf(QStringView text);

// A text file's bytes to text: UTF-8 unless the file opens with the
// byte-order mark of UTF-8, UTF-16 LE or UTF-16 BE (the mark is dropped).
// Invalid sequences become replacement characters.
QString DecodeTextBytes(QByteArrayView bytes);

// Reads bytes, possibly in pieces, as ParsePaletteText reads the whole text,
// with one counter for it. Words are taken as the bytes arrive, so the time
// is linear in the input and what is held is the word still open (plus, in
// UTF-8, the bytes after the last ASCII one), however long the line. The
// bytes are UTF-8 unless they open with the byte-order mark of UTF-8, UTF-16
// LE or UTF-16 BE (the mark is dropped); invalid sequences become
// replacement characters.
class PaletteTextReader {
public:
    PaletteTextReader(SourcePalette& palette, int& counter) : palette_(palette), counter_(counter) {}

    void Feed(QByteArrayView bytes);
    void Finish();
    // Once 16 entries are stored the rest of the text cannot change anything.
    bool Full() const { return counter_ >= kPaletteSize; }

private:
    void Decode(QByteArrayView bytes);
    void Scan(QByteArrayView bytes);

    SourcePalette& palette_;
    int& counter_;
    QByteArray head_; // the first bytes, held until the byte-order mark is known
    QStringDecoder decoder_;
    bool started_ = false;
    bool utf16_ = false;
    bool bigEndian_ = false;
    QByteArray carry_; // bytes after the last whole character
    QString word_; // the word not yet closed by a separator
};

// Reads the device to its end (or until 16 entries are stored).
IoStatus ImportPaletteTextFrom(QIODevice& device, const QString& name, SourcePalette& palette, int& counter);
IoStatus ImportPaletteTextFile(const QString& path, SourcePalette& palette, int& counter);

} // namespace palfade
