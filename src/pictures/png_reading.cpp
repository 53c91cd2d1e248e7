#include "pictures/png_reading.h"

#include "io/libpng_messages.h"

#include <cstring>
#include <vector>

namespace palfade {

namespace {

constexpr const char* kCutShort = "the file is cut short";

void ReadFromDevice(png_structp png, png_bytep data, png_size_t length)
{
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    png_size_t got = 0;
    while (got < length) {
        const qint64 n = device->read(reinterpret_cast<char*>(data) + got, static_cast<qint64>(length - got));
        if (n <= 0)
            png_error(png, kCutShort);
        got += static_cast<png_size_t>(n);
    }
}

// What the header tells, in plain values: libpng's errors jump out of the
// functions below, past nothing that has a destructor.
struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colorType = 0;
    int passes = 1;
    png_colorp plte = nullptr; // owned by libpng's info
    int plteCount = 0;
};

// Reads the chunks before the image data and allocates nothing for pixels:
// the size it tells is checked before a row is set up.
bool ReadHeader(png_structp png, png_infop info, PngHeader& header)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    // The format allows 2^31 - 1 pixels a side; whether a picture is too
    // large is the caller's rule, told with the size.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);
    int depth = 0;
    png_get_IHDR(png, info, &header.width, &header.height, &depth, &header.colorType, nullptr, nullptr, nullptr);
    if (header.colorType == PNG_COLOR_TYPE_PALETTE)
        png_get_PLTE(png, info, &header.plte, &header.plteCount);
    return true;
}

// libpng allocates its row buffers here, as wide as the header says.
bool ReadRows(png_structp png, png_infop info, PngHeader& header, std::vector<png_byte>& row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    header.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    row.resize(png_get_rowbytes(png, info));
    for (int pass = 0; pass < header.passes; ++pass)
        for (png_uint_32 y = 0; y < header.height; ++y)
            png_read_row(png, row.data(), nullptr);
    png_read_end(png, info);
    return true;
}

} // namespace

IoResult<PngFacts> ReadPng(QIODevice& device, PngExtent extent)
{
    IoResult<PngFacts> result;
    LibpngMessages messages;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &messages, KeepLibpngError, DropLibpngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(png ? &png : nullptr, nullptr, nullptr);
        result.error = QStringLiteral("out of memory");
        return result;
    }
    png_set_read_fn(png, &device, ReadFromDevice);
    PngHeader header;
    bool read = ReadHeader(png, info, header);
    if (read) {
        result.value.width = header.width;
        result.value.height = header.height;
        if (header.colorType == PNG_COLOR_TYPE_PALETTE) {
            std::vector<std::uint32_t> table;
            for (int k = 0; k < header.plteCount; ++k)
                table.push_back(0xFF000000u | (std::uint32_t{header.plte[k].red} << 16) |
                                (std::uint32_t{header.plte[k].green} << 8) | header.plte[k].blue);
            result.value.table = std::move(table);
        }
    }
    // Declared out here: a longjmp out of ReadRows passes no destructor.
    std::vector<png_byte> row;
    if (read && extent == PngExtent::Whole)
        read = ReadRows(png, info, header, row);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!read) {
        result.error = messages.error[0] != '\0' ? QString::fromUtf8(messages.error) : QStringLiteral("not a PNG file");
        result.value = {};
    }
    return result;
}

} // namespace palfade
