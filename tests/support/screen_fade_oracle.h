#pragma once
// A whole-screen fade's words computed in memory, one single fade per
// palette, the steps put in order afterwards: what the frames computed as
// they are written must equal.

#include "core/screen_fade.h"

#include <vector>

namespace palfade {

inline ScreenFadeWords ScreenFadeOracle(const ScreenFadeInputs& in, int colorCount, const std::vector<int>& order)
{
    std::vector<FadeTable> tables;
    ComputeScreenFade(in, tables);
    for (FadeTable& table : tables)
        ReorderSteps(table, order);
    return WordsOfFades(tables, colorCount);
}

} // namespace palfade
