#include "exports/picture_export.h"
#include "pictures/picture_decoding.h"
#include "sources/source.h"
#include "render/preview_renderer.h"
#include "pictures/png_reading.h"
#include "support/picture_bytes.h"
#include "support/stderr_capture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace palfade {
namespace {

struct Rgb {
    int r, g, b;
};

// A picture of one row per inner vector, decoded 8-bit RGB.
QImage Picture(const std::vector<std::vector<Rgb>>& rows)
{
    QImage image(static_cast<int>(rows.at(0).size()), static_cast<int>(rows.size()), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            image.setPixelColor(x, y, QColor(c.r, c.g, c.b));
        }
    return image;
}

constexpr PaletteEntry kMarker{5, 6, 7, 1};

SourcePalette ImportFrom(const QImage& picture, bool hardware, ImportSlots* slotsOut = nullptr)
{
    ImportSlots slotKeys{};
    SourcePalette palette;
    palette.fill(kMarker);
    const LevelTable& levels = hardware ? HardwareLevelSet() : LinearLevelSet();
    ScanPictureColors(PixelsOf(picture), levels.inverse, slotKeys);
    ApplyPictureSlots(slotKeys, palette);
    if (slotsOut != nullptr)
        *slotsOut = slotKeys;
    return palette;
}

// The window's import of a picture file over the palette: the slots its
// colours filled, or all empty, and the palette unchanged when it does not
// decode.
IoStatus ImportPaletteFromPicture(const QString& path, const LevelTable& levels, ImportSlots& importSlots,
                                  SourcePalette& palette)
{
    SourceRequest request;
    request.kind = SourceKind::Picture;
    request.levels = levels;
    request.needed = 1;
    request.base = WordsOfPalette(palette);
    const IoResult<SourcePalettes> read = ReadSource(SourceOrigin::File(path), request);
    importSlots = read.value.importSlots.value_or(ImportSlots{});
    if (!read.ok()) {
        importSlots.fill(kEmptySlot);
        return IoStatus::Failure(read.error);
    }
    palette = PaletteOfWords(read.value.palettes.front());
    return IoStatus::Success();
}

TEST(PictureImport, MappingThroughTheLevelTables)
{
    struct Row {
        bool hardware;
        Rgb pixel;
        PaletteEntry entry;
    };
    const Row rows[] = {
        {false, {0, 0, 0}, {0, 0, 0, 1}},
        {false, {255, 255, 255}, {31, 31, 31, 0}},
        {false, {128, 128, 128}, {16, 16, 16, 1}},
        {false, {255, 0, 0}, {31, 0, 0, 0}},
        {false, {200, 100, 0}, {24, 12, 0, 0}},
        {true, {128, 128, 128}, {15, 15, 15, 0}},
        {true, {7, 7, 7}, {0, 0, 0, 1}},
        {true, {8, 8, 8}, {1, 1, 1, 0}},
    };
    for (const Row& row : rows) {
        const SourcePalette p = ImportFrom(Picture({{row.pixel}}), row.hardware);
        EXPECT_EQ(p[0], row.entry) << row.pixel.r << "," << row.pixel.g << "," << row.pixel.b;
        EXPECT_EQ(p[1], kMarker); // no colour for it: keeps its colour
    }
}

TEST(PictureImport, ReadingOrderAndDuplicatesAfterMapping)
{
    ImportSlots slotKeys{};
    // Blue top-left, the rest red; red 0 and red 3 map to the same index.
    const SourcePalette p = ImportFrom(Picture({{{0, 0, 255}, {255, 0, 0}, {0, 0, 0}},
                                                {{255, 0, 0}, {3, 0, 0}, {255, 0, 0}}}),
                                       false, &slotKeys);
    EXPECT_EQ(p[0], (PaletteEntry{0, 0, 31, 0}));
    EXPECT_EQ(p[1], (PaletteEntry{31, 0, 0, 0}));
    EXPECT_EQ(p[2], (PaletteEntry{0, 0, 0, 1}));
    EXPECT_EQ(p[3], kMarker);
    EXPECT_EQ(slotKeys[0], ColorKey(1, 1, 63));
    EXPECT_EQ(slotKeys[2], ColorKey(1, 1, 1));
    EXPECT_EQ(slotKeys[3], kEmptySlot);
}

TEST(PictureImport, StopsAtTheSeventeenthColour)
{
    // 16 greys, then a 17th colour, then a colour that would fit no slot
    // anyway; a 16-colour picture after the stop must not matter.
    std::vector<Rgb> row;
    for (int i = 0; i < 16; ++i)
        row.push_back({i * 16 + 8, i * 16 + 8, i * 16 + 8});
    row.push_back({255, 0, 0});
    std::vector<std::vector<Rgb>> rows{row};
    rows.push_back(std::vector<Rgb>(row.size(), Rgb{8, 8, 8}));
    ImportSlots slotKeys{};
    const SourcePalette p = ImportFrom(Picture(rows), false, &slotKeys);
    for (int i = 0; i < 16; ++i) {
        const int index = LinearLevelSet().inverse[static_cast<std::size_t>(i * 16 + 8)];
        EXPECT_EQ(slotKeys[static_cast<std::size_t>(i)], ColorKey(index, index, index));
        EXPECT_EQ(p[static_cast<std::size_t>(i)], EntryFromIndices(index, index, index, true));
    }
}

TEST(PictureImport, FileThatDoesNotDecodeLeavesThePalette)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("broken.png"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x89PNG\r\n\x1a\nnot really");
    f.close();

    AppState state;
    SourcePalette palette;
    palette.fill(kMarker);
    state.importSlots.fill(0);
    for (const QString& p : {path, dir.path(), dir.filePath(QStringLiteral("missing.png"))}) {
        const IoStatus status = ImportPaletteFromPicture(p, state.levels, state.importSlots, palette);
        EXPECT_FALSE(status.ok());
        EXPECT_TRUE(status.error.contains(p)) << status.error.toStdString();
        for (const PaletteEntry& e : palette)
            EXPECT_EQ(e, kMarker);
        for (std::int32_t s : state.importSlots)
            EXPECT_EQ(s, kEmptySlot);
    }
}

PixelBuffer SampleBuffer()
{
    PixelBuffer b;
    b.Resize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            b.row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>((x * 51) << 16 | (y * 97) << 8 | (x * y * 13 + 1));
    return b;
}

TEST(ImageExport, PngAndBmpReproduceThePixels)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const PixelBuffer buffer = SampleBuffer();
    for (PictureFormat format : {PictureFormat::Png, PictureFormat::Bmp}) {
        const QString path = dir.filePath(format == PictureFormat::Png ? QStringLiteral("a.png") : QStringLiteral("a.bmp"));
        ASSERT_TRUE(WritePicture(path, buffer, format).ok());
        const IoResult<QImage> back = LoadPicture(path);
        ASSERT_TRUE(back.ok()) << back.error.toStdString();
        ASSERT_EQ(back.value.size(), QSize(5, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(back.value.pixel(x, y), buffer.at(x, y)) << x << "," << y;
    }
    const IoResult<QByteArray> png = EncodePng(buffer);
    ASSERT_TRUE(png.ok());
    EXPECT_TRUE(png.value.startsWith("\x89PNG"));
    EXPECT_EQ(static_cast<unsigned char>(png.value[25]), 2u); // colour type: RGB
    EXPECT_EQ(static_cast<unsigned char>(png.value[24]), 8u); // 8 bits per channel
    EXPECT_FALSE(EncodePng(PixelBuffer{}).ok());
    EXPECT_FALSE(EncodeBmp(PixelBuffer{}).ok());
}

TEST(ImageExport, ZoomedEncodingEqualsTheEnlargedPicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const PixelBuffer buffer = SampleBuffer();
    for (PictureFormat format : {PictureFormat::Png, PictureFormat::Bmp}) {
        const QString path = dir.filePath(format == PictureFormat::Png ? QStringLiteral("z.png") : QStringLiteral("z.bmp"));
        ASSERT_TRUE(WritePicture(path, buffer, format, 3).ok());
        const IoResult<QImage> back = LoadPicture(path);
        ASSERT_TRUE(back.ok()) << back.error.toStdString();
        ASSERT_EQ(back.value.size(), QSize(15, 9));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 15; ++x)
                ASSERT_EQ(back.value.pixel(x, y), buffer.at(x / 3, y / 3)) << x << "," << y;
    }
    EXPECT_FALSE(EncodePng(buffer, 0).ok());
}

// Every chunk's CRC checked and the image data inflated by zlib, which also
// checks the stream's Adler-32 and that nothing follows its last block.
struct PngContent {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    QByteArray filteredRows;
};

std::uint32_t Be32(const QByteArray& b, qsizetype at)
{
    std::uint32_t v = 0;
    for (qsizetype i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

::testing::AssertionResult ParsePng(const QByteArray& png, PngContent& content)
{
    if (!png.startsWith("\x89PNG\r\n\x1a\n"))
        return ::testing::AssertionFailure() << "no signature";
    QByteArray imageData;
    QByteArray lastType;
    for (qsizetype at = 8; at < png.size();) {
        if (png.size() - at < 12)
            return ::testing::AssertionFailure() << "chunk cut at " << at;
        const std::uint32_t length = Be32(png, at);
        if (png.size() - at - 12 < static_cast<qsizetype>(length))
            return ::testing::AssertionFailure() << "chunk cut at " << at;
        const QByteArray typeAndData = png.mid(at + 4, 4 + static_cast<qsizetype>(length));
        if (Be32(png, at + 8 + static_cast<qsizetype>(length)) !=
            static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()),
                                             static_cast<uInt>(typeAndData.size()))))
            return ::testing::AssertionFailure() << "bad CRC at " << at;
        lastType = typeAndData.left(4);
        if (lastType == "IHDR") {
            content.width = Be32(typeAndData, 4);
            content.height = Be32(typeAndData, 8);
        } else if (lastType == "IDAT") {
            imageData += typeAndData.mid(4);
        }
        at += 12 + static_cast<qsizetype>(length);
    }
    if (lastType != "IEND")
        return ::testing::AssertionFailure() << "no IEND at the end";
    const std::size_t expected = (static_cast<std::size_t>(content.width) * 3 + 1) * content.height;
    content.filteredRows = QByteArray(static_cast<qsizetype>(expected) + 1, '\0');
    z_stream z{};
    inflateInit(&z);
    z.next_in = reinterpret_cast<Bytef*>(imageData.data());
    z.avail_in = static_cast<uInt>(imageData.size());
    z.next_out = reinterpret_cast<Bytef*>(content.filteredRows.data());
    z.avail_out = static_cast<uInt>(content.filteredRows.size());
    const int status = inflate(&z, Z_FINISH);
    const std::size_t produced = z.total_out;
    const uInt left = z.avail_in;
    inflateEnd(&z);
    if (status != Z_STREAM_END)
        return ::testing::AssertionFailure() << "inflate: " << status;
    if (left != 0 || produced != expected)
        return ::testing::AssertionFailure()
               << left << " bytes after the stream, " << produced << " of " << expected << " bytes";
    content.filteredRows.resize(static_cast<qsizetype>(produced));
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DecodesTo(const QByteArray& png, const PixelBuffer& expected)
{
    PngContent content;
    if (::testing::AssertionResult parsed = ParsePng(png, content); !parsed)
        return parsed;
    const IoResult<QImage> back = DecodePicture(png, QStringLiteral("test.png"));
    if (!back.ok())
        return ::testing::AssertionFailure() << back.error.toStdString();
    if (back.value.width() != expected.width || back.value.height() != expected.height)
        return ::testing::AssertionFailure() << "size " << back.value.width() << "x" << back.value.height();
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (back.value.pixel(x, y) != expected.at(x, y))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y;
    return ::testing::AssertionSuccess();
}

TEST(ImageExport, PreviewPngHoldsEveryPixelAtEveryZoom)
{
    AppState state;
    for (int j = 0; j < kPaletteSize; ++j) {
        state.palettes[0][static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(0x3F1B * j + 0x1249));
        state.palettes[1][static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(0x7FFF - 0x0421 * j));
    }
    state.paletteCount = 19;
    state.colorCount = 11;
    for (bool grid : {false, true}) {
        state.view.showGrid = grid;
        state.view.zoom = 1;
        PixelBuffer base, enlarged;
        BuildPreviewImage(state, base, enlarged);
        for (int zoom = 1; zoom <= kMaxZoom; ++zoom) {
            EnlargePixels(base, zoom, enlarged);
            const IoResult<QByteArray> png = EncodePng(base, zoom);
            ASSERT_TRUE(png.ok());
            EXPECT_TRUE(DecodesTo(png.value, enlarged)) << "grid " << grid << " zoom " << zoom;
        }
        // The window saves the picture already enlarged.
        EXPECT_TRUE(DecodesTo(EncodePng(enlarged).value, enlarged)) << "grid " << grid;
    }
}

TEST(ImageExport, RepeatedRowsOfEveryRunLength)
{
    // Bands of 1 to 70 equal rows, each band a new colour, then 300 rows of
    // one colour: runs shorter and longer than the longest piece, and run
    // lengths that recur with other colours.
    std::vector<int> bands;
    for (int n = 1; n <= 70; ++n)
        bands.push_back(n);
    for (int n = 1; n <= 70; n += 3)
        bands.push_back(n);
    bands.push_back(300);
    int height = 0;
    for (int n : bands)
        height += n;
    PixelBuffer image;
    image.Resize(7, height);
    int y = 0;
    for (std::size_t band = 0; band < bands.size(); ++band)
        for (int r = 0; r < bands[band]; ++r, ++y)
            for (int x = 0; x < image.width; ++x)
                image.row(y)[x] =
                    0xFF000000u |
                    static_cast<std::uint32_t>((band * 0x9E3779u + static_cast<std::size_t>(x) * 0x10101u) & 0xFFFFFFu);
    for (int zoom : {1, 3}) {
        PixelBuffer enlarged;
        EnlargePixels(image, zoom, enlarged);
        const IoResult<QByteArray> png = EncodePng(image, zoom);
        ASSERT_TRUE(png.ok());
        EXPECT_TRUE(DecodesTo(png.value, enlarged)) << "zoom " << zoom;
    }
    // A one-pixel picture and one single-colour column.
    PixelBuffer dot;
    dot.Resize(1, 1);
    dot.pixels = {0xFF123456u};
    EXPECT_TRUE(DecodesTo(EncodePng(dot).value, dot));
    PixelBuffer column;
    column.Resize(1, 1000);
    std::fill(column.pixels.begin(), column.pixels.end(), 0xFFFFFFFFu);
    EXPECT_TRUE(DecodesTo(EncodePng(column).value, column));
}

TEST(PictureImport, FromAFileKeepsEntriesWithoutAColour)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PixelBuffer buffer;
    buffer.Resize(3, 1);
    buffer.pixels = {0xFFFFFFFFu, 0xFF0000FFu, 0xFFFFFFFFu};
    const QString path = dir.filePath(QStringLiteral("two.png"));
    ASSERT_TRUE(WritePicture(path, buffer, PictureFormat::Png).ok());

    AppState state;
    SourcePalette palette;
    palette.fill(kMarker);
    ASSERT_TRUE(ImportPaletteFromPicture(path, state.levels, state.importSlots, palette).ok());
    EXPECT_EQ(palette[0], (PaletteEntry{31, 31, 31, 0}));
    EXPECT_EQ(palette[1], (PaletteEntry{0, 0, 31, 0}));
    EXPECT_EQ(palette[2], kMarker);
    EXPECT_EQ(state.importSlots[2], kEmptySlot);
}

std::uint32_t Crc32(const QByteArray& data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendBe32(QByteArray& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((v >> shift) & 0xFF));
}

TEST(PictureImport, HostileAndTruncatedPicturesFailCleanly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // A valid header that claims 100000 x 100000 pixels, then no data.
    QByteArray ihdr = "IHDR";
    AppendBe32(ihdr, 100000);
    AppendBe32(ihdr, 100000);
    ihdr.append("\x08\x02\x00\x00\x00", 5);
    QByteArray huge = "\x89PNG\r\n\x1a\n";
    AppendBe32(huge, 13);
    huge += ihdr;
    AppendBe32(huge, Crc32(ihdr));
    huge += test::PngChunk("IDAT", {}) + test::PngChunk("IEND", {});

    PixelBuffer big;
    big.Resize(64, 64);
    for (std::size_t i = 0; i < big.pixels.size(); ++i)
        big.pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    const IoResult<QByteArray> png = EncodePng(big);
    ASSERT_TRUE(png.ok());
    QByteArray badCrc = png.value;
    badCrc[29] = static_cast<char>(badCrc[29] ^ 1); // IHDR's CRC

    // Qt's PNG reader lets libpng print its errors: none may reach stderr.
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } rows[] = {
        {"huge.png", huge, "100000 x 100000 pixels, more than palfade reads (8192 x 8192 in all, 1000000 a side)"},
        {"wide.png", test::Png(8, 0, std::nullopt, 1000001, 1), "1000001 x 1 pixels, more than palfade reads"},
        {"truncated.png", png.value.left(png.value.size() / 2), "the file is cut short"},
        {"crc.png", badCrc, "IHDR: CRC error"},
        {"empty.png", QByteArray(), ""},
    };
    for (const auto& row : rows) {
        const QString path = dir.filePath(QString::fromUtf8(row.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(row.bytes);
        f.close();
        IoResult<QImage> result;
        EXPECT_EQ(test::StderrOf([&] { result = LoadPicture(path); }), "") << row.name;
        EXPECT_TRUE(result.error.startsWith(QStringLiteral("cannot decode picture %1: %2").arg(path, row.reason)))
            << result.error.toStdString();
    }
}

TEST(PictureImport, LargePicturesWithinTheLimitDecode)
{
    // 36 million pixels: more than Qt's reader allocates by default.
    QBuffer indexed;
    indexed.setData(test::Png(8, 3, test::Rgbs{0x123456}, 6000, 6000));
    const IoResult<QImage> picture = DecodePicture(indexed.data(), QStringLiteral("large.png"));
    ASSERT_TRUE(picture.ok()) << picture.error.toStdString();
    EXPECT_EQ(picture.value.size(), QSize(6000, 6000));
    EXPECT_EQ(picture.value.pixel(5999, 5999), 0xFF123456u);
}

TEST(ImageExport, PngWiderThanLibpngsDefaultLimit)
{
    PixelBuffer wide;
    wide.Resize(1000001, 1);
    std::fill(wide.pixels.begin(), wide.pixels.end(), 0xFF102030u);
    IoResult<QByteArray> png;
    EXPECT_EQ(test::StderrOf([&] { png = EncodePng(wide); }), "");
    ASSERT_TRUE(png.ok()) << png.error.toStdString();
    QBuffer buffer(&png.value);
    buffer.open(QIODevice::ReadOnly);
    const IoResult<PngFacts> back = ReadPng(buffer, PngExtent::Whole);
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_EQ(back.value.width, 1000001u);
}

} // namespace
} // namespace palfade
