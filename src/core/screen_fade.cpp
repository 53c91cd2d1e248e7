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

} // namespace palfade
