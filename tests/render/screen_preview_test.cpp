#include "render/screen_preview.h"

#include "core/screen_fade.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace palfade {
namespace {

constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;

TEST(RenderScreenPreview, FadesSideBySide)
{
    // Palette 0 fades white to black, palette 1 stays black; one colour, three steps.
    PaletteWords white{}, black{};
    white.fill(0x7FFF);
    const std::vector<PaletteWords> tops{white, black}, bottoms{black, black};
    std::vector<FadeTable> tables;
    ComputeScreenFade(ScreenFadeInputs{tops, bottoms, 3, false, false}, tables);
    LevelTable levels;
    LoadLevelTables(levels, false);

    for (bool grid : {false, true}) {
        PixelBuffer image;
        RenderScreenPreview(tables, PreviewParams{1, 3, grid, MakeDisplayRgb(255, 0, 255)}, levels, image);
        ASSERT_EQ(image.width, 16);
        ASSERT_EQ(image.height, 24);
        const std::uint32_t mid = DisplayToPixel(tables[0].at(0, 1).displayColor);
        const std::uint32_t left[3] = {kWhite, mid, kBlack};
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool line = grid && (x % 8 == 7 || y % 8 == 7);
                const std::uint32_t expected = line ? kMagenta : x < 8 ? left[y / 8] : kBlack;
                ASSERT_EQ(image.at(x, y), expected) << "x " << x << " y " << y << " grid " << grid;
            }
    }
}

} // namespace
} // namespace palfade
