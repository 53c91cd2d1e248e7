#include "cli/cli_sources.h"

#include "core/palette_commands.h"
#include "sources/palette_source.h"
#include "sources/picture_import.h"

#include <QDir>

#include <algorithm>

namespace palfade::cli {

namespace {

std::vector<PaletteWords> WordsOf(const std::vector<SourcePalette>& palettes)
{
    std::vector<PaletteWords> words(palettes.size());
    std::transform(palettes.begin(), palettes.end(), words.begin(), WordsOfPalette);
    return words;
}

} // namespace

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
        return {{WordsOfPalette(*PaletteByNumber(state, which))}, src};
    }
    const bool fromStdin = src == QLatin1String(kStdio);
    const SourceKind kind = o.readAs.value_or(fromStdin ? SourceKind::Text : SourceKindOf(src));
    if (fromStdin && kind != SourceKind::Text)
        throw Failure(QStringLiteral("standard input is read as text; --read-as ngpal or picture needs a file"));
    switch (kind) {
    case SourceKind::PaletteFile: {
        PaletteFileSet set = Checked(ReadPaletteFileSet(src, needed));
        if (const std::optional<QString> warning = PaletteFileWarning(src, set.size, !indexed && needed == 1))
            Warn(io, *warning);
        return {std::move(set.palettes), src};
    }
    case SourceKind::Picture:
        return {WordsOf(Checked(PicturePalettes(src, state.levels, o.pictureOrder, o.pictureWords))), src};
    case SourceKind::Text:
        break;
    }
    TextPalettes text = Checked(fromStdin
                                    ? ReadTextPalettes(io.in, TextOrigin{SourceName(src), QDir::currentPath()}, o.text,
                                                       needed)
                                    : ReadTextPalettesFile(src, o.text, needed));
    for (const QString& warning : text.warnings)
        Warn(io, warning);
    return {WordsOf(text.palettes), text.holder};
}

void LoadPalette(const QString& src, const std::optional<int>& index, int which, AppState& state, const Options& o,
                 const Streams& io)
{
    const std::size_t needed = static_cast<std::size_t>(std::max(index.value_or(0), 0)) + 1;
    const SourcePalettes source = PalettesOf(src, needed, index.has_value(), which, state, o, io);
    *PaletteByNumber(state, which) =
        PaletteOfWords(Checked(PickPalette(source.palettes, index.value_or(0), source.holder)));
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
