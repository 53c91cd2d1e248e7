#pragma once
// The colour table a picture file stores, read from the file itself: Qt's
// readers turn GIF pixels into colours, invent a grey table for greyscale
// PNGs and may reorder a BMP's table, while tile cutters number colours by
// the table as stored.

#include <QIODevice>

#include <cstdint>
#include <optional>
#include <vector>

namespace palfade {

// Entries 0xFFRRGGBB in table order, read from the device's current
// position, by the content alone:
// - PNG: PLTE of a picture of colour type 3 (indexed); greyscale and true
//   colour have none.
// - GIF: the local table of its first image when it brings one, else the
//   global one; the scan follows the blocks however far that image is and
//   reads nothing past its table.
// - BMP of 1, 2, 4 or 8 bits per pixel: its table, of the header's count of
//   used colours when that is below 2^bits, else 2^bits entries.
// Nothing for other formats, pictures without a table and tables cut short.
std::optional<std::vector<std::uint32_t>> StoredColorTable(QIODevice& device);

} // namespace palfade
