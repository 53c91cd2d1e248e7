#include "core/screen_fade.h"

#include <gtest/gtest.h>

#include <vector>

namespace palfade {
namespace {

SourcePalette Filled(HwColor first, int stride)
{
    SourcePalette palette{};
    for (int j = 0; j < kPaletteSize; ++j)
        palette[static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(first + j * stride));
    return palette;
}

TEST(ComputeScreenFade, EachPairIsItsOwnFade)
{
    const std::vector<SourcePalette> tops{Filled(0x7FFF, -0x0111), Filled(0x8000, 0x0101), Filled(0x1234, 0x0777)};
    const std::vector<SourcePalette> bottoms{Filled(0x0000, 0), Filled(0x7FFF, 0), Filled(0xC0DE, 0x0313)};
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
    std::vector<FadeTable> tables(5); // more than needed: cut to the pairs
    for (const auto& row : rows) {
        const ScreenFadeInputs in{tops, bottoms, row.paletteCount, row.simpleFade, row.useDarkBit, row.curve, row.keep};
        ComputeScreenFade(in, tables);
        ASSERT_EQ(tables.size(), tops.size());
        for (std::size_t k = 0; k < tops.size(); ++k) {
            FadeTable single;
            ComputeFade(FadeInputs{tops[k], bottoms[k], row.paletteCount, row.simpleFade, row.useDarkBit, row.curve,
                                   row.keep},
                        single);
            ASSERT_EQ(tables[k].steps(), row.paletteCount);
            for (int s = 0; s < row.paletteCount; ++s)
                for (int j = 0; j < kPaletteSize; ++j)
                    ASSERT_EQ(tables[k].at(j, s), single.at(j, s)) << "pair " << k << " step " << s;
        }
        // The words, frame-major, are those of the same fades.
        for (int colors : {1, 16}) {
            const ScreenFadeWords screen = ComputeScreenFadeWords(in, colors);
            EXPECT_EQ(WordsOfFades(tables, colors).words, screen.words);
            ASSERT_EQ(screen.words.size(), std::size_t(row.paletteCount) * tops.size() * std::size_t(colors));
            std::size_t at = 0;
            for (int s = 0; s < row.paletteCount; ++s)
                for (std::size_t k = 0; k < tops.size(); ++k)
                    for (int j = 0; j < colors; ++j) {
                        ASSERT_EQ(screen.words[at], EncodeHwColor(tables[k].at(j, s))) << "pair " << k << " step " << s;
                        // A kept entry is its top's word in every frame of every palette.
                        if ((row.keep >> j) & 1) {
                            ASSERT_EQ(screen.words[at], EncodeHwColor(tops[k][std::size_t(j)]));
                        }
                        ++at;
                    }
            // Frame by frame in runs of one frame, of two and a part, and of all,
            // straight and there and back.
            for (bool thereAndBack : {false, true}) {
                const std::vector<int> order = StepOrder(row.paletteCount, thereAndBack);
                ScreenFadeWords played = screen;
                ReorderSteps(played, order);
                for (std::size_t held : {std::size_t{1}, tops.size() * std::size_t(colors) * 2 + 1, played.words.size()}) {
                    std::vector<HwColor> streamed;
                    int expected = 0;
                    ForEachScreenFadeFrame(in, colors, order, held, [&](int frame, std::span<const HwColor> words) {
                        EXPECT_EQ(frame, expected++);
                        EXPECT_EQ(words.size(), tops.size() * std::size_t(colors));
                        streamed.insert(streamed.end(), words.begin(), words.end());
                        return true;
                    });
                    EXPECT_EQ(streamed, played.words) << "held " << held;
                }
            }
        }
    }
}

TEST(ComputeScreenFade, OneBottomForEveryTopAndStoppingEarly)
{
    const std::vector<SourcePalette> tops{Filled(0x7FFF, -0x0111), Filled(0x1234, 0x0777), Filled(0x8000, 0x0101)};
    const std::vector<SourcePalette> one{Filled(0xC0DE, 0x0313)};
    const std::vector<SourcePalette> same(tops.size(), one.front());
    const ScreenFadeInputs shared{tops, one, 9, false, true};
    EXPECT_EQ(ScreenFadePairs(shared), tops.size());
    EXPECT_EQ(ComputeScreenFadeWords(shared, 16).words,
              ComputeScreenFadeWords(ScreenFadeInputs{tops, same, 9, false, true}, 16).words);

    std::vector<int> frames;
    ForEachScreenFadeFrame(shared, 16, StepOrder(9, false), 1, [&](int frame, std::span<const HwColor>) {
        frames.push_back(frame);
        return frame < 2;
    });
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2}));
}

} // namespace
} // namespace palfade
