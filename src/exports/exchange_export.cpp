#include "exports/exchange_export.h"

#include "io/word_bytes.h"

#include <algorithm>
#include <cstdio>

namespace palfade {

namespace {

constexpr int kAdobeTableColors = 256;
constexpr qsizetype kAdobeTableSize = 3 * kAdobeTableColors;
constexpr HwColor kNoTransparentIndex = 0xFFFF;
constexpr int kGimpColumnsMax = 256;

// Each format's line end, as its own tools write it.
std::string_view LineEnd(ExchangeFormat format) { return format == ExchangeFormat::Jasc ? "\r\n" : "\n"; }

} // namespace

std::optional<QString> ExchangeCountRefusal(ExchangeFormat format, qsizetype colors)
{
    if (format != ExchangeFormat::AdobeColorTable || colors <= kAdobeTableColors)
        return std::nullopt;
    return QStringLiteral("an Adobe colour table holds at most %1 colours, not %2").arg(kAdobeTableColors).arg(colors);
}

ExchangeWriter::ExchangeWriter(QIODevice& sink, ExchangeFormat format, const LevelTable& levels, ExchangeHead head)
    : LineWriter(sink), format_(format), levels_(levels), head_(std::move(head))
{
}

void ExchangeWriter::Head()
{
    const std::string_view end = LineEnd(format_);
    if (format_ == ExchangeFormat::Gimp) {
        // A name is one line.
        QString name = head_.name;
        name.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        Append(kGimpPaletteSignature);
        Append(end);
        held_.append("Name: ").append(name.toUtf8());
        Append(end);
        held_.append("Columns: ").append(QByteArray::number(std::clamp(head_.columns, 0, kGimpColumnsMax)));
        Append(end);
        Append("#");
        Append(end);
    } else if (format_ == ExchangeFormat::Jasc) {
        Append(kJascPaletteSignature);
        Append(end);
        Append("0100");
        Append(end);
        held_.append(QByteArray::number(head_.colors));
        Append(end);
    }
    FlushIfFull();
}

void ExchangeWriter::Line(std::span<const HwColor> words, std::initializer_list<CommentPart> comment)
{
    QByteArray named;
    for (const CommentPart& part : comment)
        named.append(part.name).append(' ').append(QByteArray::number(part.number)).append(' ');
    for (std::size_t j = 0; j < words.size(); ++j) {
        const DisplayRgb color = DisplayColor(levels_, DecodeHwColor(words[j]));
        const int red = DisplayRed(color), green = DisplayGreen(color), blue = DisplayBlue(color);
        char text[32];
        switch (format_) {
        case ExchangeFormat::Gimp:
            held_.append(text, std::snprintf(text, sizeof text, "%3d %3d %3d\t", red, green, blue));
            held_.append(named).append("colour ").append(QByteArray::number(static_cast<qulonglong>(j)));
            break;
        case ExchangeFormat::Jasc:
            held_.append(text, std::snprintf(text, sizeof text, "%d %d %d", red, green, blue));
            break;
        case ExchangeFormat::HexList:
            held_.append(text, std::snprintf(text, sizeof text, "%02x%02x%02x", red, green, blue));
            break;
        case ExchangeFormat::AdobeColorTable:
            // Colours beyond the table's 256 are refused before writing.
            if (written_ + static_cast<qsizetype>(j) < kAdobeTableColors)
                held_.append(static_cast<char>(red)).append(static_cast<char>(green)).append(static_cast<char>(blue));
            continue;
        }
        Append(LineEnd(format_));
    }
    written_ += static_cast<qsizetype>(words.size());
    FlushIfFull();
}

bool ExchangeWriter::Tail()
{
    if (format_ == ExchangeFormat::AdobeColorTable) {
        const qsizetype colors = std::min<qsizetype>(written_, kAdobeTableColors);
        held_.append(QByteArray(kAdobeTableSize - 3 * colors, '\0'));
        AppendBigEndianWord(held_, static_cast<HwColor>(colors));
        AppendBigEndianWord(held_, kNoTransparentIndex);
    }
    Flush();
    return !Failed();
}

DeviceWrite StreamedExchange(ExchangeFormat format, const LevelTable& levels, const ExchangeHead& head,
                             std::function<bool(LineWriter&)> write)
{
    return [format, levels, head, write = std::move(write)](QIODevice& device) {
        ExchangeWriter writer(device, format, levels, head);
        return write(writer);
    };
}

bool WritePaletteColors(LineWriter& writer, const PaletteWords& words)
{
    writer.Head();
    writer.Line(words);
    return writer.Tail();
}

} // namespace palfade
