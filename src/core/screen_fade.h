#pragma once
// Whole-screen fades: many palettes faded at once, each pair exactly as the
// single fade between "Palette 1 (Top)" and "Palette 2 (Bottom)".

#include "fade_engine.h"

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace palfade {

struct ScreenFadeInputs {
    std::span<const SourcePalette> tops;    // step 0 of each fade
    std::span<const SourcePalette> bottoms; // the last step; as many as tops, or one for every top
    int paletteCount = 16;                  // 3-256
    bool simpleFade = false;
    bool useDarkBit = false;
};

// tables[k] becomes the fade from tops[k] to bottoms[k], or to the one
// bottom; there are as many tables as pairs (the shorter list decides).
// Tables keep their storage between calls.
void ComputeScreenFade(const ScreenFadeInputs& in, std::vector<FadeTable>& tables);

// How many fades the inputs make.
std::size_t ScreenFadePairs(const ScreenFadeInputs& in);

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

// Steps firstStep to firstStep + stepCount - 1 of the same words, in the
// same order, into `words` (resized here; counts beyond the fades are cut).
// A fade's steps follow from the ones before it, so each fade is computed
// whole for whatever run of steps is asked for.
void ComputeScreenFadeSteps(const ScreenFadeInputs& in, int colorCount, int firstStep, int stepCount,
                            std::vector<HwColor>& words);

// Every step of the whole-screen fade in order, handed to `step` as it is
// computed: the words of step s (from 0) of every palette, palette 0 first,
// colorCount words each. The steps go in runs whose words fit in heldWords
// (one step at least), every fade computed again for each run: memory stays
// flat however many palettes there are, for the time of computing the fades
// once per run. `step` returns false to stop there.
void ForEachScreenFadeStep(const ScreenFadeInputs& in, int colorCount, std::size_t heldWords,
                           const std::function<bool(int step, std::span<const HwColor> words)>& step);

} // namespace palfade
