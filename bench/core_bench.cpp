// The fade computation at 256 palettes in each mode, and the preview render
// plus zoom at its largest (16 colours x 256 palettes x zoom 4 = 512 x 8192)
// beside a plain fill of a buffer of the same size.

#include "bench_support.h"
#include "render/preview_renderer.h"

#include <benchmark/benchmark.h>


namespace palfade {
namespace {


void BM_ComputeFade(benchmark::State& st)
{
    const SourcePalette top = bench::SampleColours(1), bottom = bench::SampleColours(7);
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


BENCHMARK(bench::BM_Fill)->Name("BM_Fill")->Unit(benchmark::kMicrosecond);

void BM_RenderAndZoom(benchmark::State& st)
{
    AppState state;
    state.palettes = {bench::SampleColours(1), bench::SampleColours(7)};
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
