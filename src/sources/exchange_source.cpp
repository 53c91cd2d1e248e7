#include "sources/exchange_source.h"

#include "core/hex_word.h"
#include "io/file_access.h"
#include "io/word_bytes.h"
#include "sources/picture_import.h"

#include <QFile>

#include <algorithm>
#include <memory>

namespace palfade {

namespace {

// No line of these formats comes near it; holding a longer one would let a
// hostile file take any amount of memory.
constexpr qsizetype kMaxLineLength = 4096;
constexpr int kMaxChannel = 255;
constexpr qsizetype kQuotedLength = 40;
constexpr const char* kJascVersion = "0100";
constexpr qint64 kJascCountLine = 3;

std::uint32_t Rgb(int red, int green, int blue)
{
    return (static_cast<std::uint32_t>(red) << 16) | (static_cast<std::uint32_t>(green) << 8) |
           static_cast<std::uint32_t>(blue);
}

// A line as a message quotes it: without its outer blanks, a long one cut.
QString Quoted(QStringView line)
{
    const QStringView text = line.trimmed();
    return QLatin1Char('\'') +
           (text.size() > kQuotedLength ? text.first(kQuotedLength).toString() + QStringLiteral("...")
                                        : text.toString()) +
           QLatin1Char('\'');
}

// Numbers go in with the name in one arg(), so a '%' in a file name stays text.
QString Number(qint64 n) { return QString::number(n); }

QString At(const QString& name, qint64 line) { return QStringLiteral("%1, line %2").arg(name, Number(line)); }

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// The fields of a line between spaces and tabs.
std::vector<QStringView> Fields(QStringView line)
{
    std::vector<QStringView> fields;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            fields.push_back(line.sliced(start, i - start));
    }
    return fields;
}

// A channel value as the tools write it: decimal digits, 0 to 255.
struct Channel {
    bool digits = false; // decimal digits only
    int value = 0;       // meaningful when digits and not beyond 255
    bool beyond = false;
};

bool AllDigits(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; });
}

Channel ChannelOf(QStringView field)
{
    Channel channel;
    channel.digits = AllDigits(field);
    if (!channel.digits)
        return channel;
    for (const QChar c : field) {
        channel.value = channel.value * 10 + (c.unicode() - u'0');
        if (channel.value > kMaxChannel) {
            channel.beyond = true;
            break;
        }
    }
    return channel;
}

// Where the colours go: all are counted, the first `keep` held.
struct ColorSink {
    ExchangeColors& out;
    std::size_t keep;

    void Add(std::uint32_t rgb)
    {
        if (out.colors.size() < keep)
            out.colors.push_back(rgb);
        ++out.count;
    }
};

// The lines of one text kind, from line 1 on; the first failure ends them.
class LineRules {
public:
    LineRules(const QString& name, ColorSink sink) : name_(name), sink_(sink) {}
    virtual ~LineRules() = default;
    virtual IoStatus Line(QStringView line, qint64 number) = 0;
    // After the last line, numbered `lines`.
    virtual IoStatus Finish(qint64 lines) = 0;

protected:
    // The first three of `values` fields, all of them channel values, as a
    // colour.
    IoStatus Colour(const std::vector<QStringView>& fields, std::size_t values, QStringView line, qint64 number,
                    const char* shape)
    {
        if (fields.size() < 3 || fields.size() < values)
            return Fault(line, number, shape);
        int rgb[3] = {};
        for (std::size_t i = 0; i < values; ++i) {
            const Channel channel = ChannelOf(fields[i]);
            if (!channel.digits)
                return Fault(line, number, shape);
            const QStringView digits = fields[i].first(std::min(fields[i].size(), kQuotedLength));
            if (channel.beyond)
                return IoStatus::Failure(QStringLiteral("%1: %2 is beyond %3, the largest value of a channel")
                                             .arg(At(name_, number), digits.toString(), Number(kMaxChannel)));
            if (i < 3)
                rgb[i] = channel.value;
        }
        sink_.Add(Rgb(rgb[0], rgb[1], rgb[2]));
        return IoStatus::Success();
    }

    IoStatus Fault(QStringView line, qint64 number, const char* shape) const
    {
        return IoStatus::Failure(
            QStringLiteral("%1: %2 is not %3").arg(At(name_, number), Quoted(line), QLatin1String(shape)));
    }

    // The first line must be the format's signature.
    IoStatus Signature(QStringView line, qint64 number, const char* signature, const char* format) const
    {
        if (number != 1 || line.trimmed() == QLatin1String(signature))
            return IoStatus::Success();
        return IoStatus::Failure(QStringLiteral("%1: %2 is not '%3', the first line of a %4")
                                     .arg(At(name_, 1), Quoted(line), QLatin1String(signature),
                                          QLatin1String(format)));
    }

    IoStatus Empty(const char* signature, const char* format) const
    {
        return IoStatus::Failure(QStringLiteral("%1 is empty: a %2 starts with the line '%3'")
                                     .arg(name_, QLatin1String(format), QLatin1String(signature)));
    }

    IoStatus Missing(qint64 number, const char* what) const
    {
        return IoStatus::Failure(
            QStringLiteral("%1: the file ends before %2").arg(At(name_, number), QLatin1String(what)));
    }

    const QString& name_;
    ColorSink sink_;
};

constexpr const char* kRgbAndName = "a colour line: R G B (each 0 to 255), then an optional name";
constexpr const char* kRgb = "a colour line: R G B, each 0 to 255";

// GIMP writes "GIMP Palette", "Name: ...", "Columns: 16", "#", then
// "%3d %3d %3d\t<name>" lines.
class GimpRules : public LineRules {
public:
    using LineRules::LineRules;

    IoStatus Line(QStringView line, qint64 number) override
    {
        if (number == 1)
            return Signature(line, number, kGimpPaletteSignature, "GIMP palette");
        const QStringView text = line.trimmed();
        if (text.isEmpty() || text.startsWith(u'#'))
            return IoStatus::Success();
        if (sink_.out.count == 0 && (text.startsWith(u"Name:") || text.startsWith(u"Columns:")))
            return IoStatus::Success();
        return Colour(Fields(line), 3, line, number, kRgbAndName);
    }

    IoStatus Finish(qint64 lines) override
    {
        return lines == 0 ? Empty(kGimpPaletteSignature, "GIMP palette") : IoStatus::Success();
    }
};

// Paint Shop Pro writes "JASC-PAL", "0100", the count, then "R G B" lines,
// each ending with CR LF.
class JascRules : public LineRules {
public:
    using LineRules::LineRules;

    IoStatus Line(QStringView line, qint64 number) override
    {
        if (number == 1)
            return Signature(line, number, kJascPaletteSignature, "JASC palette");
        if (number == 2)
            return line.trimmed() == QLatin1String(kJascVersion)
                       ? IoStatus::Success()
                       : IoStatus::Failure(QStringLiteral("%1: %2 is not '%3', the version line of a JASC palette")
                                               .arg(At(name_, number), Quoted(line), QLatin1String(kJascVersion)));
        if (number == kJascCountLine) {
            const QStringView text = line.trimmed();
            const bool ok = text.size() <= 9 && AllDigits(text);
            counted_ = ok ? text.toLongLong() : 0;
            return ok ? IoStatus::Success() : Fault(line, number, "the number of colours");
        }
        if (line.trimmed().isEmpty() || extraLine_ != 0)
            return IoStatus::Success();
        if (sink_.out.count == counted_) {
            extraLine_ = number;
            return IoStatus::Success();
        }
        // Some tools add a fourth value, the colour's alpha.
        const std::vector<QStringView> fields = Fields(line);
        if (fields.size() > 4)
            return Fault(line, number, kRgb);
        return Colour(fields, fields.size(), line, number, kRgb);
    }

    IoStatus Finish(qint64 lines) override
    {
        if (lines == 0)
            return Empty(kJascPaletteSignature, "JASC palette");
        if (lines < kJascCountLine)
            return Missing(lines + 1,
                           lines == 1 ? "the version line, '0100'" : "the line giving the number of colours");
        if (sink_.out.count < counted_)
            return IoStatus::Failure(QStringLiteral("%1 counts %2 colours, but %3 follow")
                                         .arg(At(name_, kJascCountLine), Number(counted_), Number(sink_.out.count)));
        if (extraLine_ != 0)
            sink_.out.warnings << QStringLiteral("%1: the lines from here on follow the %2 colours line %3 counts "
                                                 "and are not read")
                                      .arg(At(name_, extraLine_), Number(counted_), Number(kJascCountLine));
        return IoStatus::Success();
    }

private:
    qint64 counted_ = 0;
    qint64 extraLine_ = 0; // the first line after the counted colours that is not blank
};

// One RRGGBB a line, as palette sites offer them for download.
class HexRules : public LineRules {
public:
    using LineRules::LineRules;

    IoStatus Line(QStringView line, qint64 number) override
    {
        QStringView text = line.trimmed();
        if (text.isEmpty())
            return IoStatus::Success();
        if (text.startsWith(u'#'))
            text = text.sliced(1);
        if (text.size() != 6 || !std::all_of(text.begin(), text.end(), [](QChar c) {
                return HexDigitValue(c.unicode()) >= 0;
            }))
            return Fault(line, number, "a colour RRGGBB (six hex digits, '#' before them allowed)");
        std::uint32_t rgb = 0;
        for (const QChar c : text)
            rgb = (rgb << 4) | static_cast<std::uint32_t>(HexDigitValue(c.unicode()));
        sink_.Add(rgb);
        return IoStatus::Success();
    }

    IoStatus Finish(qint64) override { return IoStatus::Success(); }
};

std::unique_ptr<LineRules> RulesOf(SourceKind kind, const QString& name, ColorSink sink)
{
    if (kind == SourceKind::GimpPalette)
        return std::make_unique<GimpRules>(name, sink);
    if (kind == SourceKind::JascPalette)
        return std::make_unique<JascRules>(name, sink);
    return std::make_unique<HexRules>(name, sink);
}

IoStatus ReadTextColors(SourceKind kind, QIODevice& device, const QString& name, ColorSink sink)
{
    const std::unique_ptr<LineRules> rules = RulesOf(kind, name, sink);
    IoStatus status = IoStatus::Success();
    qint64 lines = 0;
    LineSplitter splitter(
        [&](QStringView line, qint64 number) {
            lines = number;
            if (status.ok())
                status = rules->Line(line, number);
        },
        kMaxLineLength);
    TextDecoder decoder;
    const IoStatus read = ReadInPieces(
        device, name, kMaxSourceSize, [&](QByteArrayView bytes) { splitter.Feed(decoder.Feed(bytes)); },
        [&] { return !status.ok() || splitter.TooLongLine() != 0; });
    if (!read.ok())
        return read;
    if (status.ok() && splitter.TooLongLine() == 0) {
        splitter.Feed(decoder.Finish());
        splitter.Finish();
    }
    if (const qint64 tooLong = splitter.TooLongLine(); tooLong != 0 && status.ok())
        return IoStatus::Failure(
            QStringLiteral("%1: line %2 is longer than %3 characters")
                .arg(name, Number(tooLong), Number(kMaxLineLength)));
    return status.ok() ? rules->Finish(lines) : status;
}

IoStatus ReadAdobeColors(QIODevice& device, const QString& name, ColorSink sink)
{
    const qint64 size = device.isSequential() ? -1 : device.size();
    QByteArray bytes;
    const IoStatus read = ReadInPieces(
        device, name, -1, [&](QByteArrayView piece) { bytes.append(piece); },
        [&] { return bytes.size() > kAdobeCountedSize; });
    if (!read.ok())
        return read;
    if (bytes.size() != kAdobeTableSize && bytes.size() != kAdobeCountedSize) {
        // Of a stream longer than a table only the start is read.
        const QString length = bytes.size() > kAdobeCountedSize && size < 0
                                   ? QStringLiteral("more than %1").arg(kAdobeCountedSize)
                                   : Number(std::max<qint64>(size, bytes.size()));
        return IoStatus::Failure(
            QStringLiteral("%1 is %2 bytes: an Adobe colour table is %3 bytes, or %4 with its colour count")
                .arg(name, length, Number(kAdobeTableSize), Number(kAdobeCountedSize)));
    }
    int count = kAdobeTableColors;
    if (bytes.size() == kAdobeCountedSize) {
        count = BigEndianWordAt(bytes, kAdobeTableSize / 2);
        if (count < 1 || count > kAdobeTableColors)
            return IoStatus::Failure(QStringLiteral("%1 counts %2 colours (bytes %3 and %4): an Adobe colour table "
                                                    "holds 1 to %5")
                                         .arg(name, Number(count), Number(kAdobeTableSize + 1),
                                              Number(kAdobeTableSize + 2), Number(kAdobeTableColors)));
    }
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    for (qsizetype i = 0; i < count; ++i)
        sink.Add(Rgb(byte(3 * i), byte(3 * i + 1), byte(3 * i + 2)));
    return IoStatus::Success();
}

} // namespace

bool IsExchangeKind(SourceKind kind)
{
    return kind == SourceKind::GimpPalette || kind == SourceKind::JascPalette ||
           kind == SourceKind::AdobeColorTable || kind == SourceKind::HexList;
}

IoResult<ExchangeColors> ReadExchangeColors(SourceKind kind, QIODevice& device, const QString& name,
                                            std::size_t keep)
{
    IoResult<ExchangeColors> result;
    const ColorSink sink{result.value, keep};
    const IoStatus status = kind == SourceKind::AdobeColorTable ? ReadAdobeColors(device, name, sink)
                                                                : ReadTextColors(kind, device, name, sink);
    if (!status.ok())
        result.error = status.error;
    else if (result.value.count == 0)
        result.error = QStringLiteral("%1 holds no colour").arg(name);
    return result;
}

IoResult<SourcePalettes> ReadExchangeSource(const QString& path, SourceKind kind, const SourceRequest& request)
{
    IoResult<SourcePalettes> result;
    QFile file(path);
    if (const IoStatus opened = OpenForReading(file); !opened.ok()) {
        result.error = opened.error;
        return result;
    }
    const std::size_t size = static_cast<std::size_t>(std::clamp(request.text.paletteSize, 1, kPaletteSize));
    const std::size_t keep = request.needed > kEveryColor / size ? kEveryColor : request.needed * size;
    IoResult<ExchangeColors> colors = ReadExchangeColors(kind, file, path, keep);
    if (!colors.ok()) {
        result.error = colors.error;
        return result;
    }
    result.value.palettes =
        PalettesOfColors(colors.value.colors, request, static_cast<int>(size), request.text.firstEntry,
                         ColourMatch::Exact);
    result.value.holder = path;
    result.value.warnings = colors.value.warnings;
    return result;
}

} // namespace palfade
