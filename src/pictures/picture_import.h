#pragma once
// Pictures decoded through Qt's image readers, and the palette import from a
// picture file.

#include "io/io_result.h"
#include "io/picture_colors.h"

#include <QImage>
#include <QString>

namespace palfade {

// The pixels of an image already in QImage::Format_RGB888.
RgbPixels PixelsOf(const QImage& rgb888);

// BMP, JPEG, PNG or GIF at its full size, converted to 8-bit RGB. Pictures
// too large for the reader's allocation limit fail instead of exhausting
// memory.
IoResult<QImage> LoadPicture(const QString& path);
// The same from bytes in memory; the format is told by the content alone.
IoResult<QImage> DecodePicture(const QByteArray& bytes, const QString& name);

// The import as a whole: empty importSlots, load, scan, apply. When the picture
// does not decode the slots stay empty and the palette unchanged.
IoStatus ImportPaletteFromPicture(const QString& path, const LevelTable& levels, ImportSlots& importSlots,
                                  SourcePalette& palette);

} // namespace palfade
