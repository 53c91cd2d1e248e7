#include "cli/cli.h"

#include "cli/cli_options.h"
#include "cli/cli_sources.h"
#include "cli/cli_support.h"
#include "core/palette_commands.h"
#include "core/screen_fade.h"
#include "core/table_stats.h"
#include "exports/export_formats.h"
#include "io/file_access.h"
#include "sources/palette_file.h"
#include "sources/palette_source.h"
#include "exports/picture_limits.h"
#include "exports/art_export.h"
#include "exports/picture_export.h"
#include "sources/picture_import.h"
#include "render/preview_renderer.h"
#include "render/screen_preview.h"

#include <QDir>

#include <algorithm>
#include <vector>

namespace palfade::cli {

namespace {

ScreenFadeInputs ScreenInputs(const std::vector<SourcePalette>& tops, const std::vector<SourcePalette>& bottoms,
                              const Options& o)
{
    return ScreenFadeInputs{tops, bottoms, o.paletteCount, o.simpleFade, o.useDarkBit, o.curve, o.keep};
}

// The fade of the state's two palettes as the table is played: with
// thereAndBack its 2P - 1 steps, which paletteCount then counts.
void ComputeSingleFade(AppState& state, const Options& o, bool thereAndBack)
{
    ComputeFade(FadeInputs{state.palettes[0], state.palettes[1], state.paletteCount, o.simpleFade, o.useDarkBit,
                           o.curve, o.keep},
                state.fadeTable);
    ReorderSteps(state.fadeTable, StepOrder(state.paletteCount, thereAndBack));
    state.paletteCount = state.fadeTable.steps();
}

// Every palette's fade of a whole-screen fade, each with its steps in the
// order `order` plays them.
std::vector<FadeTable> ScreenFades(const ScreenFadeInputs& in, const std::vector<int>& order)
{
    std::vector<FadeTable> tables;
    ComputeScreenFade(in, tables);
    for (FadeTable& table : tables)
        ReorderSteps(table, order);
    return tables;
}

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

// Reads and computes everything; the output is written as it is made.
// `stats` gets what the table costs (fade and preview).
DeviceWrite Produce(const Options& o, const Streams& io, TableStats& stats)
{
    AppState state = StateFor(o);
    const ExportOptions& options = o.exportOptions;
    const auto exported = [&](auto write) { return StreamedExport(ExportSyntaxOf(*o.format), options, write); };
    switch (o.command) {
    case Command::Fade: {
        if (o.allPalettes) {
            std::vector<SourcePalette> tops;
            std::vector<SourcePalette> bottoms;
            LoadScreenPalettes(state, o, io, tops, bottoms);
            // Written as computed, in the order the frames are played.
            return exported([tops = std::move(tops), bottoms = std::move(bottoms),
                             order = StepOrder(o.paletteCount, o.thereAndBack), &o, &stats](ExportWriter& w) {
                const ScreenFadeInputs in = ScreenInputs(tops, bottoms, o);
                TableMeter meter(static_cast<int>(ScreenFadePairs(in)), o.colorCount);
                const bool written = WriteScreenFade(w, in, o.colorCount, order, [&](std::span<const HwColor> frame) {
                    if (o.stats)
                        meter.Frame(frame);
                });
                stats = meter.Stats();
                return written;
            });
        }
        LoadPalette(o.top, o.topIndex, 1, state, o, io);
        LoadPalette(o.bottom, o.bottomIndex, 2, state, o, io);
        ComputeSingleFade(state, o, o.thereAndBack);
        stats = MeasureTable(WordsOfFades({&state.fadeTable, 1}, state.colorCount));
        return exported([table = std::move(state.fadeTable), steps = state.paletteCount, colors = state.colorCount](
                            ExportWriter& w) { return WriteFadeTable(w, table, steps, colors); });
    }
    case Command::Preview: {
        // The picture at zoom 1; the encoder writes it enlarged, as the window shows it.
        // Its size is known once the palettes are read, before any fade is computed.
        state.view.zoom = BoundZoom(state.view.zoom);
        const auto checkSize = [&](std::size_t fades, std::size_t steps) {
            const IoStatus size = CheckPreviewSize(PreviewSize(o.colorCount, static_cast<int>(steps), fades),
                                                   state.view.zoom, *o.format->pictureExport);
            if (!size.ok())
                throw Failure(size.error);
        };
        PixelBuffer base;
        if (o.allPalettes) {
            const std::vector<int> order = StepOrder(state.paletteCount, o.thereAndBack);
            std::vector<SourcePalette> tops;
            std::vector<SourcePalette> bottoms;
            LoadScreenPalettes(state, o, io, tops, bottoms);
            const ScreenFadeInputs fades = ScreenInputs(tops, bottoms, o);
            checkSize(ScreenFadePairs(fades), order.size());
            std::vector<FadeTable> tables = ScreenFades(fades, order);
            RenderScreenPreview(tables,
                                PreviewParams{state.colorCount, static_cast<int>(order.size()), state.view.showGrid,
                                              state.view.gridColor},
                                state.levels, base);
            stats = MeasureTable(WordsOfFades(tables, state.colorCount));
        } else {
            checkSize(1, StepOrder(o.paletteCount, o.thereAndBack).size());
            LoadPalette(o.top, o.topIndex, 1, state, o, io);
            LoadPalette(o.bottom, o.bottomIndex, 2, state, o, io);
            ComputeSingleFade(state, o, o.thereAndBack);
            stats = MeasureTable(WordsOfFades({&state.fadeTable, 1}, state.colorCount));
            RenderPreview(state, base);
        }
        const IoResult<QByteArray> bytes = EncodePicture(base, *o.format->pictureExport, state.view.zoom);
        if (!bytes.ok())
            throw Failure(bytes.error);
        return [bytes = bytes.value](QIODevice& device) { return WriteAll(device, bytes); };
    }
    case Command::Palette: {
        if (o.allPalettes) {
            std::vector<PaletteWords> words;
            for (const PaletteWords& read : PalettesOf(o.source, kEveryPalette, true, 1, state, o, io).palettes) {
                SourcePalette palette = PaletteOfWords(read);
                if (o.greyscale)
                    std::transform(palette.begin(), palette.end(), palette.begin(), GreyscaleEntry);
                words.push_back(WordsOfPalette(palette));
            }
            return exported([words = std::move(words)](ExportWriter& w) { return WritePaletteSet(w, words); });
        }
        LoadPalette(o.source, o.sourceIndex, 1, state, o, io);
        if (o.greyscale)
            GreyscalePalette(state, 1);
        ComputeFade(state);
        return exported([p = SourcePaletteWords(state, 1), &o](auto& w) { return WriteSourcePalette(w, p, o.step); });
    }
    case Command::Art: {
        ArtRequest request;
        request.path = o.art;
        request.wholeScreen = o.allPalettes;
        request.output = *o.format->artExport;
        // A GIF plays the steps there and back itself; a sheet shows the
        // steps of the table, 2P - 1 with --there-and-back as the preview.
        const bool sheetThereAndBack = o.thereAndBack && request.output != ArtFormat::Gif;
        const int steps = state.paletteCount;
        if (o.allPalettes) {
            std::vector<SourcePalette> tops;
            std::vector<SourcePalette> bottoms;
            LoadScreenPalettes(state, o, io, tops, bottoms);
            request.fades = ScreenFades(ScreenInputs(tops, bottoms, o), StepOrder(steps, sheetThereAndBack));
        } else {
            LoadPalette(o.top, o.topIndex, 1, state, o, io);
            LoadPalette(o.bottom, o.bottomIndex, 2, state, o, io);
            ComputeSingleFade(state, o, sheetThereAndBack);
            request.fades = {std::move(state.fadeTable)};
        }
        request.artPalette = o.artPalette;
        request.levels = state.levels;
        request.playback = ArtPlayback{steps, o.framesPerStep, o.holdStart, o.holdEnd,
                                       o.thereAndBack && !sheetThereAndBack};
        request.zoom = BoundZoom(o.zoom);
        request.columns = o.columns;
        IoResult<ArtBytes> art = ExportArt(request);
        if (!art.ok())
            throw Failure(art.error);
        if (!art.value.warning.isEmpty())
            Print(io.err, QStringLiteral("%1: warning: %2: %3").arg(QLatin1String(kProgram), o.art, art.value.warning));
        return [bytes = std::move(art.value.bytes)](QIODevice& device) { return WriteAll(device, bytes); };
    }
    }
    return [](QIODevice&) { return true; };
}

void PrintError(QIODevice& err, const QString& reason)
{
    Print(err, QStringLiteral("%1: error: %2").arg(QLatin1String(kProgram), reason));
}

QString CannotWriteStandardOutput(const QIODevice& out)
{
    return QStringLiteral("cannot write standard output: %1").arg(out.errorString());
}

void Emit(const Options& o, const DeviceWrite& output, QIODevice& out)
{
    if (o.output != QLatin1String(kStdio)) {
        if (const IoStatus status = WriteFileAtomically(o.output, output); !status.ok())
            throw Failure(status.error);
    } else if (!output(out)) {
        throw Failure(CannotWriteStandardOutput(out));
    }
}

// --help and --version: a text that did not reach standard output is a
// failure like any other.
int Answer(const QString& text, QIODevice& out, QIODevice& err)
{
    if (WriteAll(out, text.toUtf8()))
        return kExitSuccess;
    PrintError(err, CannotWriteStandardOutput(out));
    return kExitRuntimeError;
}

} // namespace

int RunCli(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const ParseResult parsed = ParseArguments(args);
    switch (parsed.action) {
    case ParseResult::Action::Help:
        return Answer(HelpText(), out, err);
    case ParseResult::Action::Version:
        return Answer(QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QLatin1String(PALFADE_VERSION)), out,
                      err);
    case ParseResult::Action::UsageError:
        Print(err, QStringLiteral("%1: %2 (try '%1 --help')").arg(QLatin1String(kProgram), parsed.error));
        return kExitUsageError;
    case ParseResult::Action::Run:
        break;
    }
    try {
        TableStats stats;
        Emit(parsed.options, Produce(parsed.options, Streams{in, err}, stats), out);
        if (parsed.options.stats)
            Print(err, QString::fromStdString(StatsLine(stats)));
    } catch (const Failure& failure) {
        PrintError(err, failure.reason());
        return kExitRuntimeError;
    }
    return kExitSuccess;
}

} // namespace palfade::cli
