#pragma once
// Display colours as palfade stores them (0x00BBGGRR) and their one
// conversion to the pixel words of pixel buffers and pictures.

#include <cstdint>

namespace palfade {

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

} // namespace palfade
