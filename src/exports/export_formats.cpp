#include "exports/export_formats.h"

#include <QBuffer>

#include <algorithm>

namespace palfade {

namespace {

// An export into memory, through the same writer as a file.
QByteArray InMemory(const ExportSyntax& syntax, const ExportOptions& options,
                    std::function<bool(LineWriter&)> write)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    StreamedExport(syntax, options, std::move(write))(buffer);
    buffer.close();
    return out;
}

} // namespace

DeviceWrite StreamedExport(const ExportSyntax& syntax, const ExportOptions& options,
                           std::function<bool(LineWriter&)> write)
{
    return [syntax, options, write = std::move(write)](QIODevice& device) {
        ExportWriter writer(device, syntax, options);
        return write(writer);
    };
}

void WriteFadeStep(LineWriter& writer, int step, std::span<const HwColor> words, int palettes, bool wholeScreen)
{
    const std::size_t width = palettes > 0 ? words.size() / static_cast<std::size_t>(palettes) : 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(std::max(palettes, 0)); ++k) {
        const std::span<const HwColor> line = words.subspan(k * width, width);
        if (wholeScreen)
            writer.Line(line, {{"step", step + 1}, {"palette", static_cast<qsizetype>(k)}});
        else
            writer.Line(line, {{"step", step + 1}});
    }
}

bool WriteFadeTable(LineWriter& writer, const FadeTable& table, int paletteCount, int colorCount)
{
    const int steps = std::clamp(paletteCount, 0, table.steps());
    const int colors = std::clamp(colorCount, 0, kPaletteSize);
    std::vector<HwColor> words(static_cast<std::size_t>(colors));
    writer.Head();
    for (int s = 0; s < steps; ++s) {
        for (int j = 0; j < colors; ++j)
            words[static_cast<std::size_t>(j)] = EncodeHwColor(table.at(j, s));
        WriteFadeStep(writer, s, words, 1, false);
    }
    return writer.Tail();
}

QByteArray FadeTableExport(const FadeTable& table, int paletteCount, int colorCount, const ExportSyntax& syntax,
                           const ExportOptions& options)
{
    return InMemory(syntax, options, [&](LineWriter& writer) {
        return WriteFadeTable(writer, table, paletteCount, colorCount);
    });
}

bool WriteScreenFade(LineWriter& writer, const ScreenFadeInputs& in, int colorCount, std::span<const int> order,
                     const std::function<void(std::span<const HwColor>)>& written)
{
    const auto palettes = static_cast<int>(ScreenFadePairs(in));
    writer.Head();
    ForEachScreenFadeFrame(in, colorCount, order, [&](int frame, std::span<const HwColor> words) {
        WriteFadeStep(writer, frame, words, palettes, true);
        if (written)
            written(words);
        return !writer.Failed();
    });
    return writer.Tail();
}

bool WriteSourcePalette(LineWriter& writer, const PaletteWords& words, int stepNumber)
{
    writer.Head();
    writer.Line(words, {{"step", stepNumber}});
    return writer.Tail();
}

QByteArray SourcePaletteExport(const PaletteWords& words, int stepNumber, const ExportSyntax& syntax,
                               const ExportOptions& options)
{
    return InMemory(syntax, options,
                    [&](LineWriter& writer) { return WriteSourcePalette(writer, words, stepNumber); });
}

bool WritePaletteSet(LineWriter& writer, std::span<const PaletteWords> palettes)
{
    writer.Head();
    for (std::size_t k = 0; k < palettes.size(); ++k)
        writer.Line(palettes[k], {{"palette", static_cast<qsizetype>(k)}});
    return writer.Tail();
}

QByteArray PaletteSetExport(const std::vector<PaletteWords>& palettes, const ExportSyntax& syntax,
                            const ExportOptions& options)
{
    return InMemory(syntax, options,
                    [&](LineWriter& writer) { return WritePaletteSet(writer, palettes); });
}

} // namespace palfade
