#include "exports/picture_export.h"

#include "io/file_access.h"
#include "exports/picture_limits.h"
#include "exports/png_export.h"
#include "render/preview_renderer.h"

#include <QBuffer>
#include <QImageWriter>

namespace palfade {

namespace {

constexpr int kBmpPixelsPerMetre = 3937; // 100 dpi

} // namespace

QImage ImageView(const PixelBuffer& image)
{
    if (!IsDrawable(image))
        return {};
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  static_cast<qsizetype>(image.width) * 4, QImage::Format_RGB32);
}

IoResult<QByteArray> EncodeBmp(const PixelBuffer& image)
{
    IoResult<QByteArray> result;
    if (!IsDrawable(image)) {
        result.error = EmptyPictureReason();
        return result;
    }
    // A new QImage takes its resolution from the screen, or 100 dpi without
    // one: the file must not depend on where it was written.
    QImage picture = ImageView(image);
    picture.setDotsPerMeterX(kBmpPixelsPerMetre);
    picture.setDotsPerMeterY(kBmpPixelsPerMetre);
    QBuffer buffer(&result.value);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture)) {
        result.error = QStringLiteral("cannot encode BMP: %1").arg(writer.errorString());
        result.value.clear();
    }
    return result;
}

IoResult<QByteArray> EncodePicture(const PixelBuffer& image, PictureFormat format, int zoom)
{
    if (const IoStatus size = CheckPreviewSize(PictureSize{image.width, image.height}, zoom, format); !size.ok()) {
        IoResult<QByteArray> result;
        result.error = size.error;
        return result;
    }
    if (format == PictureFormat::Png)
        return EncodePng(image, zoom);
    if (zoom == 1)
        return EncodeBmp(image);
    PixelBuffer enlarged;
    EnlargePixels(image, zoom, enlarged);
    return EncodeBmp(enlarged);
}

IoStatus WritePicture(const QString& path, const PixelBuffer& image, PictureFormat format, int zoom)
{
    const IoResult<QByteArray> bytes = EncodePicture(image, format, zoom);
    if (!bytes.ok())
        return IoStatus::Failure(QStringLiteral("cannot write %1: %2").arg(path, bytes.error));
    return WriteFileAtomically(path, bytes.value);
}

} // namespace palfade
