#pragma once
// What Qt's BMP and JPEG readers do not tell: pixel data cut short or
// placed past the end of the file, a JPEG that ends before its end marker.
// They fill the missing pixels with whatever they hold, so the file's own
// structure is looked at before they decode it.

#include <QIODevice>
#include <QString>

#include <optional>

namespace palfade {

// From the device's current position, the reason a BMP or JPEG is damaged;
// nothing for a whole one, another format, or damage Qt's reader refuses
// itself (a header cut short). BMP: the pixel data must lie within the
// file: every row of an uncompressed picture, and RLE data up to its last
// row or its end marker. JPEG: the segments and the image data after each
// scan must reach the end marker.
std::optional<QString> StructureDamage(QIODevice& device);

} // namespace palfade
