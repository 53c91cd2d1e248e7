// Reading palette text as the window and palfade-cli read a file (in pieces
// from a device): 16 MB of assembler-like text without colour words, once on
// a single line and once as the same bytes broken into lines. Both must take
// time linear in the input, so the single line stays within 2x of the lines.

#include "bench_support.h"
#include "sources/source.h"

#include <benchmark/benchmark.h>

#include <QBuffer>

namespace palfade {
namespace {

constexpr qsizetype kTextSize = 16 * 1024 * 1024;

// Words and separators of an assembler listing, none of them a colour word,
// so the reader goes through every byte.
QByteArray SampleText(bool lines)
{
    const QByteArray piece = lines ? QByteArray("\tdc.w 7FFF,0888 ; fade step\n") : QByteArray("\tdc.w 7FFF,0888 ; fade step ");
    QByteArray text;
    text.reserve(kTextSize + piece.size());
    while (text.size() < kTextSize)
        text += piece;
    text.truncate(kTextSize);
    return text;
}

void BM_TextImport(benchmark::State& st, bool lines)
{
    QByteArray text = SampleText(lines);
    for (auto _ : st) {
        QBuffer device(&text);
        device.open(QIODevice::ReadOnly);
        // The window's import: one palette, the text read to its end.
        SourceRequest request;
        request.kind = SourceKind::Text;
        request.needed = 1;
        request.maxBytes = -1;
        benchmark::DoNotOptimize(ReadSource(SourceOrigin::Device(device, QStringLiteral("text"), QString()), request));
    }
    st.SetBytesProcessed(st.iterations() * kTextSize);
}
BENCHMARK_CAPTURE(BM_TextImport, lines, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextImport, single_line, false)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace palfade

int main(int argc, char** argv)
{
    return palfade::bench::RunWithRatios(argc, argv, {{"BM_TextImport/single_line", "BM_TextImport/lines", 2.0}});
}
