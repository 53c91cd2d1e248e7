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

// `zoom` (1-4) writes every pixel as a zoom x zoom block, exactly as the
// window's enlarged preview, without building the enlarged picture first.
IoResult<QByteArray> EncodePng(const PixelBuffer& image, int zoom = 1);
IoResult<QByteArray> EncodeBmp(const PixelBuffer& image);
IoResult<QByteArray> EncodePicture(const PixelBuffer& image, PictureFormat format, int zoom = 1);

// Encodes, then writes atomically.
IoStatus WritePicture(const QString& path, const PixelBuffer& image, PictureFormat format, int zoom = 1);

// A QImage (Format_RGB32) sharing the buffer's pixels, for drawing and the
// clipboard; valid only while the buffer is unchanged.
QImage ImageView(const PixelBuffer& image);

} // namespace palfade
