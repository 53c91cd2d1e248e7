#include "cli/cli_sources.h"

#include "core/palette_commands.h"

#include <QDir>

#include <algorithm>

namespace palfade::cli {

bool IsNamedPalette(const QString& src)
{
    return src == QLatin1String("black") || src == QLatin1String("white") || IsWordSource(src.toStdString());
}

SourcePalettes PalettesOf(const QString& src, std::size_t needed, bool indexed, int which, AppState& state,
                          const Options& o, const Streams& io)
{
    if (IsNamedPalette(src)) {
        SetPaletteBlack(state, which);
        if (src == QLatin1String("white"))
            SetPaletteWhite(state, which);
        if (const std::optional<SourcePalette> word = WordSourcePalette(src.toStdString()))
            *PaletteByNumber(state, which) = *word;
        SourcePalettes named;
        named.palettes = {WordsOfPalette(*PaletteByNumber(state, which))};
        named.holder = src;
        return named;
    }
    SourceRequest request;
    request.kind = o.readAs;
    request.text = o.text;
    request.pictureOrder = o.pictureOrder;
    request.pictureWords = o.pictureWords;
    request.levels = state.levels;
    request.needed = needed;
    request.indexed = indexed;
    const SourceOrigin origin = src == QLatin1String(kStdio)
                                    ? SourceOrigin::Device(io.in, SourceName(src), QDir::currentPath())
                                    : SourceOrigin::File(src);
    SourcePalettes read = Checked(ReadSource(origin, request));
    for (const QString& warning : read.warnings)
        Warn(io, warning);
    return read;
}

void LoadPalette(const QString& src, const std::optional<int>& index, int which, AppState& state, const Options& o,
                 const Streams& io)
{
    const std::size_t needed = static_cast<std::size_t>(std::max(index.value_or(0), 0)) + 1;
    const SourcePalettes source = PalettesOf(src, needed, index.has_value(), which, state, o, io);
    const PaletteWords picked = Checked(PickPalette(source.palettes, index.value_or(0), source.holder));
    *PaletteByNumber(state, which) = PaletteOfWords(picked);
}

void LoadScreenPalettes(AppState& state, const Options& o, const Streams& io, std::vector<PaletteWords>& tops,
                        std::vector<PaletteWords>& bottoms)
{
    tops = PalettesOf(o.top, kEveryPalette, true, 1, state, o, io).palettes;
    bottoms = PalettesOf(o.bottom, kEveryPalette, true, 2, state, o, io).palettes;
    // black, white or word:XXXX is one bottom for every top.
    if (!IsNamedPalette(o.bottom) && bottoms.size() != tops.size())
        throw Failure(PaletteCountMismatch(SourceName(o.top), static_cast<qsizetype>(tops.size()),
                                           SourceName(o.bottom), static_cast<qsizetype>(bottoms.size())));
}

} // namespace palfade::cli
