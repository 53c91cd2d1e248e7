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
    // Three steps of two palettes played there and back: no frame equals the one before it.
    const ScreenFadeWords screen{5, 2, 1, {1, 2, 3, 4, 5, 6, 3, 4, 1, 2}};
    EXPECT_EQ(MeasureTable(screen).repeats, 0);
}

} // namespace
} // namespace palfade
