#pragma once
// What a source offers, for the window's picker: every table a text defines
// (each with its words, or why they cannot be read, and its line), a palette
// file's or an exchange palette's palettes, or a picture's colour-table
// palettes. Each offer says the request that reads it through ReadSource, so
// what the picker shows is what loading it, or palfade-cli with the same
// options, reads.

#include "io/io_result.h"
#include "sources/source.h"
#include "text/table_reader.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

namespace palfade {

struct SourceOffer {
    enum class Kind {
        ColourWords,  // every "$7FFF" or "0x7FFF" word of a text, as read without a table
        Table,        // a label's data directives or a C array's initializer
        PaletteFile,  // a palette file's palettes
        PictureTable, // a picture's colour table in table order, its colours as `pictureWords` says
        Exchange,     // a GIMP, JASC-PAL, Adobe or hex palette's colours through the level tables
    };
    Kind kind = Kind::ColourWords;
    QString name;     // a table's label or array name
    qint64 line = 0;  // the line that defines a table
    SourceKind exchangeKind = SourceKind::GimpPalette;
    PictureWords pictureWords = PictureWords::Levels;

    // A text offer: its words in order, as its reading handed them on, and
    // what GroupWords needs besides (ReadWords).
    std::vector<HwColor> words;
    std::optional<TableReader::Ending> endedBy;
    QString countDigits;
    bool lastWordAtEnd = false;
    // More words than a listing holds: `words` are the first of them, and
    // the offer is read again when it is picked.
    bool cut = false;

    // A palette file, an exchange palette or a picture: its palettes, which
    // are read again when it is picked.
    std::size_t paletteCount = 0;
    QString error; // not empty: why it cannot be read, naming file and line

    bool Readable() const { return error.isEmpty(); }
    bool IsText() const { return kind == Kind::ColourWords || kind == Kind::Table; }
    // The first word is N >= 1 and exactly N palettes of 16 words follow, as
    // in DATlib's tables (a decimal count word before a text's first colour
    // word counts too).
    bool HasCountWord() const;
};

struct SourceListing {
    SourceOrigin origin; // read again for an offer that was cut
    QString name;        // the source in messages
    SourceKind kind = SourceKind::Text;
    std::vector<SourceOffer> offers;
    NulBytes nuls = NulBytes::None; // of a text's bytes
    // Not empty: why tables after some line are not listed.
    QString note;
};

// Everything a file offers, read once: a text line by line (its tables
// found as TableReader finds one, each read as --table NAME reads it, in
// the order they are defined; then all its colour words, bare "$" and "0x"
// no words), a palette file's or an exchange palette's palettes, a
// picture's colour table through the request's level tables and by
// ngdevkit's rule. A file that cannot be read, a text larger than the
// request's maxBytes and a picture that does not decode are errors; what one
// offer cannot give is that offer's error. Memory stays bounded: a listing
// holds at most a few million words in all (offers beyond are cut) and
// follows at most 16,384 names (the note then says from which line on tables
// are not listed).
IoResult<SourceListing> ListSource(const SourceOrigin& origin, const SourceRequest& request);

// The request that reads `offer` through ReadSource; the picking options
// of request.text (count word, palette size, first entry) and the levels
// are the caller's.
SourceRequest OfferRequest(const SourceOffer& offer, SourceRequest request);

// The palettes of `offer` as ReadSource gives them for `request`
// (OfferRequest): a text's from the words the listing holds; a text offer
// that was cut, and any other, read again.
IoResult<SourcePalettes> OfferPalettes(const SourceListing& listing, const SourceOffer& offer,
                                       const SourceRequest& request);

} // namespace palfade
