#include "render/art_recolour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace palfade {
namespace {

// Linear set, 3 steps to black: level 31 shows 255, then level 16 (132), then 0.
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kGrey = 0xFF848484;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kMidRed = 0xFF840000;
constexpr std::uint32_t kBlack = 0xFF000000;

// Own table colours no fade produces: 0xFF1000nn for index nn.
constexpr std::uint32_t Own(int n) { return 0xFF100000u | static_cast<std::uint32_t>(n); }

// Entries 0 and 1 of Palette 1; the fade is to black in 3 steps.
SourcePalette Top(const PaletteEntry& entry1, const PaletteEntry& entry0 = {})
{
    SourcePalette top{};
    top[0] = entry0;
    top[1] = entry1;
    return top;
}

FadeTable FadeToBlack(const SourcePalette& top)
{
    FadeTable table;
    ComputeFade(FadeInputs{top, SourcePalette{}, 3}, table);
    return table;
}

ArtPicture Indexed(std::vector<std::uint8_t> indices, int tableSize)
{
    ArtPicture art;
    art.width = static_cast<int>(indices.size());
    art.height = 1;
    for (int n = 0; n < tableSize; ++n)
        art.table.push_back(Own(n));
    art.indices = std::move(indices);
    return art;
}

std::vector<std::uint32_t> Draw(const ArtPicture& art, const ArtMap& map, const ArtColours& colours)
{
    PixelBuffer out;
    RecolourArt(art, map, colours, out);
    EXPECT_EQ(out.width, art.width);
    EXPECT_EQ(out.height, art.height);
    return out.pixels;
}

struct IndexedRow {
    const char* name;
    bool wholeScreen;
    int artPalette;
    int step;
    std::vector<std::uint32_t> expected; // for indices 1, 17, 0, 33, 2
};

TEST(ArtRecolour, IndexedPixelsFollowTheirPalette)
{
    const LevelTable& levels = LinearLevelSet();
    const std::vector<FadeTable> fades = {FadeToBlack(Top({31, 31, 31, 0})), FadeToBlack(Top({31, 0, 0, 0}))};
    const ArtPicture art = Indexed({1, 17, 0, 33, 2}, 40);
    const IndexedRow rows[] = {
        {"palette 0, step 0", false, 0, 0, {kWhite, Own(17), kBlack, Own(33), kBlack}},
        {"palette 0, middle", false, 0, 1, {kGrey, Own(17), kBlack, Own(33), kBlack}},
        {"palette 1, middle", false, 1, 1, {Own(1), kGrey, Own(0), Own(33), Own(2)}},
        {"palette 2, middle", false, 2, 1, {Own(1), Own(17), Own(0), kGrey, Own(2)}},
        {"palette past the table's 16", false, 16, 1, {Own(1), Own(17), Own(0), Own(33), Own(2)}},
        {"whole screen, middle", true, 0, 1, {kGrey, kMidRed, kBlack, Own(33), kBlack}},
    };
    for (const IndexedRow& row : rows) {
        SCOPED_TRACE(row.name);
        const ArtMap map = MapArt(art, levels, SourcePalette{});
        EXPECT_EQ(map.unmatched, 0);
        const std::vector<FadeTable> used = row.wholeScreen ? fades : std::vector<FadeTable>{fades.front()};
        EXPECT_EQ(Draw(art, map, ArtStepColours(used, row.wholeScreen, row.artPalette, row.step, levels, art)),
                  row.expected);
    }
    const ArtMap none;
    EXPECT_EQ(PixelsOfPalette(art, none, 0), 3);
    EXPECT_EQ(PixelsOfPalette(art, none, 1), 1);
    EXPECT_EQ(PixelsOfPalette(art, none, 3), 0);
    EXPECT_EQ(art.paletteCount(), 3);
}

TEST(ArtRecolour, TrueColourPixelsMatchTheTopPaletteByWord)
{
    const LevelTable& levels = LinearLevelSet();
    // Black converts to the dark black word $8000, as "Import from image.."
    // gives it: it matches entry 0 only when that entry is dark black.
    ArtPicture art;
    art.width = 3;
    art.height = 2;
    art.colours = {0xFFFFFF, 0xFEFEFE, 0x123456, 0x000000, 0xFF0000, 0xFFFFFF};
    struct Row {
        const char* name;
        PaletteEntry entry0;
        std::int64_t unmatched;
        std::vector<std::uint32_t> expected; // step 1 of 3
    } rows[] = {
        // 254 is the dark version of level 31 ($FFFF, not white's $7FFF);
        // red is in no entry.
        {"normal black", {0, 0, 0, 0}, 4, {kGrey, 0xFFFEFEFE, 0xFF123456, kBlack, kRed, kGrey}},
        {"dark black", {0, 0, 0, 1}, 3, {kGrey, 0xFFFEFEFE, 0xFF123456, kBlack, kRed, kGrey}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SourcePalette top = Top({31, 31, 31, 0}, row.entry0);
        const FadeTable fade = FadeToBlack(top);
        const ArtMap map = MapArt(art, levels, top);
        EXPECT_EQ(map.unmatched, row.unmatched);
        EXPECT_EQ(PixelsOfPalette(art, map, 0), 6 - row.unmatched);
        EXPECT_EQ(Draw(art, map, ArtStepColours({fade}, false, 0, 1, levels, art)), row.expected);
    }
}

// The saved table holds "# Colors" words a palette: the game never changes
// the entries past them, which keep the top palette's colour in every step.
TEST(ArtRecolour, EntriesPastTheColourCountKeepTheTopColour)
{
    const LevelTable& levels = LinearLevelSet();
    SourcePalette top = Top({31, 31, 31, 0});
    top[15] = {31, 0, 0, 0};
    const FadeTable fade = FadeToBlack(top);
    const ArtPicture art = Indexed({1, 15, 17, 31}, 32);
    const struct {
        int colorCount;
        bool wholeScreen;
        std::vector<std::uint32_t> expected; // step 1 of 3, for indices 1, 15, 17, 31
    } rows[] = {
        {16, false, {kGrey, kMidRed, Own(17), Own(31)}},
        {15, false, {kGrey, kRed, Own(17), Own(31)}},
        {1, false, {kWhite, kRed, Own(17), Own(31)}},
        {15, true, {kGrey, kRed, kGrey, kRed}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.colorCount);
        const std::vector<FadeTable> fades(row.wholeScreen ? 2 : 1, fade);
        EXPECT_EQ(Draw(art, ArtMap{}, ArtStepColours(fades, row.wholeScreen, 0, 1, levels, art, row.colorCount)),
                  row.expected);
    }
}

TEST(ArtRecolour, HardwareColoursShowAsTheFadesPreviewShowsThem)
{
    const FadeTable fade = FadeToBlack(Top({31, 31, 31, 0}));
    const ArtPicture art = Indexed({1}, 16);
    ArtColours colours = OwnArtColours(art);
    PutFadeStep(fade, 1, 0, HardwareLevelSet(), colours);
    // Level 16, normal version, on the hardware: 138.
    EXPECT_EQ(colours[1], 0xFF8A8A8Au);
    EXPECT_EQ(colours[16], kBlack); // past the table
}

} // namespace
} // namespace palfade
