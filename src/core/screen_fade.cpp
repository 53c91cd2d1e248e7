#include "screen_fade.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace palfade {

namespace {

FadeInputs PairInputs(const ScreenFadeInputs& in, std::size_t k)
{
    const SourcePalette& bottom = in.bottoms.size() == 1 ? in.bottoms.front() : in.bottoms[k];
    return FadeInputs{in.tops[k], bottom, in.paletteCount, in.simpleFade, in.useDarkBit, in.curve, in.keep};
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
    screen.steps = in.paletteCount;
    screen.palettes = static_cast<int>(ScreenFadePairs(in));
    screen.colors = ColorsOf(colorCount);
    ComputeScreenFadeSteps(in, colorCount, StepOrder(in.paletteCount, false), screen.words);
    return screen;
}

ScreenFadeWords WordsOfFades(std::span<const FadeTable> tables, int colorCount)
{
    ScreenFadeWords fades;
    fades.steps = tables.empty() ? 0 : tables.front().steps();
    fades.palettes = static_cast<int>(tables.size());
    fades.colors = std::clamp(colorCount, 0, kPaletteSize);
    for (int s = 0; s < fades.steps; ++s)
        for (const FadeTable& table : tables)
            for (int j = 0; j < fades.colors; ++j)
                fades.words.push_back(EncodeHwColor(table.at(j, s)));
    return fades;
}

void ReorderSteps(ScreenFadeWords& screen, const std::vector<int>& order)
{
    const auto frame = static_cast<std::ptrdiff_t>(screen.palettes) * screen.colors;
    std::vector<HwColor> words;
    words.reserve(order.size() * static_cast<std::size_t>(frame));
    for (const int s : order) {
        const auto begin = screen.words.begin() + s * frame;
        words.insert(words.end(), begin, begin + frame);
    }
    screen.words = std::move(words);
    screen.steps = static_cast<int>(order.size());
}

void ComputeScreenFadeSteps(const ScreenFadeInputs& in, int colorCount, std::span<const int> steps,
                            std::vector<HwColor>& words)
{
    const std::size_t palettes = ScreenFadePairs(in);
    const auto width = static_cast<std::size_t>(ColorsOf(colorCount));
    words.resize(steps.size() * palettes * width);
    FadeTable table;
    for (std::size_t k = 0; k < palettes; ++k) {
        ComputeFade(PairInputs(in, k), table);
        for (std::size_t f = 0; f < steps.size(); ++f) {
            HwColor* line = words.data() + (f * palettes + k) * width;
            for (std::size_t j = 0; j < width; ++j)
                line[j] = EncodeHwColor(table.at(static_cast<int>(j), steps[f]));
        }
    }
}

void ForEachScreenFadeFrame(const ScreenFadeInputs& in, int colorCount, std::span<const int> order,
                            std::size_t heldWords,
                            const std::function<bool(int frame, std::span<const HwColor> words)>& frame)
{
    const std::size_t frameWords = ScreenFadePairs(in) * static_cast<std::size_t>(ColorsOf(colorCount));
    const std::size_t run = std::max<std::size_t>(heldWords / std::max<std::size_t>(frameWords, 1), 1);
    std::vector<HwColor> words;
    for (std::size_t first = 0; first < order.size(); first += run) {
        const std::span<const int> steps = order.subspan(first, std::min(run, order.size() - first));
        ComputeScreenFadeSteps(in, colorCount, steps, words);
        for (std::size_t f = 0; f < steps.size(); ++f)
            if (!frame(static_cast<int>(first + f), std::span<const HwColor>(words).subspan(f * frameWords, frameWords)))
                return;
    }
}

} // namespace palfade
