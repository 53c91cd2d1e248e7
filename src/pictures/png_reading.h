#pragma once
// PNG files read through libpng with handlers of our own. Qt's PNG reader
// lets libpng print its errors to stderr; a PNG read here first fails with
// the reason instead, and Qt's reader then never meets an error.

#include "io/io_result.h"

#include <QByteArrayView>
#include <QIODevice>

#include <cstdint>
#include <optional>
#include <vector>

namespace palfade {

inline constexpr QByteArrayView kPngSignature{"\x89PNG\r\n\x1a\n", 8};

struct PngFacts {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // PLTE in file order (0xFFRRGGBB) for a picture of colour type 3; nothing
    // for greyscale and true colour, whose PLTE is at most a suggestion.
    std::optional<std::vector<std::uint32_t>> table;
};

enum class PngExtent {
    Header, // the chunks before the image data: size, colour type, PLTE; nothing allocated for pixels
    Whole,  // and every row decoded (then dropped), and the chunks after: a row as wide as the header
            // says is allocated, so its size is checked on the Header first
};

// Reads from the device's current position. Fails with libpng's reason, or
// "the file is cut short".
IoResult<PngFacts> ReadPng(QIODevice& device, PngExtent extent);

} // namespace palfade
