#pragma once
// The picture kind: pictures decoded through Qt's image readers, and their
// palettes.

#include "io/io_result.h"
#include "sources/picture_colors.h"
#include "sources/source.h"

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

// The kind's reader, each palette over the request's base. Appearance: one
// palette, the first 16 different colours in reading order into entries 0
// on; through the level tables with the slots the scan filled. Table:
// entries 16K to 16K + 15 of the colour table stored in the file
// (StoredColorTable) make palette K. Each colour becomes a word as
// pictureWords says. A picture without a colour table read in table order
// is an error.
IoResult<SourcePalettes> ReadPictureSource(const QString& path, const SourceRequest& request);

} // namespace palfade
