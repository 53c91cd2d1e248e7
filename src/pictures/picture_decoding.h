#pragma once
// Pictures decoded through Qt's image readers, within the sizes palfade
// reads, with libpng's own checks first so that no library text reaches the
// user.

#include "io/io_result.h"
#include "pictures/picture_colors.h"

#include <QByteArray>
#include <QImage>
#include <QString>

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

} // namespace palfade
