#include "io/export_formats.h"

#include "core/hex_word.h"
#include "io/word_bytes.h"

#include <algorithm>

namespace palfade {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kAsmLineStart = "\tdc.w\t";
constexpr const char* kCArrayHead = "const int fade_colors[] =";
constexpr const char* kCStepComment = " // step ";

void AppendHexDigits(QByteArray& out, HwColor word)
{
    const std::array<char, 4> digits = HexWordDigits(word);
    out.append(digits.data(), static_cast<qsizetype>(digits.size()));
}

template <typename Words>
void AppendAsmLine(QByteArray& out, const Words& words)
{
    out.append(kAsmLineStart);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            out.append(',');
        out.append('$');
        AppendHexDigits(out, words[i]);
    }
    out.append(kLineEnd);
}

// Every word keeps its ", ", so the comment follows after two spaces.
template <typename Words>
void AppendCLine(QByteArray& out, const Words& words, int stepNumber)
{
    out.append('\t');
    for (HwColor word : words) {
        out.append("0x");
        AppendHexDigits(out, word);
        out.append(", ");
    }
    out.append(kCStepComment);
    out.append(QByteArray::number(stepNumber));
    out.append(kLineEnd);
}

void AppendCHead(QByteArray& out)
{
    out.append(kCArrayHead).append(kLineEnd);
    out.append('{').append(kLineEnd);
}

void AppendCTail(QByteArray& out) { out.append("};").append(kLineEnd); }

} // namespace

QByteArray FadeTableExport(const FadeTable& table, int paletteCount, int colorCount, FadeFormat format)
{
    const int steps = std::clamp(paletteCount, 0, table.steps());
    const int colors = std::clamp(colorCount, 0, kPaletteSize);

    QByteArray out;
    std::vector<HwColor> words(static_cast<std::size_t>(colors));
    if (format == FadeFormat::C)
        AppendCHead(out);
    for (int s = 0; s < steps; ++s) {
        for (int j = 0; j < colors; ++j) {
            const FadeCell& c = table.at(j, s);
            words[static_cast<std::size_t>(j)] = EncodeHwColor(c);
        }
        switch (format) {
        case FadeFormat::Assembler:
            AppendAsmLine(out, words);
            break;
        case FadeFormat::C:
            AppendCLine(out, words, s + 1);
            break;
        case FadeFormat::Binary:
            for (HwColor w : words)
                AppendBigEndianWord(out, w);
            break;
        }
    }
    if (format == FadeFormat::C)
        AppendCTail(out);
    return out;
}

PaletteWords SourcePaletteWords(const AppState& state, int which)
{
    PaletteWords words{};
    const FadeTable& table = state.fadeTable;
    if (table.steps() <= 0 || (which != 1 && which != 2))
        return words;
    const int step = which == 1 ? 0 : table.steps() - 1;
    for (int j = 0; j < kPaletteSize; ++j) {
        const FadeCell& c = table.at(j, step);
        words[static_cast<std::size_t>(j)] = EncodeHwColor(c);
    }
    return words;
}

int SourcePaletteStepNumber(const AppState& state, int which)
{
    return which == 2 ? state.paletteCount : 1;
}

QByteArray SourcePaletteExport(const PaletteWords& words, int stepNumber, PaletteFormat format)
{
    QByteArray out;
    switch (format) {
    case PaletteFormat::Assembler:
        AppendAsmLine(out, words);
        break;
    case PaletteFormat::C:
        AppendCHead(out);
        AppendCLine(out, words, stepNumber);
        AppendCTail(out);
        break;
    case PaletteFormat::PaletteFile:
        for (HwColor w : words)
            AppendBigEndianWord(out, w);
        break;
    }
    return out;
}

} // namespace palfade
