#pragma once
// The preview of a whole-screen fade: the fades of several palettes side by
// side, each drawn exactly as the single preview draws it.

#include "render/pixel_buffer.h"
#include "render/preview_renderer.h"

#include <vector>

namespace palfade {

// Fade k fills columns k*N*8 to (k+1)*N*8 - 1: M*N*8 x P*8 pixels for M
// tables (resized here). Fills displayColor of every table's used cells.
// params.paletteCount must equal every table's steps.
void RenderScreenPreview(std::vector<FadeTable>& tables, const PreviewParams& params, const LevelTable& levels,
                         PixelBuffer& image);

} // namespace palfade
