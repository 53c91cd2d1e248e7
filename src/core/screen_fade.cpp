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
        ComputeFade(FadeInputs{in.tops[k], in.bottoms[k], in.paletteCount, in.simpleFade, in.useDarkBit}, table);
        for (int s = 0; s < screen.steps; ++s) {
            HwColor* line = screen.words.data() + (static_cast<std::size_t>(s) * palettes + k) * width;
            for (int j = 0; j < screen.colors; ++j)
                line[j] = EncodeHwColor(table.at(j, s));
        }
    }
    return screen;
}

} // namespace palfade
