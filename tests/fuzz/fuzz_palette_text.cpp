// Any bytes as a text file's content read by the import (decoding, line
// ends, tokens), and the same bytes as raw UTF-16 (unpaired surrogates
// included) for the text in memory.

#include "sources/palette_source.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

palfade::SourceRequest ImportRequest()
{
    palfade::SourceRequest request;
    request.kind = palfade::SourceKind::Text;
    request.text.bareMarks = palfade::BareMarks::Zero;
    request.needed = 1;
    return request;
}

// Every word decodes to valid entries, so what is checked is that the read
// gives one palette or a reason.
void CheckRead(const palfade::IoResult<palfade::SourcePalettes>& read)
{
    if (read.ok() ? read.value.palettes.size() != 1 : read.error.isEmpty())
        std::abort();
}

palfade::IoResult<palfade::SourcePalettes> ReadPieces(const std::vector<QByteArrayView>& pieces)
{
    palfade::TextDecoder decoder;
    palfade::TextPaletteReader reader(ImportRequest(), QStringLiteral("input"), QString());
    for (QByteArrayView piece : pieces)
        reader.Feed(decoder.Feed(piece));
    reader.Feed(decoder.Finish());
    return reader.Finish(decoder.Nuls());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const auto whole = ReadPieces({bytes});
    CheckRead(whole);
    // Fed in two pieces the result must not change.
    const qsizetype half = bytes.size() / 2;
    const auto split = ReadPieces({bytes.first(half), bytes.sliced(half)});
    if (split.error != whole.error || split.value.palettes != whole.value.palettes)
        std::abort();

    const QString utf16 = QString::fromUtf16(reinterpret_cast<const char16_t*>(data),
                                             static_cast<qsizetype>(size / 2));
    CheckRead(palfade::ReadSource(palfade::SourceOrigin::Memory(utf16, QStringLiteral("input"), QString()),
                                  ImportRequest()));
    return 0;
}
