// One full RefreshView of the window at its largest preview (16 colours x 256
// palettes x zoom 4 = 512 x 8192): compute, render, enlarge and hand the
// picture to the canvas, beside a plain fill of a buffer of the same size.
// Runs under the offscreen platform unless another one is chosen.

#include "bench_support.h"
#include "render/pixel_buffer.h"
#include "render/preview_renderer.h"
#include "ui/main_window.h"
#include "ui/preview_widgets.h"
#include "ui/qt_host.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace palfade {
namespace {

constexpr int kWidth = 16 * kCellSize * kMaxZoom;
constexpr int kHeight = kMaxPalettes * kCellSize * kMaxZoom;

BENCHMARK(bench::BM_Fill)->Name("BM_Fill")->Unit(benchmark::kMicrosecond);

void BM_RefreshView(benchmark::State& st)
{
    AppState state = bench::LargestPreviewState();
    QtHost host;
    MainWindow window(state, host);
    window.RefreshView();
    for (auto _ : st) {
        window.RefreshView();
        benchmark::DoNotOptimize(window.PreviewImage().constBits());
        benchmark::ClobberMemory();
    }
    if (window.PreviewImage().size() != QSize(kWidth, kHeight))
        st.SkipWithError("the preview has the wrong size");
}
BENCHMARK(BM_RefreshView)->Unit(benchmark::kMicrosecond);

// The same with the window shown and the visible part of the canvas painted
// before the next refresh, as the user sees it.
void BM_RefreshViewAndPaint(benchmark::State& st)
{
    AppState state = bench::LargestPreviewState();
    QtHost host;
    MainWindow window(state, host);
    window.RefreshView();
    window.show();
    QApplication::processEvents();
    for (auto _ : st) {
        window.RefreshView();
        window.PreviewCanvasWidget()->repaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RefreshViewAndPaint)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace palfade

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return palfade::bench::RunWithRatios(argc, argv, {{"BM_RefreshView", "BM_Fill", 3.0}, {"BM_RefreshViewAndPaint", "BM_Fill", 3.0}});
}
