#include "core/screen_fade.h"

#include "support/screen_fade_oracle.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace palfade {
namespace {

PaletteWords Filled(HwColor first, int stride)
{
    PaletteWords palette{};
    for (int j = 0; j < kPaletteSize; ++j)
        palette[static_cast<std::size_t>(j)] = static_cast<HwColor>(first + j * stride);
    return palette;
}

// Every word is a colour, so random words are random palettes.
std::vector<PaletteWords> RandomPalettes(std::mt19937& random, std::size_t count)
{
    std::vector<PaletteWords> palettes(count);
    for (PaletteWords& palette : palettes)
        for (HwColor& word : palette)
            word = static_cast<HwColor>(random());
    return palettes;
}

TEST(FadeSteps, EveryStepIsTheSingleFadesStep)
{
    // Every palette count, each with the four ways of fading (interpolation
    // with or without the dark bit, the level walk, the half-step walk), the
    // curves and keep masks taking turns.
    std::mt19937 random(23);
    const FadeCurve curves[] = {FadeCurve::Linear, FadeCurve::EaseIn, FadeCurve::EaseOut, FadeCurve::EaseInOut};
    const KeepMask keeps[] = {0, 0x0001, 0x8421};
    FadeTable table;
    for (int count = kMinPalettes; count <= kMaxPalettes; ++count)
        for (int way = 0; way < 4; ++way) {
            const FadeShape shape{count, way >= 2, way % 2 == 1, curves[(count + way) % 4], keeps[count % 3]};
            const FadeSteps steps(shape);
            const std::vector<PaletteWords> ends = RandomPalettes(random, 6);
            for (std::size_t k = 0; k < ends.size(); k += 2) {
                const SourcePalette top = PaletteOfWords(ends[k]), bottom = PaletteOfWords(ends[k + 1]);
                ComputeFade(FadeInputs{top, bottom, count, shape.simpleFade, shape.useDarkBit, shape.curve, shape.keep},
                            table);
                for (int s = 0; s < count; ++s) {
                    const PaletteWords words = steps.Words(s, ends[k], ends[k + 1]);
                    for (int j = 0; j < kPaletteSize; ++j)
                        ASSERT_EQ(words[std::size_t(j)], EncodeHwColor(table.at(j, s)))
                            << count << " steps, way " << way << ", step " << s << ", entry " << j;
                }
            }
        }
}

TEST(ComputeScreenFade, EachPairIsItsOwnFade)
{
    std::mt19937 random(5);
    const std::vector<PaletteWords> tops = RandomPalettes(random, 40);
    const std::vector<PaletteWords> bottoms = RandomPalettes(random, 40);
    const struct {
        int paletteCount;
        bool simpleFade;
        bool useDarkBit;
        FadeCurve curve;
        KeepMask keep;
    } rows[] = {{16, false, false, FadeCurve::Linear, 0},
                {3, true, false, FadeCurve::Linear, 0x0001},
                {256, true, true, FadeCurve::Linear, 0},
                {7, false, true, FadeCurve::Linear, 0},
                {9, false, true, FadeCurve::EaseInOut, 0x8001}};
    std::vector<FadeTable> tables(50); // more than needed: cut to the pairs
    for (const auto& row : rows) {
        const ScreenFadeInputs in{tops, bottoms, row.paletteCount, row.simpleFade, row.useDarkBit, row.curve, row.keep};
        ComputeScreenFade(in, tables);
        ASSERT_EQ(tables.size(), tops.size());
        for (std::size_t k = 0; k < tops.size(); ++k) {
            FadeTable single;
            const SourcePalette top = PaletteOfWords(tops[k]), bottom = PaletteOfWords(bottoms[k]);
            ComputeFade(FadeInputs{top, bottom, row.paletteCount, row.simpleFade, row.useDarkBit, row.curve, row.keep},
                        single);
            ASSERT_EQ(tables[k].steps(), row.paletteCount);
            for (int s = 0; s < row.paletteCount; ++s)
                for (int j = 0; j < kPaletteSize; ++j)
                    ASSERT_EQ(tables[k].at(j, s), single.at(j, s)) << "pair " << k << " step " << s;
        }
        // Frame by frame, straight and there and back, as the single fades
        // give them; a kept entry is its top's word in every frame.
        for (int colors : {1, 16})
            for (bool thereAndBack : {false, true}) {
                const std::vector<int> order = StepOrder(row.paletteCount, thereAndBack);
                const ScreenFadeWords played = ScreenFadeOracle(in, colors, order);
                std::vector<HwColor> streamed;
                int expected = 0;
                ForEachScreenFadeFrame(in, colors, order, [&](int frame, std::span<const HwColor> words) {
                    EXPECT_EQ(frame, expected++);
                    EXPECT_EQ(words.size(), tops.size() * std::size_t(colors));
                    for (std::size_t at = 0, width = std::size_t(colors); at < words.size(); ++at)
                        EXPECT_TRUE(!((row.keep >> (at % width)) & 1) || words[at] == tops[at / width][at % width]);
                    streamed.insert(streamed.end(), words.begin(), words.end());
                    return true;
                });
                EXPECT_EQ(streamed, played.words) << "colours " << colors << " there and back " << thereAndBack;
            }
    }
}

TEST(ComputeScreenFade, OneBottomForEveryTopAndStoppingEarly)
{
    const std::vector<PaletteWords> tops{Filled(0x7FFF, -0x0111), Filled(0x1234, 0x0777), Filled(0x8000, 0x0101)};
    const std::vector<PaletteWords> one{Filled(0xC0DE, 0x0313)};
    const std::vector<PaletteWords> same(tops.size(), one.front());
    const ScreenFadeInputs shared{tops, one, 9, false, true};
    EXPECT_EQ(ScreenFadePairs(shared), tops.size());
    std::vector<HwColor> streamed;
    ForEachScreenFadeFrame(shared, 16, StepOrder(9, true), [&](int, std::span<const HwColor> words) {
        streamed.insert(streamed.end(), words.begin(), words.end());
        return true;
    });
    EXPECT_EQ(streamed, ScreenFadeOracle(ScreenFadeInputs{tops, same, 9, false, true}, 16, StepOrder(9, true)).words);

    std::vector<int> frames;
    ForEachScreenFadeFrame(shared, 16, StepOrder(9, false), [&](int frame, std::span<const HwColor>) {
        frames.push_back(frame);
        return frame < 2;
    });
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2}));
}

} // namespace
} // namespace palfade
