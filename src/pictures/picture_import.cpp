#include "pictures/picture_import.h"

#include "io/file_access.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace palfade {

RgbPixels PixelsOf(const QImage& rgb888)
{
    if (rgb888.isNull() || rgb888.format() != QImage::Format_RGB888)
        return {};
    return RgbPixels{rgb888.constBits(), rgb888.width(), rgb888.height(), rgb888.bytesPerLine()};
}

namespace {

// A GIF's tables come before its first image's pixels, after at most a few
// extension blocks.
constexpr qint64 kGifHeadSize = 1024 * 1024;

enum class Conversion { ToRgb888, AsStored };

IoResult<QImage> ReadWith(QImageReader& reader, const QString& name, Conversion conversion = Conversion::ToRgb888)
{
    IoResult<QImage> result;
    // The pixels as stored: no rotation from metadata, nothing scaled.
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) {
        result.error = QStringLiteral("cannot decode picture %1: %2").arg(name, reader.errorString());
        return result;
    }
    if (conversion == Conversion::AsStored) {
        result.value = std::move(image);
        return result;
    }
    image.convertTo(QImage::Format_RGB888);
    if (image.isNull() || image.format() != QImage::Format_RGB888) {
        result.error = QStringLiteral("cannot decode picture %1: out of memory").arg(name);
        return result;
    }
    result.value = std::move(image);
    return result;
}

IoResult<QImage> LoadPictureFile(const QString& path, Conversion conversion)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        IoResult<QImage> result;
        result.error = QStringLiteral("cannot open %1: %2")
                           .arg(path, info.exists() ? QStringLiteral("Is a directory")
                                                    : QStringLiteral("No such file or directory"));
        return result;
    }
    QImageReader reader(path);
    return ReadWith(reader, path, conversion);
}

} // namespace

IoResult<QImage> LoadPicture(const QString& path)
{
    return LoadPictureFile(path, Conversion::ToRgb888);
}

IoResult<QImage> LoadStoredPicture(const QString& path)
{
    return LoadPictureFile(path, Conversion::AsStored);
}

IoResult<QImage> DecodePicture(const QByteArray& bytes, const QString& name)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return ReadWith(reader, name);
}

IoStatus ImportPaletteFromPicture(const QString& path, const LevelTable& levels, ImportSlots& importSlots,
                                  SourcePalette& palette)
{
    importSlots.fill(kEmptySlot);
    const IoResult<QImage> picture = LoadPicture(path);
    if (!picture.ok())
        return IoStatus::Failure(picture.error);
    ScanPictureColors(PixelsOf(picture.value), levels.inverse, importSlots);
    ApplyPictureSlots(importSlots, palette);
    return IoStatus::Success();
}

std::optional<std::vector<std::uint32_t>> GifColorTable(QByteArrayView bytes)
{
    constexpr qsizetype kScreenDescriptorEnd = 13;
    constexpr qsizetype kImageDescriptorSize = 10; // with its separator
    constexpr unsigned kHasTable = 0x80;
    if (!(bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) || bytes.size() < kScreenDescriptorEnd)
        return std::nullopt;
    auto byteAt = [&](qsizetype i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    // A table of 2^(n+1) red, green, blue triples follows a descriptor whose
    // packed byte has the table bit and n in its low bits.
    auto tableAt = [&](qsizetype start, unsigned packed) -> std::optional<std::vector<std::uint32_t>> {
        const qsizetype entries = qsizetype(2) << (packed & 7);
        if (start + 3 * entries > bytes.size())
            return std::nullopt;
        std::vector<std::uint32_t> table(static_cast<std::size_t>(entries));
        for (qsizetype k = 0; k < entries; ++k) {
            const qsizetype at = start + 3 * k;
            table[static_cast<std::size_t>(k)] =
                0xFF000000u | (byteAt(at) << 16) | (byteAt(at + 1) << 8) | byteAt(at + 2);
        }
        return table;
    };

    const unsigned screenPacked = byteAt(10);
    std::optional<std::vector<std::uint32_t>> global;
    qsizetype at = kScreenDescriptorEnd;
    if (screenPacked & kHasTable) {
        global = tableAt(at, screenPacked);
        if (!global)
            return std::nullopt;
        at += 3 * static_cast<qsizetype>(global->size());
    }
    // Extensions (0x21, label, sub-blocks ending in an empty one) may come
    // before the first image (0x2C).
    while (at < bytes.size() && byteAt(at) == 0x21) {
        at += 2;
        while (at < bytes.size() && byteAt(at) != 0)
            at += 1 + byteAt(at);
        ++at;
    }
    if (at + kImageDescriptorSize <= bytes.size() && byteAt(at) == 0x2C) {
        const unsigned imagePacked = byteAt(at + 9);
        if (imagePacked & kHasTable)
            return tableAt(at + kImageDescriptorSize, imagePacked);
    }
    return global;
}

IoResult<std::vector<SourcePalette>> PicturePalettes(const QString& path, const LevelTable& levels,
                                                     PictureOrder order, PictureWords words)
{
    IoResult<std::vector<SourcePalette>> result;
    ImportSlots tableSlots{};
    if (order == PictureOrder::Appearance && words == PictureWords::Ngdevkit) {
        const IoResult<QImage> picture = LoadPicture(path);
        if (!picture.ok()) {
            result.error = picture.error;
            return result;
        }
        result.value.resize(1);
        ScanNgdevkitColors(PixelsOf(picture.value), result.value.front());
        return result;
    }
    if (order == PictureOrder::Appearance) {
        result.value.resize(1);
        const IoStatus status = ImportPaletteFromPicture(path, levels, tableSlots, result.value.front());
        if (!status.ok())
            result.error = status.error;
        return result;
    }

    const IoResult<QImage> picture = LoadStoredPicture(path);
    if (!picture.ok()) {
        result.error = picture.error;
        return result;
    }
    // Indexed8, Mono and MonoLSB pictures carry a table; every other format
    // holds colours in its pixels.
    QList<QRgb> table = picture.value.colorTable();
    if (table.isEmpty() && QImageReader::imageFormat(path) == "gif") {
        const IoResult<QByteArray> bytes = ReadFileStart(path, kGifHeadSize);
        if (bytes.ok())
            if (const std::optional<std::vector<std::uint32_t>> gif = GifColorTable(bytes.value))
                table = QList<QRgb>(gif->begin(), gif->end());
    }
    if (table.isEmpty()) {
        result.error = QStringLiteral("%1 has no colour table: its pixels are colours, not table indices")
                           .arg(path);
        return result;
    }
    const std::span<const std::uint32_t> entries(table.constData(), static_cast<std::size_t>(table.size()));
    result.value.resize((entries.size() + kPaletteSize - 1) / kPaletteSize); // black entries
    for (std::size_t k = 0; k < result.value.size(); ++k) {
        if (words == PictureWords::Ngdevkit) {
            for (std::size_t i = k * kPaletteSize; i < entries.size() && i < (k + 1) * kPaletteSize; ++i)
                result.value[k][i % kPaletteSize] = NgdevkitEntry(entries[i]);
            continue;
        }
        ScanColorTable(entries, k * kPaletteSize, levels.inverse, tableSlots);
        ApplyPictureSlots(tableSlots, result.value[k]);
    }
    return result;
}

} // namespace palfade
