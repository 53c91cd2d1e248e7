#pragma once
// The preview picture: one 8 x 8 cell per colour and palette step, optional
// grid lines right of and below each cell, enlarged by pixel replication.
// The window, the image export and palfade-cli all draw through here.

#include "core/app_state.h"
#include "render/pixel_buffer.h"

#include <cstdint>

namespace palfade {

inline constexpr int kCellSize = 8;

struct PreviewParams {
    int colorCount = 16;   // N, 1-16
    int paletteCount = 16; // P, must equal the table's steps
    bool showGrid = false;
    DisplayRgb gridColor = kDefaultGridColor;
};

// Sides wide enough for any preview asked for, before it is drawn.
struct PictureSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The preview of `fades` fades side by side (1 for the single fade) at zoom
// 1, as RenderPreview and RenderScreenPreview draw it: fades*N*8 x P*8.
PictureSize PreviewSize(int colorCount, int paletteCount, std::int64_t fades = 1);

// Fills displayColor of the used cells and draws the base picture of
// N*8 x P*8 pixels into `image` (resized here).
void RenderPreview(FadeTable& table, const PreviewParams& params, const LevelTable& levels,
                   PixelBuffer& image);
void RenderPreview(AppState& state, PixelBuffer& image);

// zoom below 1 becomes 1, above 4 becomes 4.
int BoundZoom(int zoom);

// Every source pixel becomes a zoom x zoom block; no smoothing. zoom is 1-4.
void EnlargePixels(const PixelBuffer& source, int zoom, PixelBuffer& enlarged);

// Everything a refresh draws, without the window: compute the fade, render,
// bound state.view.zoom (written back) and enlarge into `shown`. `base` is
// scratch for the picture at zoom 1.
void BuildPreviewImage(AppState& state, PixelBuffer& base, PixelBuffer& shown);

} // namespace palfade
