#pragma once
// Pictures decoded through Qt's image readers, and the palette import from a
// picture file.

#include "core/level_table.h"
#include "io/io_result.h"
#include "sources/picture_colors.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace palfade {

// The pixels of an image already in QImage::Format_RGB888.
RgbPixels PixelsOf(const QImage& rgb888);

// BMP, JPEG, PNG or GIF at its full size, converted to 8-bit RGB. Pictures
// of more than 8192 x 8192 pixels, or a million a side, fail with their size
// instead of exhausting memory; a PNG that libpng cannot read fails with its reason.
IoResult<QImage> LoadPicture(const QString& path);
// The same from bytes in memory; the format is told by the content alone.
IoResult<QImage> DecodePicture(const QByteArray& bytes, const QString& name);

// The picture as stored, not converted: an indexed picture (PNG with a
// colour table, GIF, 8-bit BMP) keeps its table.
IoResult<QImage> LoadStoredPicture(const QString& path);

// The import as a whole: empty importSlots, load, scan, apply. When the picture
// does not decode the slots stay empty and the palette unchanged.
IoStatus ImportPaletteFromPicture(const QString& path, const LevelTable& levels, ImportSlots& importSlots,
                                  SourcePalette& palette);

// Which colours of a picture make its palettes: those first seen in reading
// order (the import's) or its own colour table in table order, as tools that
// cut tiles from an indexed picture number them.
enum class PictureOrder { Appearance, Table };

// How a picture's colours become words: through the level tables as the
// import maps them, or by ngdevkit's rule (NgdevkitEntry), as the tiles
// cut with ngdevkit's palette tool have them.
enum class PictureWords { Levels, Ngdevkit };

// Every palette a picture gives. Appearance: one, the import over black.
// Table: entries 16K to 16K + 15 of the colour table stored in the file
// (StoredColorTable) make palette K, each colour mapped as `words` says;
// entries past the table stay black. A picture without a colour table is an
// error.
IoResult<std::vector<SourcePalette>> PicturePalettes(const QString& path, const LevelTable& levels,
                                                     PictureOrder order, PictureWords words = PictureWords::Levels);

} // namespace palfade
