#pragma once
// The palette file kind: ".ngpal" files of 16 colour words a palette, most
// significant byte first, 32 bytes each, no header.

#include "core/hw_color.h"
#include "io/io_result.h"
#include "sources/source.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace palfade {

inline constexpr qint64 kPaletteFileSize = 2 * kPaletteSize; // 32 bytes

// Missing bytes read as zero, so a short file still gives 16 entries (an
// empty one 16 non-dark blacks); bytes after the 32nd are ignored.
PaletteWords PaletteFromBytes(QByteArrayView bytes);

// Every palette of a palette file: 32 bytes each, missing bytes of the last
// read as zero. An empty file holds one black palette, as a palette file of
// any size reads as one.
std::vector<PaletteWords> PalettesFromFileBytes(QByteArrayView bytes);

// The palettes of a palette file on disk, at most `needed` of them (only
// their bytes are read), and the file's size. Any file that can be opened is
// taken as a palette file; a missing path or a directory is an error.
struct PaletteFileSet {
    std::vector<PaletteWords> palettes;
    qint64 size = 0;
};
IoResult<PaletteFileSet> ReadPaletteFile(const QString& path, std::size_t needed = kEveryPalette);

// What a palette file's size says to warn of, if anything: bytes that are
// not whole palettes (read as zero), or, when one palette is taken without
// an index, the palettes after the first.
std::optional<QString> PaletteFileWarning(const QString& path, qint64 size, bool firstWithoutIndex);

// The kind's reader: the palettes needed, with the warning of the file's size.
IoResult<SourcePalettes> ReadPaletteFileSource(const QString& path, const SourceRequest& request);

} // namespace palfade
