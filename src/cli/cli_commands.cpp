#include "cli/cli_commands.h"

#include "cli/cli_sources.h"
#include "core/palette_commands.h"
#include "core/screen_fade.h"
#include "exports/art_export.h"
#include "exports/exchange_export.h"
#include "exports/export_formats.h"
#include "exports/picture_export.h"
#include "exports/picture_limits.h"
#include "render/preview_renderer.h"
#include "render/screen_preview.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace palfade::cli {

namespace {

AppState StateFor(const Options& o)
{
    AppState state;
    state.paletteCount = o.paletteCount;
    state.colorCount = o.colorCount;
    state.view.zoom = o.zoom;
    state.view.showGrid = o.showGrid;
    state.view.gridColor = o.gridColor;
    state.view.hardwareColors = o.hardwareColors;
    state.view.useDarkBit = o.useDarkBit;
    state.view.simpleFade = o.simpleFade;
    LoadLevelTables(state);
    return state;
}

// The palettes a fading command fades, read once for fade, preview and art:
// --top and --bottom as palettes 1 and 2 of the state, or with
// --all-palettes every top palette, each with its bottom.
struct Fades {
    AppState state; // the chosen level tables and view
    std::vector<PaletteWords> tops;
    std::vector<PaletteWords> bottoms;

    ScreenFadeInputs Screen(const Options& o) const
    {
        return ScreenFadeInputs{tops, bottoms, o.paletteCount, o.simpleFade, o.useDarkBit, o.curve, o.keep};
    }
};

Fades LoadFades(const Options& o, const Streams& io)
{
    Fades fades{StateFor(o), {}, {}};
    if (o.allPalettes) {
        LoadScreenPalettes(fades.state, o, io, fades.tops, fades.bottoms);
    } else {
        LoadPalette(o.top, o.topIndex, 1, fades.state, o, io);
        LoadPalette(o.bottom, o.bottomIndex, 2, fades.state, o, io);
    }
    return fades;
}

// Every fade with its steps in the order they are played: with
// thereAndBack 2P - 1 of them. One fade is also the state's table, its
// paletteCount then counting those steps.
std::vector<FadeTable> ComputeFades(Fades& fades, const Options& o, bool thereAndBack)
{
    AppState& state = fades.state;
    std::vector<FadeTable> tables;
    if (o.allPalettes) {
        ComputeScreenFade(fades.Screen(o), tables);
        for (FadeTable& table : tables)
            ReorderSteps(table, StepOrder(o.paletteCount, thereAndBack));
        return tables;
    }
    ComputeFade(FadeInputs{state.palettes[0], state.palettes[1], state.paletteCount, o.simpleFade, o.useDarkBit,
                           o.curve, o.keep},
                state.fadeTable);
    ReorderSteps(state.fadeTable, StepOrder(state.paletteCount, thereAndBack));
    state.paletteCount = state.fadeTable.steps();
    tables.push_back(state.fadeTable);
    return tables;
}

QString OutputName(const Options& o)
{
    return o.output == QLatin1String(kStdio) ? QStringLiteral("standard output") : o.output;
}

// What the output writes of `colors` colours in lines of `columns`: words in
// the format's syntax, or in an exchange format the colours of the chosen
// level set, named by --label or OUT's base name.
struct Written {
    LevelTable levels;
    qsizetype colors;
    int columns;
};

DeviceWrite Exported(const Options& o, const Written& what, std::function<bool(LineWriter&)> write)
{
    if (!o.format->exchangeExport)
        return StreamedExport(*o.format->wordExport, o.exportOptions, std::move(write));
    const ExchangeFormat format = *o.format->exchangeExport;
    if (const std::optional<QString> refused = ExchangeCountRefusal(format, what.colors))
        throw Failure(QStringLiteral("%1: %2").arg(OutputName(o), *refused));
    const QString name = !o.exportOptions.label.isEmpty()        ? o.exportOptions.label
                         : o.output == QLatin1String(kStdio) ? QStringLiteral("palfade")
                                                             : QFileInfo(o.output).completeBaseName();
    return StreamedExchange(format, what.levels, ExchangeHead{name, what.columns, what.colors}, std::move(write));
}

DeviceWrite Bytes(QByteArray bytes)
{
    return [bytes = std::move(bytes)](QIODevice& device) { return WriteAll(device, bytes); };
}

// The preview of `fades` steps of `colorCount` colours, at its zoom, fits
// the chosen picture format.
void CheckPreviewFits(const Options& o, std::size_t fades, std::size_t steps, int zoom)
{
    const IoStatus size =
        CheckPreviewSize(PreviewSize(o.colorCount, static_cast<int>(steps), fades), zoom, *o.format->pictureExport);
    if (!size.ok())
        throw Failure(size.error);
}

} // namespace

DeviceWrite ProduceFade(const Options& o, const Streams& io, TableStats& stats)
{
    Fades fades = LoadFades(o, io);
    if (!o.allPalettes) {
        const FadeTable table = ComputeFades(fades, o, o.thereAndBack).front();
        stats = MeasureTable(WordsOfFades({&table, 1}, o.colorCount));
        const int steps = fades.state.paletteCount;
        return Exported(o, {fades.state.levels, qsizetype{steps} * o.colorCount, o.colorCount},
                        [table, steps, colors = o.colorCount](LineWriter& w) {
                            return WriteFadeTable(w, table, steps, colors);
                        });
    }
    // Written as computed, in the order the frames are played.
    std::vector<int> order = StepOrder(o.paletteCount, o.thereAndBack);
    const auto frameColors = static_cast<qsizetype>(ScreenFadePairs(fades.Screen(o))) * o.colorCount;
    const Written what{fades.state.levels, static_cast<qsizetype>(order.size()) * frameColors, o.colorCount};
    return Exported(o, what, [fades = std::move(fades), order = std::move(order), &o, &stats](LineWriter& w) {
        const ScreenFadeInputs in = fades.Screen(o);
        TableMeter meter(static_cast<int>(ScreenFadePairs(in)), o.colorCount);
        const bool written = WriteScreenFade(w, in, o.colorCount, order, [&](std::span<const HwColor> frame) {
            if (o.stats)
                meter.Frame(frame);
        });
        stats = meter.Stats();
        return written;
    });
}

// The picture at zoom 1; the encoder writes it enlarged, as the window shows
// it. Its size is known before any fade is computed: for one fade before
// the palettes are read.
DeviceWrite ProducePreview(const Options& o, const Streams& io, TableStats& stats)
{
    const int zoom = BoundZoom(o.zoom);
    const std::size_t steps = StepOrder(o.paletteCount, o.thereAndBack).size();
    if (!o.allPalettes)
        CheckPreviewFits(o, 1, steps, zoom);
    Fades fades = LoadFades(o, io);
    if (o.allPalettes)
        CheckPreviewFits(o, ScreenFadePairs(fades.Screen(o)), steps, zoom);
    std::vector<FadeTable> tables = ComputeFades(fades, o, o.thereAndBack);
    PixelBuffer base;
    if (o.allPalettes)
        RenderScreenPreview(tables, PreviewParams{o.colorCount, static_cast<int>(steps), o.showGrid, o.gridColor},
                            fades.state.levels, base);
    else
        RenderPreview(fades.state, base);
    stats = MeasureTable(WordsOfFades(tables, o.colorCount));
    return Bytes(Checked(EncodePicture(base, *o.format->pictureExport, zoom)));
}

DeviceWrite ProducePalette(const Options& o, const Streams& io, TableStats&)
{
    AppState state = StateFor(o);
    if (o.allPalettes) {
        std::vector<PaletteWords> words;
        for (const PaletteWords& read : PalettesOf(o.source, kEveryPalette, true, 1, state, o, io).palettes) {
            SourcePalette palette = PaletteOfWords(read);
            if (o.greyscale)
                std::transform(palette.begin(), palette.end(), palette.begin(), GreyscaleEntry);
            words.push_back(WordsOfPalette(palette));
        }
        const Written what{state.levels, static_cast<qsizetype>(words.size()) * kPaletteSize, kPaletteSize};
        return Exported(o, what, [words = std::move(words)](LineWriter& w) { return WritePaletteSet(w, words); });
    }
    LoadPalette(o.source, o.sourceIndex, 1, state, o, io);
    if (o.greyscale)
        GreyscalePalette(state, 1);
    ComputeFade(state);
    // An exchange palette's colours are named by their entries alone.
    const bool exchange = o.format->exchangeExport.has_value();
    return Exported(o, {state.levels, kPaletteSize, kPaletteSize},
                    [p = SourcePaletteWords(state, 1), step = o.step, exchange](LineWriter& w) {
                        return exchange ? WritePaletteColors(w, p) : WriteSourcePalette(w, p, step);
                    });
}

// A GIF plays the steps there and back itself; a sheet shows the steps of
// the table, 2P - 1 with --there-and-back as the preview. The picture is
// loaded and the output sized before any fade is computed, and of a
// whole-screen fade only the palettes the picture shows are.
DeviceWrite ProduceArt(const Options& o, const Streams& io, TableStats&)
{
    const bool sheetThereAndBack = o.thereAndBack && !o.format->IsAnimation();
    Fades fades = LoadFades(o, io);
    const ArtPicture picture = Checked(LoadArt(o.art));
    ArtRequest request;
    request.path = o.art;
    request.wholeScreen = o.allPalettes;
    request.artPalette = o.artPalette;
    request.output = *o.format->artExport;
    request.columns = o.columns;
    const int steps = static_cast<int>(StepOrder(o.paletteCount, sheetThereAndBack).size());
    if (const IoStatus fits = CheckArt(request, picture, steps); !fits.ok())
        throw Failure(fits.error);
    const auto shown = static_cast<std::size_t>(ArtPalettesShown(picture));
    if (fades.tops.size() > shown) {
        fades.tops.resize(shown);
        if (fades.bottoms.size() > shown)
            fades.bottoms.resize(shown);
    }
    request.fades = ComputeFades(fades, o, sheetThereAndBack);
    request.levels = fades.state.levels;
    request.playback =
        ArtPlayback{o.paletteCount, o.framesPerStep, o.holdStart, o.holdEnd, o.thereAndBack && !sheetThereAndBack};
    request.zoom = BoundZoom(o.zoom);
    request.colorCount = o.colorCount;
    ArtBytes art = Checked(ExportArt(request, picture));
    if (!art.warning.isEmpty())
        Print(io.err, QStringLiteral("%1: warning: %2: %3").arg(QLatin1String(kProgram), o.art, art.warning));
    return Bytes(std::move(art.bytes));
}

} // namespace palfade::cli
