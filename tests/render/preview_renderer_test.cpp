#include "render/preview_renderer.h"

#include "core/palette_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace palfade {
namespace {

constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;

// A tiny picture written as text, one character a pixel: '#' grid colour,
// 'W' white, 'B' black, 'M' the mid grey of a 3-step white-to-black fade.
PixelBuffer Picture(const std::vector<std::string>& rows, std::uint32_t mid)
{
    PixelBuffer b;
    b.Resize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            b.pixels[static_cast<std::size_t>(y * b.width + x)] =
                c == '#' ? kMagenta : c == 'W' ? kWhite : c == 'B' ? kBlack : mid;
        }
    return b;
}

std::vector<std::string> Cells(bool grid)
{
    std::vector<std::string> rows;
    for (char c : {'W', 'M', 'B'}) {
        for (int y = 0; y < 8; ++y)
            rows.push_back(grid ? (y == 7 ? std::string(8, '#') : std::string(7, c) + "#") : std::string(8, c));
    }
    return rows;
}

class RenderTest : public ::testing::Test {
protected:
    RenderTest()
    {
        SetPaletteWhite(state, 1);   // colour 1 white, colour 0 black
        state.palettes[0][0] = state.palettes[0][1];
        state.colorCount = 1;
        state.paletteCount = 3;
        ComputeFade(state);
    }
    AppState state;
    PixelBuffer image;
};

TEST_F(RenderTest, OneColourThreePalettesWithAndWithoutGrid)
{
    const std::uint32_t mid = DisplayToPixel(MakeDisplayRgb(132, 132, 132)); // level 16, linear set
    for (bool grid : {false, true}) {
        state.view.showGrid = grid;
        RenderPreview(state, image);
        ASSERT_EQ(image.width, 8);
        ASSERT_EQ(image.height, 24);
        EXPECT_EQ(image.pixels, Picture(Cells(grid), mid).pixels) << (grid ? "grid" : "no grid");
    }
    EXPECT_EQ(state.fadeTable.at(0, 1).displayColor, MakeDisplayRgb(132, 132, 132));
    EXPECT_EQ(state.fadeTable.at(1, 1).displayColor, 0u) << "colours beyond N get no display colour";
}

TEST_F(RenderTest, HardwareSetChangesOnlyTheColours)
{
    LoadLevelTables(state.levels, true);
    RenderPreview(state, image);
    EXPECT_EQ(image.at(0, 8), DisplayToPixel(MakeDisplayRgb(138, 138, 138)));
}

TEST_F(RenderTest, GridColourInvisibleWithoutGrid)
{
    RenderPreview(state, image);
    const auto before = image.pixels;
    state.view.gridColor = MakeDisplayRgb(1, 2, 3);
    RenderPreview(state, image);
    EXPECT_EQ(image.pixels, before);
}

TEST_F(RenderTest, ZoomReplicatesPixelsAndGridLinesWiden)
{
    state.view.showGrid = true;
    state.view.zoom = 3;
    PixelBuffer base, shown;
    BuildPreviewImage(state, base, shown);
    ASSERT_EQ(shown.width, 24);
    ASSERT_EQ(shown.height, 72);
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            ASSERT_EQ(shown.at(x, y), base.at(x / 3, y / 3)) << x << "," << y;
    // Grid lines are three pixels wide: columns 21-23 of the first row.
    EXPECT_EQ(shown.at(20, 0), kWhite);
    EXPECT_EQ(shown.at(21, 0), kMagenta);
    EXPECT_EQ(shown.at(0, 20), kWhite);
    EXPECT_EQ(shown.at(0, 21), kMagenta);
}

TEST_F(RenderTest, ZoomIsBoundedByTheBuild)
{
    PixelBuffer base, shown;
    for (auto [asked, used] : {std::pair{0, 1}, {5, 4}, {-7, 1}, {4, 4}}) {
        state.view.zoom = asked;
        BuildPreviewImage(state, base, shown);
        EXPECT_EQ(state.view.zoom, used);
        EXPECT_EQ(shown.width, 8 * used);
    }
}

TEST(RenderSizeTest, LargestPreview)
{
    AppState state;
    state.paletteCount = 256;
    state.view.zoom = 4;
    PixelBuffer base, shown;
    BuildPreviewImage(state, base, shown);
    EXPECT_EQ(base.width, 128);
    EXPECT_EQ(base.height, 2048);
    EXPECT_EQ(shown.width, 512);
    EXPECT_EQ(shown.height, 8192);
}

} // namespace
} // namespace palfade
