#pragma once
// What a picture import found for each palette entry: the colour's key
// (three intensity indices) or nothing. The window keeps them in its state.

#include "core/hw_color.h"

#include <array>
#include <cstdint>

namespace palfade {

inline constexpr std::int32_t kEmptySlot = -1;
using ImportSlots = std::array<std::int32_t, kPaletteSize>;

} // namespace palfade
