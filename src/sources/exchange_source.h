#pragma once
// The exchange kinds: palettes as the artists' tools keep them. GIMP's .gpl,
// Paint Shop Pro's JASC-PAL, Photoshop's colour table (.act) and the hex
// lists palette sites offer (.hex). Their colours become words as a
// picture's colour table does (PalettesOfColors), paletteSize colours a
// palette in file order.

#include "io/io_result.h"
#include "sources/source.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>
#include <vector>

namespace palfade {

inline constexpr std::size_t kEveryColor = std::numeric_limits<std::size_t>::max();

// Photoshop's colour table: 256 RGB triplets, then optionally the number of
// colours used and the transparent index (0xFFFF: none), big-endian.
inline constexpr int kAdobeTableColors = 256;
inline constexpr qint64 kAdobeTableSize = 3 * kAdobeTableColors; // 768
inline constexpr qint64 kAdobeCountedSize = kAdobeTableSize + 4;  // 772

bool IsExchangeKind(SourceKind kind);

struct ExchangeColors {
    std::vector<std::uint32_t> colors; // 0xRRGGBB in file order, the first `keep` of them
    qint64 count = 0;                  // every colour the file holds
    QStringList warnings;              // one line each
};

// Every colour of an exchange palette of `kind` (one of the four), holding
// the first `keep`. The whole file is read, so a fault anywhere in it is an
// error naming `name` and the line:
// - GIMP: the first line "GIMP Palette"; before the first colour, "Name:"
//   and "Columns:" lines (their values are not needed); lines starting with
//   "#" are comments; a colour line is R G B (decimal, 0-255, any blanks
//   between) and then an optional name.
// - JASC-PAL: the lines "JASC-PAL", "0100" and the number of colours, then
//   that many R G B lines (a fourth value, the alpha some tools add, is
//   allowed and not needed). Fewer colours are an error; lines after the
//   counted colours are not read, with a warning.
// - Hex list: one RRGGBB per line, either case, "#" before it allowed.
// - Adobe colour table: 768 bytes, or 772 whose count (1-256) says how many
//   of the 256 colours are used; any other size is an error.
// In the text kinds CR LF, CR and LF all end lines and lines of blanks are
// passed over; a file without a colour is an error.
IoResult<ExchangeColors> ReadExchangeColors(SourceKind kind, QIODevice& device, const QString& name,
                                            std::size_t keep = kEveryColor);

// The kind's reader: the palettes needed, each of request.text.paletteSize
// colours from entry request.text.firstEntry on over the request's base,
// the colours made words as request.pictureWords says.
IoResult<SourcePalettes> ReadExchangeSource(const QString& path, SourceKind kind, const SourceRequest& request);

} // namespace palfade
