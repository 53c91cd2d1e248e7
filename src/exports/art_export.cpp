#include "exports/art_export.h"

#include "io/file_access.h"
#include "exports/gif_file.h"
#include "exports/png_export.h"
#include "pictures/gif_reading.h"
#include "pictures/picture_decoding.h"

#include <QLocale>

#include <algorithm>

namespace palfade {
namespace {

// A GIF's first image comes before anything else of size.
constexpr qint64 kMaxGifRead = 64 * 1024 * 1024;

QString TooLarge(const QString& path, QSize size)
{
    return QStringLiteral("%1 is %2 x %3 pixels; art may be at most %4 x %4")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxArtSide);
}

bool FitsArt(QSize size)
{
    return size.width() <= kMaxArtSide && size.height() <= kMaxArtSide;
}

} // namespace

IoResult<ArtPicture> LoadArt(const QString& path)
{
    IoResult<ArtPicture> result;
    ArtPicture& art = result.value;
    // The header's size first: nothing is decoded for a picture art cannot take.
    const IoResult<PictureHeader> header = ReadPictureHeader(path);
    if (!header.ok()) {
        result.error = header.error;
        return result;
    }
    if (header.value.size.isValid() && !FitsArt(header.value.size)) {
        result.error = TooLarge(path, header.value.size);
        return result;
    }
    // Qt's GIF reader gives colours, not the table indices art needs.
    if (header.value.gif) {
        const IoResult<QByteArray> bytes = ReadFileStart(path, kMaxGifRead);
        if (!bytes.ok()) {
            result.error = bytes.error;
            return result;
        }
        IoResult<GifIndexedImage> gif = ReadGifFirstImage(bytes.value, path, kMaxArtSide);
        if (!gif.ok()) {
            result.error = gif.error;
            return result;
        }
        art.width = gif.value.width;
        art.height = gif.value.height;
        art.table = std::move(gif.value.table);
        art.indices = std::move(gif.value.indices);
        return result;
    }

    IoResult<QImage> stored = LoadStoredPicture(path);
    if (!stored.ok()) {
        result.error = stored.error;
        return result;
    }
    QImage& image = stored.value;
    if (!FitsArt(image.size())) {
        result.error = TooLarge(path, image.size());
        return result;
    }
    art.width = image.width();
    art.height = image.height();
    const std::size_t pixels = static_cast<std::size_t>(art.width) * static_cast<std::size_t>(art.height);
    if (!image.colorTable().isEmpty()) {
        // Mono pictures become one index a byte; the table stays in order.
        if (image.format() != QImage::Format_Indexed8)
            image.convertTo(QImage::Format_Indexed8);
        const QList<QRgb> table = image.colorTable();
        for (const QRgb c : table.mid(0, kArtTableSize))
            art.table.push_back(0xFF000000u | c);
        art.indices.resize(pixels);
        for (int y = 0; y < art.height; ++y)
            std::copy_n(image.constScanLine(y), art.width, art.indices.begin() + std::ptrdiff_t(y) * art.width);
        return result;
    }
    image.convertTo(QImage::Format_RGB32);
    if (image.isNull()) {
        result.error = QStringLiteral("cannot decode picture %1: out of memory").arg(path);
        return result;
    }
    art.colours.resize(pixels);
    for (int y = 0; y < art.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::transform(row, row + art.width, art.colours.begin() + std::ptrdiff_t(y) * art.width,
                       [](std::uint32_t c) { return 0xFF000000u | c; });
    }
    return result;
}

QString UnmatchedPixelsText(std::int64_t count)
{
    return (count == 1 ? QStringLiteral("%1 pixel matches no colour of Palette 1")
                       : QStringLiteral("%1 pixels match no colour of Palette 1"))
        .arg(QLocale(QLocale::English).toString(static_cast<qlonglong>(count)));
}

namespace {

SourcePalette TopPalette(const FadeTable& fade)
{
    SourcePalette top{};
    for (int i = 0; i < kPaletteSize && fade.steps() > 0; ++i)
        top[static_cast<std::size_t>(i)] = fade.at(i, 0);
    return top;
}

// Reports `done` frames of `total` to whoever watches; true when asked to stop.
bool Stopped(const ArtRequest& r, int done, int total)
{
    if (r.progress == nullptr)
        return false;
    r.progress->total = total;
    r.progress->done = done;
    return r.progress->cancelled;
}

int SheetColumns(const ArtRequest& r, int steps)
{
    return std::clamp(r.columns > 0 ? r.columns : kDefaultSheetColumns, 1, std::max(steps, 1));
}

// The sheet's size is checked (CheckArt) before anything is computed.
IoResult<QByteArray> EncodeSheet(const ArtRequest& r, const ArtPicture& art, const ArtMap& map)
{
    const int steps = r.fades.front().steps();
    const int columns = SheetColumns(r, steps);
    const int rows = (steps + columns - 1) / columns;
    PixelBuffer sheet;
    sheet.Resize(art.width * columns, art.height * rows);
    std::fill(sheet.pixels.begin(), sheet.pixels.end(), 0xFF000000u);
    PixelBuffer frame;
    for (int s = 0; s < steps; ++s) {
        if (Stopped(r, s, steps)) {
            IoResult<QByteArray> stopped;
            stopped.error = QLatin1String(kArtExportStopped);
            return stopped;
        }
        RecolourArt(art, map,
                    ArtStepColours(r.fades, r.wholeScreen, r.artPalette, s, r.levels, art, r.colorCount), frame);
        const int left = (s % columns) * art.width;
        const int top = (s / columns) * art.height;
        for (int y = 0; y < art.height; ++y)
            std::copy_n(frame.row(y), art.width, sheet.row(top + y) + left);
    }
    return EncodePng(sheet, r.zoom);
}

IoResult<QByteArray> EncodeAnimation(const ArtRequest& r, const ArtPlayback& playback, const ArtPicture& art,
                                     const ArtMap& map)
{
    const std::vector<ArtShot> cycle = ArtCycle(playback);
    std::vector<int> frames;
    for (const ArtShot& shot : cycle)
        frames.push_back(shot.frames);
    const std::vector<int> delays = GifDelays(frames);
    GifWriter writer(art.width, art.height, r.zoom);
    PixelBuffer frame;
    for (std::size_t k = 0; k < cycle.size(); ++k) {
        IoResult<QByteArray> result;
        if (Stopped(r, static_cast<int>(k), static_cast<int>(cycle.size()))) {
            result.error = QLatin1String(kArtExportStopped);
            return result;
        }
        RecolourArt(art, map,
                    ArtStepColours(r.fades, r.wholeScreen, r.artPalette, cycle[k].step, r.levels, art, r.colorCount),
                    frame);
        const IoStatus added = writer.AddFrame(frame, delays[k]);
        if (!added.ok()) {
            result.error = QStringLiteral("%1: write a sheet instead (--format png)").arg(added.error);
            return result;
        }
    }
    return writer.Finish();
}

} // namespace

int ArtPalettesShown(const ArtPicture& art)
{
    return art.indexed() ? art.paletteCount() : 1;
}

IoStatus CheckArt(const ArtRequest& r, const ArtPicture& art, int steps)
{
    if (!r.wholeScreen && r.artPalette != 0 && !art.indexed())
        return IoStatus::Failure(QStringLiteral("%1 has no colour table: art palette %2 needs one (its pixels are "
                                                "colours, matched to Palette 1 as palette 0)")
                                     .arg(r.path)
                                     .arg(r.artPalette));
    if (!r.wholeScreen && art.indexed() && r.artPalette >= art.paletteCount()) {
        const int last = art.paletteCount() - 1;
        return IoStatus::Failure(QStringLiteral("%1 has no art palette %2: its colour table of %3 entries holds %4")
                                     .arg(r.path)
                                     .arg(r.artPalette)
                                     .arg(art.table.size())
                                     .arg(last == 0 ? QStringLiteral("palette 0")
                                                    : QStringLiteral("palettes 0-%1").arg(last)));
    }
    if (r.output == ArtFormat::Sheet) {
        const int columns = SheetColumns(r, steps);
        const int rows = (steps + columns - 1) / columns;
        if (art.pixelCount() * columns * rows > kMaxSheetPixels)
            return IoStatus::Failure(QStringLiteral("a sheet of %1 steps of %2 would be %3 x %4 pixels, more than %5 "
                                                    "million: fewer steps or a smaller picture")
                                         .arg(steps)
                                         .arg(r.path)
                                         .arg(std::int64_t(art.width) * columns)
                                         .arg(std::int64_t(art.height) * rows)
                                         .arg(kMaxSheetPixels / 1'000'000));
    }
    return IoStatus::Success();
}

IoResult<ArtBytes> ExportArt(const ArtRequest& r, const ArtPicture& art)
{
    IoResult<ArtBytes> result;
    if (r.fades.empty()) {
        result.error = QStringLiteral("no fade to play on %1").arg(r.path);
        return result;
    }
    if (const IoStatus checked = CheckArt(r, art, r.fades.front().steps()); !checked.ok()) {
        result.error = checked.error;
        return result;
    }
    // The steps are the fades' own.
    ArtPlayback playback = r.playback;
    playback.steps = r.fades.front().steps();
    const ArtMap map = MapArt(art, r.levels, TopPalette(r.fades.front()));
    const IoResult<QByteArray> bytes =
        r.output == ArtFormat::Gif ? EncodeAnimation(r, playback, art, map) : EncodeSheet(r, art, map);
    if (!bytes.ok()) {
        result.error = bytes.error;
        return result;
    }
    result.value.bytes = bytes.value;
    if (map.unmatched > 0)
        result.value.warning = UnmatchedPixelsText(map.unmatched);
    return result;
}

IoResult<ArtBytes> ExportArt(const ArtRequest& r)
{
    const IoResult<ArtPicture> loaded = LoadArt(r.path);
    if (!loaded.ok()) {
        IoResult<ArtBytes> result;
        result.error = loaded.error;
        return result;
    }
    return ExportArt(r, loaded.value);
}

} // namespace palfade
