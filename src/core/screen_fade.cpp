#include "screen_fade.h"

#include <algorithm>

namespace palfade {

void ComputeScreenFade(const ScreenFadeInputs& in, std::vector<FadeTable>& tables)
{
    const std::size_t pairs = std::min(in.tops.size(), in.bottoms.size());
    tables.resize(pairs);
    for (std::size_t k = 0; k < pairs; ++k)
        ComputeFade(FadeInputs{in.tops[k], in.bottoms[k], in.paletteCount, in.simpleFade, in.useDarkBit},
                    tables[k]);
}

namespace {

int StepsOf(const ScreenFadeInputs& in)
{
    return in.paletteCount;
}

std::size_t PairsOf(const ScreenFadeInputs& in)
{
    return std::min(in.tops.size(), in.bottoms.size());
}

int ColorsOf(int colorCount)
{
    return std::clamp(colorCount, 0, kPaletteSize);
}

} // namespace

ScreenFadeWords ComputeScreenFadeWords(const ScreenFadeInputs& in, int colorCount)
{
    ScreenFadeWords screen;
    screen.steps = StepsOf(in);
    screen.palettes = static_cast<int>(PairsOf(in));
    screen.colors = ColorsOf(colorCount);
    ComputeScreenFadeSteps(in, colorCount, 0, screen.steps, screen.words);
    return screen;
}

void ComputeScreenFadeSteps(const ScreenFadeInputs& in, int colorCount, int firstStep, int stepCount,
                            std::vector<HwColor>& words)
{
    const int first = std::clamp(firstStep, 0, StepsOf(in));
    const int count = std::clamp(stepCount, 0, StepsOf(in) - first);
    const std::size_t palettes = PairsOf(in);
    const auto width = static_cast<std::size_t>(ColorsOf(colorCount));
    words.resize(static_cast<std::size_t>(count) * palettes * width);
    FadeTable table;
    for (std::size_t k = 0; k < palettes; ++k) {
        ComputeFade(FadeInputs{in.tops[k], in.bottoms[k], in.paletteCount, in.simpleFade, in.useDarkBit}, table);
        for (int s = 0; s < count; ++s) {
            HwColor* line = words.data() + (static_cast<std::size_t>(s) * palettes + k) * width;
            for (std::size_t j = 0; j < width; ++j)
                line[j] = EncodeHwColor(table.at(static_cast<int>(j), first + s));
        }
    }
}

void ForEachScreenFadeStep(const ScreenFadeInputs& in, int colorCount, std::size_t heldWords,
                           const std::function<void(int step, std::span<const HwColor> words)>& step)
{
    const int steps = StepsOf(in);
    const std::size_t stepWords = PairsOf(in) * static_cast<std::size_t>(ColorsOf(colorCount));
    const int run =
        static_cast<int>(std::clamp<std::size_t>(heldWords / std::max<std::size_t>(stepWords, 1), 1, std::max(steps, 1)));
    std::vector<HwColor> words;
    for (int first = 0; first < steps; first += run) {
        ComputeScreenFadeSteps(in, colorCount, first, run, words);
        for (int s = 0; first + s < steps && s < run; ++s)
            step(first + s, std::span<const HwColor>(words).subspan(static_cast<std::size_t>(s) * stepWords, stepWords));
    }
}

} // namespace palfade
