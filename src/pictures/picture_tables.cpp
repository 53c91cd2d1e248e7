#include "pictures/picture_tables.h"

#include "pictures/png_reading.h"

namespace palfade {

namespace {

using Table = std::vector<std::uint32_t>;

bool ReadExactly(QIODevice& device, unsigned char* into, qint64 count)
{
    return device.read(reinterpret_cast<char*>(into), count) == count;
}

std::uint32_t LittleEndian(const unsigned char* at, int bytes)
{
    std::uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; --k)
        v = (v << 8) | at[k];
    return v;
}

// `count` entries of `entryBytes` bytes each, in the given channel order.
std::optional<Table> ReadEntries(QIODevice& device, std::uint32_t count, int entryBytes, bool bgr)
{
    Table table;
    table.reserve(count);
    unsigned char e[4];
    for (std::uint32_t k = 0; k < count; ++k) {
        if (!ReadExactly(device, e, entryBytes))
            return std::nullopt;
        const unsigned red = bgr ? e[2] : e[0];
        const unsigned blue = bgr ? e[0] : e[2];
        table.push_back(0xFF000000u | (red << 16) | (unsigned{e[1]} << 8) | blue);
    }
    return table;
}

std::optional<Table> GifTable(QIODevice& device)
{
    constexpr unsigned kHasTable = 0x80;
    constexpr unsigned char kExtension = 0x21;
    constexpr unsigned char kImage = 0x2C;
    // A table of 2^(n+1) red, green, blue triples follows a descriptor whose
    // packed byte has the table bit and n in its low bits.
    auto tableOf = [&](unsigned packed) { return ReadEntries(device, 2u << (packed & 7), 3, false); };

    unsigned char screen[13]; // signature, version, logical screen descriptor
    if (!ReadExactly(device, screen, sizeof screen))
        return std::nullopt;
    std::optional<Table> global;
    if (screen[10] & kHasTable) {
        global = tableOf(screen[10]);
        if (!global)
            return std::nullopt;
    }
    // Extensions (0x21, label, sub-blocks ending in an empty one) may come
    // before the first image (0x2C), as many and as long as they like.
    unsigned char introducer = 0;
    while (ReadExactly(device, &introducer, 1) && introducer == kExtension) {
        unsigned char length = 0;
        if (!ReadExactly(device, &length, 1)) // the label
            return global;
        while (ReadExactly(device, &length, 1) && length != 0)
            if (device.skip(length) != length)
                return global;
    }
    unsigned char descriptor[9]; // after the separator
    if (introducer == kImage && ReadExactly(device, descriptor, sizeof descriptor) && (descriptor[8] & kHasTable))
        return tableOf(descriptor[8]);
    return global;
}

std::optional<Table> BmpTable(QIODevice& device)
{
    constexpr int kFileHeaderSize = 14;
    constexpr std::uint32_t kCoreHeaderSize = 12; // OS/2 1.x: 16-bit sizes, 3-byte entries
    constexpr std::uint32_t kInfoHeaderSize = 40;
    unsigned char head[kFileHeaderSize + kInfoHeaderSize] = {};
    if (!ReadExactly(device, head, kFileHeaderSize + 4))
        return std::nullopt;
    const std::uint32_t pixelsAt = LittleEndian(head + 10, 4);
    const std::uint32_t headerSize = LittleEndian(head + kFileHeaderSize, 4);
    const bool core = headerSize == kCoreHeaderSize;
    if (!core && headerSize < kInfoHeaderSize)
        return std::nullopt;
    const std::uint32_t fixedPart = core ? kCoreHeaderSize : kInfoHeaderSize;
    if (!ReadExactly(device, head + kFileHeaderSize + 4, fixedPart - 4) ||
        device.skip(headerSize - fixedPart) != headerSize - fixedPart)
        return std::nullopt;
    const std::uint32_t bits = LittleEndian(head + kFileHeaderSize + (core ? 10 : 14), 2);
    if (bits == 0 || bits > 8)
        return std::nullopt;
    const std::uint32_t used = core ? 0 : LittleEndian(head + kFileHeaderSize + 32, 4);
    std::uint32_t count = used != 0 && used < (1u << bits) ? used : 1u << bits;
    // A table never reaches into the pixels that follow it.
    const int entryBytes = core ? 3 : 4;
    const std::uint64_t tableAt = kFileHeaderSize + std::uint64_t{headerSize};
    if (pixelsAt > tableAt && pixelsAt < tableAt + std::uint64_t{count} * entryBytes)
        count = static_cast<std::uint32_t>((pixelsAt - tableAt) / entryBytes);
    return ReadEntries(device, count, entryBytes, true);
}

} // namespace

std::optional<std::vector<std::uint32_t>> StoredColorTable(QIODevice& device)
{
    const QByteArray start = device.peek(kPngSignature.size());
    if (start == kPngSignature) {
        IoResult<PngFacts> png = ReadPng(device, PngExtent::Header);
        return png.ok() ? std::move(png.value.table) : std::nullopt;
    }
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return GifTable(device);
    if (start.startsWith("BM"))
        return BmpTable(device);
    return std::nullopt;
}

} // namespace palfade
