#pragma once
// Art for recolouring, loaded from a picture file, and the art outputs of
// palfade-cli: an animated GIF of the fade played on the art, or a sheet of
// every step as PNG.

#include "core/art_timeline.h"
#include "core/fade_engine.h"
#include "core/level_table.h"
#include "exports/file_formats.h"
#include "io/io_result.h"
#include "render/art_recolour.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <vector>

namespace palfade {

// An indexed picture (PNG with a colour table, GIF, 4-bit or 8-bit BMP)
// keeps its table indices; any other picture gives its colours. At most
// kMaxArtSide pixels each way.
IoResult<ArtPicture> LoadArt(const QString& path);

// "1,234 pixels match no colour of Palette 1" (one pixel: "1 pixel matches")
QString UnmatchedPixelsText(std::int64_t count);

inline constexpr int kDefaultSheetColumns = 8;
// The sheet at zoom 1 is held whole: 256 MiB at most.
inline constexpr std::int64_t kMaxSheetPixels = std::int64_t(1) << 26;

// Shared with another thread that watches an export: the frames done of
// all, and a request to stop, looked at before each frame.
struct ArtProgress {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancelled{false};
};

struct ArtRequest {
    QString path;                 // the picture, named in messages
    std::vector<FadeTable> fades; // one, or every palette's of a whole-screen fade; equal steps
    bool wholeScreen = false;
    int artPalette = 0; // the palette the one fade recolours
    LevelTable levels;  // the set the fades are shown in
    ArtPlayback playback;
    int zoom = 1;
    int columns = 0; // sheet columns; 0 is the smaller of the steps and 8
    ArtFormat output = ArtFormat::Gif;
    int colorCount = kPaletteSize;     // entries that fade, as PutFadeStep
    ArtProgress* progress = nullptr;   // none: nobody watches or stops it
};

struct ArtBytes {
    QByteArray bytes;
    QString warning; // unmatched true-colour pixels, empty when none
};

// A stopped export (ArtRequest::progress) fails with kArtExportStopped.
inline constexpr const char* kArtExportStopped = "stopped";

// How many palettes of a whole-screen fade the picture shows: those its
// colour table reaches (at most 16), palette 0 alone for a true-colour one.
// The fades of the others need not be computed.
int ArtPalettesShown(const ArtPicture& art);

// What can be told of a request before any fade is computed (`fades` may
// still be empty), for `steps` steps: a picture without the colour table an
// art palette needs or without that palette, and a sheet too large, fail
// with the reason.
IoStatus CheckArt(const ArtRequest& request, const ArtPicture& art, int steps);

// The output for the picture loaded from request.path: CheckArt, and a GIF
// frame of more than 256 colours, fail with the reason.
IoResult<ArtBytes> ExportArt(const ArtRequest& request, const ArtPicture& art);
// The same, the picture loaded first (LoadArt).
IoResult<ArtBytes> ExportArt(const ArtRequest& request);

} // namespace palfade
