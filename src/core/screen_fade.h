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

// The first colorCount colours of every fade (a count beyond 0-16 is cut to
// it, so no cell outside a table is read), computed one palette at a time
// so that only the words are held: at 256 palettes of 256 steps, 2 MiB
// instead of 21 MiB of fade tables, whose page faults alone cost the largest
// export a third of its time.
ScreenFadeWords ComputeScreenFadeWords(const ScreenFadeInputs& in, int colorCount);

// The first colorCount colours of fades already computed, all of as many
// steps, frame-major as above; one table gives a single fade's frames.
ScreenFadeWords WordsOfFades(std::span<const FadeTable> tables, int colorCount);

// `screen` becomes its frames in `order` (each an existing step).
void ReorderSteps(ScreenFadeWords& screen, const std::vector<int>& order);

// The frames of the given steps (each an existing step, in any order, again
// if need be), one after another as ScreenFadeWords holds them, into
// `words` (resized here). A fade's steps follow from the ones before it, so
// each fade is computed whole for whatever steps are asked for.
void ComputeScreenFadeSteps(const ScreenFadeInputs& in, int colorCount, std::span<const int> steps,
                            std::vector<HwColor>& words);

// The frames of the whole-screen fade as `order` plays its steps, handed to
// `frame` as they are computed: frame f is step order[f] of every palette,
// palette 0 first, colorCount words each. The frames go in runs whose words
// fit in heldWords (one frame at least), every fade computed again for each
// run: memory stays flat however many palettes there are, for the time of
// computing the fades once per run. `frame` returns false to stop there.
void ForEachScreenFadeFrame(const ScreenFadeInputs& in, int colorCount, std::span<const int> order,
                            std::size_t heldWords,
                            const std::function<bool(int frame, std::span<const HwColor> words)>& frame);

} // namespace palfade
