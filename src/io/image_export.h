#pragma once
// The enlarged preview as a PNG (libpng, 8-bit RGB) or BMP file; both
// lossless, reproducing the preview's red, green and blue exactly.

#include "io/io_result.h"
#include "io/save_path.h"
#include "render/pixel_buffer.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace palfade {

IoResult<QByteArray> EncodePng(const PixelBuffer& image);
IoResult<QByteArray> EncodeBmp(const PixelBuffer& image);
IoResult<QByteArray> EncodePicture(const PixelBuffer& image, PictureFormat format);

// Encodes, then writes atomically.
IoStatus WritePicture(const QString& path, const PixelBuffer& image, PictureFormat format);

// A QImage (Format_RGB32) sharing the buffer's pixels, for drawing and the
// clipboard; valid only while the buffer is unchanged.
QImage ImageView(const PixelBuffer& image);

} // namespace palfade
