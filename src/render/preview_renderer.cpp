#include "render/preview_renderer.h"

#include <algorithm>
#include <cstring>

namespace palfade {

PictureSize PreviewSize(int colorCount, int paletteCount, std::int64_t fades)
{
    return {fades * colorCount * kCellSize, std::int64_t{paletteCount} * kCellSize};
}

void RenderPreview(FadeTable& table, const PreviewParams& params, const LevelTable& levels,
                   PixelBuffer& image)
{
    const int n = params.colorCount;
    const int p = params.paletteCount;
    const PictureSize size = PreviewSize(n, p);
    image.Resize(static_cast<int>(size.width), static_cast<int>(size.height));

    for (int s = 0; s < p; ++s)
        for (int j = 0; j < n; ++j) {
            FadeCell& c = table.at(j, s);
            c.displayColor = DisplayColor(levels, c.red, c.green, c.blue, c.dark);
        }

    const std::uint32_t grid = DisplayToPixel(params.gridColor);
    std::fill(image.pixels.begin(), image.pixels.end(), grid);

    const int cell = kCellSize - (params.showGrid ? 1 : 0);
    for (int s = 0; s < p; ++s) {
        for (int y = 0; y < cell; ++y) {
            std::uint32_t* row = image.row(s * kCellSize + y);
            for (int j = 0; j < n; ++j)
                std::fill_n(row + j * kCellSize, cell, DisplayToPixel(table.at(j, s).displayColor));
        }
    }
}

void RenderPreview(AppState& state, PixelBuffer& image)
{
    RenderPreview(state.fadeTable,
                  PreviewParams{state.colorCount, state.fadeTable.steps(), state.view.showGrid, state.view.gridColor},
                  state.levels, image);
}

int BoundZoom(int zoom)
{
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

void EnlargePixels(const PixelBuffer& source, int zoom, PixelBuffer& enlarged)
{
    enlarged.Resize(source.width * zoom, source.height * zoom);
    if (enlarged.pixels.empty())
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(enlarged.width) * sizeof(std::uint32_t);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* in = source.row(y);
        std::uint32_t* out = enlarged.row(y * zoom);
        if (zoom == 1) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        for (int x = 0; x < source.width; ++x)
            std::fill_n(out + x * zoom, zoom, in[x]);
        for (int r = 1; r < zoom; ++r)
            std::memcpy(enlarged.row(y * zoom + r), out, rowBytes);
    }
}

void BuildPreviewImage(AppState& state, PixelBuffer& base, PixelBuffer& shown)
{
    ComputeFade(state);
    RenderPreview(state, base);
    state.view.zoom = BoundZoom(state.view.zoom);
    EnlargePixels(base, state.view.zoom, shown);
}

} // namespace palfade
