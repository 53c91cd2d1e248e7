#include "io/export_formats.h"

#include "core/hex_word.h"
#include "io/word_bytes.h"

#include <QList>

#include <algorithm>

namespace palfade {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kAsmLineStart = "\tdc.w\t";
constexpr const char* kGasLineStart = "\t.word\t";
constexpr const char* kCArrayName = "fade_colors";
constexpr const char* kCStepComment = " // step ";
constexpr const char* kCPaletteComment = " palette ";
constexpr const char* kCPaletteOnlyComment = " // palette ";

void AppendHexDigits(QByteArray& out, HwColor word)
{
    const std::array<char, 4> digits = HexWordDigits(word);
    out.append(digits.data(), static_cast<qsizetype>(digits.size()));
}

// The Motorola form marks hex with "$", GNU as with "0x".
template <typename Words>
void AppendAsmLine(QByteArray& out, const Words& words, AsmSyntax syntax)
{
    const bool gnu = syntax == AsmSyntax::Gnu;
    out.append(gnu ? kGasLineStart : kAsmLineStart);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            out.append(',');
        if (gnu)
            out.append("0x");
        else
            out.append('$');
        AppendHexDigits(out, words[i]);
    }
    out.append(kLineEnd);
}

// Exported and word-aligned, so the table can be linked from another unit
// and read as words on the 68000.
void AppendAsmLabel(QByteArray& out, const ExportOptions& options)
{
    if (options.label.isEmpty())
        return;
    const QByteArray name = options.label.toLatin1();
    if (options.asmSyntax == AsmSyntax::Gnu)
        out.append("\t.globl\t").append(name).append(kLineEnd).append("\t.balign\t2").append(kLineEnd);
    else
        out.append("\txdef\t").append(name).append(kLineEnd).append("\teven").append(kLineEnd);
    out.append(name).append(':').append(kLineEnd);
}

// Every word keeps its ", ", so the comment follows after two spaces.
// `comment` is the whole tail from its space on, e.g. " // step 3".
template <typename Words>
void AppendCLine(QByteArray& out, const Words& words, const QByteArray& comment)
{
    out.append('\t');
    for (HwColor word : words) {
        out.append("0x");
        AppendHexDigits(out, word);
        out.append(", ");
    }
    out.append(comment);
    out.append(kLineEnd);
}

QByteArray StepComment(int stepNumber)
{
    return kCStepComment + QByteArray::number(stepNumber);
}

void AppendCHead(QByteArray& out, const ExportOptions& options)
{
    const QByteArray type = options.cType.isEmpty() ? QByteArray("int") : options.cType.toLatin1();
    const QByteArray name = options.label.isEmpty() ? QByteArray(kCArrayName) : options.label.toLatin1();
    out.append("const ").append(type).append(' ').append(name).append("[] =").append(kLineEnd);
    out.append('{').append(kLineEnd);
}

void AppendCTail(QByteArray& out) { out.append("};").append(kLineEnd); }

template <typename Words>
void AppendBinaryWords(QByteArray& out, const Words& words)
{
    for (HwColor w : words)
        AppendBigEndianWord(out, w);
}

// The words of colours 0 to words.size() - 1 of one step.
void StepWords(const FadeTable& table, int step, std::vector<HwColor>& words)
{
    for (std::size_t j = 0; j < words.size(); ++j) {
        const FadeCell& c = table.at(static_cast<int>(j), step);
        words[j] = EncodeHwColor(c);
    }
}

bool IsIdentifierStart(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_';
}

bool IsIdentifierPart(QChar c)
{
    return IsIdentifierStart(c) || (c.unicode() >= u'0' && c.unicode() <= u'9');
}

} // namespace

bool IsCIdentifier(QStringView name)
{
    if (name.isEmpty() || !IsIdentifierStart(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), IsIdentifierPart);
}

bool IsCType(QStringView type)
{
    if (type.isEmpty())
        return false;
    for (QStringView word : type.split(u' '))
        if (!IsCIdentifier(word))
            return false;
    return true;
}

QByteArray FadeTableExport(const FadeTable& table, int paletteCount, int colorCount, FadeFormat format,
                           const ExportOptions& options)
{
    const int steps = std::clamp(paletteCount, 0, table.steps());
    const int colors = std::clamp(colorCount, 0, kPaletteSize);

    QByteArray out;
    std::vector<HwColor> words(static_cast<std::size_t>(colors));
    if (format == FadeFormat::C)
        AppendCHead(out, options);
    else if (format == FadeFormat::Assembler)
        AppendAsmLabel(out, options);
    for (int s = 0; s < steps; ++s) {
        StepWords(table, s, words);
        switch (format) {
        case FadeFormat::Assembler:
            AppendAsmLine(out, words, options.asmSyntax);
            break;
        case FadeFormat::C:
            AppendCLine(out, words, StepComment(s + 1));
            break;
        case FadeFormat::Binary:
            AppendBinaryWords(out, words);
            break;
        }
    }
    if (format == FadeFormat::C)
        AppendCTail(out);
    return out;
}

QByteArray ScreenFadeExport(const std::vector<FadeTable>& tables, int paletteCount, int colorCount,
                            FadeFormat format, const ExportOptions& options)
{
    int steps = paletteCount;
    for (const FadeTable& table : tables)
        steps = std::min(steps, table.steps());
    steps = std::max(steps, 0);
    const int colors = std::clamp(colorCount, 0, kPaletteSize);

    QByteArray out;
    // Sized for the longest form so the text grows without copies.
    out.reserve(static_cast<qsizetype>(steps) * static_cast<qsizetype>(tables.size()) * (colors * 8 + 40) + 256);
    std::vector<HwColor> words(static_cast<std::size_t>(colors));
    if (format == FadeFormat::C)
        AppendCHead(out, options);
    else if (format == FadeFormat::Assembler)
        AppendAsmLabel(out, options);
    for (int s = 0; s < steps; ++s) {
        const QByteArray stepComment = StepComment(s + 1) + kCPaletteComment;
        for (std::size_t k = 0; k < tables.size(); ++k) {
            StepWords(tables[k], s, words);
            switch (format) {
            case FadeFormat::Assembler:
                AppendAsmLine(out, words, options.asmSyntax);
                break;
            case FadeFormat::C:
                AppendCLine(out, words, stepComment + QByteArray::number(static_cast<qsizetype>(k)));
                break;
            case FadeFormat::Binary:
                AppendBinaryWords(out, words);
                break;
            }
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

QByteArray SourcePaletteExport(const PaletteWords& words, int stepNumber, PaletteFormat format,
                               const ExportOptions& options)
{
    QByteArray out;
    switch (format) {
    case PaletteFormat::Assembler:
        AppendAsmLabel(out, options);
        AppendAsmLine(out, words, options.asmSyntax);
        break;
    case PaletteFormat::C:
        AppendCHead(out, options);
        AppendCLine(out, words, StepComment(stepNumber));
        AppendCTail(out);
        break;
    case PaletteFormat::PaletteFile:
        AppendBinaryWords(out, words);
        break;
    }
    return out;
}

QByteArray PaletteSetExport(const std::vector<PaletteWords>& palettes, PaletteFormat format,
                            const ExportOptions& options)
{
    QByteArray out;
    if (format == PaletteFormat::C)
        AppendCHead(out, options);
    else if (format == PaletteFormat::Assembler)
        AppendAsmLabel(out, options);
    for (std::size_t k = 0; k < palettes.size(); ++k) {
        switch (format) {
        case PaletteFormat::Assembler:
            AppendAsmLine(out, palettes[k], options.asmSyntax);
            break;
        case PaletteFormat::C:
            AppendCLine(out, palettes[k], kCPaletteOnlyComment + QByteArray::number(static_cast<qsizetype>(k)));
            break;
        case PaletteFormat::PaletteFile:
            AppendBinaryWords(out, palettes[k]);
            break;
        }
    }
    if (format == PaletteFormat::C)
        AppendCTail(out);
    return out;
}

} // namespace palfade
