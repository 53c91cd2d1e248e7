#pragma once
// The first image of a GIF read through giflib: its table indices for
// indexed art, or every row decoded and dropped to tell whether its image
// data is whole before Qt's reader, which fills what it cannot decode,
// sees it.

#include "io/io_result.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <vector>

namespace palfade {

// giflib's text for one of its error codes.
QString GifErrorText(int code);

// The first image of a GIF as table indices, rows top to bottom (an
// interlaced image is put back in order), with the colour table it uses: its
// own, else the global one.
struct GifIndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> table; // 0xFFRRGGBB
};
// At most `largestSide` pixels each way; "cannot decode GIF NAME: why".
IoResult<GifIndexedImage> ReadGifFirstImage(const QByteArray& bytes, const QString& name, int largestSide);

// Decodes every row of the first image, one row held at a time, from the
// device's current position; fails with giflib's reason ("Image is defective,
// decoding aborted") or what the file lacks.
IoStatus CheckGifFirstImage(QIODevice& device);

} // namespace palfade
