#include "exports/png_export.h"

#include "io/libpng_messages.h"
#include "exports/picture_limits.h"

#include <png.h>

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace palfade {

bool IsDrawable(const PixelBuffer& image)
{
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

QString EmptyPictureReason() { return QStringLiteral("the preview picture is empty"); }

namespace {

// A raw deflate stream (no zlib header or trailer), ended with its owner.
struct RawDeflater {
    RawDeflater(int level, int windowBits, int memLevel, int strategy)
    {
        ok = deflateInit2(&z, level, Z_DEFLATED, -windowBits, memLevel, strategy) == Z_OK;
    }
    ~RawDeflater()
    {
        if (ok)
            deflateEnd(&z);
    }
    RawDeflater(const RawDeflater&) = delete;
    RawDeflater& operator=(const RawDeflater&) = delete;

    z_stream z{};
    bool ok = false;
};

// The image data of a PNG is one zlib stream of filtered rows. A preview is
// mostly rows equal to the row above (every row `zoom` times, cells many
// rows tall), and such a row filtered "Up" is its filter byte and zeros, the
// same whatever the colours. So the stream is joined from separately
// compressed pieces, the way parallel gzip tools join theirs: rows that
// differ from the row above go through one deflater as they come, and a run
// of repeated rows is a piece compressed once per length and copied wherever
// that length recurs. Each distinct row is compressed once instead of every
// byte of the enlarged picture, and the run-length pieces pack the repeats
// far smaller than the whole-picture matching did.
class RowStreamDeflater {
public:
    // `rowBytes` counts the filter byte.
    explicit RowStreamDeflater(std::size_t rowBytes)
        : rowBytes_(rowBytes), repeatRow_(rowBytes, 0),
          rows_(Z_DEFAULT_COMPRESSION, MAX_WBITS, kRowsMemLevel, Z_DEFAULT_STRATEGY), ok_(rows_.ok)
    {
        repeatRow_[0] = kFilterUp;
        // The zlib header: deflate with a 32 KB window, no dictionary.
        data_.append('\x78');
        data_.append('\x01');
    }
    RowStreamDeflater(const RowStreamDeflater&) = delete;
    RowStreamDeflater& operator=(const RowStreamDeflater&) = delete;

    // A row of `rowBytes` bytes starting with its filter byte.
    bool AddRow(const unsigned char* row)
    {
        if (!ok_)
            return false;
        adler_ = adler32_z(adler_, row, rowBytes_);
        rowsPending_ = true;
        rows_.z.next_in = const_cast<Bytef*>(row);
        rows_.z.avail_in = static_cast<uInt>(rowBytes_);
        return ok_ = Drain(rows_.z, Z_NO_FLUSH, data_);
    }

    // `count` rows each equal to the row before it.
    bool AddRepeats(int count)
    {
        while (ok_ && count > 0) {
            const int rows = std::min(count, kLongestRepeatPiece);
            const RepeatPiece* piece = RepeatPieceOf(rows);
            if (!piece || !EndRowPiece())
                return ok_ = false;
            data_.append(piece->deflated);
            adler_ = adler32_combine(adler_, piece->adler, piece->length);
            count -= rows;
        }
        return ok_;
    }

    // The complete zlib stream; the deflater is spent afterwards.
    bool Finish(QByteArray& stream)
    {
        if (!ok_ || !EndRowPiece())
            return false;
        // A final empty block with fixed codes ends the deflate data.
        data_.append('\x03');
        data_.append('\x00');
        for (int shift = 24; shift >= 0; shift -= 8)
            data_.append(static_cast<char>((adler_ >> shift) & 0xFFu));
        stream = std::move(data_);
        ok_ = false;
        return true;
    }

private:
    static constexpr unsigned char kFilterUp = 2;
    // Longer runs are joined from pieces of at most this many rows, which
    // bounds the work of compressing a piece; a piece boundary costs a few
    // bytes.
    static constexpr int kLongestRepeatPiece = 64;
    // zlib's memory is fresh pages on every run of palfade-cli, and touching
    // them costs more than compressing the few distinct rows, so both
    // deflaters ask for less than zlib's default: a smaller hash for the rows
    // (the same output for a preview), and for the repeats, whose matches
    // are all one byte back, the smallest window.
    static constexpr int kRowsMemLevel = 6;
    static constexpr int kRunWindowBits = 9;
    static constexpr int kRunMemLevel = 4;

    struct RepeatPiece {
        QByteArray deflated;
        uLong adler = 0;
        z_off_t length = 0;
    };

    // Compresses into `out` what `z` holds; with a flush, until zlib has put
    // out everything up to a byte boundary.
    static bool Drain(z_stream& z, int flush, QByteArray& out)
    {
        unsigned char chunk[16384];
        do {
            z.next_out = chunk;
            z.avail_out = sizeof chunk;
            const int status = deflate(&z, flush);
            if (status != Z_OK && status != Z_BUF_ERROR)
                return false;
            out.append(reinterpret_cast<const char*>(chunk), static_cast<qsizetype>(sizeof chunk - z.avail_out));
        } while (z.avail_in > 0 || (flush != Z_NO_FLUSH && z.avail_out == 0));
        return true;
    }

    // Ends the row deflater's output on a byte boundary, with its history
    // cleared: what follows a copied piece never refers back past it.
    bool EndRowPiece()
    {
        if (!rowsPending_)
            return true;
        rowsPending_ = false;
        return Drain(rows_.z, Z_FULL_FLUSH, data_);
    }

    const RepeatPiece* RepeatPieceOf(int rows)
    {
        RepeatPiece& piece = repeatPieces_[static_cast<std::size_t>(rows)];
        if (piece.length > 0)
            return &piece;
        // Zeros after a filter byte: runs of one byte value are all there is
        // to find.
        RawDeflater deflater(Z_BEST_COMPRESSION, kRunWindowBits, kRunMemLevel, Z_RLE);
        bool ok = deflater.ok;
        uLong adler = adler32_z(0, nullptr, 0);
        for (int r = 0; r < rows && ok; ++r) {
            adler = adler32_z(adler, repeatRow_.data(), rowBytes_);
            deflater.z.next_in = repeatRow_.data();
            deflater.z.avail_in = static_cast<uInt>(rowBytes_);
            ok = Drain(deflater.z, Z_NO_FLUSH, piece.deflated);
        }
        ok = ok && Drain(deflater.z, Z_SYNC_FLUSH, piece.deflated);
        if (!ok) {
            piece.deflated.clear();
            return nullptr;
        }
        piece.adler = adler;
        piece.length = static_cast<z_off_t>(rowBytes_) * rows;
        return &piece;
    }

    std::size_t rowBytes_;
    std::vector<unsigned char> repeatRow_;
    RawDeflater rows_;
    bool ok_;
    bool rowsPending_ = false;
    uLong adler_ = adler32_z(0, nullptr, 0);
    QByteArray data_;
    std::array<RepeatPiece, kLongestRepeatPiece + 1> repeatPieces_{};
};

bool SameRow(const PixelBuffer& image, int a, int b)
{
    return std::memcmp(image.row(a), image.row(b), static_cast<std::size_t>(image.width) * sizeof(std::uint32_t)) == 0;
}

// The filtered rows of the picture enlarged `zoom` times, as a zlib stream.
bool DeflateImageData(const PixelBuffer& image, int zoom, QByteArray& stream)
{
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3u * static_cast<std::size_t>(zoom) + 1u;
    if (rowBytes - 1u > std::numeric_limits<uInt>::max() / 2u)
        return false;
    std::vector<unsigned char> row(rowBytes);
    RowStreamDeflater deflater(rowBytes);
    int repeats = 0;
    for (int y = 0; y < image.height; ++y) {
        if (y > 0 && SameRow(image, y, y - 1)) {
            repeats += zoom;
            continue;
        }
        if (!deflater.AddRepeats(repeats))
            return false;
        const std::uint32_t* in = image.row(y);
        unsigned char* o = row.data();
        *o++ = 0; // no filter
        // The buffer's words are 0xFFRRGGBB whatever the machine's byte order.
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = in[x];
            for (int r = 0; r < zoom; ++r) {
                *o++ = static_cast<unsigned char>(p >> 16);
                *o++ = static_cast<unsigned char>(p >> 8);
                *o++ = static_cast<unsigned char>(p);
            }
        }
        if (!deflater.AddRow(row.data()))
            return false;
        repeats = zoom - 1;
    }
    return deflater.AddRepeats(repeats) && deflater.Finish(stream);
}

// libpng frames the file: signature, header, the image data in chunks and
// the end. It reports errors by longjmp: nothing with a destructor may live
// in the frames it jumps over, so the C++ objects stay with the caller and
// no exception escapes into libpng.
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

constexpr qsizetype kImageDataChunkBytes = qsizetype{1} << 20;

bool WritePngChunks(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height,
                    const QByteArray& imageData)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    // libpng's own limit is a million pixels a side; the format's is 2^31 - 1.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const auto* data = reinterpret_cast<png_const_bytep>(imageData.constData());
    for (qsizetype at = 0; at < imageData.size(); at += kImageDataChunkBytes)
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), data + at,
                        static_cast<std::size_t>(std::min(kImageDataChunkBytes, imageData.size() - at)));
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    return true;
}

} // namespace

IoResult<QByteArray> EncodePng(const PixelBuffer& image, int zoom)
{
    IoResult<QByteArray> result;
    if (!IsDrawable(image) || zoom < 1) {
        result.error = EmptyPictureReason();
        return result;
    }
    const std::uint64_t width = static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(zoom);
    const std::uint64_t height = static_cast<std::uint64_t>(image.height) * static_cast<std::uint64_t>(zoom);
    if (width > kLargestPngSide || height > kLargestPngSide) {
        result.error = QStringLiteral("cannot encode PNG: %1 x %2 pixels, more than the %3 pixels a side of a PNG")
                           .arg(width)
                           .arg(height)
                           .arg(kLargestPngSide);
        return result;
    }
    QByteArray imageData;
    bool outOfMemory = false;
    bool deflated = false;
    try {
        deflated = DeflateImageData(image, zoom, imageData);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    PngOutput out{&result.value};
    LibpngMessages messages;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool written = false;
    if (deflated) {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &messages, KeepLibpngError, DropLibpngWarning);
        info = png ? png_create_info_struct(png) : nullptr;
        if (png && info) {
            png_set_write_fn(png, &out, AppendPngData, FlushNothing);
            written = WritePngChunks(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                                     imageData);
        }
        outOfMemory = out.outOfMemory || !png || !info;
        png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    }
    if (!written) {
        const QString why = outOfMemory               ? QStringLiteral("out of memory")
                            : messages.error[0] != '\0' ? QString::fromUtf8(messages.error)
                                                        : QStringLiteral("the compressor failed");
        result.error = QStringLiteral("cannot encode PNG: %1").arg(why);
        result.value.clear();
    }
    return result;
}

} // namespace palfade
