#include "screen_fade.h"

#include <algorithm>

namespace palfade {

namespace {

const PaletteWords& BottomOf(const ScreenFadeInputs& in, std::size_t k)
{
    return in.bottoms.size() == 1 ? in.bottoms.front() : in.bottoms[k];
}

FadeShape ShapeOf(const ScreenFadeInputs& in)
{
    return FadeShape{in.paletteCount, in.simpleFade, in.useDarkBit, in.curve, in.keep};
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
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const SourcePalette top = PaletteOfWords(in.tops[k]);
        const SourcePalette bottom = PaletteOfWords(BottomOf(in, k));
        ComputeFade(FadeInputs{top, bottom, in.paletteCount, in.simpleFade, in.useDarkBit, in.curve, in.keep},
                    tables[k]);
    }
}

ScreenFadeWords WordsOfFades(std::span<const FadeTable> tables, int colorCount)
{
    ScreenFadeWords fades;
    fades.steps = tables.empty() ? 0 : tables.front().steps();
    fades.palettes = static_cast<int>(tables.size());
    fades.colors = ColorsOf(colorCount);
    for (int s = 0; s < fades.steps; ++s)
        for (const FadeTable& table : tables)
            for (int j = 0; j < fades.colors; ++j)
                fades.words.push_back(EncodeHwColor(table.at(j, s)));
    return fades;
}

void ForEachScreenFadeFrame(const ScreenFadeInputs& in, int colorCount, std::span<const int> order,
                            const std::function<bool(int frame, std::span<const HwColor> words)>& frame)
{
    const FadeSteps steps(ShapeOf(in));
    const std::size_t palettes = ScreenFadePairs(in);
    const auto width = static_cast<std::ptrdiff_t>(ColorsOf(colorCount));
    std::vector<HwColor> words(palettes * static_cast<std::size_t>(width));
    for (std::size_t f = 0; f < order.size(); ++f) {
        auto line = words.begin();
        for (std::size_t k = 0; k < palettes; ++k, line += width) {
            const PaletteWords step = steps.Words(order[f], in.tops[k], BottomOf(in, k));
            std::copy_n(step.begin(), width, line);
        }
        if (!frame(static_cast<int>(f), words))
            return;
    }
}

} // namespace palfade
