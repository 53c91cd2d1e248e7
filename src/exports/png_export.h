#pragma once
// The enlarged preview as a PNG file (8-bit RGB), holding the preview's red,
// green and blue exactly.

#include "io/io_result.h"
#include "render/pixel_buffer.h"

#include <QByteArray>
#include <QString>

namespace palfade {

// `zoom` (1-4) writes every pixel as a zoom x zoom block, exactly as the
// window's enlarged preview, without building the enlarged picture first.
IoResult<QByteArray> EncodePng(const PixelBuffer& image, int zoom = 1);

// Whether the buffer holds a picture at all, and the reason given when not.
bool IsDrawable(const PixelBuffer& image);
QString EmptyPictureReason();

} // namespace palfade
