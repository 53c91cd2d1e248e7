#pragma once
// The fade table: every palette between "Palette 1 (Top)" and "Palette 2
// (Bottom)", by interpolation, a half-step walk or a level walk.

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

struct FadeInputs {
    const SourcePalette& top;    // step 0
    const SourcePalette& bottom; // step paletteCount - 1
    int paletteCount = 16;       // 3-256
    bool simpleFade = false;
    bool useDarkBit = false;
};

// Replaces `table` with the fade of all 16 colours over paletteCount steps.
// Step 0 equals top and the last step equals bottom, field by field.
void ComputeFade(const FadeInputs& in, FadeTable& table);

} // namespace palfade
