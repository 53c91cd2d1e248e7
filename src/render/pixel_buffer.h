#pragma once
// A plain 32-bit pixel buffer of 0xFFRRGGBB words, rows top to bottom with no
// padding: what QImage::Format_RGB32 reads without a copy.

#include <cstdint>
#include <vector>

namespace palfade {

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // New size; the content is unspecified until drawn. Keeps its storage.
    void Resize(int w, int h)
    {
        width = w;
        height = h;
        pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    }
    std::uint32_t at(int x, int y) const
    {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    std::uint32_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
    const std::uint32_t* row(int y) const
    {
        return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    }
};

} // namespace palfade
