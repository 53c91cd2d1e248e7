#include "io/image_export.h"

#include "io/file_access.h"
#include "render/preview_renderer.h"

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

namespace {

// libpng reports errors by longjmp: nothing with a destructor may live in the
// frames it jumps over, so the encoder below keeps its C++ objects in the
// caller and lets no exception escape into libpng.
struct PngOutput {
    QByteArray* bytes = nullptr;
    bool outOfMemory = false;
};

void AppendPngData(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<PngOutput*>(png_get_io_ptr(png));
    try {
        out->bytes->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    } catch (...) {
        out->outOfMemory = true;
    }
    if (out->outOfMemory)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

// Rows are written one at a time straight from the pixel buffer, each base
// row `zoom` times: no packed copy of the whole picture is ever made, which
// at 512 x 8192 is what the time went on. The picture is solid cells and
// repeated rows, which zlib's fastest setting packs well without filtering
// (filters and run-length matching measured slower and larger here).
bool WritePngRows(png_structp png, png_infop info, const PixelBuffer& image, int zoom, png_byte* row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width * zoom),
                 static_cast<png_uint_32>(image.height * zoom), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        const std::uint32_t* in = image.row(y);
        png_byte* o = row;
        // The buffer's words are 0xFFRRGGBB whatever the machine's byte order.
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = in[x];
            for (int r = 0; r < zoom; ++r) {
                *o++ = static_cast<png_byte>(p >> 16);
                *o++ = static_cast<png_byte>(p >> 8);
                *o++ = static_cast<png_byte>(p);
            }
        }
        for (int r = 0; r < zoom; ++r)
            png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

IoResult<QByteArray> EncodePng(const PixelBuffer& image, int zoom)
{
    IoResult<QByteArray> result;
    if (!IsDrawable(image) || zoom < 1) {
        result.error = EmptyImageReason();
        return result;
    }
    const std::unique_ptr<png_byte[]> row(new png_byte[static_cast<std::size_t>(image.width) * 3u *
                                                       static_cast<std::size_t>(zoom)]);
    PngOutput out{&result.value};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (png && info) {
        png_set_write_fn(png, &out, AppendPngData, FlushNothing);
        written = WritePngRows(png, info, image, zoom, row.get());
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (!written) {
        result.error = out.outOfMemory || !png || !info ? QStringLiteral("cannot encode PNG: out of memory")
                                                        : QStringLiteral("cannot encode PNG");
        result.value.clear();
    }
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

IoResult<QByteArray> EncodePicture(const PixelBuffer& image, PictureFormat format, int zoom)
{
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
