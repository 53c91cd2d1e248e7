#include "core/fade_engine.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace palfade {
namespace {

using Steps = std::vector<PaletteEntry>;

// Fades colour 0 from `from` to `to`; every other colour stays black.
Steps FadeOne(PaletteEntry from, PaletteEntry to, int count, bool simple, bool dark)
{
    SourcePalette top{}, bottom{};
    top[0] = from;
    bottom[0] = to;
    FadeTable t;
    ComputeFade(FadeInputs{top, bottom, count, simple, dark}, t);
    Steps out;
    for (int s = 0; s < t.steps(); ++s) {
        const FadeCell& c = t.at(0, s);
        out.push_back({c.red, c.green, c.blue, c.dark});
        EXPECT_EQ(c.displayColor, 0u);
    }
    return out;
}

PaletteEntry Grey(int level, int dark) { return {level, level, level, dark}; }

struct WorkedFade {
    int count;
    bool simple;
    bool dark;
    Steps expected;
};

class WorkedFadeTest : public ::testing::TestWithParam<WorkedFade> {};

TEST_P(WorkedFadeTest, WhiteToBlack)
{
    const WorkedFade& w = GetParam();
    EXPECT_EQ(FadeOne(Grey(31, 0), Grey(0, 0), w.count, w.simple, w.dark), w.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedFadeTest,
    ::testing::Values(
        WorkedFade{3, false, false, {Grey(31, 0), Grey(16, 0), Grey(0, 0)}},
        WorkedFade{3, false, true, {Grey(31, 0), Grey(16, 1), Grey(0, 0)}},
        WorkedFade{4, false, false, {Grey(31, 0), Grey(21, 0), Grey(11, 0), Grey(0, 0)}},
        WorkedFade{4, false, true, {Grey(31, 0), Grey(21, 1), Grey(11, 1), Grey(0, 0)}},
        WorkedFade{8, false, false,
                   {Grey(31, 0), Grey(27, 0), Grey(22, 0), Grey(18, 0), Grey(14, 0), Grey(9, 0), Grey(5, 0), Grey(0, 0)}},
        WorkedFade{8, false, true,
                   {Grey(31, 0), Grey(27, 1), Grey(22, 0), Grey(18, 1), Grey(14, 1), Grey(9, 0), Grey(5, 1), Grey(0, 0)}},
        WorkedFade{4, true, false, {Grey(31, 0), Grey(30, 0), Grey(29, 0), Grey(0, 0)}},
        WorkedFade{4, true, true, {Grey(31, 0), Grey(31, 1), Grey(30, 0), Grey(0, 0)}}));

TEST(FadeEngineTest, SinglePrecisionRunningValueDecidesNearHalves)
{
    // Exactly 3.5 at step 3, but the running single-precision value is
    // 3.4999998 there and gives index 3; first - s * step would give 4.
    EXPECT_EQ(FadeOne(Grey(3, 1), Grey(0, 0), 7, false, false),
              (Steps{Grey(3, 1), Grey(2, 0), Grey(2, 0), Grey(1, 0), Grey(1, 0), Grey(1, 0), Grey(0, 0)}));
    EXPECT_EQ(FadeOne(Grey(3, 1), Grey(0, 0), 7, false, true),
              (Steps{Grey(3, 1), Grey(2, 0), Grey(2, 1), Grey(1, 0), Grey(1, 0), Grey(1, 1), Grey(0, 0)}));
}

TEST(FadeEngineTest, FadingUpIsSymmetric)
{
    EXPECT_EQ(FadeOne(Grey(0, 0), Grey(31, 0), 3, false, false), (Steps{Grey(0, 0), Grey(16, 0), Grey(31, 0)}));
    EXPECT_EQ(FadeOne(Grey(0, 0), Grey(31, 0), 4, true, false),
              (Steps{Grey(0, 0), Grey(1, 0), Grey(2, 0), Grey(31, 0)}));
}

TEST(FadeEngineTest, EqualColoursStillGetTheDarkBitDecision)
{
    for (bool simple : {false, true}) {
        SCOPED_TRACE(simple ? "half-step walk" : "interpolation");
        // Non-dark non-black stays, dark stays dark, non-dark black gains dark.
        for (const Steps& s : {FadeOne({10, 20, 30, 0}, {10, 20, 30, 0}, 5, simple, true),
                               FadeOne({10, 20, 30, 1}, {10, 20, 30, 1}, 5, simple, true),
                               FadeOne(Grey(0, 0), Grey(0, 0), 5, simple, true)}) {
            for (int i = 1; i < 4; ++i)
                EXPECT_EQ(s[static_cast<std::size_t>(i)],
                          s[0] == Grey(0, 0) ? Grey(0, 1) : s[0]);
        }
    }
    // Without the dark bit a dark colour is computed non-dark.
    const Steps s = FadeOne(Grey(10, 1), Grey(10, 1), 4, false, false);
    EXPECT_EQ(s, (Steps{Grey(10, 1), Grey(10, 0), Grey(10, 0), Grey(10, 1)}));
}

TEST(FadeEngineTest, WalksReachTheTargetAndStay)
{
    const Steps level = FadeOne(Grey(31, 0), Grey(0, 0), 40, true, false);
    EXPECT_EQ(level[30], Grey(1, 0));
    for (int s = 31; s < 40; ++s)
        EXPECT_EQ(level[static_cast<std::size_t>(s)], Grey(0, 0)) << s;

    const Steps half = FadeOne(Grey(31, 0), Grey(0, 0), 70, true, true);
    EXPECT_EQ(half[61], Grey(1, 1)); // index 2: the dark version of level 1
    for (int s = 62; s < 69; ++s)
        EXPECT_EQ(half[static_cast<std::size_t>(s)], Grey(0, 1)) << s;
    EXPECT_EQ(half[69], Grey(0, 0));
}

TEST(FadeEngineTest, LevelWalkCarriesTheFirstPalettesDarkBit)
{
    const Steps s = FadeOne(Grey(5, 1), Grey(0, 0), 5, true, false);
    EXPECT_EQ(s, (Steps{Grey(5, 1), Grey(4, 1), Grey(3, 1), Grey(2, 1), Grey(0, 0)}));
}

TEST(FadeEngineTest, EndsEqualTheSourcesAndEveryCellStaysInRange)
{
    SourcePalette top{}, bottom{};
    for (int j = 0; j < 16; ++j) {
        top[static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(0x1357 * (j + 1)));
        bottom[static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(0xFEDC - 0x0931 * j));
    }
    FadeTable t;
    for (int count : {3, 4, 17, 255, 256})
        for (bool simple : {false, true})
            for (bool dark : {false, true}) {
                ComputeFade(FadeInputs{top, bottom, count, simple, dark}, t);
                ASSERT_EQ(t.steps(), count);
                for (int j = 0; j < 16; ++j) {
                    const FadeCell& a = t.at(j, 0);
                    const FadeCell& b = t.at(j, count - 1);
                    ASSERT_EQ((PaletteEntry{a.red, a.green, a.blue, a.dark}), top[static_cast<std::size_t>(j)]);
                    ASSERT_EQ((PaletteEntry{b.red, b.green, b.blue, b.dark}), bottom[static_cast<std::size_t>(j)]);
                    for (int s = 0; s < count; ++s) {
                        const FadeCell& c = t.at(j, s);
                        ASSERT_TRUE(c.red >= 0 && c.red <= 31 && c.green >= 0 && c.green <= 31 && c.blue >= 0 &&
                                    c.blue <= 31 && (c.dark == 0 || c.dark == 1))
                            << count << " " << simple << dark << " " << j << "," << s;
                    }
                }
            }
}

// Entry 0 white to black, entry 1 red 31 to blue 30, five steps with the dark
// bit allowed. Indices, floor(first + (last - first) * f(s/4) + 0.5): entry 0
// runs 63 to 1 (ease-in: 59 48 28), entry 1's red 63 to 1 and blue 1 to 61
// (ease-in: red 59 48 28, blue 5 16 35); an even index set takes the dark bit.
struct CurveRow {
    FadeCurve curve;
    KeepMask keep;
    std::array<std::array<HwColor, 2>, 5> words; // [step][entry]
};

class CurveTest : public ::testing::TestWithParam<CurveRow> {};

TEST_P(CurveTest, TwoEntriesOverFiveSteps)
{
    const CurveRow& row = GetParam();
    SourcePalette top{}, bottom{};
    top[0] = DecodeHwColor(0x7FFF);
    bottom[0] = DecodeHwColor(0x0000);
    top[1] = DecodeHwColor(0x4F00);
    bottom[1] = DecodeHwColor(0x000F);
    FadeTable t;
    ComputeFade(FadeInputs{top, bottom, 5, false, true, row.curve, row.keep}, t);
    for (int s = 0; s < 5; ++s)
        for (int j = 0; j < 2; ++j)
            EXPECT_EQ(EncodeHwColor(t.at(j, s)), row.words[std::size_t(s)][std::size_t(j)])
                << "step " << s << " entry " << j;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CurveTest,
    ::testing::Values(
        CurveRow{FadeCurve::Linear, 0, {{{0x7FFF, 0x4F00}, {0x8CCC, 0x8C04}, {0x8888, 0x1807}, {0x0444, 0x140B}, {0x0000, 0x000F}}}},
        CurveRow{FadeCurve::EaseIn, 0, {{{0x7FFF, 0x4F00}, {0x7EEE, 0x4E01}, {0x8CCC, 0x8C04}, {0x8777, 0x1708}, {0x0000, 0x000F}}}},
        CurveRow{FadeCurve::EaseOut, 0, {{{0x7FFF, 0x4F00}, {0x8999, 0x1906}, {0x0444, 0x140B}, {0x0111, 0x010E}, {0x0000, 0x000F}}}},
        CurveRow{FadeCurve::EaseInOut, 0, {{{0x7FFF, 0x4F00}, {0x0DDD, 0x1D02}, {0x8888, 0x1807}, {0x7222, 0x420D}, {0x0000, 0x000F}}}},
        // A kept entry is Palette 1's word in every step, the last included.
        CurveRow{FadeCurve::Linear, 0b10, {{{0x7FFF, 0x4F00}, {0x8CCC, 0x4F00}, {0x8888, 0x4F00}, {0x0444, 0x4F00}, {0x0000, 0x4F00}}}},
        CurveRow{FadeCurve::EaseOut, 0b01, {{{0x7FFF, 0x4F00}, {0x7FFF, 0x1906}, {0x7FFF, 0x140B}, {0x7FFF, 0x010E}, {0x7FFF, 0x000F}}}}));

TEST(FadeEngineTest, ThereAndBackWalksDownAgain)
{
    EXPECT_EQ(StepOrder(3, false), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(StepOrder(4, true), (std::vector<int>{0, 1, 2, 3, 2, 1, 0}));
    const Steps there = FadeOne(Grey(31, 0), Grey(0, 0), 3, false, false);
    SourcePalette top{}, bottom{};
    top[0] = Grey(31, 0);
    FadeTable t;
    ComputeFade(FadeInputs{top, bottom, 3, false, false}, t);
    ReorderSteps(t, StepOrder(3, true));
    ASSERT_EQ(t.steps(), 5);
    for (int s = 0; s < 5; ++s)
        EXPECT_EQ(static_cast<const PaletteEntry&>(t.at(0, s)), there[std::size_t(s < 3 ? s : 4 - s)]) << s;
}

} // namespace
} // namespace palfade
