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

// The words of a whole-screen fade in the order a game uploads them, one step
// of every palette per frame: step s of palette k starts at
// (s * palettes + k) * colors.
struct ScreenFadeWords {
    int steps = 0;
    int palettes = 0;
    int colors = 0;
    std::vector<HwColor> words;
};

// The first colorCount colours of every fade (a count beyond 0-16 is cut to
// it, so no cell outside a table is read), computed one palette at a time
// so that only the words are held: at 256 palettes of 256 steps, 2 MiB
// instead of 21 MiB of fade tables, whose page faults alone cost the largest
// export a third of its time.
ScreenFadeWords ComputeScreenFadeWords(const ScreenFadeInputs& in, int colorCount);

} // namespace palfade
