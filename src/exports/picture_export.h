#pragma once
// The enlarged preview as a PNG or BMP file; both lossless, reproducing the
// preview's red, green and blue exactly. BMP goes through Qt's image writer.

#include "io/io_result.h"
#include "exports/png_export.h"
#include "exports/file_formats.h"
#include "render/pixel_buffer.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace palfade {

IoResult<QByteArray> EncodeBmp(const PixelBuffer& image);
// `zoom` as for EncodePng.
IoResult<QByteArray> EncodePicture(const PixelBuffer& image, PictureFormat format, int zoom = 1);

// Encodes, then writes atomically.
IoStatus WritePicture(const QString& path, const PixelBuffer& image, PictureFormat format, int zoom = 1);

// A QImage (Format_RGB32) sharing the buffer's pixels, for drawing and the
// clipboard; valid only while the buffer is unchanged.
QImage ImageView(const PixelBuffer& image);

} // namespace palfade
