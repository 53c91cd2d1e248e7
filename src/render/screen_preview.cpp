#include "render/screen_preview.h"

#include <algorithm>

namespace palfade {

void RenderScreenPreview(std::vector<FadeTable>& tables, const PreviewParams& params, const LevelTable& levels,
                         PixelBuffer& image)
{
    const int count = static_cast<int>(tables.size());
    const int fadeWidth = params.colorCount * kCellSize;
    const PictureSize size = PreviewSize(params.colorCount, params.paletteCount, count);
    image.Resize(static_cast<int>(size.width), static_cast<int>(size.height));
    PixelBuffer one;
    for (int k = 0; k < count; ++k) {
        RenderPreview(tables[static_cast<std::size_t>(k)], params, levels, one);
        for (int y = 0; y < one.height; ++y)
            std::copy_n(one.row(y), one.width, image.row(y) + k * fadeWidth);
    }
}

} // namespace palfade
