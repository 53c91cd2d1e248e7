#pragma once
// Level tables: intensity index to 8-bit display level and back, in the linear
// set (the arithmetic half-step scale) and the hardware set (measured output).

#include "hw_color.h"

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

// Display colours are 0x00BBGGRR (red in the low byte), as palfade stores them.
using DisplayRgb = std::uint32_t;

constexpr DisplayRgb MakeDisplayRgb(int red, int green, int blue)
{
    return static_cast<DisplayRgb>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int DisplayRed(DisplayRgb c) { return static_cast<int>(c & 0xFF); }
constexpr int DisplayGreen(DisplayRgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int DisplayBlue(DisplayRgb c) { return static_cast<int>((c >> 16) & 0xFF); }

// The one conversion from a display colour to the 0xFFRRGGBB pixel word that
// pixel buffers and QImage::Format_RGB32 hold.
constexpr std::uint32_t DisplayToPixel(DisplayRgb c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr DisplayRgb PixelToDisplay(std::uint32_t pixel)
{
    return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

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
