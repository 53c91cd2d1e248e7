#include "exports/gif_file.h"

#include <gif_lib.h>


#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

namespace palfade {
namespace {

TEST(GifFile, DelaysCarryTheirRoundingOnTheNeoGeoTimeline)
{
    const struct {
        std::vector<int> frames;
        std::vector<int> delays;
    } rows[] = {
        // 3.38, 6.76, 10.14, 13.52 cs at 1.6896 cs a frame.
        {{2, 2, 2, 2}, {3, 4, 3, 4}},
        // Holds: 20.28, 23.65, 35.48 cs.
        {{12, 2, 7}, {20, 4, 11}},
        // One frame a step would be 1 or 2 cs: never under 2 cs.
        {{1, 1, 1, 1}, {2, 2, 2, 2}},
        {{}, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GifDelays(row.frames), row.delays);

    // 32 steps there and back, 2 frames each, holds of 30 and 45: 199
    // frames, 336.23 cs. The rounding does not add up.
    std::vector<int> frames(62, 2);
    frames[0] += 30;
    frames[31] += 45;
    const std::vector<int> delays = GifDelays(frames);
    EXPECT_NEAR(std::accumulate(delays.begin(), delays.end(), 0), 336, 1);
}

PixelBuffer Frame(std::vector<std::uint32_t> pixels, int width)
{
    PixelBuffer b;
    b.Resize(width, static_cast<int>(pixels.size()) / width);
    b.pixels = std::move(pixels);
    return b;
}

struct Decoded {
    GifFileType* gif = nullptr;
    explicit Decoded(const QByteArray& bytes)
    {
        struct Cursor {
            const QByteArray* b;
            int at;
        };
        static Cursor cursor;
        cursor = {&bytes, 0};
        int error = 0;
        gif = DGifOpen(&cursor,
                       [](GifFileType* g, GifByteType* out, int n) {
                           auto* c = static_cast<Cursor*>(g->UserData);
                           n = std::min<int>(n, static_cast<int>(c->b->size()) - c->at);
                           std::memcpy(out, c->b->constData() + c->at, static_cast<std::size_t>(n));
                           c->at += n;
                           return n;
                       },
                       &error);
        if (gif != nullptr && DGifSlurp(gif) != GIF_OK) {
            DGifCloseFile(gif, nullptr);
            gif = nullptr;
        }
    }
    ~Decoded()
    {
        if (gif != nullptr)
            DGifCloseFile(gif, nullptr);
    }
    // Frame k's pixels as 0xFFRRGGBB through its own colour table.
    std::vector<std::uint32_t> Pixels(int k) const
    {
        const SavedImage& image = gif->SavedImages[k];
        const ColorMapObject* map = image.ImageDesc.ColorMap;
        std::vector<std::uint32_t> pixels;
        for (int p = 0; p < image.ImageDesc.Width * image.ImageDesc.Height; ++p) {
            const GifColorType c = map->Colors[image.RasterBits[p]];
            pixels.push_back(0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue);
        }
        return pixels;
    }
    int Delay(int k) const
    {
        GraphicsControlBlock control{};
        EXPECT_EQ(DGifSavedExtensionToGCB(gif, k, &control), GIF_OK);
        return control.DelayTime;
    }
};

TEST(GifFile, FramesKeepTheirExactColoursThroughGiflibsReader)
{
    constexpr std::uint32_t a = 0xFF123456, b = 0xFFFEDCBA, c = 0xFF000001, d = 0xFFFFFFFF;
    const std::vector<PixelBuffer> frames = {Frame({a, b, c, d, a, b}, 3), Frame({d, d, d, d, d, d}, 3),
                                             Frame({c, a, c, a, b, b}, 3)};
    const int delays[] = {2, 5, 300};
    GifWriter writer(3, 2, 2);
    for (std::size_t k = 0; k < frames.size(); ++k)
        ASSERT_TRUE(writer.AddFrame(frames[k], delays[k]).ok());
    const IoResult<QByteArray> bytes = writer.Finish();
    ASSERT_TRUE(bytes.ok()) << bytes.error.toStdString();
    EXPECT_TRUE(bytes.value.startsWith("GIF89a"));
    EXPECT_TRUE(bytes.value.contains("NETSCAPE2.0\x03\x01\x00\x00"));

    const Decoded decoded(bytes.value);
    ASSERT_NE(decoded.gif, nullptr);
    EXPECT_EQ(decoded.gif->SWidth, 6);
    EXPECT_EQ(decoded.gif->SHeight, 4);
    EXPECT_EQ(decoded.gif->SColorMap, nullptr);
    ASSERT_EQ(decoded.gif->ImageCount, 3);
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        // Every pixel a 2 x 2 block.
        std::vector<std::uint32_t> expected;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                expected.push_back(frames[static_cast<std::size_t>(k)].at(x / 2, y / 2));
        EXPECT_EQ(decoded.Pixels(k), expected);
        EXPECT_EQ(decoded.Delay(k), delays[k]);
    }
}

TEST(GifFile, AFrameOfMoreThan256ColoursIsRefused)
{
    std::vector<std::uint32_t> many;
    for (std::uint32_t n = 0; n < 300; ++n)
        many.push_back(0xFF000000u | n * 97);
    GifWriter writer(300, 1, 1);
    EXPECT_TRUE(writer.AddFrame(Frame(std::vector<std::uint32_t>(300, 0xFF000000u), 300), 2).ok());
    const IoStatus status = writer.AddFrame(Frame(many, 300), 2);
    EXPECT_EQ(status.error.toStdString(), "frame 2 has 300 colours; a GIF frame holds at most 256");
    EXPECT_FALSE(writer.Finish().ok());

    GifWriter empty(1, 1, 1);
    EXPECT_FALSE(empty.Finish().ok());
}

} // namespace
} // namespace palfade
