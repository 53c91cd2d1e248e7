#include "pictures/picture_decoding.h"

#include "io/file_access.h"
#include "pictures/png_reading.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace palfade {

RgbPixels PixelsOf(const QImage& rgb888)
{
    if (rgb888.isNull() || rgb888.format() != QImage::Format_RGB888)
        return {};
    return RgbPixels{rgb888.constBits(), rgb888.width(), rgb888.height(), rgb888.bytesPerLine()};
}

namespace {

// Pictures of up to 8192 x 8192 pixels are read, in any shape up to a
// million pixels a side (libpng's limit, which Qt's PNG reader keeps). Qt's
// reader may take 8 bytes a pixel (16-bit channels) for them, more than its
// default limit of allocation allows; the size is checked before, so the
// limit can be raised to just that.
constexpr qint64 kLargestPictureSide = 8192;
constexpr qint64 kLargestPicturePixels = kLargestPictureSide * kLargestPictureSide;
constexpr qint64 kLongestPictureSide = 1000000;
constexpr int kAllocationLimitMiB = static_cast<int>(kLargestPicturePixels * 8 / (1024 * 1024));

QString DecodeFailure(const QString& name, const QString& why)
{
    return QStringLiteral("cannot decode picture %1: %2").arg(name, why);
}

bool TooLarge(qint64 width, qint64 height)
{
    return width * height > kLargestPicturePixels || width > kLongestPictureSide || height > kLongestPictureSide;
}

QString TooLargeReason(qint64 width, qint64 height)
{
    return QStringLiteral("%1 x %2 pixels, more than palfade reads (%3 x %3 in all, %4 a side)")
        .arg(width)
        .arg(height)
        .arg(kLargestPictureSide)
        .arg(kLongestPictureSide);
}

// Qt's PNG reader lets libpng print its errors to stderr, so a PNG is read
// through libpng with our handlers first: a picture that fails there never
// reaches Qt's reader, and one that passes decodes there without an error.
IoStatus CheckBeforeQt(QIODevice& device, const QString& name)
{
    if (device.peek(kPngSignature.size()) != kPngSignature)
        return IoStatus::Success();
    const IoResult<PngFacts> head = ReadPng(device, PngExtent::Header);
    if (head.ok() && TooLarge(head.value.width, head.value.height))
        return IoStatus::Failure(DecodeFailure(name, TooLargeReason(head.value.width, head.value.height)));
    const IoResult<PngFacts> whole = head.ok() && device.seek(0) ? ReadPng(device, PngExtent::Whole) : head;
    if (!whole.ok())
        return IoStatus::Failure(DecodeFailure(name, whole.error));
    return IoStatus::Success();
}

enum class Conversion { ToRgb888, AsStored };

IoResult<QImage> ReadWith(QImageReader& reader, const QString& name, Conversion conversion = Conversion::ToRgb888)
{
    IoResult<QImage> result;
    const QSize size = reader.size();
    if (size.isValid() && TooLarge(size.width(), size.height())) {
        result.error = DecodeFailure(name, TooLargeReason(size.width(), size.height()));
        return result;
    }
    QImageReader::setAllocationLimit(kAllocationLimitMiB);
    // The pixels as stored: no rotation from metadata, nothing scaled.
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) {
        result.error = DecodeFailure(name, reader.errorString());
        return result;
    }
    if (conversion == Conversion::AsStored) {
        result.value = std::move(image);
        return result;
    }
    image.convertTo(QImage::Format_RGB888);
    if (image.isNull() || image.format() != QImage::Format_RGB888) {
        result.error = DecodeFailure(name, QStringLiteral("out of memory"));
        return result;
    }
    result.value = std::move(image);
    return result;
}

IoResult<QImage> LoadPictureFile(const QString& path, Conversion conversion)
{
    IoResult<QImage> result;
    QFile file(path);
    if (IoStatus opened = OpenForReading(file); !opened.ok()) {
        result.error = opened.error;
        return result;
    }
    if (IoStatus checked = CheckBeforeQt(file, path); !checked.ok()) {
        result.error = checked.error;
        return result;
    }
    file.close();
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
    if (IoStatus checked = CheckBeforeQt(buffer, name); !checked.ok()) {
        IoResult<QImage> result;
        result.error = checked.error;
        return result;
    }
    buffer.seek(0);
    QImageReader reader(&buffer);
    return ReadWith(reader, name);
}

} // namespace palfade
