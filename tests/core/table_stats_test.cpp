#include "core/table_stats.h"

#include <gtest/gtest.h>

namespace palfade {
namespace {

TEST(TableStatsTest, AStepRepeatsOnlyWhenTheWholeFrameDoes)
{
    // Two palettes of one colour, frame-major: palette 0 stands still from
    // step 1 on while palette 1 still moves at step 2.
    const ScreenFadeWords screen{5, 2, 1, {0x7FFF, 0x0F00, 0x0000, 0x0800, 0x0000, 0x0000, 0x0000, 0x0000, 0x0111, 0x0000}};
    const TableStats stats = MeasureTable(screen);
    EXPECT_EQ(stats.words, 10);
    EXPECT_EQ(stats.bytes, 20);
    EXPECT_EQ(stats.repeats, 1);
    EXPECT_EQ(StatsLine(stats), "5 steps x 2 palettes x 1 colour = 10 words (20 bytes); 1 step repeats the one before");
    EXPECT_EQ(StatsLine(TableStats{32, 3, 16, 1536, 3072, 5}),
              "32 steps x 3 palettes x 16 colours = 1536 words (3072 bytes); 5 steps repeat the one before");
}

TEST(TableStatsTest, ThereAndBackFramesAreMeasuredInTheirOrder)
{
    ScreenFadeWords screen{3, 2, 1, {0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006}};
    ReorderSteps(screen, StepOrder(3, true));
    EXPECT_EQ(screen.steps, 5);
    EXPECT_EQ(screen.words, (std::vector<HwColor>{1, 2, 3, 4, 5, 6, 3, 4, 1, 2}));
    EXPECT_EQ(MeasureTable(screen).repeats, 0);

    FadeTable table;
    SourcePalette top{};
    top[0] = DecodeHwColor(0x7FFF);
    ComputeFade(FadeInputs{top, top, 4, false, false}, table);
    ReorderSteps(table, StepOrder(4, true));
    const ScreenFadeWords one = WordsOfFades({&table, 1}, 2);
    EXPECT_EQ(one.steps, 7);
    EXPECT_EQ(one.palettes, 1);
    EXPECT_EQ(one.words.size(), 14u);
    EXPECT_EQ(MeasureTable(one).repeats, 6);
}

} // namespace
} // namespace palfade
