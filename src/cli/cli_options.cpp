#include "cli/cli_options.h"

#include <QCommandLineParser>

#include <map>
#include <optional>

namespace palfade::cli {

namespace {

using Action = ParseResult::Action;

enum class Opt {
    Top, Bottom, Palettes, Colors, Simple, DarkBit, HardwareColors, Zoom, Grid, GridColor, Greyscale, Step,
    Output, Format, Help, Version
};

// Which commands take an option.
enum CommandBit : unsigned { kFade = 1u << 0, kPreview = 1u << 1, kPalette = 1u << 2 };
constexpr unsigned kFadeAndPreview = kFade | kPreview;
constexpr unsigned kEveryCommand = kFade | kPreview | kPalette;

enum class HelpGroup { Fade, Preview, Palette, Output, Other };

// Every option of palfade-cli, declared once: the parser and --help read it.
struct OptionSpec {
    Opt id;
    const char* name;      // the name --help shows; one letter: "-o", else "--name"
    const char* alias;     // a further accepted name, or null
    const char* valueName; // null for a switch
    unsigned commands;     // none: answered before any command is looked at
    HelpGroup group;
    const char* help;      // lines separated by '\n'
};

constexpr OptionSpec kOptions[] = {
    {Opt::Top, "top", nullptr, "SRC", kFadeAndPreview, HelpGroup::Fade,
     "palette 1, the first palette of the fade (default black)"},
    {Opt::Bottom, "bottom", nullptr, "SRC", kFadeAndPreview, HelpGroup::Fade,
     "palette 2, the last palette of the fade (default black)"},
    {Opt::Palettes, "palettes", nullptr, "N", kFadeAndPreview, HelpGroup::Fade,
     "number of palettes, 3-256 (default 16)"},
    {Opt::Colors, "colors", nullptr, "N", kFadeAndPreview, HelpGroup::Fade,
     "colours written or shown per palette, 1-16 (default 16)"},
    {Opt::Simple, "simple", nullptr, nullptr, kFadeAndPreview, HelpGroup::Fade,
     "\"Simple fade\": step each channel one unit per palette"},
    {Opt::DarkBit, "dark-bit", nullptr, nullptr, kFadeAndPreview, HelpGroup::Fade,
     "\"Use 'Dark bit' (experimental)\": half-steps by the dark bit"},
    {Opt::HardwareColors, "hardware-colors", nullptr, nullptr, kEveryCommand, HelpGroup::Fade,
     "use the hardware level tables (picture mapping and\npreview colours) instead of the linear ones; palette\n"
     "takes it too (for a picture SRC)"},
    {Opt::Zoom, "zoom", nullptr, "N", kPreview, HelpGroup::Preview, "enlargement 1-4 (default 1)"},
    {Opt::Grid, "grid", nullptr, nullptr, kPreview, HelpGroup::Preview,
     "draw grid lines right of and below each cell"},
    {Opt::GridColor, "grid-color", nullptr, "RRGGBB", kPreview, HelpGroup::Preview,
     "grid colour (default FF00FF, magenta)"},
    {Opt::Greyscale, "greyscale", nullptr, nullptr, kPalette, HelpGroup::Palette, "convert the palette to grey first"},
    {Opt::Step, "step", nullptr, "N", kPalette, HelpGroup::Palette, "step number in the C comment, 1-256 (default 1)"},
    {Opt::Output, "o", "output", "OUT", kEveryCommand, HelpGroup::Output,
     "written exactly at OUT (no extension added), replaced\nonly once complete; '-' writes to standard output"},
    {Opt::Format, "format", nullptr, "F", kEveryCommand, HelpGroup::Output,
     "default from OUT's extension: .s .asm .inc -> asm,\n.c .h -> c, .bin -> bin, .ngpal -> ngpal, .png -> png,\n"
     ".bmp -> bmp"},
    {Opt::Help, "help", "h", nullptr, 0, HelpGroup::Other, "this text"},
    {Opt::Version, "version", nullptr, nullptr, 0, HelpGroup::Other, "the version"},
};

struct CommandSpec {
    const char* name;
    Command command;
    unsigned bit;
    const FileRequester& formats; // what --format names and OUT's extension choose from
};

const CommandSpec kCommands[] = {
    {"fade", Command::Fade, kFade, kFadeTableSave},
    {"preview", Command::Preview, kPreview, kPictureSave},
    {"palette", Command::Palette, kPalette, kSourcePaletteSave},
};

QString Spelled(const char* name)
{
    const QString bare = QLatin1String(name);
    return (bare.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + bare;
}

const OptionSpec* FindOption(const QString& name)
{
    for (const OptionSpec& spec : kOptions)
        if (name == QLatin1String(spec.name) || (spec.alias && name == QLatin1String(spec.alias)))
            return &spec;
    return nullptr;
}

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

// Qt's parser names what it refused without dashes or value; the message
// names the option as typed.
QString ParseError(const QCommandLineParser& parser, const QStringList& args, const QString& command)
{
    const QStringList unknown = parser.unknownOptionNames();
    for (const QString& a : args) {
        if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String(kStdio))
            continue;
        const QString typed = a.section(QLatin1Char('='), 0, 0);
        const QString bare = typed.mid(typed.startsWith(QLatin1String("--")) ? 2 : 1);
        if (!unknown.isEmpty() && bare == unknown.first())
            return QStringLiteral("unknown option '%1' for '%2'").arg(typed, command);
        const OptionSpec* spec = FindOption(bare);
        if (unknown.isEmpty() && a.contains(QLatin1Char('=')) && spec && !spec->valueName)
            return QStringLiteral("option '%1' takes no value").arg(typed);
    }
    // Otherwise the last argument is an option whose value is missing.
    return QStringLiteral("option '%1' needs a value").arg(args.last());
}

// The value of a counted option, or the reason it is refused.
std::optional<QString> SetCount(const OptionSpec& spec, const QString& value, int low, int high, int& target)
{
    const auto n = ParseCount(value, low, high);
    if (!n)
        return QStringLiteral("%1 must be a number from %2 to %3, not '%4'")
            .arg(Spelled(spec.name)).arg(low).arg(high).arg(value);
    target = *n;
    return std::nullopt;
}

// Stores one option's value; gives the reason when the value is refused.
std::optional<QString> Apply(const OptionSpec& spec, const QString& value, Options& o,
                             std::optional<QString>& formatName)
{
    switch (spec.id) {
    case Opt::Top:
        o.top = value;
        break;
    case Opt::Bottom:
        o.bottom = value;
        break;
    case Opt::Palettes:
        return SetCount(spec, value, kMinPalettes, kMaxPalettes, o.paletteCount);
    case Opt::Colors:
        return SetCount(spec, value, kMinColors, kMaxColors, o.colorCount);
    case Opt::Simple:
        o.simpleFade = true;
        break;
    case Opt::DarkBit:
        o.useDarkBit = true;
        break;
    case Opt::HardwareColors:
        o.hardwareColors = true;
        break;
    case Opt::Zoom:
        return SetCount(spec, value, kMinZoom, kMaxZoom, o.zoom);
    case Opt::Grid:
        o.showGrid = true;
        break;
    case Opt::GridColor: {
        const auto rgb = ParseRgb(value);
        if (!rgb)
            return QStringLiteral("%1 must be six hex digits RRGGBB, not '%2'").arg(Spelled(spec.name), value);
        o.gridColor = *rgb;
        break;
    }
    case Opt::Greyscale:
        o.greyscale = true;
        break;
    case Opt::Step:
        return SetCount(spec, value, 1, kMaxStep, o.step);
    case Opt::Output:
        if (value.isEmpty())
            return QStringLiteral("%1 needs a file name or '-'").arg(Spelled(spec.name));
        o.output = value;
        break;
    case Opt::Format:
        formatName = value;
        break;
    case Opt::Help:
    case Opt::Version:
        break;
    }
    return std::nullopt;
}

const FileFormat* ChooseFormat(const CommandSpec& command, const std::optional<QString>& formatName,
                               const QString& output)
{
    for (const FileFormat* format : command.formats.formats) {
        if (formatName ? *formatName == QLatin1String(format->cliName)
                       : output != QLatin1String(kStdio) && HasExtensionOf(output, *format, true))
            return format;
    }
    return nullptr;
}

} // namespace

ParseResult ParseArguments(const QStringList& args)
{
    ParseResult result;
    Options& o = result.options;
    auto usage = [&](const QString& message) {
        result.action = Action::UsageError;
        result.error = message;
        return result;
    };

    // --help and --version answer whatever else is given.
    for (const QString& a : args) {
        for (const OptionSpec& spec : kOptions) {
            if (spec.commands != 0)
                continue;
            if (a == Spelled(spec.name) || (spec.alias && a == Spelled(spec.alias)))
                return ParseResult{spec.id == Opt::Help ? Action::Help : Action::Version, {}, {}};
        }
    }
    if (args.isEmpty())
        return usage(QStringLiteral("no command given (fade, preview or palette)"));

    const CommandSpec* command = nullptr;
    for (const CommandSpec& c : kCommands)
        if (args.first() == QLatin1String(c.name))
            command = &c;
    if (!command)
        return usage(QStringLiteral("unknown command '%1' (fade, preview or palette)").arg(args.first()));
    o.command = command->command;
    const QString commandName = QLatin1String(command->name);

    // The command word is the first positional argument; the parser knows
    // only the command's own options.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec& spec : kOptions) {
        if (!(spec.commands & command->bit))
            continue;
        QStringList names{QLatin1String(spec.name)};
        if (spec.alias)
            names << QLatin1String(spec.alias);
        parser.addOption(QCommandLineOption(names, QString(), spec.valueName ? QLatin1String(spec.valueName) : QString()));
    }
    if (!parser.parse(QStringList{QStringLiteral("palfade-cli")} + args))
        return usage(ParseError(parser, args, commandName));

    // In the order given, so the first refused value is the one reported.
    std::optional<QString> formatName;
    std::map<Opt, qsizetype> used;
    for (const QString& name : parser.optionNames()) {
        const OptionSpec& spec = *FindOption(name);
        const QString value = spec.valueName ? parser.values(name).value(used[spec.id]++) : QString();
        if (const std::optional<QString> refused = Apply(spec, value, o, formatName))
            return usage(*refused);
    }

    const QStringList positional = parser.positionalArguments().mid(1);
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
    if (!parser.isSet(QStringLiteral("o")))
        return usage(QStringLiteral("missing -o OUT (a file name, or '-' for standard output)"));

    QStringList allowedList;
    for (const FileFormat* format : command->formats.formats)
        allowedList << QLatin1String(format->cliName);
    const QString allowed = allowedList.join(QLatin1Char('|'));

    o.format = ChooseFormat(*command, formatName, o.output);
    if (!o.format && formatName)
        return usage(QStringLiteral("unknown format '%1' for '%2' (%3)").arg(*formatName, commandName, allowed));
    if (!o.format)
        return usage(QStringLiteral("cannot tell the format from '%1': give --format %2").arg(o.output, allowed));
    return result;
}

namespace {

constexpr const char kHelpHead[] = R"help(Usage:
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
)help";

constexpr const char kHelpSources[] = R"help(
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
)help";

constexpr const char kHelpTail[] = R"help(
Exit status: 0 success, 1 runtime error (unreadable input, text without a
colour word, picture that does not decode, output not writable), 2 usage error.

Examples:
  palfade-cli fade --top title.ngpal --palettes 32 -o fade.s
  palfade-cli fade --top white --bottom black --colors 8 --simple -o fade.bin
  palfade-cli preview --top logo.png --bottom black --zoom 4 --grid -o fade.png
  palfade-cli palette colours.s --greyscale --format ngpal -o grey.ngpal
  palfade-cli palette night.ngpal --step 16 -o - --format c
  cat words.txt | palfade-cli fade --top - --palettes 8 --format c -o -
)help";

constexpr int kHelpColumn = 22;

// One group of the option table: its title, then "  --name VALUE" and the
// help lines aligned in one column.
QString HelpGroupText(HelpGroup group, const char* title)
{
    QString text = QStringLiteral("\n%1\n").arg(QLatin1String(title));
    for (const OptionSpec& spec : kOptions) {
        if (spec.group != group)
            continue;
        QString head = QStringLiteral("  ") + Spelled(spec.name);
        if (spec.valueName)
            head += QLatin1Char(' ') + QLatin1String(spec.valueName);
        const QStringList lines = QString::fromUtf8(spec.help).split(QLatin1Char('\n'));
        text += head.leftJustified(kHelpColumn - 1) + QLatin1Char(' ') + lines.first() + QLatin1Char('\n');
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += QString(kHelpColumn, QLatin1Char(' ')) + lines[i] + QLatin1Char('\n');
    }
    return text;
}

} // namespace

QString HelpText()
{
    return QString::fromUtf8(kHelpHead) + HelpGroupText(HelpGroup::Fade, "FADE options:") +
           HelpGroupText(HelpGroup::Preview, "preview options:") + HelpGroupText(HelpGroup::Palette, "palette options:") +
           QString::fromUtf8(kHelpSources) + HelpGroupText(HelpGroup::Output, "Output:") + QString::fromUtf8(kHelpTail) +
           HelpGroupText(HelpGroup::Other, "Other:");
}

} // namespace palfade::cli
