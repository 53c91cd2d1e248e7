#include "io/palette_file.h"

#include "io/file_access.h"

namespace palfade {

SourcePalette PaletteFromBytes(QByteArrayView bytes)
{
    auto byteAt = [&](qsizetype i) -> unsigned {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u;
    };
    SourcePalette palette{};
    for (int i = 0; i < kPaletteSize; ++i) {
        const auto word = static_cast<HwColor>((byteAt(2 * i) << 8) | byteAt(2 * i + 1));
        palette[static_cast<std::size_t>(i)] = DecodeHwColor(word);
    }
    return palette;
}

QByteArray PaletteToBytes(const SourcePalette& palette)
{
    QByteArray bytes;
    bytes.reserve(kPaletteFileSize);
    for (const PaletteEntry& e : palette) {
        const HwColor word = EncodeHwColor(e);
        bytes.append(static_cast<char>(word >> 8));
        bytes.append(static_cast<char>(word & 0xFF));
    }
    return bytes;
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
