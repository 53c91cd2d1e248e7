// Any bytes as a palette file: 16 valid entries, and writing them gives back
// the first 32 bytes (missing ones as zero).

#include "exports/export_formats.h"
#include "sources/palette_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const palfade::SourcePalette palette = palfade::PaletteOfWords(palfade::PaletteFromBytes(bytes));
    for (const palfade::PaletteEntry& e : palette)
        if (e.red < 0 || e.red > 31 || e.green < 0 || e.green > 31 || e.blue < 0 || e.blue > 31 ||
            (e.dark != 0 && e.dark != 1))
            std::abort();

    QByteArray expected = bytes.first(std::min<qsizetype>(bytes.size(), palfade::kPaletteFileSize)).toByteArray();
    expected.append(palfade::kPaletteFileSize - expected.size(), '\0');
    palfade::PaletteWords words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = palfade::EncodeHwColor(palette[i]);
    if (palfade::SourcePaletteExport(words, 1, palfade::kBigEndianWords) != expected)
        std::abort();
    return 0;
}
