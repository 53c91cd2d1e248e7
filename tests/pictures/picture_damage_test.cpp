#include "pictures/picture_decoding.h"
#include "support/file_bytes.h"
#include "support/picture_bytes.h"
#include "support/stderr_capture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

namespace palfade {
namespace {

using test::LittleEndian;
using test::Patched;
using test::PngHeaderOnly;

// An 8-bit RLE BMP of 2 x 2 pixels with a 2-entry table and the RLE data given.
QByteArray Rle8Bmp(const QByteArray& data)
{
    const QByteArray table = LittleEndian(0x000000, 4) + LittleEndian(0xFFFFFF, 4);
    const std::uint32_t pixelsAt = 14 + 40 + 8;
    return "BM" + LittleEndian(pixelsAt + static_cast<std::uint32_t>(data.size()), 4) + LittleEndian(0, 4) +
           LittleEndian(pixelsAt, 4) + LittleEndian(40, 4) + LittleEndian(2, 4) + LittleEndian(2, 4) +
           LittleEndian(1, 2) + LittleEndian(8, 2) + LittleEndian(1, 4) + // RLE8
           LittleEndian(static_cast<std::uint32_t>(data.size()), 4) + LittleEndian(2835, 4) + LittleEndian(2835, 4) +
           LittleEndian(2, 4) + LittleEndian(0, 4) + table + data;
}

// A 16 x 16 JPEG as Qt writes it: its scan (from the last SOS marker) ends
// with the end marker FF D9.
QByteArray Jpeg()
{
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, qRgb(x * 16, y * 16, (x ^ y) * 16));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    return writer.write(image) ? bytes : QByteArray();
}

TEST(PictureDamage, DamagedPicturesFailWithTheReasonAndNoLibraryText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const test::Rgbs sixteen(16, 0x336699);
    // 2 x 1 pixels of 8 bits: 14 + 40 bytes of headers, 64 of table, then a row of 4 bytes at 118.
    const QByteArray bmp = test::Bmp(8, sixteen, false, 16);
    const QByteArray jpeg = Jpeg();
    ASSERT_FALSE(jpeg.isEmpty());
    const qsizetype scan = jpeg.lastIndexOf("\xFF\xDA");
    ASSERT_GT(scan, 0);
    const QByteArray gif = test::Gif(test::Rgbs{0x000000, 0xFFFFFF}, std::nullopt);

    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason; // empty: the picture decodes
    } rows[] = {
        {"whole.bmp", bmp, ""},
        {"cut.bmp", bmp.left(119), "the file is cut short: 1 of its 4 bytes of pixel data"},
        {"offset.bmp", Patched(bmp, 10, LittleEndian(5000, 4)),
         "the file is damaged: its pixel data would start at byte 5000, past its end (122 bytes)"},
        {"index.bmp", Patched(bmp, 118, QByteArray(1, char(200))),
         "the file is damaged: pixel index 200 is beyond its colour table of 16 entries"},
        {"rle.bmp", Rle8Bmp(QByteArray("\x02\x01\x00\x00\x02\x00\x00\x01", 8)), ""},
        {"rle_cut.bmp", Rle8Bmp(QByteArray("\x02\x01\x00\x00", 4)),
         "the file is cut short: its RLE pixel data ends before its last row"},
        {"whole.jpg", jpeg, ""},
        {"no_end.jpg", jpeg.left(jpeg.size() - 2), "the file is cut short: it ends before its end marker"},
        {"cut.jpg", jpeg.left(scan + 40), "the file is cut short: it ends before its end marker"},
        {"corrupt.jpg", jpeg.left(scan + 40) + "\xFF\xD9", "Corrupt JPEG data: premature end of data segment"},
        {"whole.gif", gif, ""},
        {"empty_lzw.gif", test::EmptyLzwGif(), "Image is defective, decoding aborted"},
        {"huge.png", PngHeaderOnly(0x7FFFFFFF, 1),
         "2147483647 x 1 pixels, more than palfade reads (8192 x 8192 in all, 1000000 a side)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QString::fromUtf8(row.name));
        test::WriteRaw(path, row.bytes);
        for (auto load : {LoadPicture, LoadStoredPicture}) {
            IoResult<QImage> picture;
            EXPECT_EQ(test::StderrOf([&] { picture = load(path); }), "");
            if (*row.reason == '\0')
                EXPECT_TRUE(picture.ok()) << picture.error.toStdString();
            else
                EXPECT_EQ(picture.error, QStringLiteral("cannot decode picture %1: %2").arg(path, row.reason));
        }
    }
}

TEST(PictureDamage, HeaderSizeIsReadWithoutDecoding)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The screen's size at 6, the first image's 5 bytes past its separator.
    const QByteArray gif = test::Gif(test::Rgbs{0, 0}, std::nullopt);
    const struct {
        const char* name;
        QByteArray bytes;
        QSize size;
        bool gif;
    } rows[] = {
        {"huge.png", PngHeaderOnly(0x7FFFFFFF, 1), QSize(0x7FFFFFFF, 1), false},
        {"wide.gif",
         Patched(Patched(gif, 6, LittleEndian(5000, 2)), gif.lastIndexOf('\x2C') + 5, LittleEndian(5000, 2)),
         QSize(5000, 1), true},
        {"tall.bmp", Patched(test::Bmp(8, test::Rgbs{0, 0}), 22, LittleEndian(70000, 4)), QSize(2, 70000), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QString::fromUtf8(row.name));
        test::WriteRaw(path, row.bytes);
        const IoResult<PictureHeader> header = ReadPictureHeader(path);
        ASSERT_TRUE(header.ok()) << header.error.toStdString();
        EXPECT_EQ(header.value.size, row.size);
        EXPECT_EQ(header.value.gif, row.gif);
    }
}

} // namespace
} // namespace palfade
