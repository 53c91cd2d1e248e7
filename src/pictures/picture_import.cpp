#include "pictures/picture_import.h"

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
