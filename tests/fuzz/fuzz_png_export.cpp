// The PNG encoder against libpng's reader: a picture of any size from 1 x 1
// to 600 x 600, with or without grid lines, enlarged 1-4 times, must decode
// to exactly its pixels. The reader checks every chunk's CRC, the zlib
// stream's Adler-32 and that the image data holds exactly the rows it needs;
// every error and warning it raises is a finding.

#include "exports/png_export.h"
#include "render/preview_renderer.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_png_export: %s\n", what);
    std::abort();
}

[[noreturn]] void LibpngMessage(png_structp, png_const_charp message) { Fail(message); }

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

void ReadInput(png_structp png, png_bytep out, std::size_t count)
{
    auto* in = static_cast<Input*>(png_get_io_ptr(png));
    if (count > in->size - in->at)
        Fail("the file ends early");
    std::memcpy(out, in->data + in->at, count);
    in->at += count;
}

// Rows either repeat the row above (as the enlarged cells of a preview do)
// or are runs of colours from the input; grid lines cross them every cell.
palfade::PixelBuffer MakePicture(FuzzedDataProvider& input)
{
    palfade::PixelBuffer picture;
    picture.Resize(input.ConsumeIntegralInRange(1, 600), input.ConsumeIntegralInRange(1, 600));
    for (int y = 0; y < picture.height; ++y) {
        if (y > 0 && input.ConsumeBool()) {
            std::copy_n(picture.row(y - 1), picture.width, picture.row(y));
            continue;
        }
        for (int x = 0; x < picture.width;) {
            const int run = std::min(input.ConsumeIntegralInRange(1, 64), picture.width - x);
            std::fill_n(picture.row(y) + x, run, 0xFF000000u | input.ConsumeIntegral<std::uint32_t>());
            x += run;
        }
    }
    if (input.ConsumeBool()) {
        const std::uint32_t grid = 0xFF000000u | input.ConsumeIntegral<std::uint32_t>();
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (x % palfade::kCellSize == 0 || y % palfade::kCellSize == 0)
                    picture.row(y)[x] = grid;
    }
    return picture;
}

void CheckDecodes(const QByteArray& file, const palfade::PixelBuffer& picture, int zoom)
{
    Input in{reinterpret_cast<const std::uint8_t*>(file.constData()), static_cast<std::size_t>(file.size())};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, LibpngMessage, LibpngMessage);
    png_infop info = png_create_info_struct(png);
    if (!png || !info)
        Fail("out of memory");
    png_set_benign_errors(png, 0);
    png_set_read_fn(png, &in, ReadInput);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width != static_cast<png_uint_32>(picture.width * zoom) ||
        height != static_cast<png_uint_32>(picture.height * zoom) || png_get_bit_depth(png, info) != 8 ||
        png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB || png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        Fail("wrong header");
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
        const std::uint32_t* source = picture.row(static_cast<int>(y) / zoom);
        for (png_uint_32 x = 0; x < width; ++x) {
            const std::uint32_t p = source[x / static_cast<png_uint_32>(zoom)];
            const png_byte* rgb = &row[static_cast<std::size_t>(x) * 3];
            if (rgb[0] != ((p >> 16) & 0xFF) || rgb[1] != ((p >> 8) & 0xFF) || rgb[2] != (p & 0xFF))
                Fail("a pixel differs");
        }
    }
    png_read_end(png, nullptr);
    if (in.at != in.size)
        Fail("bytes after the end chunk");
    png_destroy_read_struct(&png, &info, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int zoom = input.ConsumeIntegralInRange(1, 4);
    const palfade::PixelBuffer picture = MakePicture(input);
    const palfade::IoResult<QByteArray> file = palfade::EncodePng(picture, zoom);
    if (!file.ok())
        Fail(qPrintable(file.error));
    CheckDecodes(file.value, picture, zoom);
    return 0;
}
