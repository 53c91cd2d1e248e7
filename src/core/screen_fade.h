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
    std::span<const PaletteWords> tops;    // step 0 of each fade
    std::span<const PaletteWords> bottoms; // the last step; as many as tops, or one for every top
    int paletteCount = 16;                 // 3-256
    bool simpleFade = false;
    bool useDarkBit = false;
    FadeCurve curve = FadeCurve::Linear;
    KeepMask keep = 0; // the same entries kept in every palette
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

// The first colorCount colours of fades already computed, all of as many
// steps, frame-major as above; one table gives a single fade's frames.
ScreenFadeWords WordsOfFades(std::span<const FadeTable> tables, int colorCount);

// The frames of the whole-screen fade as `order` plays its steps (each an
// existing step, in any order), handed to `frame` as they are computed:
// frame f is step order[f] of every palette, palette 0 first, the first
// colorCount colours each (a count beyond 0-16 is cut to it). Each frame is
// computed on its own (FadeSteps), so only one frame of words is held however
// many palettes and steps there are, and a step played again (there and back)
// costs what it cost the first time. `frame` returns false to stop there.
void ForEachScreenFadeFrame(const ScreenFadeInputs& in, int colorCount, std::span<const int> order,
                            const std::function<bool(int frame, std::span<const HwColor> words)>& frame);

} // namespace palfade
