#pragma once
// The ".ngpal" palette file: 16 colour words, most significant byte first,
// 32 bytes, no header.

#include "core/hw_color.h"
#include "io/io_result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace palfade {

inline constexpr qint64 kPaletteFileSize = 2 * kPaletteSize; // 32 bytes

// Missing bytes read as zero, so a short file still gives 16 entries (an
// empty one 16 non-dark blacks); bytes after the 32nd are ignored.
SourcePalette PaletteFromBytes(QByteArrayView bytes);

struct PaletteFileContent {
    SourcePalette palette{};
    qint64 fileSize = 0; // the whole file's size; -1 when not known
};

// Any file that can be opened is taken as a palette file; only its first 32
// bytes are read. A missing path or a directory is an error.
IoResult<PaletteFileContent> ReadPaletteFile(const QString& path);

} // namespace palfade
