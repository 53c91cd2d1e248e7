#include "cli/cli_options.h"

#include <QFileInfo>

#include <span>

namespace palfade::cli {

namespace {

using Action = ParseResult::Action;

struct FormatName {
    const char* name;
    OutputFormat format;
};

constexpr FormatName kFadeFormats[] = {
    {"asm", OutputFormat::Assembler}, {"c", OutputFormat::C}, {"bin", OutputFormat::Binary}};
constexpr FormatName kPreviewFormats[] = {{"png", OutputFormat::Png}, {"bmp", OutputFormat::Bmp}};
constexpr FormatName kPaletteFormats[] = {
    {"asm", OutputFormat::Assembler}, {"c", OutputFormat::C}, {"ngpal", OutputFormat::PaletteFile}};

struct Extension {
    const char* suffix;
    OutputFormat format;
};

constexpr Extension kExtensions[] = {
    {"s", OutputFormat::Assembler}, {"asm", OutputFormat::Assembler}, {"inc", OutputFormat::Assembler},
    {"c", OutputFormat::C},         {"h", OutputFormat::C},           {"bin", OutputFormat::Binary},
    {"ngpal", OutputFormat::PaletteFile}, {"png", OutputFormat::Png}, {"bmp", OutputFormat::Bmp},
};

std::optional<int> ParseCount(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < low || value > high || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return value;
}

std::optional<DisplayRgb> ParseRgb(QString text)
{
    if (text.startsWith(QLatin1Char('#')))
        text.remove(0, 1);
    if (text.size() != 6)
        return std::nullopt;
    for (QChar c : text)
        if (!c.isDigit() && !(c.toLower() >= u'a' && c.toLower() <= u'f'))
            return std::nullopt;
    const uint rgb = text.toUInt(nullptr, 16);
    return MakeDisplayRgb(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                          static_cast<int>(rgb & 0xFF));
}

bool IsFadeOption(const QString& name)
{
    static const QStringList kNames = {QStringLiteral("--top"),    QStringLiteral("--bottom"),
                                       QStringLiteral("--palettes"), QStringLiteral("--colors"),
                                       QStringLiteral("--simple"), QStringLiteral("--dark-bit")};
    return kNames.contains(name);
}

} // namespace

std::optional<OutputFormat> FormatFromExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const Extension& e : kExtensions)
        if (suffix == QLatin1String(e.suffix))
            return e.format;
    return std::nullopt;
}

ParseResult ParseArguments(const QStringList& args)
{
    ParseResult result;
    Options& o = result.options;
    auto usage = [&](const QString& message) {
        result.action = Action::UsageError;
        result.error = message;
        return result;
    };

    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return ParseResult{Action::Help, {}, {}};
        if (a == QLatin1String("--version"))
            return ParseResult{Action::Version, {}, {}};
    }
    if (args.isEmpty())
        return usage(QStringLiteral("no command given (fade, preview or palette)"));

    const QString command = args.first();
    if (command == QLatin1String("fade"))
        o.command = Command::Fade;
    else if (command == QLatin1String("preview"))
        o.command = Command::Preview;
    else if (command == QLatin1String("palette"))
        o.command = Command::Palette;
    else
        return usage(QStringLiteral("unknown command '%1' (fade, preview or palette)").arg(command));

    std::optional<QString> formatName;
    bool haveOutput = false;
    QStringList positional;

    for (qsizetype i = 1; i < args.size(); ++i) {
        QString name = args[i];
        std::optional<QString> inlineValue;
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            const qsizetype eq = name.indexOf(QLatin1Char('='));
            inlineValue = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (name == QLatin1String(kStdio) || !name.startsWith(QLatin1Char('-'))) {
            positional << args[i];
            continue;
        }

        const bool fadeCommand = o.command != Command::Palette;
        const bool known =
            (fadeCommand && IsFadeOption(name)) || name == QLatin1String("--format") ||
            name == QLatin1String("-o") || name == QLatin1String("--output") ||
            name == QLatin1String("--hardware-colors") ||
            (o.command == Command::Preview &&
             (name == QLatin1String("--zoom") || name == QLatin1String("--grid") ||
              name == QLatin1String("--grid-color"))) ||
            (o.command == Command::Palette &&
             (name == QLatin1String("--greyscale") || name == QLatin1String("--step")));
        if (!known)
            return usage(QStringLiteral("unknown option '%1' for '%2'").arg(name, command));

        const bool isFlag = name == QLatin1String("--simple") || name == QLatin1String("--dark-bit") ||
                            name == QLatin1String("--hardware-colors") || name == QLatin1String("--grid") ||
                            name == QLatin1String("--greyscale");
        if (isFlag) {
            if (inlineValue)
                return usage(QStringLiteral("option '%1' takes no value").arg(name));
            if (name == QLatin1String("--simple"))
                o.simpleFade = true;
            else if (name == QLatin1String("--dark-bit"))
                o.useDarkBit = true;
            else if (name == QLatin1String("--hardware-colors"))
                o.hardwareColors = true;
            else if (name == QLatin1String("--grid"))
                o.showGrid = true;
            else
                o.greyscale = true;
            continue;
        }

        QString value;
        if (inlineValue) {
            value = *inlineValue;
        } else {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("option '%1' needs a value").arg(name));
            value = args[++i];
        }

        if (name == QLatin1String("--top")) {
            o.top = value;
        } else if (name == QLatin1String("--bottom")) {
            o.bottom = value;
        } else if (name == QLatin1String("--palettes")) {
            const auto n = ParseCount(value, kMinPalettes, kMaxPalettes);
            if (!n)
                return usage(QStringLiteral("--palettes must be a number from %1 to %2, not '%3'")
                                 .arg(kMinPalettes).arg(kMaxPalettes).arg(value));
            o.paletteCount = *n;
        } else if (name == QLatin1String("--colors")) {
            const auto n = ParseCount(value, kMinColors, kMaxColors);
            if (!n)
                return usage(QStringLiteral("--colors must be a number from %1 to %2, not '%3'")
                                 .arg(kMinColors).arg(kMaxColors).arg(value));
            o.colorCount = *n;
        } else if (name == QLatin1String("--zoom")) {
            const auto n = ParseCount(value, kMinZoom, kMaxZoom);
            if (!n)
                return usage(QStringLiteral("--zoom must be a number from %1 to %2, not '%3'")
                                 .arg(kMinZoom).arg(kMaxZoom).arg(value));
            o.zoom = *n;
        } else if (name == QLatin1String("--step")) {
            const auto n = ParseCount(value, 1, kMaxStep);
            if (!n)
                return usage(QStringLiteral("--step must be a number from 1 to %1, not '%2'").arg(kMaxStep).arg(value));
            o.step = *n;
        } else if (name == QLatin1String("--grid-color")) {
            const auto rgb = ParseRgb(value);
            if (!rgb)
                return usage(QStringLiteral("--grid-color must be six hex digits RRGGBB, not '%1'").arg(value));
            o.gridColor = *rgb;
        } else if (name == QLatin1String("--format")) {
            formatName = value;
        } else { // -o / --output
            if (value.isEmpty())
                return usage(QStringLiteral("-o needs a file name or '-'"));
            o.output = value;
            haveOutput = true;
        }
    }

    if (o.command == Command::Palette) {
        if (positional.size() != 1)
            return usage(positional.isEmpty() ? QStringLiteral("'palette' needs one SRC")
                                              : QStringLiteral("'palette' takes one SRC, not %1").arg(positional.size()));
        o.source = positional.first();
    } else if (!positional.isEmpty()) {
        return usage(QStringLiteral("unexpected argument '%1'").arg(positional.first()));
    }
    if (o.top == QLatin1String(kStdio) && o.bottom == QLatin1String(kStdio))
        return usage(QStringLiteral("standard input can be read for only one of --top and --bottom"));
    if (!haveOutput)
        return usage(QStringLiteral("missing -o OUT (a file name, or '-' for standard output)"));

    std::span<const FormatName> names;
    switch (o.command) {
    case Command::Fade:
        names = kFadeFormats;
        break;
    case Command::Preview:
        names = kPreviewFormats;
        break;
    case Command::Palette:
        names = kPaletteFormats;
        break;
    }
    QStringList allowedList;
    for (const FormatName& f : names)
        allowedList << QString::fromLatin1(f.name);
    const QString allowed = allowedList.join(QLatin1Char('|'));

    std::optional<OutputFormat> format;
    if (formatName) {
        for (const FormatName& f : names)
            if (*formatName == QLatin1String(f.name))
                format = f.format;
        if (!format)
            return usage(QStringLiteral("unknown format '%1' for '%2' (%3)").arg(*formatName, command, allowed));
    } else if (o.output != QLatin1String(kStdio)) {
        if (const auto implied = FormatFromExtension(o.output))
            for (const FormatName& f : names)
                if (f.format == *implied)
                    format = implied;
    }
    if (!format)
        return usage(QStringLiteral("cannot tell the format from '%1': give --format %2").arg(o.output, allowed));
    o.format = *format;
    return result;
}

namespace {

constexpr const char kHelp[] = R"help(Usage:
  palfade-cli fade    [FADE] [--format asm|c|bin] -o OUT
  palfade-cli preview [FADE] [--zoom 1-4] [--grid] [--grid-color RRGGBB] [--format png|bmp] -o OUT
  palfade-cli palette SRC [--greyscale] [--hardware-colors] [--format asm|c|ngpal] [--step N] -o OUT

Computes the fade between two 16-colour Neo Geo palettes and writes it exactly
as the palfade window does: the same bytes for the same state.

Commands:
  fade      the fade table: one line of "dc.w" words per palette (asm), the
            C array fade_colors (c), or big-endian words (bin)
  preview   the preview picture: one 8 x 8 cell per colour and palette,
            enlarged by --zoom, as PNG or BMP
  palette   one source palette: 16 words as asm, C or a 32-byte .ngpal file

FADE options:
  --top SRC           palette 1, the first palette of the fade (default black)
  --bottom SRC        palette 2, the last palette of the fade (default black)
  --palettes N        number of palettes, 3-256 (default 16)
  --colors N          colours written or shown per palette, 1-16 (default 16)
  --simple            "Simple fade": step each channel one unit per palette
  --dark-bit          "Use 'Dark bit' (experimental)": half-steps by the dark bit
  --hardware-colors   use the hardware level tables (picture mapping and
                      preview colours) instead of the linear ones

preview options:
  --zoom N            enlargement 1-4 (default 1)
  --grid              draw grid lines right of and below each cell
  --grid-color RRGGBB grid colour (default FF00FF, magenta)

palette options:
  --greyscale         convert the palette to grey first
  --hardware-colors   as above (for a picture SRC)
  --step N            step number in the C comment, 1-256 (default 1)

SRC is one of:
  black               16 black entries
  white               colour 0 black, colours 1-15 white
  FILE.ngpal          a palette file (32 bytes, 16 big-endian words)
  FILE.png|.bmp|.jpg|.jpeg|.gif
                      the first 16 distinct colours of the picture; entries
                      without a colour stay black
  -                   text on standard input
  FILE                any other file: text with up to 16 "$7FFF" or
                      "0x7FFF" words; entries without a word stay black
  (a file named black, white or -: write ./black, ./white or ./-)

Output:
  -o OUT              written exactly at OUT (no extension added), replaced
                      only once complete; '-' writes to standard output
  --format F          default from OUT's extension: .s .asm .inc -> asm,
                      .c .h -> c, .bin -> bin, .ngpal -> ngpal, .png -> png,
                      .bmp -> bmp

Exit status: 0 success, 1 runtime error (unreadable input, text without a
colour word, picture that does not decode, output not writable), 2 usage error.

Examples:
  palfade-cli fade --top title.ngpal --palettes 32 -o fade.s
  palfade-cli fade --top white --bottom black --colors 8 --simple -o fade.bin
  palfade-cli preview --top logo.png --bottom black --zoom 4 --grid -o fade.png
  palfade-cli palette colours.s --greyscale --format ngpal -o grey.ngpal
  palfade-cli palette night.ngpal --step 16 -o - --format c
  cat words.txt | palfade-cli fade --top - --palettes 8 --format c -o -

Other:
  --help              this text
  --version           the version
)help";

} // namespace

QString HelpText() { return QString::fromUtf8(kHelp); }

} // namespace palfade::cli
