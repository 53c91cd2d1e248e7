#include "cli/cli.h"

#include "cli/cli_options.h"
#include "core/palette_commands.h"
#include "core/screen_fade.h"
#include "core/table_stats.h"
#include "io/export_formats.h"
#include "io/file_access.h"
#include "io/palette_file.h"
#include "io/palette_source.h"
#include "io/picture_limits.h"
#include "pictures/art_export.h"
#include "pictures/picture_export.h"
#include "pictures/picture_import.h"
#include "render/preview_renderer.h"
#include "render/screen_preview.h"

#include <QDir>

#include <algorithm>
#include <vector>

namespace palfade::cli {

namespace {

constexpr const char* kProgram = "palfade-cli";

class Failure {
public:
    explicit Failure(QString reason) : reason_(std::move(reason)) {}
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

void Print(QIODevice& device, const QString& line)
{
    device.write(line.toUtf8());
    device.write("\n");
}

struct Streams {
    QIODevice& in;
    QIODevice& err;
};

// black, white and word:XXXX: one palette, whatever the options.
bool IsNamedPalette(const QString& src)
{
    return src == QLatin1String("black") || src == QLatin1String("white") || IsWordSource(src.toStdString());
}

QString SourceName(const QString& src)
{
    return src == QLatin1String(kStdio) ? QStringLiteral("standard input") : src;
}

template <typename T>
T Checked(IoResult<T> result)
{
    if (!result.ok())
        throw Failure(result.error);
    return std::move(result.value);
}

void Warn(const Streams& io, const QString& warning)
{
    Print(io.err, QStringLiteral("%1: warning: %2").arg(QLatin1String(kProgram), warning));
}

// The palettes a SRC holds and who holds them, for the error of an index
// beyond them.
struct SourcePalettes {
    std::vector<SourcePalette> palettes;
    QString holder;
};

// The palettes of SRC, read until `needed` of them are complete (all of them
// with kEveryPalette): a palette file's 32-byte pieces, a text's palettes by
// the text options, a picture's palettes in the chosen order. `which` is the
// state's palette used as scratch for black and white. `indexed`: an index
// chooses among them.
SourcePalettes PalettesOf(const QString& src, std::size_t needed, bool indexed, int which, AppState& state,
                          const Options& o, const Streams& io)
{
    if (IsNamedPalette(src)) {
        SetPaletteBlack(state, which);
        if (src == QLatin1String("white"))
            SetPaletteWhite(state, which);
        if (const std::optional<SourcePalette> word = WordSourcePalette(src.toStdString()))
            *PaletteByNumber(state, which) = *word;
        return {{*PaletteByNumber(state, which)}, src};
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
        return {Checked(PicturePalettes(src, state.levels, o.pictureOrder, o.pictureWords)), src};
    case SourceKind::Text:
        break;
    }
    TextPalettes text = Checked(fromStdin
                                    ? ReadTextPalettes(io.in, TextOrigin{SourceName(src), QDir::currentPath()}, o.text,
                                                       needed)
                                    : ReadTextPalettesFile(src, o.text, needed));
    for (const QString& warning : text.warnings)
        Warn(io, warning);
    return {std::move(text.palettes), text.holder};
}

// Palette `which` of the state from palette K of SRC (the first when no
// index is given, as the window reads it); the state's level tables must
// already be the chosen set.
void LoadPalette(const QString& src, const std::optional<int>& index, int which, AppState& state, const Options& o,
                 const Streams& io)
{
    const std::size_t needed = static_cast<std::size_t>(std::max(index.value_or(0), 0)) + 1;
    const SourcePalettes source = PalettesOf(src, needed, index.has_value(), which, state, o, io);
    *PaletteByNumber(state, which) = Checked(PickPalette(source.palettes, index.value_or(0), source.holder));
}

// The palette pairs of a whole-screen fade: every top palette, each with the
// black or white bottom or with the bottom SRC's palette of the same number.
void LoadScreenPalettes(AppState& state, const Options& o, const Streams& io, std::vector<SourcePalette>& tops,
                        std::vector<SourcePalette>& bottoms)
{
    tops = PalettesOf(o.top, kEveryPalette, true, 1, state, o, io).palettes;
    bottoms = PalettesOf(o.bottom, kEveryPalette, true, 2, state, o, io).palettes;
    // black, white or word:XXXX is one bottom for every top.
    if (!IsNamedPalette(o.bottom) && bottoms.size() != tops.size())
        throw Failure(PaletteCountMismatch(SourceName(o.top), static_cast<qsizetype>(tops.size()),
                                           SourceName(o.bottom), static_cast<qsizetype>(bottoms.size())));
}

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
            for (SourcePalette palette : PalettesOf(o.source, kEveryPalette, true, 1, state, o, io).palettes) {
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
