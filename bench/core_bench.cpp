// The fade computation at 256 palettes in each mode, and the preview render
// plus zoom at its largest (16 colours x 256 palettes x zoom 4 = 512 x 8192)
// beside a plain fill of a buffer of the same size.

#include "bench_support.h"
#include "render/preview_renderer.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace palfade {
namespace {

SourcePalette Colours(int seed)
{
    SourcePalette p{};
    for (int j = 0; j < kPaletteSize; ++j)
        p[static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(seed * 0x3F1B + j * 0x1249));
    return p;
}

void BM_ComputeFade(benchmark::State& st)
{
    const SourcePalette top = Colours(1), bottom = Colours(7);
    const bool simple = st.range(0) != 0, dark = st.range(1) != 0;
    FadeTable table;
    for (auto _ : st) {
        ComputeFade(FadeInputs{top, bottom, kMaxPalettes, simple, dark}, table);
        benchmark::DoNotOptimize(table.at(15, kMaxPalettes - 2));
    }
}
BENCHMARK(BM_ComputeFade)
    ->ArgNames({"simple", "dark"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMicrosecond);

constexpr int kWidth = 16 * kCellSize * kMaxZoom;
constexpr int kHeight = kMaxPalettes * kCellSize * kMaxZoom;

void BM_Fill(benchmark::State& st)
{
    PixelBuffer buffer;
    buffer.Resize(kWidth, kHeight);
    std::uint32_t colour = 0xFF000000;
    for (auto _ : st) {
        std::fill(buffer.pixels.begin(), buffer.pixels.end(), ++colour);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMicrosecond);

void BM_RenderAndZoom(benchmark::State& st)
{
    AppState state;
    state.palettes = {Colours(1), Colours(7)};
    state.paletteCount = kMaxPalettes;
    state.view.showGrid = true;
    ComputeFade(state);
    PixelBuffer base, shown;
    for (auto _ : st) {
        RenderPreview(state, base);
        EnlargePixels(base, kMaxZoom, shown);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RenderAndZoom)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace palfade

int main(int argc, char** argv)
{
    return palfade::bench::RunWithRatios(argc, argv, {{"BM_RenderAndZoom", "BM_Fill", 2.0}});
}
