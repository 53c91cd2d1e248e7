#pragma once
// The text kind: palettes picked out of real sources. The comments, count
// words and addresses around a project's palettes are passed over, or the
// table a source defines is read, and the colour words are grouped into
// palettes.

#include "sources/source.h"

#include <QString>
#include <QStringView>

#include <memory>
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

// The palettes words already read make, grouped as the request's text
// options say (a table's words when request.text.table names one), with
// the errors and warnings TextPaletteReader gives them; `name` names the
// source.
IoResult<SourcePalettes> GroupWords(std::span<const HwColor> words, const SourceRequest& request,
                                    const QString& name);

// A text source, from a file or device decoded as TextDecoder decodes, read
// in pieces until the palettes needed are complete: what is held stays small
// whatever the source, and one that has not given them within the request's
// maxBytes is refused.
IoResult<SourcePalettes> ReadTextSource(const SourceOrigin& origin, const SourceRequest& request);

} // namespace palfade
