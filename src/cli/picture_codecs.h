#pragma once
// What palfade-cli needs of Qt's GUI library: decoding pictures for a
// palette and encoding BMP. Loading that library takes longer than all the
// rest of a palfade-cli run, so the executable does without it and loads
// these from a module beside it, only for a command that reads or writes a
// picture.

#include "core/app_state.h"
#include "io/io_result.h"
#include "render/pixel_buffer.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace palfade::cli {

// Raised whenever the layout below changes, so an old module beside a new
// palfade-cli is refused instead of called.
inline constexpr int kPictureCodecsVersion = 1;

struct PictureCodecs {
    int version = kPictureCodecsVersion;
    // As ImportPaletteFromPicture.
    IoStatus (*importPalette)(const QString& path, const LevelTable& levels, ImportSlots& importSlots,
                              SourcePalette& palette) = nullptr;
    // The picture enlarged `zoom` times, as a BMP file.
    IoResult<QByteArray> (*encodeBmp)(const PixelBuffer& image, int zoom) = nullptr;
};

// Gives the codecs, or null with the reason in `error`.
using PictureCodecLoader = std::function<const PictureCodecs*(QString& error)>;

// The module's file name without its platform suffix, and its one entry:
// extern "C" const PictureCodecs* palfade_cli_picture_codecs().
inline constexpr char kPictureModuleName[] = "palfade-cli-pictures";
inline constexpr char kPictureModuleEntry[] = "palfade_cli_picture_codecs";

// The module in `directory`, loaded at the first call and then kept; a
// failure is remembered and given again.
PictureCodecLoader PictureModuleLoader(const QString& directory);

} // namespace palfade::cli
