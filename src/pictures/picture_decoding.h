#pragma once
// Pictures decoded through Qt's image readers, within the sizes palfade
// reads, with libpng's and giflib's own checks and a look at the file's
// structure first, so that no library text reaches the user and a damaged
// picture fails instead of showing colours it does not hold.

#include "io/io_result.h"
#include "pictures/picture_colors.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace palfade {

// The pixels of an image already in QImage::Format_RGB888.
RgbPixels PixelsOf(const QImage& rgb888);

// What a picture's header states, read without decoding it and without
// allocating anything for its pixels: its size (invalid when the header
// does not tell it) and whether it is a GIF.
struct PictureHeader {
    QSize size;
    bool gif = false;
};
IoResult<PictureHeader> ReadPictureHeader(const QString& path);

// BMP, JPEG, PNG or GIF at its full size, converted to 8-bit RGB. Pictures
// of more than 8192 x 8192 pixels, or a million a side, fail with their size
// before anything is allocated for them. A damaged picture fails with the
// reason: a PNG or GIF whose data libpng or giflib cannot decode, a BMP
// whose pixel data is cut short, out of the file or indexes past its colour
// table, a JPEG without its end marker or whose data libjpeg finds corrupt.
IoResult<QImage> LoadPicture(const QString& path);
// The same from bytes in memory; the format is told by the content alone.
IoResult<QImage> DecodePicture(const QByteArray& bytes, const QString& name);

// The picture as stored, not converted: an indexed picture (PNG with a
// colour table, GIF, 8-bit BMP) keeps its table.
IoResult<QImage> LoadStoredPicture(const QString& path);

} // namespace palfade
