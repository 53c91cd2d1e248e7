#include "sources/palette_file.h"

#include "io/file_access.h"
#include "io/word_bytes.h"

namespace palfade {

SourcePalette PaletteFromBytes(QByteArrayView bytes)
{
    SourcePalette palette{};
    for (int i = 0; i < kPaletteSize; ++i)
        palette[static_cast<std::size_t>(i)] = DecodeHwColor(BigEndianWordAt(bytes, i));
    return palette;
}

IoResult<PaletteFileContent> ReadPaletteFile(const QString& path)
{
    IoResult<PaletteFileContent> result;
    qint64 size = -1;
    const IoResult<QByteArray> bytes = ReadFileStart(path, kPaletteFileSize, &size);
    if (!bytes.ok()) {
        result.error = bytes.error;
        return result;
    }
    result.value.palette = PaletteFromBytes(bytes.value);
    result.value.fileSize = size;
    return result;
}

} // namespace palfade
