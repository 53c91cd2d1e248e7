#include "pictures/picture_structure.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace palfade {

namespace {

constexpr QLatin1StringView kCutShort("the file is cut short");

// The device's bytes one at a time, read in pieces; -1 at the end.
class ByteStream {
public:
    explicit ByteStream(QIODevice& device) : device_(device) {}

    int Next()
    {
        if (at_ == piece_.size()) {
            piece_ = device_.read(64 * 1024);
            at_ = 0;
            if (piece_.isEmpty())
                return -1;
        }
        return static_cast<unsigned char>(piece_[at_++]);
    }
    // False when the device ends first.
    bool Skip(qint64 count)
    {
        const qint64 buffered = std::min<qint64>(count, piece_.size() - at_);
        at_ += buffered;
        count -= buffered;
        return count == 0 || device_.skip(count) == count;
    }

private:
    QIODevice& device_;
    QByteArray piece_;
    qsizetype at_ = 0;
};

std::uint32_t LittleEndian(const QByteArray& bytes, int at, int count)
{
    std::uint32_t v = 0;
    for (int k = count - 1; k >= 0; --k)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + k]);
    return v;
}

// RLE data walked to its end-of-bitmap escape or its last row; 4-bit data
// packs two pixels a byte.
bool RleReachesTheEnd(ByteStream& data, std::int64_t rows, bool fourBits)
{
    std::int64_t y = 0;
    while (y < rows) {
        const int count = data.Next();
        const int code = data.Next();
        if (code < 0)
            return false;
        if (count != 0)
            continue; // a run of `count` pixels
        if (code == 0) {
            ++y; // end of line
        } else if (code == 1) {
            return true; // end of bitmap
        } else if (code == 2) {
            data.Next(); // move right, then
            const int down = data.Next();
            if (down < 0)
                return false;
            y += down;
        } else {
            // `code` pixels as they are, padded to a whole 16-bit word.
            qint64 bytes = fourBits ? (code + 1) / 2 : code;
            bytes += bytes & 1;
            if (!data.Skip(bytes))
                return false;
        }
    }
    return true;
}

std::optional<QString> BmpDamage(QIODevice& device)
{
    constexpr int kFileHeader = 14;
    const qint64 fileSize = device.size();
    const qint64 start = device.pos();
    const QByteArray head = device.read(kFileHeader + 20);
    if (head.size() < kFileHeader + 20)
        return std::nullopt;
    const std::uint32_t pixelsAt = LittleEndian(head, 10, 4);
    const std::uint32_t headerSize = LittleEndian(head, kFileHeader, 4);
    const bool core = headerSize == 12; // OS/2 1.x: 16-bit sizes, no compression
    if (!core && headerSize < 40)
        return std::nullopt;
    // A negative height stores the rows top down.
    const std::int64_t width =
        core ? std::int64_t{LittleEndian(head, 18, 2)} : static_cast<std::int32_t>(LittleEndian(head, 18, 4));
    const std::int64_t height = core ? std::int64_t{LittleEndian(head, 20, 2)}
                                     : std::llabs(static_cast<std::int32_t>(LittleEndian(head, 22, 4)));
    const std::int64_t bits = LittleEndian(head, core ? 24 : 28, 2);
    const std::uint32_t compression = core ? 0 : LittleEndian(head, 30, 4);
    // Shapes the decoder refuses, or the size check long before; within
    // these the sizes below stay far inside 64 bits.
    constexpr std::int64_t kLargestSide = std::int64_t{1} << 24;
    if (width <= 0 || width > kLargestSide || height > kLargestSide || bits == 0 || bits > 32)
        return std::nullopt;
    const qint64 pixelBytes = fileSize - start - pixelsAt;
    if (pixelBytes <= 0)
        return QStringLiteral("the file is damaged: its pixel data would start at byte %1, past its end (%2 bytes)")
            .arg(pixelsAt)
            .arg(fileSize - start);
    constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
    if (compression == kRgb || compression == kBitFields || compression == kAlphaBitFields) {
        const std::int64_t needed = (width * bits + 31) / 32 * 4 * height;
        if (needed > pixelBytes)
            return QStringLiteral("%1: %2 of its %3 bytes of pixel data").arg(kCutShort).arg(pixelBytes).arg(needed);
    } else if (compression == kRle8 || compression == kRle4) {
        if (!device.seek(start + pixelsAt))
            return std::nullopt;
        ByteStream data(device);
        if (!RleReachesTheEnd(data, height, compression == kRle4))
            return QStringLiteral("%1: its RLE pixel data ends before its last row").arg(kCutShort);
    }
    return std::nullopt;
}

// Markers that stand alone, without a length: TEM and RST0-RST7.
bool StandAlone(int marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

std::optional<QString> JpegDamage(QIODevice& device)
{
    constexpr int kEndOfImage = 0xD9;
    constexpr int kStartOfScan = 0xDA;
    const QString cutShort = QStringLiteral("%1: it ends before its end marker").arg(kCutShort);
    ByteStream data(device);
    data.Next(); // the start-of-image marker
    data.Next();
    int found = -1; // a marker the image data ran into
    for (;;) {
        int marker = found;
        found = -1;
        if (marker < 0) {
            // 0xFF, fill bytes of 0xFF, then the code; stray bytes before it
            // are the decoder's to judge.
            int b = data.Next();
            while (b >= 0 && b != 0xFF)
                b = data.Next();
            while (b == 0xFF)
                b = data.Next();
            if (b < 0)
                return cutShort;
            marker = b;
        }
        if (marker == kEndOfImage)
            return std::nullopt;
        if (StandAlone(marker))
            continue;
        const int high = data.Next();
        const int low = data.Next();
        if (low < 0)
            return cutShort;
        const int length = (high << 8) | low;
        if (length < 2)
            return std::nullopt; // a length the decoder refuses
        if (!data.Skip(length - 2))
            return cutShort;
        if (marker != kStartOfScan)
            continue;
        // The image data runs to the next marker: 0xFF then a code other
        // than a stuffed 0x00, a fill byte or a restart marker.
        for (int previous = 0; found < 0; ) {
            const int b = data.Next();
            if (b < 0)
                return cutShort;
            if (previous == 0xFF && b != 0 && b != 0xFF && !StandAlone(b))
                found = b;
            previous = b;
        }
    }
}

} // namespace

std::optional<QString> StructureDamage(QIODevice& device)
{
    const QByteArray start = device.peek(3);
    if (start.startsWith("BM"))
        return BmpDamage(device);
    if (start == QByteArrayView("\xFF\xD8\xFF", 3))
        return JpegDamage(device);
    return std::nullopt;
}

} // namespace palfade
