#pragma once
// Reading sources in the tests: fixtures, palettes written as words, and the
// palettes of a text in memory as entries.

#include "sources/source.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace palfade::test {

inline QString Fixture(const char* name)
{
    return QStringLiteral(PALFADE_TEST_DATA "/") + QLatin1String(name);
}

// A palette with `words` from entry `first` on; the other entries black.
inline SourcePalette Pal(const std::vector<HwColor>& words, std::size_t first = 0)
{
    SourcePalette palette{};
    for (std::size_t i = 0; i < words.size(); ++i)
        palette[first + i] = DecodeHwColor(words[i]);
    return palette;
}

inline std::vector<SourcePalette> Entries(const std::vector<PaletteWords>& palettes)
{
    std::vector<SourcePalette> entries;
    for (const PaletteWords& words : palettes)
        entries.push_back(PaletteOfWords(words));
    return entries;
}

inline SourceRequest TextRequest(const TextSourceOptions& options, std::size_t needed = kEveryPalette)
{
    SourceRequest request;
    request.text = options;
    request.needed = needed;
    return request;
}

// Every palette of a text in memory, named `name`, its binary includes
// beside the working folder.
inline IoResult<std::vector<SourcePalette>> PalettesFromText(QStringView text, const TextSourceOptions& options,
                                                             const QString& name)
{
    const IoResult<SourcePalettes> read =
        ReadSource(SourceOrigin::Memory(text.toString(), name, QStringLiteral(".")), TextRequest(options));
    return {Entries(read.value.palettes), read.error};
}

} // namespace palfade::test
