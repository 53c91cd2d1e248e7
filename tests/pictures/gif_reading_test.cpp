#include "pictures/gif_reading.h"

#include <gif_lib.h>

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

namespace palfade {
namespace {

TEST(GifReading, FirstImageIndicesInTableOrder)
{
    QFile file(QStringLiteral(PALFADE_TEST_DATA "/table_order.gif"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const IoResult<GifIndexedImage> image = ReadGifFirstImage(file.readAll(), "table_order.gif", 4096);
    ASSERT_TRUE(image.ok()) << image.error.toStdString();
    EXPECT_EQ(image.value.width, 4);
    EXPECT_EQ(image.value.height, 2);
    EXPECT_EQ(image.value.indices, (std::vector<std::uint8_t>{3, 1, 19, 3, 0, 0, 2, 17}));
    ASSERT_GE(image.value.table.size(), 20u);
    EXPECT_EQ(image.value.table[17], 0xFFFF00FFu);

    for (const char* bad : {"", "GIF89a", "not a gif at all", "GIF89a\x01\x00\x01\x00\x00\x00\x00;"}) {
        const IoResult<GifIndexedImage> broken = ReadGifFirstImage(QByteArray(bad), "bad.gif", 4096);
        EXPECT_FALSE(broken.ok()) << bad;
        EXPECT_TRUE(broken.error.startsWith("cannot decode GIF bad.gif: ")) << broken.error.toStdString();
    }
}

TEST(GifReading, InterlacedRowsComeBackInOrder)
{
    // A 1 x 10 image whose row y holds index y, written in the four passes.
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes,
                                [](GifFileType* g, const GifByteType* data, int n) {
                                    static_cast<QByteArray*>(g->UserData)->append(reinterpret_cast<const char*>(data), n);
                                    return n;
                                },
                                &error);
    ASSERT_NE(gif, nullptr);
    std::vector<GifColorType> colours(16, GifColorType{0, 0, 0});
    ColorMapObject* map = GifMakeMapObject(16, colours.data());
    ASSERT_EQ(EGifPutScreenDesc(gif, 1, 10, 8, 0, map), GIF_OK);
    ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 1, 10, true, nullptr), GIF_OK);
    for (GifPixelType row : {0, 8, 4, 2, 6, 1, 3, 5, 7, 9})
        ASSERT_EQ(EGifPutLine(gif, &row, 1), GIF_OK);
    EGifCloseFile(gif, nullptr);
    GifFreeMapObject(map);

    const IoResult<GifIndexedImage> image = ReadGifFirstImage(bytes, "interlaced.gif", 4096);
    ASSERT_TRUE(image.ok()) << image.error.toStdString();
    EXPECT_EQ(image.value.indices, (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(image.value.table.size(), 16u);
}

} // namespace
} // namespace palfade
