// A whole-screen fade at its largest: 256 palettes of 16 colours over 256
// steps, computed and written as an assembler include (or C, or binary):
// what palfade-cli spends between reading the sources and writing the file.
// Then 100,000 palettes, straight and there and back: the time and the peak
// memory of the process (peak_MiB, which only grows).

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

std::vector<PaletteWords> SamplePalettes(std::size_t count, int seed)
{
    std::vector<PaletteWords> palettes;
    for (std::size_t k = 0; k < count; ++k)
        palettes.push_back(WordsOfPalette(bench::SampleColours(static_cast<int>(k) + seed)));
    return palettes;
}

void BM_WriteScreenFade(benchmark::State& st)
{
    const ExportSyntax& syntax = *kTableForms[st.range(0)];
    const auto palettes = static_cast<std::size_t>(st.range(1));
    const std::vector<PaletteWords> tops = SamplePalettes(palettes, 0);
    const std::vector<PaletteWords> bottoms = SamplePalettes(palettes, static_cast<int>(palettes));
    NullDevice sink;
    for (auto _ : st) {
        ExportWriter writer(sink, syntax);
        benchmark::DoNotOptimize(WriteScreenFade(writer, ScreenFadeInputs{tops, bottoms, kMaxPalettes, false, false},
                                                 kPaletteSize, StepOrder(kMaxPalettes, false)));
    }
}
// 64 palettes beside 256 show the time linear in palettes x steps.
BENCHMARK(BM_WriteScreenFade)
    ->ArgNames({"format", "palettes"})
    ->ArgsProduct({{0, 1, 2}, {64, 256}})
    ->Unit(benchmark::kMillisecond);

void BM_LargeScreenFade(benchmark::State& st)
{
    const ExportSyntax& syntax = *kTableForms[st.range(0)];
    const std::vector<PaletteWords> tops = SamplePalettes(static_cast<std::size_t>(st.range(1)), 0);
    const std::vector<PaletteWords> black(1);
    const ScreenFadeInputs in{tops, black, kMaxPalettes, false, false};
    NullDevice sink;
    for (auto _ : st) {
        ExportWriter writer(sink, syntax);
        benchmark::DoNotOptimize(WriteScreenFade(writer, in, kPaletteSize, StepOrder(kMaxPalettes, st.range(2) != 0)));
    }
    st.counters["MB_written"] = static_cast<double>(sink.written) / 1e6;
    st.counters["peak_MiB"] = PeakMiB();
}
// asm and bin, straight and there and back; one run each.
BENCHMARK(BM_LargeScreenFade)
    ->ArgNames({"format", "palettes", "there_and_back"})
    ->ArgsProduct({{0, 2}, {100000}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace palfade

int main(int argc, char** argv)
{
    return palfade::bench::RunWithRatios(argc, argv, {});
}
