#pragma once
// What a source offers, for the window's picker: every table a text defines
// (each with its words, or why they cannot be read, and its line), a palette
// file's palettes, or a picture's colour-table palettes. Each offer says the
// request that reads it through ReadSource, so what the picker shows is what
// loading it, or palfade-cli with the same options, reads.

#include "io/io_result.h"
#include "sources/source.h"

#include <QString>

#include <vector>

namespace palfade {

struct SourceOffer {
    enum class Kind {
        ColourWords,  // every "$7FFF" or "0x7FFF" word of a text, as read without a table
        Table,        // a label's data directives or a C array's initializer
        PaletteFile,  // a palette file's palettes
        PictureTable, // a picture's colour table in table order, its colours as `pictureWords` says
    };
    Kind kind = Kind::ColourWords;
    QString name;                          // a table's label or array name
    qint64 line = 0;                       // the line that defines a table
    std::vector<HwColor> words;            // a text offer's words, in order
    std::vector<PaletteWords> palettes;    // a palette file's or a picture's palettes
    PictureWords pictureWords = PictureWords::Levels;
    QString error;                         // not empty: why it cannot be read, naming file and line

    bool Readable() const { return error.isEmpty(); }
    bool IsText() const { return kind == Kind::ColourWords || kind == Kind::Table; }
    // The first word is N >= 1 and exactly N palettes of 16 words follow, as
    // in DATlib's tables.
    bool HasCountWord() const;
};

struct SourceListing {
    QString name; // the source in messages
    SourceKind kind = SourceKind::Text;
    std::vector<SourceOffer> offers;
};

// Everything a file offers, read once: a text line by line (its tables
// found as TableReader finds one, each read as --table NAME reads it, in
// the order they are defined; then all its colour words), a
// palette file's palettes, a picture's colour table through the request's
// level tables and by ngdevkit's rule. A file that cannot be read, a text
// larger than the request's maxBytes and a picture that does not decode are
// errors; what one offer cannot give is that offer's error.
IoResult<SourceListing> ListSource(const SourceOrigin& origin, const SourceRequest& request);

// The request that reads `offer` through ReadSource; the picking options
// of request.text (count word, palette size, first entry) and the levels
// are the caller's.
SourceRequest OfferRequest(const SourceOffer& offer, SourceRequest request);

// The palettes of `offer` as ReadSource gives them for `request`
// (OfferRequest), from the words the listing holds.
IoResult<SourcePalettes> OfferPalettes(const SourceListing& listing, const SourceOffer& offer,
                                       const SourceRequest& request);

} // namespace palfade
