#include "cli/cli.h"

#include "cli/cli_options.h"
#include "core/palette_commands.h"
#include "io/export_formats.h"
#include "io/file_access.h"
#include "io/palette_file.h"
#include "io/text_import.h"
#include "pictures/picture_export.h"
#include "pictures/picture_import.h"
#include "render/preview_renderer.h"

#include <QFileInfo>

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

// Fills palette `which` of the state from SRC; the state's level tables must
// already be the chosen set.
void LoadSource(const QString& src, AppState& state, int which, const Streams& io)
{
    SourcePalette& palette = *PaletteByNumber(state, which);
    SetPaletteBlack(state, which);
    if (src == QLatin1String("black"))
        return;
    if (src == QLatin1String("white")) {
        SetPaletteWhite(state, which);
        return;
    }
    const SourceKind kind = SourceKindOf(src);
    if (kind == SourceKind::PaletteFile) {
        const IoResult<PaletteFileContent> read = ReadPaletteFile(src);
        if (!read.ok())
            throw Failure(read.error);
        if (read.value.fileSize != kPaletteFileSize)
            Print(io.err, QStringLiteral("%1: warning: %2 is %3 bytes, not %4; missing bytes read as zero, "
                                         "bytes after the 32nd ignored")
                              .arg(QLatin1String(kProgram), src)
                              .arg(read.value.fileSize)
                              .arg(kPaletteFileSize));
        palette = read.value.palette;
        return;
    }
    if (kind == SourceKind::Picture) {
        const IoStatus status = ImportPaletteFromPicture(src, state.levels, state.importSlots, palette);
        if (!status.ok())
            throw Failure(status.error);
        return;
    }
    int counter = 0;
    const bool fromStdin = src == QLatin1String(kStdio);
    const IoStatus status = fromStdin ? ImportPaletteTextFrom(io.in, QStringLiteral("standard input"), palette, counter)
                                      : ImportPaletteTextFile(src, palette, counter);
    if (!status.ok())
        throw Failure(status.error);
    if (counter == 0)
        throw Failure(QStringLiteral("no colour word (\"$7FFF\" or \"0x7FFF\") found in %1")
                          .arg(fromStdin ? QStringLiteral("standard input") : src));
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

QByteArray Produce(const Options& o, const Streams& io)
{
    AppState state = StateFor(o);
    switch (o.command) {
    case Command::Fade: {
        LoadSource(o.top, state, 1, io);
        LoadSource(o.bottom, state, 2, io);
        ComputeFade(state);
        return FadeTableExport(state.fadeTable, state.paletteCount, state.colorCount, *o.format->fadeExport);
    }
    case Command::Preview: {
        LoadSource(o.top, state, 1, io);
        LoadSource(o.bottom, state, 2, io);
        // The picture at zoom 1; the encoder writes it enlarged, as the window shows it.
        ComputeFade(state);
        PixelBuffer base;
        RenderPreview(state, base);
        state.view.zoom = BoundZoom(state.view.zoom);
        const IoResult<QByteArray> bytes = EncodePicture(base, *o.format->pictureExport, state.view.zoom);
        if (!bytes.ok())
            throw Failure(bytes.error);
        return bytes.value;
    }
    case Command::Palette: {
        LoadSource(o.source, state, 1, io);
        if (o.greyscale)
            GreyscalePalette(state, 1);
        ComputeFade(state);
        return SourcePaletteExport(SourcePaletteWords(state, 1), o.step, *o.format->paletteExport);
    }
    }
    return {};
}

void Emit(const Options& o, const QByteArray& bytes, QIODevice& out)
{
    if (o.output == QLatin1String(kStdio)) {
        if (out.write(bytes) != bytes.size())
            throw Failure(QStringLiteral("cannot write standard output: %1").arg(out.errorString()));
        return;
    }
    const IoStatus status = WriteFileAtomically(o.output, bytes);
    if (!status.ok())
        throw Failure(status.error);
}

} // namespace

int RunCli(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const ParseResult parsed = ParseArguments(args);
    switch (parsed.action) {
    case ParseResult::Action::Help:
        out.write(HelpText().toUtf8());
        return kExitSuccess;
    case ParseResult::Action::Version:
        Print(out, QStringLiteral("%1 %2").arg(QLatin1String(kProgram), QLatin1String(PALFADE_VERSION)));
        return kExitSuccess;
    case ParseResult::Action::UsageError:
        Print(err, QStringLiteral("%1: %2 (try '%1 --help')").arg(QLatin1String(kProgram), parsed.error));
        return kExitUsageError;
    case ParseResult::Action::Run:
        break;
    }
    try {
        Emit(parsed.options, Produce(parsed.options, Streams{in, err}), out);
    } catch (const Failure& failure) {
        Print(err, QStringLiteral("%1: error: %2").arg(QLatin1String(kProgram), failure.reason()));
        return kExitRuntimeError;
    }
    return kExitSuccess;
}

} // namespace palfade::cli
