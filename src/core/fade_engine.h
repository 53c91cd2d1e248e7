#pragma once
// The fade table: every palette between "Palette 1 (Top)" and "Palette 2
// (Bottom)", by interpolation (straight or eased), a half-step walk or a
// level walk, with entries that may keep Palette 1's word throughout.

#include "hw_color.h"

#include <cstdint>
#include <vector>

namespace palfade {

inline constexpr int kMinPalettes = 3;
inline constexpr int kMaxPalettes = 256;

// A cell is a palette entry with the colour the preview shows for it.
struct FadeCell : PaletteEntry {
    std::uint32_t displayColor = 0; // 0x00BBGGRR, filled by the preview renderer

    bool operator==(const FadeCell&) const = default;
};

// Cells indexed by colour (0-15) first and palette step second.
class FadeTable {
public:
    // Zero-filled table of `steps` palettes; keeps its storage between calls.
    void Reset(int steps);

    int steps() const { return steps_; }
    FadeCell& at(int color, int step) { return cells_[Index(color, step)]; }
    const FadeCell& at(int color, int step) const { return cells_[Index(color, step)]; }

private:
    std::size_t Index(int color, int step) const
    {
        return static_cast<std::size_t>(color) * static_cast<std::size_t>(steps_) +
               static_cast<std::size_t>(step);
    }

    int steps_ = 0;
    std::vector<FadeCell> cells_;
};

// How the interpolation spreads the way between the two palettes over the
// steps. Linear is the window's fade; the eased ramps start slowly (ease-in),
// end slowly (ease-out) or both.
enum class FadeCurve { Linear, EaseIn, EaseOut, EaseInOut };

// Entries that keep Palette 1's word in every step: bit j for entry j. On the
// Neo Geo the first colour of palette 0 is the reference colour, and a HUD
// palette must stay lit while the stage fades.
using KeepMask = std::uint16_t;

// Everything about a fade but its two palettes: what the fades of a whole
// screen share.
struct FadeShape {
    int paletteCount = 16; // 3-256
    bool simpleFade = false;
    bool useDarkBit = false;
    FadeCurve curve = FadeCurve::Linear; // shapes the interpolation; the walks ignore it
    KeepMask keep = 0;
};

struct FadeInputs {
    const SourcePalette& top;    // step 0
    const SourcePalette& bottom; // step paletteCount - 1
    int paletteCount = 16;       // 3-256
    bool simpleFade = false;
    bool useDarkBit = false;
    FadeCurve curve = FadeCurve::Linear; // shapes the interpolation; the walks ignore it
    KeepMask keep = 0;
};

// Replaces `table` with the fade of all 16 colours over paletteCount steps.
// Step 0 equals top and the last step equals bottom, field by field, except
// that a kept entry equals top in every step.
void ComputeFade(const FadeInputs& in, FadeTable& table);

FadeShape ShapeOf(const FadeInputs& in);

// Any step of any fade of one shape on its own, with exactly ComputeFade's
// arithmetic: the words of step s are those ComputeFade gives step s. The
// walks and the eased ramps follow from the two ends and s alone. The straight
// interpolation's running value follows from its channel's two end indices
// alone, so it is run step by step once for every pair of ends (64 x 64
// chains; at 256 steps 1 MiB of indices) instead of once per channel of every
// palette: a whole-screen fade holds no state per palette and plays its steps
// in any order, there and back included, at the cost of one step each.
class FadeSteps {
public:
    explicit FadeSteps(const FadeShape& shape);

    // Step `step` (0 to paletteCount - 1) of the fade from top to bottom.
    PaletteWords Words(int step, const PaletteWords& top, const PaletteWords& bottom) const;

private:
    FadeShape shape_;
    // The interpolated index of step s of a channel from index a to index b
    // at (s * 64 + a) * 64 + b; empty when the shape does not interpolate.
    std::vector<std::uint8_t> interpolated_;
};

// The steps a table is played in: 0 to steps - 1, and there and back
// (Palette 1 to Palette 2 to Palette 1, a flash) down again to 0, 2 * steps - 1
// in all.
std::vector<int> StepOrder(int steps, bool thereAndBack);

// `table` becomes its steps in `order` (each an existing step).
void ReorderSteps(FadeTable& table, const std::vector<int>& order);

} // namespace palfade
