#include "sources/palette_file.h"

#include "io/file_access.h"
#include "io/word_bytes.h"

#include <algorithm>

namespace palfade {

PaletteWords PaletteFromBytes(QByteArrayView bytes)
{
    PaletteWords words{};
    for (int i = 0; i < kPaletteSize; ++i)
        words[static_cast<std::size_t>(i)] = BigEndianWordAt(bytes, i);
    return words;
}

std::vector<PaletteWords> PalettesFromFileBytes(QByteArrayView bytes)
{
    const qsizetype count = std::max<qsizetype>(1, (bytes.size() + kPaletteFileSize - 1) / kPaletteFileSize);
    std::vector<PaletteWords> palettes;
    palettes.reserve(static_cast<std::size_t>(count));
    for (qsizetype k = 0; k < count; ++k) {
        const qsizetype start = std::min(k * kPaletteFileSize, bytes.size());
        palettes.push_back(PaletteFromBytes(bytes.sliced(start, std::min(kPaletteFileSize, bytes.size() - start))));
    }
    return palettes;
}

IoResult<PaletteFileSet> ReadPaletteFile(const QString& path, std::size_t needed)
{
    IoResult<PaletteFileSet> result;
    const qint64 wanted = needed == kEveryPalette || needed > static_cast<std::size_t>(kMaxSourceSize / kPaletteFileSize)
                              ? kMaxSourceSize + 1
                              : static_cast<qint64>(needed) * kPaletteFileSize;
    const IoResult<QByteArray> bytes = ReadFileStart(path, wanted, &result.value.size);
    if (!bytes.ok()) {
        result.error = bytes.error;
        return result;
    }
    if (bytes.value.size() > kMaxSourceSize) {
        result.error = TooLargeReason(path);
        return result;
    }
    result.value.palettes = PalettesFromFileBytes(bytes.value);
    if (result.value.size < 0) // a stream: its size is what was read
        result.value.size = bytes.value.size();
    return result;
}

std::optional<QString> PaletteFileWarning(const QString& path, qint64 size, bool firstWithoutIndex)
{
    if (size == 0 || size % kPaletteFileSize != 0)
        return QStringLiteral("%1 is %2 bytes, not whole palettes of %3; missing bytes read as zero")
            .arg(path)
            .arg(size)
            .arg(kPaletteFileSize);
    if (firstWithoutIndex && size > kPaletteFileSize)
        return QStringLiteral("%1 holds %2; the first is read (another is chosen with an index)")
            .arg(path, PaletteCountText(size / kPaletteFileSize));
    return std::nullopt;
}

IoResult<SourcePalettes> ReadPaletteFileSource(const QString& path, const SourceRequest& request)
{
    IoResult<SourcePalettes> result;
    IoResult<PaletteFileSet> set = ReadPaletteFile(path, request.needed);
    if (!set.ok()) {
        result.error = set.error;
        return result;
    }
    if (const std::optional<QString> warning =
            PaletteFileWarning(path, set.value.size, !request.indexed && request.needed == 1))
        result.value.warnings << *warning;
    result.value.palettes = std::move(set.value.palettes);
    result.value.holder = path;
    return result;
}

} // namespace palfade
