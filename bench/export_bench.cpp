// What palfade-cli and the window spend on writing the largest fade: the
// export bytes of a 256 x 16 table and the zoom-4 preview (512 x 8192) as
// PNG and BMP (from the enlarged picture, as the window saves it, and from
// the zoom-1 picture, as palfade-cli does), beside a plain fill of a buffer
// of the preview's size.

#include "bench_support.h"
#include "exports/export_formats.h"
#include "exports/picture_export.h"
#include "render/preview_renderer.h"

#include <benchmark/benchmark.h>


namespace palfade {
namespace {

// The window's three forms of the fade table.
constexpr const ExportSyntax* kTableForms[] = {&kMotorolaWords, &kCWords, &kBigEndianWords};

void BM_FadeExport(benchmark::State& st)
{
    AppState state = bench::LargestPreviewState();
    ComputeFade(state);
    const ExportSyntax& syntax = *kTableForms[st.range(0)];
    for (auto _ : st)
        benchmark::DoNotOptimize(FadeTableExport(state.fadeTable, state.paletteCount, state.colorCount, syntax));
}
BENCHMARK(BM_FadeExport)->ArgName("format")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

BENCHMARK(bench::BM_Fill)->Name("BM_Fill")->Unit(benchmark::kMicrosecond);

void BM_PreviewPicture(benchmark::State& st)
{
    AppState state = bench::LargestPreviewState();
    PixelBuffer base, shown;
    BuildPreviewImage(state, base, shown);
    const auto format = static_cast<PictureFormat>(st.range(0));
    for (auto _ : st)
        benchmark::DoNotOptimize(EncodePicture(shown, format));
}
BENCHMARK(BM_PreviewPicture)->ArgName("bmp")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// What palfade-cli does: the zoom-1 picture, enlarged by the PNG encoder.
void BM_PreviewPngFromBase(benchmark::State& st)
{
    AppState state = bench::LargestPreviewState();
    state.view.showGrid = st.range(0) != 0;
    ComputeFade(state);
    PixelBuffer base;
    RenderPreview(state, base);
    for (auto _ : st)
        benchmark::DoNotOptimize(EncodePng(base, kMaxZoom));
}
BENCHMARK(BM_PreviewPngFromBase)->ArgName("grid")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace palfade

int main(int argc, char** argv)
{
    return palfade::bench::RunWithRatios(argc, argv, {});
}
