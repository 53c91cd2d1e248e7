#include "bench_support.h"

#include <benchmark/benchmark.h>

#include "render/pixel_buffer.h"
#include "render/preview_renderer.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace palfade::bench {
namespace {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

SourcePalette SampleColours(int seed)
{
    SourcePalette p{};
    for (int j = 0; j < kPaletteSize; ++j)
        p[static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(seed * 0x3F1B + j * 0x1249));
    return p;
}

AppState LargestPreviewState()
{
    AppState state;
    state.palettes = {SampleColours(1), SampleColours(7)};
    state.paletteCount = kMaxPalettes;
    state.view.showGrid = true;
    state.view.zoom = kMaxZoom;
    return state;
}

void BM_Fill(benchmark::State& st)
{
    PixelBuffer buffer;
    buffer.Resize(kPaletteSize * kCellSize * kMaxZoom, kMaxPalettes * kCellSize * kMaxZoom);
    std::uint32_t colour = 0xFF000000;
    for (auto _ : st) {
        std::fill(buffer.pixels.begin(), buffer.pixels.end(), ++colour);
        benchmark::ClobberMemory();
    }
}

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const Ratio& r : ratios) {
        auto a = reporter.times.find(r.name);
        auto b = reporter.times.find(r.reference);
        if (a == reporter.times.end() || b == reporter.times.end() || b->second <= 0)
            continue;
        const double ratio = a->second / b->second;
        std::printf("ratio %s / %s = %.2f (target within %.1fx): %s\n", r.name.c_str(), r.reference.c_str(), ratio,
                    r.target, ratio <= r.target ? "met" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}

} // namespace palfade::bench
