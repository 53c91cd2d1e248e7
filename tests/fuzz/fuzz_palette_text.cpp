// Any bytes as a text file's content (decoding, line splitting, tokens), and
// the same bytes as raw UTF-16 (unpaired surrogates included) for the parser.

#include "sources/text_import.h"

#include <cstdint>
#include <cstdlib>

namespace {

void CheckPalette(const palfade::SourcePalette& palette, int counter)
{
    if (counter < 0 || counter > palfade::kPaletteSize)
        std::abort();
    for (const palfade::PaletteEntry& e : palette)
        if (e.red < 0 || e.red > 31 || e.green < 0 || e.green > 31 || e.blue < 0 || e.blue > 31 ||
            (e.dark != 0 && e.dark != 1))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    palfade::SourcePalette whole{};
    int wholeCounter = 0;
    {
        palfade::PaletteTextReader reader(whole, wholeCounter);
        reader.Feed(bytes);
        reader.Finish();
    }
    CheckPalette(whole, wholeCounter);

    // Fed in two pieces the result must not change.
    palfade::SourcePalette split{};
    int splitCounter = 0;
    {
        palfade::PaletteTextReader reader(split, splitCounter);
        const qsizetype half = bytes.size() / 2;
        reader.Feed(bytes.first(half));
        reader.Feed(bytes.sliced(half));
        reader.Finish();
    }
    if (splitCounter != wholeCounter || split != whole)
        std::abort();

    const QString utf16 = QString::fromUtf16(reinterpret_cast<const char16_t*>(data),
                                             static_cast<qsizetype>(size / 2));
    palfade::SourcePalette raw{};
    int rawCounter = 0;
    palfade::ParsePaletteText(utf16, raw, rawCounter);
    CheckPalette(raw, rawCounter);
    return 0;
}
