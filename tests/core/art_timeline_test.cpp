#include "core/art_timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace palfade {
namespace {

std::string Cycle(const ArtPlayback& playback)
{
    std::string text;
    for (const ArtShot& shot : ArtCycle(playback))
        text += std::to_string(shot.step) + "x" + std::to_string(shot.frames) + " ";
    return text;
}

TEST(ArtTimeline, CycleOrderAndHolds)
{
    const struct {
        ArtPlayback playback;
        const char* expected;
    } rows[] = {
        {{4, 1, 0, 0, false}, "0x1 1x1 2x1 3x1 "},
        {{4, 2, 10, 5, false}, "0x12 1x2 2x2 3x7 "},
        {{4, 3, 0, 0, true}, "0x3 1x3 2x3 3x3 2x3 1x3 "},
        {{3, 1, 6, 4, true}, "0x7 1x1 2x5 1x1 "},
        {{1, 2, 3, 4, true}, "0x9 "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Cycle(row.playback), row.expected);
}

TEST(ArtTimeline, FramesAtTheNeoGeoRate)
{
    // One frame is 384 * 264 / 6 MHz = 16.896 ms.
    const struct {
        std::int64_t nanoseconds;
        std::int64_t frames;
    } rows[] = {{0, 0}, {16'895'999, 0}, {16'896'000, 1}, {1'689'600'000, 100}, {-5, 0}, {60'000'000'000, 3551}};
    for (const auto& row : rows)
        EXPECT_EQ(FramesIn(row.nanoseconds), row.frames) << row.nanoseconds;
    // 1.6896 cs a frame, rounded to nearest.
    EXPECT_EQ(CentisecondsAt(1), 2);
    EXPECT_EQ(CentisecondsAt(2), 3);
    EXPECT_EQ(CentisecondsAt(100), 169);
    EXPECT_EQ(CentisecondsAt(625), 1056);
}

TEST(ArtTimeline, ShotAtFrameLoops)
{
    const std::vector<ArtShot> cycle = ArtCycle({3, 2, 1, 0, false}); // 0x3 1x2 2x2
    const std::size_t expected[] = {0, 0, 0, 1, 1, 2, 2, 0, 0, 0, 1};
    for (std::int64_t f = 0; f < 11; ++f)
        EXPECT_EQ(ShotAtFrame(cycle, f), expected[f]) << f;
}

} // namespace
} // namespace palfade
