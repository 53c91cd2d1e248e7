#include "exports/picture_limits.h"

namespace palfade {

IoStatus CheckPreviewSize(PictureSize base, int zoom, PictureFormat format)
{
    // Each side is a few ints multiplied: far from overflowing 64 bits.
    const PictureSize shown{base.width * zoom, base.height * zoom};
    const bool png = format == PictureFormat::Png;
    const PictureSize held = png ? base : shown;
    if (held.width * held.height <= kLargestDrawnPixels)
        return IoStatus::Success();
    return IoStatus::Failure(QStringLiteral("the preview is %1 x %2 pixels; palfade draws at most %3 pixels%4")
                                 .arg(shown.width)
                                 .arg(shown.height)
                                 .arg(kLargestDrawnPixels)
                                 .arg(png && zoom > 1 ? QStringLiteral(" before zoom") : QString()));
}

} // namespace palfade
