#pragma once
// Level tables: intensity index to 8-bit display level and back, in the linear
// set (the arithmetic half-step scale) and the hardware set (measured output).

#include "core/display_rgb.h"
#include "core/hw_color.h"

#include <array>
#include <cstdint>

namespace palfade {

struct LevelTable {
    std::array<std::int16_t, kIntensityCount> forward{}; // index 0-63 -> display level 0-255
    std::array<std::int16_t, 256> inverse{};             // display level -> index 1-63
};

const LevelTable& LinearLevelSet();
const LevelTable& HardwareLevelSet();

// Copies the chosen constant set into the working tables.
void LoadLevelTables(LevelTable& working, bool hardwareColors);

// The dark bit lowers all three channels together, each by the half step the
// current set gives.
constexpr DisplayRgb DisplayColor(const LevelTable& t, std::int32_t red, std::int32_t green,
                                  std::int32_t blue, std::int32_t dark)
{
    return MakeDisplayRgb(t.forward[static_cast<std::size_t>(IntensityIndex(red, dark))],
                          t.forward[static_cast<std::size_t>(IntensityIndex(green, dark))],
                          t.forward[static_cast<std::size_t>(IntensityIndex(blue, dark))]);
}

constexpr DisplayRgb DisplayColor(const LevelTable& t, const PaletteEntry& e)
{
    return DisplayColor(t, e.red, e.green, e.blue, e.dark);
}

} // namespace palfade
