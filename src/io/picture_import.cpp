#include "io/picture_import.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace palfade {

RgbPixels PixelsOf(const QImage& rgb888)
{
    if (rgb888.isNull() || rgb888.format() != QImage::Format_RGB888)
        return {};
    return RgbPixels{rgb888.constBits(), rgb888.width(), rgb888.height(), rgb888.bytesPerLine()};
}

void ScanPictureColors(const RgbPixels& pixels, const std::array<std::int16_t, 256>& inverse,
                       ImportSlots& importSlots)
{
    importSlots.fill(kEmptySlot);
    if (pixels.data == nullptr)
        return;
    // Pictures are mostly runs of one colour: a pixel like the one before it
    // is already in a slot.
    std::int32_t previous = kEmptySlot;
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* p = pixels.data + static_cast<qsizetype>(y) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, p += 3) {
            const std::int32_t key = ColorKey(inverse[p[0]], inverse[p[1]], inverse[p[2]]);
            if (key == previous)
                continue;
            previous = key;
            bool placed = false;
            for (std::int32_t& slot : importSlots) {
                if (slot == key) {
                    placed = true;
                    break;
                }
                if (slot == kEmptySlot) {
                    slot = key;
                    placed = true;
                    break;
                }
            }
            if (!placed)
                return; // a 17th colour
        }
    }
}

void ApplyPictureSlots(const ImportSlots& importSlots, SourcePalette& palette)
{
    auto index = [](std::int32_t key, int shift) {
        return std::clamp((key >> shift) & 0xFF, 0, kIntensityCount - 1);
    };
    for (std::size_t k = 0; k < importSlots.size(); ++k) {
        const std::int32_t key = importSlots[k];
        if (key < 0)
            continue;
        palette[k] = EntryFromIndices(index(key, 0), index(key, 8), index(key, 16), true);
    }
}

namespace {

IoResult<QImage> ReadWith(QImageReader& reader, const QString& name)
{
    IoResult<QImage> result;
    // The pixels as stored: no rotation from metadata, nothing scaled.
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) {
        result.error = QStringLiteral("cannot decode picture %1: %2").arg(name, reader.errorString());
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

} // namespace

IoResult<QImage> LoadPicture(const QString& path)
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
    return ReadWith(reader, path);
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

} // namespace palfade
