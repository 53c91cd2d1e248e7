#include "io/image_export.h"

#include "io/file_access.h"

#include <QBuffer>
#include <QImageWriter>

#include <png.h>

#include <memory>

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
    // 0xFFRRGGBB whatever the byte order of the machine. Every byte is
    // written below, so the buffer is not cleared first.
    const std::size_t count = image.pixels.size();
    const std::unique_ptr<png_byte[]> rgb(new png_byte[count * 3]);
    png_byte* o = rgb.get();
    for (std::uint32_t p : image.pixels) {
        *o++ = static_cast<png_byte>(p >> 16);
        *o++ = static_cast<png_byte>(p >> 8);
        *o++ = static_cast<png_byte>(p);
    }

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    // The preview is large solid cells: the fast setting costs little size
    // and takes a fraction of the time on a 512 x 8192 picture.
    png.flags = PNG_IMAGE_FLAG_FAST;
    const png_int_32 stride = image.width * 3;

    // One pass into room for the worst case (stored, not compressed); only
    // the pages actually written are ever touched.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png);
    result.value = QByteArray(static_cast<qsizetype>(size), Qt::Uninitialized);
    const bool written =
        png_image_write_to_memory(&png, result.value.data(), &size, 0, rgb.get(), stride, nullptr) != 0;
    if (!written) {
        result.error = QStringLiteral("cannot encode PNG: %1").arg(QString::fromUtf8(png.message));
        result.value.clear();
    } else {
        result.value.truncate(static_cast<qsizetype>(size));
        result.value.squeeze();
    }
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
