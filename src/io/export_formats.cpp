#include "io/export_formats.h"

#include "core/hex_word.h"
#include "io/word_bytes.h"

#include <QList>

#include <algorithm>
#include <span>

namespace palfade {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kAsmLineStart = "\tdc.w\t";
constexpr const char* kGasLineStart = "\t.word\t";
constexpr const char* kCArrayName = "fade_colors";
constexpr const char* kCStepComment = " // step ";
constexpr const char* kCPaletteComment = " palette ";
constexpr const char* kCPaletteOnlyComment = " // palette ";

// Four upper-case hex digits at `at`; returns the end.
char* PutHexDigits(char* at, HwColor word)
{
    for (const char digit : HexWordDigits(word))
        *at++ = digit;
    return at;
}

// The Motorola form marks hex with "$", GNU as with "0x".
template <typename Words>
void AppendAsmLine(QByteArray& out, const Words& words, AsmSyntax syntax)
{
    const bool gnu = syntax == AsmSyntax::Gnu;
    out.append(gnu ? kGasLineStart : kAsmLineStart);
    // One append per word (a whole-screen fade writes a million of them).
    char word[7];
    for (std::size_t i = 0; i < words.size(); ++i) {
        char* at = word;
        if (i > 0)
            *at++ = ',';
        if (gnu) {
            *at++ = '0';
            *at++ = 'x';
        } else {
            *at++ = '$';
        }
        at = PutHexDigits(at, words[i]);
        out.append(word, at - word);
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
    char text[] = "0x0000, ";
    for (HwColor word : words) {
        PutHexDigits(text + 2, word);
        out.append(text, sizeof text - 1);
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

QByteArray ScreenFadeExport(const ScreenFadeWords& screen, FadeFormat format, const ExportOptions& options)
{
    const auto palettes = static_cast<std::size_t>(std::max(screen.palettes, 0));
    const auto width = static_cast<std::size_t>(std::max(screen.colors, 0));
    const int steps = screen.words.size() < static_cast<std::size_t>(std::max(screen.steps, 0)) * palettes * width
                          ? 0
                          : screen.steps;
    QByteArray out;
    // Sized for the longest form so the text grows without copies.
    out.reserve(static_cast<qsizetype>(steps) * static_cast<qsizetype>(palettes * (width * 8 + 40)) + 256);
    if (format == FadeFormat::C)
        AppendCHead(out, options);
    else if (format == FadeFormat::Assembler)
        AppendAsmLabel(out, options);
    for (int s = 0; s < steps; ++s) {
        const QByteArray stepComment = StepComment(s + 1) + kCPaletteComment;
        for (std::size_t k = 0; k < palettes; ++k) {
            const std::span<const HwColor> line(
                screen.words.data() + (static_cast<std::size_t>(s) * palettes + k) * width, width);
            switch (format) {
            case FadeFormat::Assembler:
                AppendAsmLine(out, line, options.asmSyntax);
                break;
            case FadeFormat::C:
                AppendCLine(out, line, stepComment + QByteArray::number(static_cast<qsizetype>(k)));
                break;
            case FadeFormat::Binary:
                AppendBinaryWords(out, line);
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

PaletteWords WordsOfPalette(const SourcePalette& palette)
{
    PaletteWords words{};
    for (std::size_t j = 0; j < words.size(); ++j)
        words[j] = EncodeHwColor(palette[j]);
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
