#pragma once
// Whole-screen fades: many palettes faded at once, each pair exactly as the
// single fade between "Palette 1 (Top)" and "Palette 2 (Bottom)".

#include "fade_engine.h"

#include <vector>

namespace palfade {

struct ScreenFadeInputs {
    const std::vector<SourcePalette>& tops;    // step 0 of each fade
    const std::vector<SourcePalette>& bottoms; // the last step; as many as tops
    int paletteCount = 16;                     // 3-256
    bool simpleFade = false;
    bool useDarkBit = false;
};

// tables[k] becomes the fade from tops[k] to bottoms[k]; there are as many
// tables as pairs (the shorter list decides). Tables keep their storage
// between calls.
void ComputeScreenFade(const ScreenFadeInputs& in, std::vector<FadeTable>& tables);

} // namespace palfade
