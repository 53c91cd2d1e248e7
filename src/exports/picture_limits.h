#pragma once
// How large a picture palfade can write: what it holds in memory while it
// writes, within what PNG's and BMP's headers can state. A preview is
// checked before anything of it is computed.

#include "exports/file_formats.h"
#include "io/io_result.h"
#include "render/preview_renderer.h"

#include <cstdint>

namespace palfade {

// The picture held in memory: the preview at zoom 1 for PNG, whose encoder
// enlarges row by row, the enlarged one for BMP. 1 GiB of 32-bit pixels,
// room for the fades of all 256 palettes of the machine side by side.
inline constexpr std::int64_t kLargestDrawnPixels = std::int64_t{1} << 28;
// PNG states each side in 31 bits.
inline constexpr std::int64_t kLargestPngSide = 0x7FFFFFFF;
// Qt's BMP writer fills the header's 32-bit file size as a signed number.
inline constexpr std::int64_t kLargestBmpFileBytes = 0x7FFFFFFF;

// The BMP file Qt's writer makes of a picture: both headers, then rows of
// 3 bytes a pixel padded to 4 bytes.
constexpr std::int64_t BmpFileBytes(std::int64_t width, std::int64_t height)
{
    return 14 + 40 + (width * 3 + 3) / 4 * 4 * height;
}

// Whatever its shape, a picture palfade draws fits both formats' headers.
static_assert(kLargestDrawnPixels * kMaxZoom <= kLargestPngSide);
static_assert(BmpFileBytes(kLargestDrawnPixels, 1) <= kLargestBmpFileBytes &&
              BmpFileBytes(1, kLargestDrawnPixels) <= kLargestBmpFileBytes);

// Success when the preview, `base` at zoom 1 and written `zoom` times
// enlarged, can be written in `format`; else a reason naming its size and
// the limit.
IoStatus CheckPreviewSize(PictureSize base, int zoom, PictureFormat format);

} // namespace palfade
