#include "screen_fade.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace palfade {

namespace {

FadeInputs PairInputs(const ScreenFadeInputs& in, std::size_t k)
{
    return FadeInputs{in.tops[k], in.bottoms[k], in.paletteCount, in.simpleFade, in.useDarkBit, in.curve, in.keep};
}

} // namespace

void ComputeScreenFade(const ScreenFadeInputs& in, std::vector<FadeTable>& tables)
{
    const std::size_t pairs = std::min(in.tops.size(), in.bottoms.size());
    tables.resize(pairs);
    for (std::size_t k = 0; k < pairs; ++k)
        ComputeFade(PairInputs(in, k), tables[k]);
}

ScreenFadeWords ComputeScreenFadeWords(const ScreenFadeInputs& in, int colorCount)
{
    ScreenFadeWords screen;
    screen.steps = in.paletteCount;
    screen.palettes = static_cast<int>(std::min(in.tops.size(), in.bottoms.size()));
    screen.colors = std::clamp(colorCount, 0, kPaletteSize);
    const auto palettes = static_cast<std::size_t>(screen.palettes);
    const auto width = static_cast<std::size_t>(screen.colors);
    screen.words.resize(static_cast<std::size_t>(screen.steps) * palettes * width);
    FadeTable table;
    for (std::size_t k = 0; k < palettes; ++k) {
        ComputeFade(PairInputs(in, k), table);
        for (int s = 0; s < screen.steps; ++s) {
            HwColor* line = screen.words.data() + (static_cast<std::size_t>(s) * palettes + k) * width;
            for (int j = 0; j < screen.colors; ++j)
                line[j] = EncodeHwColor(table.at(j, s));
        }
    }
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

} // namespace palfade
