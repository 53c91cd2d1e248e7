// A whole-screen fade at its largest: 256 palettes of 16 colours over 256
// steps, computed and written as an assembler include (or C, or binary):
// what palfade-cli spends between reading the sources and writing the file.
// Then 100,000 palettes, written as they are computed (palfade-cli's way)
// and, for comparison, computed whole in memory first: the time and the
// peak memory of the process (peak_MiB, which only grows, so the streamed
// runs come first).

#include "bench_support.h"
#include "core/screen_fade.h"
#include "exports/export_formats.h"

#include <benchmark/benchmark.h>

#include <QIODevice>

#include <sys/resource.h>

#include <vector>

namespace palfade {
namespace {

// The fade table's three forms, by the benchmark's format argument.
constexpr const ExportSyntax* kTableForms[] = {&kMotorolaWords, &kCWords, &kBigEndianWords};

void BM_ScreenFadeExport(benchmark::State& st)
{
    const ExportSyntax& syntax = *kTableForms[st.range(0)];
    const auto palettes = static_cast<int>(st.range(1));
    std::vector<SourcePalette> tops, bottoms;
    for (int k = 0; k < palettes; ++k) {
        tops.push_back(bench::SampleColours(k));
        bottoms.push_back(bench::SampleColours(k + palettes));
    }
    for (auto _ : st) {
        const ScreenFadeWords screen =
            ComputeScreenFadeWords(ScreenFadeInputs{tops, bottoms, kMaxPalettes, false, false}, kPaletteSize);
        benchmark::DoNotOptimize(ScreenFadeExport(screen, syntax));
    }
}
// 64 palettes beside 256 show the time linear in palettes x steps.
BENCHMARK(BM_ScreenFadeExport)
    ->ArgNames({"format", "palettes"})
    ->ArgsProduct({{0, 1, 2}, {64, 256}})
    ->Unit(benchmark::kMillisecond);

// Takes everything, keeps nothing: the export without the disk.
class NullDevice : public QIODevice {
public:
    NullDevice() { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    qint64 written = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override
    {
        written += length;
        return length;
    }
};

double PeakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void LargeScreenFade(benchmark::State& st, bool streamed)
{
    const ExportSyntax& syntax = *kTableForms[st.range(0)];
    const auto palettes = static_cast<std::size_t>(st.range(1));
    std::vector<SourcePalette> tops;
    for (std::size_t k = 0; k < palettes; ++k)
        tops.push_back(bench::SampleColours(static_cast<int>(k)));
    const std::vector<SourcePalette> black(1);
    const ScreenFadeInputs in{tops, black, kMaxPalettes, false, false};
    NullDevice sink;
    for (auto _ : st) {
        ExportWriter writer(sink, syntax);
        if (streamed)
            benchmark::DoNotOptimize(WriteScreenFade(writer, in, kPaletteSize, StepOrder(kMaxPalettes, false)));
        else
            benchmark::DoNotOptimize(WriteScreenFade(writer, ComputeScreenFadeWords(in, kPaletteSize)));
    }
    st.counters["MB_written"] = static_cast<double>(sink.written) / 1e6;
    st.counters["peak_MiB"] = PeakMiB();
}

void BM_StreamedScreenFade(benchmark::State& st) { LargeScreenFade(st, true); }
void BM_InMemoryScreenFade(benchmark::State& st) { LargeScreenFade(st, false); }
// asm and bin; one run each, a run takes minutes.
BENCHMARK(BM_StreamedScreenFade)
    ->ArgNames({"format", "palettes"})
    ->ArgsProduct({{0, 2}, {100000}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_InMemoryScreenFade)
    ->ArgNames({"format", "palettes"})
    ->ArgsProduct({{0, 2}, {100000}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace palfade

int main(int argc, char** argv)
{
    return palfade::bench::RunWithRatios(argc, argv, {});
}
