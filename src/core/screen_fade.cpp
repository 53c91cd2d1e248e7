#include "screen_fade.h"

#include <algorithm>

namespace palfade {

namespace {

FadeInputs PairInputs(const ScreenFadeInputs& in, std::size_t k)
{
    const SourcePalette& bottom = in.bottoms.size() == 1 ? in.bottoms.front() : in.bottoms[k];
    return FadeInputs{in.tops[k], bottom, in.paletteCount, in.simpleFade, in.useDarkBit};
}

int StepsOf(const ScreenFadeInputs& in)
{
    return in.paletteCount;
}

int ColorsOf(int colorCount)
{
    return std::clamp(colorCount, 0, kPaletteSize);
}

} // namespace

std::size_t ScreenFadePairs(const ScreenFadeInputs& in)
{
    return in.bottoms.size() == 1 ? in.tops.size() : std::min(in.tops.size(), in.bottoms.size());
}

void ComputeScreenFade(const ScreenFadeInputs& in, std::vector<FadeTable>& tables)
{
    tables.resize(ScreenFadePairs(in));
    for (std::size_t k = 0; k < tables.size(); ++k)
        ComputeFade(PairInputs(in, k), tables[k]);
}

ScreenFadeWords ComputeScreenFadeWords(const ScreenFadeInputs& in, int colorCount)
{
    ScreenFadeWords screen;
    screen.steps = StepsOf(in);
    screen.palettes = static_cast<int>(ScreenFadePairs(in));
    screen.colors = ColorsOf(colorCount);
    ComputeScreenFadeSteps(in, colorCount, 0, screen.steps, screen.words);
    return screen;
}

void ComputeScreenFadeSteps(const ScreenFadeInputs& in, int colorCount, int firstStep, int stepCount,
                            std::vector<HwColor>& words)
{
    const int first = std::clamp(firstStep, 0, StepsOf(in));
    const int count = std::clamp(stepCount, 0, StepsOf(in) - first);
    const std::size_t palettes = ScreenFadePairs(in);
    const auto width = static_cast<std::size_t>(ColorsOf(colorCount));
    words.resize(static_cast<std::size_t>(count) * palettes * width);
    FadeTable table;
    for (std::size_t k = 0; k < palettes; ++k) {
        ComputeFade(PairInputs(in, k), table);
        for (int s = 0; s < count; ++s) {
            HwColor* line = words.data() + (static_cast<std::size_t>(s) * palettes + k) * width;
            for (std::size_t j = 0; j < width; ++j)
                line[j] = EncodeHwColor(table.at(static_cast<int>(j), first + s));
        }
    }
}

void ForEachScreenFadeStep(const ScreenFadeInputs& in, int colorCount, std::size_t heldWords,
                           const std::function<bool(int step, std::span<const HwColor> words)>& step)
{
    const int steps = StepsOf(in);
    const std::size_t stepWords = ScreenFadePairs(in) * static_cast<std::size_t>(ColorsOf(colorCount));
    const int run =
        static_cast<int>(std::clamp<std::size_t>(heldWords / std::max<std::size_t>(stepWords, 1), 1, std::max(steps, 1)));
    std::vector<HwColor> words;
    for (int first = 0; first < steps; first += run) {
        ComputeScreenFadeSteps(in, colorCount, first, run, words);
        for (int s = 0; first + s < steps && s < run; ++s)
            if (!step(first + s,
                      std::span<const HwColor>(words).subspan(static_cast<std::size_t>(s) * stepWords, stepWords)))
                return;
    }
}

} // namespace palfade
