#include "core/hw_color.h"
#include "core/level_table.h"
#include "core/palette_commands.h"
#include "core/scrambled_text.h"

#include <gtest/gtest.h>

namespace palfade {
namespace {

struct WordCase {
    PaletteEntry entry;
    HwColor word;
};

class EncodeTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(EncodeTest, EncodesAndDecodesTheWord)
{
    EXPECT_EQ(EncodeHwColor(GetParam().entry), GetParam().word);
    EXPECT_EQ(DecodeHwColor(GetParam().word), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(Words, EncodeTest,
                         ::testing::Values(WordCase{{31, 31, 31, 0}, 0x7FFF}, WordCase{{31, 31, 31, 1}, 0xFFFF},
                                           WordCase{{0, 0, 0, 1}, 0x8000}, WordCase{{0, 0, 0, 0}, 0x0000},
                                           WordCase{{1, 0, 0, 0}, 0x4000}, WordCase{{2, 0, 0, 0}, 0x0100},
                                           WordCase{{0, 1, 0, 0}, 0x2000}, WordCase{{0, 0, 1, 0}, 0x1000},
                                           WordCase{{16, 8, 4, 0}, 0x0842}, WordCase{{21, 10, 5, 1}, 0xDA52},
                                           WordCase{{30, 0, 0, 0}, 0x0F00}, WordCase{{31, 0, 0, 0}, 0x4F00}));

TEST(HwColorTest, EveryWordSurvivesDecodeThenEncode)
{
    for (int w = 0; w <= 0xFFFF; ++w) {
        const PaletteEntry e = DecodeHwColor(static_cast<HwColor>(w));
        ASSERT_TRUE(e.red >= 0 && e.red <= 31 && e.green >= 0 && e.green <= 31 && e.blue >= 0 && e.blue <= 31 &&
                    (e.dark == 0 || e.dark == 1))
            << w;
        ASSERT_EQ(EncodeHwColor(e), w);
    }
}

TEST(HwColorTest, OnlyDarkOneSetsBit15)
{
    EXPECT_EQ(EncodeHwColor({0, 0, 0, 2}), 0x0000);
    EXPECT_EQ(EncodeHwColor({0, 0, 0, -1}), 0x0000);
}

TEST(LevelTableTest, LinearForwardFollowsTheHalfStepRule)
{
    const LevelTable& t = LinearLevelSet();
    // Spot values from the level list: dark then normal for levels 0, 1, 15, 16, 29, 31.
    const int expected[][3] = {{0, 0, 0}, {1, 4, 8}, {15, 119, 123}, {16, 128, 132}, {29, 234, 239}, {31, 251, 255}};
    for (const auto& row : expected) {
        EXPECT_EQ(t.forward[static_cast<std::size_t>(2 * row[0])], row[1]) << "dark level " << row[0];
        EXPECT_EQ(t.forward[static_cast<std::size_t>(2 * row[0] + 1)], row[2]) << "level " << row[0];
    }
    for (int i = 2; i < 64; ++i)
        EXPECT_GT(t.forward[static_cast<std::size_t>(i)], t.forward[static_cast<std::size_t>(i - 1)]) << i;
}

TEST(LevelTableTest, HardwareForwardIsTheMeasuredList)
{
    const std::int16_t dark[32] = {0,   8,   14,  21,  30,  38,  44,  51,  64,  71,  77,  85,  94,  101, 107, 115,
                                   136, 144, 150, 158, 166, 174, 180, 188, 200, 208, 214, 221, 230, 238, 244, 251};
    const std::int16_t normal[32] = {0,   8,   14,  22,  30,  38,  44,  52,  65,  73,  79,  86,  95,  103, 109, 117,
                                     138, 146, 152, 160, 169, 176, 182, 190, 203, 211, 217, 225, 233, 241, 247, 255};
    const LevelTable& t = HardwareLevelSet();
    for (int l = 0; l < 32; ++l) {
        EXPECT_EQ(t.forward[static_cast<std::size_t>(2 * l)], dark[l]) << l;
        EXPECT_EQ(t.forward[static_cast<std::size_t>(2 * l + 1)], normal[l]) << l;
    }
}

TEST(LevelTableTest, InverseTakesTheLargestIndexNotAbove)
{
    const LevelTable& lin = LinearLevelSet();
    for (int v : {0, 1, 2, 3})
        EXPECT_EQ(lin.inverse[static_cast<std::size_t>(v)], 1) << v;
    EXPECT_EQ(lin.inverse[4], 2);
    EXPECT_EQ(lin.inverse[20], 5);
    EXPECT_EQ(lin.inverse[21], 6);
    EXPECT_EQ(lin.inverse[128], 32);
    EXPECT_EQ(lin.inverse[255], 63);

    const LevelTable& hw = HardwareLevelSet();
    for (int v = 0; v <= 7; ++v)
        EXPECT_EQ(hw.inverse[static_cast<std::size_t>(v)], 1) << v;
    EXPECT_EQ(hw.inverse[8], 3);
    EXPECT_EQ(hw.inverse[21], 6);
    EXPECT_EQ(hw.inverse[128], 31);
    EXPECT_EQ(hw.inverse[255], 63);

    // The defining property, for every value of both sets.
    for (const LevelTable* t : {&lin, &hw}) {
        for (int v = 0; v < 256; ++v) {
            const int i = t->inverse[static_cast<std::size_t>(v)];
            ASSERT_LE(t->forward[static_cast<std::size_t>(i)], v);
            if (i < 63) {
                ASSERT_GT(t->forward[static_cast<std::size_t>(i + 1)], v);
            }
        }
    }
}

TEST(LevelTableTest, DisplayColorGoesThroughTheWorkingTable)
{
    LevelTable t;
    LoadLevelTables(t, false);
    EXPECT_EQ(DisplayColor(t, 31, 31, 31, 0), MakeDisplayRgb(255, 255, 255));
    EXPECT_EQ(DisplayColor(t, 31, 31, 31, 1), MakeDisplayRgb(251, 251, 251));
    EXPECT_EQ(DisplayColor(t, 16, 16, 16, 1), MakeDisplayRgb(128, 128, 128));
    EXPECT_EQ(DisplayColor(t, 16, 16, 16, 0), MakeDisplayRgb(132, 132, 132));
    EXPECT_EQ(DisplayColor(t, 0, 0, 0, 1), 0u);
    EXPECT_EQ(DisplayColor(t, 31, 0, 16, 0), MakeDisplayRgb(255, 0, 132)); // red in the low byte
    EXPECT_EQ(DisplayColor(t, 31, 0, 16, 0), 0x8400FFu);

    LoadLevelTables(t, true);
    EXPECT_EQ(DisplayColor(t, 1, 1, 1, 0), MakeDisplayRgb(8, 8, 8));
    EXPECT_EQ(DisplayColor(t, 1, 1, 1, 1), MakeDisplayRgb(8, 8, 8));
    EXPECT_EQ(DisplayColor(t, 16, 16, 16, 0), MakeDisplayRgb(138, 138, 138));
    EXPECT_EQ(DisplayColor(t, 31, 31, 31, 1), MakeDisplayRgb(251, 251, 251));
}

TEST(LevelTableTest, PixelConversionSwapsRedAndBlue)
{
    EXPECT_EQ(DisplayToPixel(MakeDisplayRgb(0x11, 0x22, 0x33)), 0xFF112233u);
}

TEST(EntryFromIndicesTest, DarkBitOnlyWhenEveryChannelIsDarkable)
{
    EXPECT_EQ(EntryFromIndices(62, 62, 62, true), (PaletteEntry{31, 31, 31, 1}));
    EXPECT_EQ(EntryFromIndices(62, 62, 61, true), (PaletteEntry{31, 31, 30, 0}));
    EXPECT_EQ(EntryFromIndices(0, 1, 0, true), (PaletteEntry{0, 0, 0, 1}));
    EXPECT_EQ(EntryFromIndices(62, 62, 62, false), (PaletteEntry{31, 31, 31, 0}));
    EXPECT_EQ(EntryFromIndices(1, 1, 3, true), (PaletteEntry{0, 0, 1, 0}));
}

TEST(GreyscaleTest, WeightsOnLevelsWithTiesToEven)
{
    struct Case {
        PaletteEntry in;
        int grey;
    } cases[] = {
        {{31, 0, 0, 0}, 9},   {{0, 31, 0, 0}, 18}, {{0, 0, 31, 0}, 4},  {{31, 31, 31, 0}, 31},
        {{0, 12, 4, 0}, 8},   // 7.5 exactly: to the even 8
        {{20, 30, 8, 0}, 24}, // 24.5 exactly: to the even 24
        {{10, 9, 2, 0}, 8},   // just below 8.5 in double precision
        {{31, 31, 31, 1}, 31}, // the dark bit is dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(GreyscaleEntry(c.in), (PaletteEntry{c.grey, c.grey, c.grey, 0}))
            << c.in.red << "," << c.in.green << "," << c.in.blue;

    for (int w = 0; w <= 0xFFFF; w += 7) {
        const PaletteEntry g = GreyscaleEntry(DecodeHwColor(static_cast<HwColor>(w)));
        ASSERT_TRUE(g.red >= 0 && g.red <= 31);
    }
}

TEST(ScrambledTextTest, EachCodeUnitMovesDownByThree)
{
    EXPECT_EQ(UnscrambleText(u"def"), u"abc");
    EXPECT_EQ(UnscrambleText(u""), u"");
    const char16_t low[] = {0, 1, 2};
    EXPECT_EQ(UnscrambleText(std::u16string_view(low, 3)), (std::u16string{0xFFFD, 0xFFFE, 0xFFFF}));
}

} // namespace
} // namespace palfade
