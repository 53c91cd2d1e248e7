#include "io/image_export.h"

#include "io/file_access.h"

#include <QBuffer>
#include <QImageWriter>

#include <png.h>

#include <vector>

namespace palfade {

namespace {

bool IsDrawable(const PixelBuffer& image)
{
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

QString EmptyImageReason() { return QStringLiteral("the preview picture is empty"); }

} // namespace

QImage ImageView(const PixelBuffer& image)
{
    if (!IsDrawable(image))
        return {};
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  static_cast<qsizetype>(image.width) * 4, QImage::Format_RGB32);
}

IoResult<QByteArray> EncodePng(const PixelBuffer& image)
{
    IoResult<QByteArray> result;
    if (!IsDrawable(image)) {
        result.error = EmptyImageReason();
        return result;
    }
    // The simplified API takes packed RGB bytes; the buffer's words are
    // 0xFFRRGGBB whatever the byte order of the machine.
    std::vector<png_byte> rgb(image.pixels.size() * 3);
    std::size_t o = 0;
    for (std::uint32_t p : image.pixels) {
        rgb[o++] = static_cast<png_byte>(p >> 16);
        rgb[o++] = static_cast<png_byte>(p >> 8);
        rgb[o++] = static_cast<png_byte>(p);
    }

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    const png_int_32 stride = image.width * 3;

    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, rgb.data(), stride, nullptr)) {
        result.error = QStringLiteral("cannot encode PNG: %1").arg(QString::fromUtf8(png.message));
        png_image_free(&png);
        return result;
    }
    result.value.resize(static_cast<qsizetype>(size));
    if (!png_image_write_to_memory(&png, result.value.data(), &size, 0, rgb.data(), stride, nullptr)) {
        result.error = QStringLiteral("cannot encode PNG: %1").arg(QString::fromUtf8(png.message));
        result.value.clear();
        png_image_free(&png);
        return result;
    }
    result.value.resize(static_cast<qsizetype>(size));
    png_image_free(&png);
    return result;
}

IoResult<QByteArray> EncodeBmp(const PixelBuffer& image)
{
    IoResult<QByteArray> result;
    if (!IsDrawable(image)) {
        result.error = EmptyImageReason();
        return result;
    }
    QBuffer buffer(&result.value);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(ImageView(image))) {
        result.error = QStringLiteral("cannot encode BMP: %1").arg(writer.errorString());
        result.value.clear();
    }
    return result;
}

IoResult<QByteArray> EncodePicture(const PixelBuffer& image, PictureFormat format)
{
    return format == PictureFormat::Png ? EncodePng(image) : EncodeBmp(image);
}

IoStatus WritePicture(const QString& path, const PixelBuffer& image, PictureFormat format)
{
    const IoResult<QByteArray> bytes = EncodePicture(image, format);
    if (!bytes.ok())
        return IoStatus::Failure(QStringLiteral("cannot write %1: %2").arg(path, bytes.error));
    return WriteFileAtomically(path, bytes.value);
}

} // namespace palfade
