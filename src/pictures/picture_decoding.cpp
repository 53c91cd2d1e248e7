#include "pictures/picture_decoding.h"

#include "io/file_access.h"
#include "pictures/gif_reading.h"
#include "pictures/picture_structure.h"
#include "pictures/png_reading.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <climits>
#include <cstring>

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

enum class Signature { Png, Gif, Other };

Signature SignatureOf(QIODevice& device)
{
    const QByteArray start = device.peek(kPngSignature.size());
    if (start == kPngSignature)
        return Signature::Png;
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return Signature::Gif;
    return Signature::Other;
}

// The size the header states, from the device's start, nothing decoded and
// nothing allocated for pixels. Qt's PNG reader lets libpng print its
// errors to stderr, so a PNG's header is read through libpng here.
IoResult<PictureHeader> HeaderOf(QIODevice& device, const QString& name)
{
    IoResult<PictureHeader> result;
    const Signature signature = SignatureOf(device);
    result.value.gif = signature == Signature::Gif;
    if (signature == Signature::Png) {
        const IoResult<PngFacts> head = ReadPng(device, PngExtent::Header);
        if (!head.ok())
            result.error = DecodeFailure(name, head.error);
        else
            result.value.size = QSize(static_cast<int>(std::min<std::uint32_t>(head.value.width, INT_MAX)),
                                      static_cast<int>(std::min<std::uint32_t>(head.value.height, INT_MAX)));
    } else {
        result.value.size = QImageReader(&device).size();
    }
    device.seek(0);
    return result;
}

// Before Qt's reader sees the picture: its size, then what that reader
// would not tell. A PNG is read whole through libpng, so that one which
// fails there never reaches Qt's reader and one that passes decodes there
// without an error; a GIF's first image through giflib; BMP and JPEG by
// their structure.
IoStatus CheckBeforeQt(QIODevice& device, const QString& name)
{
    const IoResult<PictureHeader> header = HeaderOf(device, name);
    if (!header.ok())
        return IoStatus::Failure(header.error);
    const QSize size = header.value.size;
    if (size.isValid() && TooLarge(size.width(), size.height()))
        return IoStatus::Failure(DecodeFailure(name, TooLargeReason(size.width(), size.height())));
    QString damage;
    const Signature signature = SignatureOf(device);
    if (signature == Signature::Png) {
        const IoResult<PngFacts> whole = ReadPng(device, PngExtent::Whole);
        damage = whole.error;
    } else if (signature == Signature::Gif) {
        damage = CheckGifFirstImage(device).error;
    } else {
        damage = StructureDamage(device).value_or(QString());
    }
    device.seek(0);
    return damage.isEmpty() ? IoStatus::Success() : IoStatus::Failure(DecodeFailure(name, damage));
}

// An indexed picture whose pixels point past its colour table: Qt's
// readers keep such indices, and each would show a colour the file does not
// hold.
QString IndexBeyondTable(const QImage& image)
{
    if (image.format() != QImage::Format_Indexed8 || image.colorCount() >= 256)
        return {};
    const int count = image.colorCount();
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (row[x] >= count)
                return QStringLiteral("the file is damaged: pixel index %1 is beyond its colour table of %2 entries")
                    .arg(row[x])
                    .arg(count);
    }
    return {};
}

// Qt's JPEG reader tells libjpeg's warnings of corrupt data and of a
// premature end only to Qt's log, and returns the picture with what it
// could not decode filled in. While a picture decodes, those warnings are
// kept here; anything else logged goes on to the handler before. Pictures
// are decoded on one thread at a time.
class DecoderWarnings {
public:
    DecoderWarnings()
    {
        active_ = this;
        previous_ = qInstallMessageHandler(Catch);
    }
    ~DecoderWarnings()
    {
        qInstallMessageHandler(previous_);
        active_ = nullptr;
    }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    // The first warning of damage, empty when none came.
    QString Damage() const { return damage_; }

private:
    static void Catch(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        const bool jpeg = context.category != nullptr && std::strcmp(context.category, "qt.gui.imageio.jpeg") == 0;
        if (active_ != nullptr && jpeg && type == QtWarningMsg) {
            if (active_->damage_.isEmpty() && (message.startsWith(QLatin1String("Corrupt JPEG data")) ||
                                               message.startsWith(QLatin1String("Premature end of JPEG file"))))
                active_->damage_ = message.trimmed();
            return;
        }
        if (previous_ != nullptr)
            previous_(type, context, message);
    }

    static inline DecoderWarnings* active_ = nullptr;
    static inline QtMessageHandler previous_ = nullptr;
    QString damage_;
};

enum class Conversion { ToRgb888, AsStored };

// After CheckBeforeQt: the size is known to be within the limits.
IoResult<QImage> ReadWith(QImageReader& reader, const QString& name, Conversion conversion = Conversion::ToRgb888)
{
    IoResult<QImage> result;
    QImageReader::setAllocationLimit(kAllocationLimitMiB);
    // The pixels as stored: no rotation from metadata, nothing scaled.
    reader.setAutoTransform(false);
    const DecoderWarnings warnings;
    QImage image = reader.read();
    if (image.isNull()) {
        result.error = DecodeFailure(name, reader.errorString());
        return result;
    }
    QString damage = warnings.Damage();
    if (damage.isEmpty())
        damage = IndexBeyondTable(image);
    if (!damage.isEmpty()) {
        result.error = DecodeFailure(name, damage);
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

IoResult<PictureHeader> ReadPictureHeader(const QString& path)
{
    QFile file(path);
    if (IoStatus opened = OpenForReading(file); !opened.ok()) {
        IoResult<PictureHeader> result;
        result.error = opened.error;
        return result;
    }
    return HeaderOf(file, path);
}

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
