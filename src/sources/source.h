#pragma once
// The one way palettes come out of a source, for the window's commands and
// palfade-cli alike: where the source is, what is asked of it (its kind,
// which of its words make palettes, how many palettes are needed), and the
// palettes it gives with who holds them. Each kind is one reader behind
// ReadSource: text (palette_source.h), palette files (palette_file.h),
// pictures (picture_import.h) and the exchange palettes of the artists'
// tools (exchange_source.h); a new kind is a value of SourceKind, its
// reader, and its case there.

#include "core/hw_color.h"
#include "core/import_slots.h"
#include "core/level_table.h"
#include "io/io_result.h"
#include "sources/source_kind.h"
#include "text/word_reader.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

namespace palfade {

// Which words of a text make palettes, applied in this order before the
// words are grouped into palettes.
struct TextSourceOptions {
    bool skipComments = false; // kSkippedComments first; a "/*" never closed is an error
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
    // A "$" or "0x" without hex digits: no word (as toolchains read it), or
    // the word 0000 by the window's import rule.
    BareMarks bareMarks = BareMarks::NoWord;

    bool operator==(const TextSourceOptions&) const = default;
};

// Which colours of a picture make its palettes: those first seen in reading
// order (one palette) or its own colour table in table order, as tools that
// cut tiles from an indexed picture number them.
enum class PictureOrder { Appearance, Table };

// How a picture's colours become words: through the level tables, or by
// ngdevkit's rule (NgdevkitEntry), as the tiles cut with ngdevkit's palette
// tool have them.
enum class PictureWords { Levels, Ngdevkit };

inline constexpr std::size_t kEveryPalette = std::numeric_limits<std::size_t>::max();

// Where a source is: a file (read by its kind), a device such as standard
// input, or text already in memory such as the clipboard's (both read as
// text).
struct SourceOrigin {
    enum class From { File, Device, Memory };
    From from = From::File;
    QString path;
    QIODevice* device = nullptr;
    QString text;
    QString name;   // the source in messages
    QString folder; // where the files its binary includes name are

    static SourceOrigin File(const QString& path);
    static SourceOrigin Device(QIODevice& device, const QString& name, const QString& folder);
    static SourceOrigin Memory(const QString& text, const QString& name, const QString& folder);
};

struct SourceRequest {
    // Unset: a file by its name and first line (SourceKindOf), anything else
    // as text.
    std::optional<SourceKind> kind;
    TextSourceOptions text;
    PictureOrder pictureOrder = PictureOrder::Appearance;
    PictureWords pictureWords = PictureWords::Levels;
    LevelTable levels = LinearLevelSet(); // a picture's colours to intensity indices
    // Reading stops once this many palettes are complete.
    std::size_t needed = kEveryPalette;
    // An index picks one of the palettes: a longer palette file is then no
    // surprise worth a warning.
    bool indexed = false;
    // What each palette holds before the source's words are stored: black,
    // or the palette a window command reads over, whose entries no word or
    // colour reaches keep their values.
    PaletteWords base{};
    // A text longer than this is refused; -1 reads it to its end.
    qint64 maxBytes = kMaxSourceSize;
};

struct SourcePalettes {
    std::vector<PaletteWords> palettes;
    QString holder;       // who holds them, for PickPalette: the source's name, or "FILE: NAME" of a table
    QStringList warnings; // one line each, for standard error
    // A picture read by appearance through the level tables: the colour key
    // found for each entry of its palette, kEmptySlot where none was.
    std::optional<ImportSlots> importSlots;
};

// How ReadSource reads a file when no kind is forced: by its name, and for
// a regular file its name leaves as text, by its first line.
SourceKind SourceKindOfFile(const QString& path);

// The palettes of a source, or the reason there are none, naming the source
// (and the line). A device or text in memory is read as text only.
IoResult<SourcePalettes> ReadSource(const SourceOrigin& origin, const SourceRequest& request);

// "1 palette", "N palettes".
QString PaletteCountText(qsizetype count);

// Palette `index` (from 0) of the palettes a source holds; beyond them an
// error "NAME holds M palettes".
IoResult<PaletteWords> PickPalette(const std::vector<PaletteWords>& palettes, int index, const QString& name);

// The error of a whole-screen fade whose two sources hold different numbers
// of palettes.
QString PaletteCountMismatch(const QString& topName, qsizetype topCount, const QString& bottomName,
                             qsizetype bottomCount);

} // namespace palfade
