#pragma once
// Small pictures written byte by byte, with exactly the colour table a test
// wants, for the table readers and the picture import.

#include <QByteArray>

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace palfade::test {

using Rgbs = std::vector<std::uint32_t>; // 0xRRGGBB

inline QByteArray LittleEndian(std::uint32_t v, int bytes)
{
    QByteArray out;
    for (int k = 0; k < bytes; ++k)
        out.append(static_cast<char>((v >> (8 * k)) & 0xFF));
    return out;
}

inline QByteArray BigEndian32(std::uint32_t v)
{
    QByteArray out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((v >> shift) & 0xFF));
    return out;
}

// A BMP of `bits` per pixel and 2 x 1 pixels (indices 0 and 1), with the
// table as given: entries of 4 bytes after an info header, of 3 bytes after
// an OS/2 core header. `used` is the info header's count of used colours.
inline QByteArray Bmp(int bits, const Rgbs& table, bool core = false, std::uint32_t used = 0)
{
    const int headerSize = core ? 12 : 40;
    const int entryBytes = core ? 3 : 4;
    const int rowBytes = (2 * bits + 31) / 32 * 4;
    QByteArray row(rowBytes, '\0');
    row[(bits * 1) / 8] = static_cast<char>(1 << (bits < 8 ? 8 - 2 * bits : 0)); // pixel 1 is index 1
    QByteArray entries;
    for (std::uint32_t c : table)
        entries += LittleEndian(c, entryBytes);
    const int pixelsAt = 14 + headerSize + static_cast<int>(entries.size());
    QByteArray bmp = "BM" + LittleEndian(static_cast<std::uint32_t>(pixelsAt + rowBytes), 4) + LittleEndian(0, 4) +
                     LittleEndian(static_cast<std::uint32_t>(pixelsAt), 4) +
                     LittleEndian(static_cast<std::uint32_t>(headerSize), 4);
    if (core)
        bmp += LittleEndian(2, 2) + LittleEndian(1, 2) + LittleEndian(1, 2) + LittleEndian(static_cast<std::uint32_t>(bits), 2);
    else
        bmp += LittleEndian(2, 4) + LittleEndian(1, 4) + LittleEndian(1, 2) +
               LittleEndian(static_cast<std::uint32_t>(bits), 2) + LittleEndian(0, 4) +
               LittleEndian(static_cast<std::uint32_t>(rowBytes), 4) + LittleEndian(2835, 4) + LittleEndian(2835, 4) +
               LittleEndian(used, 4) + LittleEndian(0, 4);
    return bmp + entries + row;
}

inline QByteArray PngChunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type) + data;
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), static_cast<uInt>(typed.size())));
    return BigEndian32(static_cast<std::uint32_t>(data.size())) + typed + BigEndian32(crc);
}

// A PNG of 2 x 1 pixels (or as given), all zero, of the given depth and
// colour type, with a PLTE when a table is given.
inline QByteArray Png(int depth, int colorType, const std::optional<Rgbs>& plte, std::uint32_t width = 2,
                      std::uint32_t height = 1)
{
    const int channels = colorType == 2 ? 3 : colorType == 6 ? 4 : colorType == 4 ? 2 : 1;
    const qsizetype rowBytes = 1 + (qsizetype{width} * depth * channels + 7) / 8;
    QByteArray raw(rowBytes * height, '\0');
    QByteArray deflated(static_cast<qsizetype>(compressBound(static_cast<uLong>(raw.size()))), '\0');
    uLongf size = static_cast<uLongf>(deflated.size());
    compress(reinterpret_cast<Bytef*>(deflated.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
             static_cast<uLong>(raw.size()));
    deflated.resize(static_cast<qsizetype>(size));
    QByteArray ihdr = BigEndian32(width) + BigEndian32(height);
    ihdr.append(static_cast<char>(depth));
    ihdr.append(static_cast<char>(colorType));
    ihdr.append(3, '\0');
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n") + PngChunk("IHDR", ihdr);
    if (plte) {
        QByteArray entries;
        for (std::uint32_t c : *plte)
            entries += BigEndian32(c << 8).left(3);
        png += PngChunk("PLTE", entries);
    }
    return png + PngChunk("IDAT", deflated) + PngChunk("IEND", {});
}

// A GIF of one 1 x 1 image with the given global and local tables (2^n
// entries each), after a comment extension of `commentBytes` bytes.
inline QByteArray Gif(const std::optional<Rgbs>& global, const std::optional<Rgbs>& local, int commentBytes = 0)
{
    auto packedFor = [](const std::optional<Rgbs>& table) {
        int n = 0;
        while (table && (2u << n) < table->size())
            ++n;
        return static_cast<char>(table ? 0x80 | n : 0);
    };
    auto entries = [](const std::optional<Rgbs>& table) {
        QByteArray out;
        for (std::uint32_t c : table.value_or(Rgbs{}))
            out += BigEndian32(c << 8).left(3);
        return out;
    };
    QByteArray gif = QByteArray("GIF89a") + LittleEndian(1, 2) + LittleEndian(1, 2);
    gif.append(packedFor(global));
    gif.append(2, '\0');
    gif += entries(global);
    if (commentBytes > 0) {
        gif.append("\x21\xFE", 2);
        for (int left = commentBytes; left > 0; left -= 255) {
            const int piece = left < 255 ? left : 255;
            gif.append(static_cast<char>(piece));
            gif.append(piece, 'x');
        }
        gif.append('\0');
    }
    gif += QByteArray("\x2C", 1) + LittleEndian(0, 4) + LittleEndian(1, 2) + LittleEndian(1, 2);
    gif.append(packedFor(local));
    gif += entries(local);
    // LZW of one pixel of index 0 at code size 2: clear, 0, end.
    gif.append("\x02\x02\x44\x01\x00\x3B", 6);
    return gif;
}

// `bytes` with `with` written over it from `at` on.
inline QByteArray Patched(QByteArray bytes, qsizetype at, const QByteArray& with)
{
    bytes.replace(at, with.size(), with);
    return bytes;
}

// A PNG whose header says width x height of 8-bit RGB, then a little image
// data: the size alone, whatever it claims.
inline QByteArray PngHeaderOnly(std::uint32_t width, std::uint32_t height)
{
    QByteArray ihdr = BigEndian32(width) + BigEndian32(height);
    ihdr.append("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n") + PngChunk("IHDR", ihdr) + PngChunk("IDAT", "x") + PngChunk("IEND", {});
}

// Gif() of a black and white global table whose image data is empty: an LZW
// code size and no data block.
inline QByteArray EmptyLzwGif()
{
    const QByteArray gif = Gif(Rgbs{0x000000, 0xFFFFFF}, std::nullopt);
    return gif.left(gif.size() - 5) + QByteArray("\x00\x3B", 2);
}

} // namespace palfade::test
