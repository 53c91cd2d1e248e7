#pragma once
// Palettes picked out of real sources: the comments, count words and
// addresses around a project's palettes are passed over, and one palette or
// all of them taken from a text or a palette file of several palettes.

#include "core/hw_color.h"
#include "io/io_result.h"
#include "sources/word_reader.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace palfade {

// Applied in this order before the words are grouped into palettes.
struct TextSourceOptions {
    bool skipComments = false; // CommentFilter first; a "/*" never closed is an error
    QString after;             // empty: from the start; else right after this name
    int skipWords = 0;         // the first colour words that are no colours
    // Not empty: instead of the comments and the name above, the words of
    // the block this name defines (TableReader), names resolved with the
    // source's definitions and those of the `defines` files.
    QString table;
    QStringList defines;
    bool countWord = false;        // the first word (after skipWords) is the number of palettes
    int paletteSize = kPaletteSize; // words per palette in the source, 1 to 16
    int firstEntry = 0;            // the entry of a palette's first word; paletteSize + firstEntry <= 16
};

// What CommentFilter leaves of a whole text.
QString StripComments(QStringView text);

// Where the text continues after the first place where name stands as a
// whole identifier (not part of a longer name of letters, digits and "_");
// nothing when it stands nowhere.
std::optional<qsizetype> PositionAfterName(QStringView text, QStringView name);

// The palettes of a text source and what to say of them.
struct TextPalettes {
    std::vector<SourcePalette> palettes;
    QString holder;       // who holds them, for PickPalette: the source's name, or "FILE: NAME" of a table
    QStringList warnings; // one line each, for standard error
};

inline constexpr std::size_t kEveryPalette = std::numeric_limits<std::size_t>::max();


// Where a text source comes from: its name in messages and the folder its
// binary includes are found in.
struct TextOrigin {
    QString name;
    QString folder;
};

// The palettes of a text read in pieces: the options applied, then groups of
// paletteSize colour words (by the rules of ParsePaletteText, or the table's
// items), each word from entry firstEntry on; entries no word reaches are
// black. Reading stops once `needed` palettes are complete (all of them with
// kEveryPalette; with a count word one word more, to tell whether words
// follow its palettes). Errors name the source: `after` not found, no colour
// word left, a count word the words do not fill, a "/*" never closed, and
// every error of the table. Without options the first palette equals what
// the import of the same text gives over black.
class TextPaletteReader {
public:
    TextPaletteReader(const TextSourceOptions& options, TextOrigin origin, std::size_t needed);
    ~TextPaletteReader();
    TextPaletteReader(const TextPaletteReader&) = delete;
    TextPaletteReader& operator=(const TextPaletteReader&) = delete;

    void Text(QStringView piece);
    bool Done() const;
    // sawNul: the source's bytes hold a NUL, which a text rarely does.
    IoResult<TextPalettes> Finish(bool sawNul = false);

private:
    struct Stages;
    std::unique_ptr<Stages> stages_;
};

IoResult<std::vector<SourcePalette>> PalettesFromText(QStringView text, const TextSourceOptions& options,
                                                      const QString& name);

// The same from a device (standard input) or a file, decoded as
// DecodeTextBytes decodes, read in pieces until the palettes needed are
// complete. What is held stays small whatever the source; a source that has
// not given them within kMaxSourceSize bytes is refused.
IoResult<TextPalettes> ReadTextPalettes(QIODevice& device, const TextOrigin& origin, const TextSourceOptions& options,
                                        std::size_t needed);
IoResult<TextPalettes> ReadTextPalettesFile(const QString& path, const TextSourceOptions& options,
                                            std::size_t needed);

// Every palette of a palette file: 32 bytes each, missing bytes of the last
// read as zero. An empty file holds one black palette, as a palette file of
// any size reads as one.
std::vector<PaletteWords> PalettesFromFileBytes(QByteArrayView bytes);

// Palette `index` (from 0) of the palettes a source holds; beyond them an
// error "NAME holds M palettes".
IoResult<PaletteWords> PickPalette(std::span<const PaletteWords> palettes, int index, const QString& name);

// The error of a whole-screen fade whose two sources hold different numbers
// of palettes.
QString PaletteCountMismatch(const QString& topName, qsizetype topCount, const QString& bottomName,
                             qsizetype bottomCount);


// The palettes of a palette file on disk, at most `needed` of them (only
// their bytes are read), and the file's size.
struct PaletteFileSet {
    std::vector<PaletteWords> palettes; // 32 bytes each, as the file holds them
    qint64 size = 0;
};
IoResult<PaletteFileSet> ReadPaletteFileSet(const QString& path, std::size_t needed = kEveryPalette);

// What a palette file's size says to warn of, if anything: bytes that are
// not whole palettes (read as zero), or, when one palette is taken without
// an index, the palettes after the first.
std::optional<QString> PaletteFileWarning(const QString& path, qint64 size, bool firstWithoutIndex);

} // namespace palfade
