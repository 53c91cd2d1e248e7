#pragma once
// The text kind: palettes picked out of real sources. The comments, count
// words and addresses around a project's palettes are passed over, or the
// table a source defines is read, and the colour words are grouped into
// palettes.

#include "sources/source.h"
#include "text/table_reader.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <span>

namespace palfade {

// The palettes of a text read in pieces, through the stages the request's
// text options ask for: comments out, the start after a name, then the
// colour words (or the table's items), paletteSize words a palette, each
// from entry firstEntry on over the request's base. Reading stops once
// `needed` palettes are complete (with a count word one word more, to tell
// whether words follow its palettes). Errors name the source: `after` not
// found, no colour word left, a count word the words do not fill, a "/*"
// never closed, and every error of the table.
class TextPaletteReader {
public:
    // `name` names the source in messages; `folder` is where the files its
    // binary includes name are.
    TextPaletteReader(const SourceRequest& request, const QString& name, const QString& folder);
    ~TextPaletteReader();
    TextPaletteReader(const TextPaletteReader&) = delete;
    TextPaletteReader& operator=(const TextPaletteReader&) = delete;

    void Feed(QStringView piece);
    // Nothing the text still holds can change the result.
    bool Done() const;
    // `nuls`: the NUL bytes of the source's bytes, for a hint when it gives
    // no palette.
    IoResult<SourcePalettes> Finish(NulBytes nuls = NulBytes::None);

private:
    struct Stages;
    IoResult<SourcePalettes> Read();
    std::unique_ptr<Stages> stages_;
};

// What a text gave a reading that went through it once for every table
// (source_listing): the colour words of the text (no table), or a table's
// words, or why the table cannot be read.
struct ReadWords {
    std::span<const HwColor> words;
    QString error;
    std::optional<TableReader::Ending> endedBy; // the statement that ended a table's directives
    // No table: a decimal count word before the first colour word, and
    // whether the last word was open at the text's end.
    QString countDigits;
    bool lastWordAtEnd = false;
    NulBytes nuls = NulBytes::None;
};

// The palettes those words make for `request` (its table, when it names
// one, is the table they are the words of), with the errors and warnings
// TextPaletteReader gives the same text; `name` names the source.
IoResult<SourcePalettes> GroupWords(const ReadWords& read, const SourceRequest& request, const QString& name);

// A text source, from a file or device decoded as TextDecoder decodes, read
// in pieces until the palettes needed are complete: what is held stays small
// whatever the source, and one that has not given them within the request's
// maxBytes is refused.
IoResult<SourcePalettes> ReadTextSource(const SourceOrigin& origin, const SourceRequest& request);

} // namespace palfade
