// A whole-screen fade at its largest: 256 palettes of 16 colours over 256
// steps, computed and written as an assembler include (or C, or binary):
// what palfade-cli spends between reading the sources and writing the file.

#include "bench_support.h"
#include "core/screen_fade.h"
#include "io/export_formats.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace palfade {
namespace {

void BM_ScreenFadeExport(benchmark::State& st)
{
    const auto format = static_cast<FadeFormat>(st.range(0));
    const auto palettes = static_cast<int>(st.range(1));
    std::vector<SourcePalette> tops, bottoms;
    for (int k = 0; k < palettes; ++k) {
        tops.push_back(bench::SampleColours(k));
        bottoms.push_back(bench::SampleColours(k + palettes));
    }
    for (auto _ : st) {
        const ScreenFadeWords screen =
            ComputeScreenFadeWords(ScreenFadeInputs{tops, bottoms, kMaxPalettes, false, false}, kPaletteSize);
        benchmark::DoNotOptimize(ScreenFadeExport(screen, format));
    }
}
// 64 palettes beside 256 show the time linear in palettes x steps.
BENCHMARK(BM_ScreenFadeExport)
    ->ArgNames({"format", "palettes"})
    ->ArgsProduct({{0, 1, 2}, {64, 256}})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace palfade

int main(int argc, char** argv)
{
    return palfade::bench::RunWithRatios(argc, argv, {});
}
