#include "cli/cli_options.h"

#include <QCommandLineParser>

#include <algorithm>
#include <climits>
#include <iterator>
#include <map>
#include <optional>
#include <set>

namespace palfade::cli {

namespace {

using Action = ParseResult::Action;

enum class Opt {
    Top, Bottom, Palettes, Colors, Simple, DarkBit, HardwareColors, Zoom, Grid, GridColor, Greyscale, Step,
    TopIndex, BottomIndex, Index, AllPalettes, SkipComments, After, SkipWords, PictureOrder,
    Output, Format, Label, CType, Help, Version
};

// Which commands take an option.
enum CommandBit : unsigned { kFade = 1u << 0, kPreview = 1u << 1, kPalette = 1u << 2 };
constexpr unsigned kFadeAndPreview = kFade | kPreview;
constexpr unsigned kTextOutput = kFade | kPalette; // the commands with asm, gas and c forms
constexpr unsigned kEveryCommand = kFade | kPreview | kPalette;

enum class HelpGroup { Fade, Preview, Palette, Source, Output, Other };

// Every option of palfade-cli, declared once: the parser and --help read it.
struct OptionRow {
    Opt id;
    const char* name;      // the name --help shows; one letter: "-o", else "--name"
    const char* alias;     // a further accepted name, or null
    const char* valueName; // null for a switch
    unsigned commands;     // none: answered before any command is looked at
    HelpGroup group;
    const char* help;      // lines separated by '\n'
};

constexpr OptionRow kOptions[] = {
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
    {Opt::TopIndex, "top-index", nullptr, "K", kFadeAndPreview, HelpGroup::Source,
     "palette K of the top SRC, counted from 0 (default 0)"},
    {Opt::BottomIndex, "bottom-index", nullptr, "K", kFadeAndPreview, HelpGroup::Source,
     "palette K of the bottom SRC (default 0)"},
    {Opt::Index, "index", nullptr, "K", kPalette, HelpGroup::Source, "palette K of the palette command's SRC (default 0)"},
    {Opt::AllPalettes, "all-palettes", nullptr, nullptr, kEveryCommand, HelpGroup::Source,
     "every palette of the SRC, for a whole-screen fade. fade:\nthe fades of all top palettes, frame by frame (each\n"
     "step: one line per palette, palette 0 first); the\nbottom is black, white or a SRC of as many palettes.\n"
     "preview: the fades side by side. palette: one line\nper palette, or 32 bytes each for ngpal. Not with\n"
     "the index options or --step"},
    {Opt::SkipComments, "skip-comments", nullptr, nullptr, kEveryCommand, HelpGroup::Source,
     "text SRC: remove ';' and '//' to the end of the line,\n'/* ... */' and lines starting with '*'"},
    {Opt::After, "after", nullptr, "NAME", kEveryCommand, HelpGroup::Source,
     "text SRC: read from just after the first place where\nNAME stands as a whole identifier (a label such as\n"
     "TitlePalettes or clut)"},
    {Opt::SkipWords, "skip-words", nullptr, "N", kEveryCommand, HelpGroup::Source,
     "text SRC: the first N colour words are no colours\n(DATlib's palette count: --skip-words 1)"},
    {Opt::PictureOrder, "picture-order", nullptr, "ORDER", kEveryCommand, HelpGroup::Source,
     "picture SRC: 'appearance' (default) takes colours in\norder of first use; 'table' takes an indexed picture's\n"
     "colour table in table order, entries 16K to 16K+15\nfor palette K, as tile cutters number them"},
    {Opt::Output, "o", "output", "OUT", kEveryCommand, HelpGroup::Output,
     "written exactly at OUT (no extension added), replaced\nonly once complete; '-' writes to standard output"},
    {Opt::Format, "format", nullptr, "F", kEveryCommand, HelpGroup::Output,
     "default from OUT's extension: .s .asm .inc -> asm,\n.c .h -> c, .bin -> bin, .ngpal -> ngpal, .png -> png,\n"
     ".bmp -> bmp. asm is \"dc.w $7FFF\" for vasm and as -M;\ngas (only by name) is \".word 0x7FFF\" for GNU as in\n"
     "its default syntax"},
    {Opt::Label, "label", nullptr, "NAME", kTextOutput, HelpGroup::Output,
     "asm, gas, c: a named table. asm: xdef NAME, even,\nNAME:; gas: .globl NAME, .balign 2, NAME:; c: the\n"
     "array is NAME instead of fade_colors. NAME is a C\nidentifier; bin and ngpal take no label"},
    {Opt::CType, "c-type", nullptr, "TYPE", kTextOutput, HelpGroup::Output,
     "c: the element type instead of int (4 bytes on the\n68000), e.g. u16, uint16_t or \"unsigned short\""},
    {Opt::Help, "help", "h", nullptr, 0, HelpGroup::Other, "this text"},
    {Opt::Version, "version", nullptr, nullptr, 0, HelpGroup::Other, "the version"},
};

struct CommandRow {
    const char* name;
    Command command;
    unsigned bit;
    FormatList formats; // what --format names and OUT's extension choose from, in this order
};

const CommandRow kCommands[] = {
    {"fade", Command::Fade, kFade, kFadeTableCliFormats},
    {"preview", Command::Preview, kPreview, kPictureSave.formats},
    {"palette", Command::Palette, kPalette, kSourcePaletteCliFormats},
};

QString Spelled(const char* name)
{
    const QString bare = QLatin1String(name);
    return (bare.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + bare;
}

const OptionRow* FindOption(const QString& name)
{
    for (const OptionRow& option : kOptions)
        if (name == QLatin1String(option.name) || (option.alias && name == QLatin1String(option.alias)))
            return &option;
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
        const OptionRow* option = FindOption(bare);
        if (unknown.isEmpty() && a.contains(QLatin1Char('=')) && option && !option->valueName)
            return QStringLiteral("option '%1' takes no value").arg(typed);
    }
    // Otherwise the last argument is an option whose value is missing.
    return QStringLiteral("option '%1' needs a value").arg(args.last());
}

// A palette index or word count: 0 or more.
std::optional<QString> SetNumber(const OptionRow& option, const QString& value, int& target)
{
    const auto n = ParseCount(value, 0, INT_MAX);
    if (!n)
        return QStringLiteral("%1 must be a whole number, 0 or more, not '%2'").arg(Spelled(option.name), value);
    target = *n;
    return std::nullopt;
}

std::optional<QString> SetIndex(const OptionRow& option, const QString& value, std::optional<int>& target)
{
    int n = 0;
    if (std::optional<QString> refused = SetNumber(option, value, n))
        return refused;
    target = n;
    return std::nullopt;
}

// The value of a counted option, or the reason it is refused.
std::optional<QString> SetCount(const OptionRow& option, const QString& value, int low, int high, int& target)
{
    const auto n = ParseCount(value, low, high);
    if (!n)
        return QStringLiteral("%1 must be a number from %2 to %3, not '%4'")
            .arg(Spelled(option.name)).arg(low).arg(high).arg(value);
    target = *n;
    return std::nullopt;
}

// Stores one option's value; gives the reason when the value is refused.
std::optional<QString> Apply(const OptionRow& option, const QString& value, Options& o,
                             std::optional<QString>& formatName)
{
    switch (option.id) {
    case Opt::Top:
        o.top = value;
        break;
    case Opt::Bottom:
        o.bottom = value;
        break;
    case Opt::Palettes:
        return SetCount(option, value, kMinPalettes, kMaxPalettes, o.paletteCount);
    case Opt::Colors:
        return SetCount(option, value, kMinColors, kMaxColors, o.colorCount);
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
        return SetCount(option, value, kMinZoom, kMaxZoom, o.zoom);
    case Opt::Grid:
        o.showGrid = true;
        break;
    case Opt::GridColor: {
        const auto rgb = ParseRgb(value);
        if (!rgb)
            return QStringLiteral("%1 must be six hex digits RRGGBB, not '%2'").arg(Spelled(option.name), value);
        o.gridColor = *rgb;
        break;
    }
    case Opt::Greyscale:
        o.greyscale = true;
        break;
    case Opt::Step:
        return SetCount(option, value, 1, kMaxStep, o.step);
    case Opt::TopIndex:
        return SetIndex(option, value, o.topIndex);
    case Opt::BottomIndex:
        return SetIndex(option, value, o.bottomIndex);
    case Opt::Index:
        return SetIndex(option, value, o.sourceIndex);
    case Opt::AllPalettes:
        o.allPalettes = true;
        break;
    case Opt::SkipComments:
        o.text.skipComments = true;
        break;
    case Opt::After:
        if (value.isEmpty())
            return QStringLiteral("%1 needs a name").arg(Spelled(option.name));
        o.text.after = value;
        break;
    case Opt::SkipWords:
        return SetNumber(option, value, o.text.skipWords);
    case Opt::PictureOrder:
        if (value == QLatin1String("appearance"))
            o.pictureOrder = PictureOrder::Appearance;
        else if (value == QLatin1String("table"))
            o.pictureOrder = PictureOrder::Table;
        else
            return QStringLiteral("%1 is 'appearance' or 'table', not '%2'").arg(Spelled(option.name), value);
        break;
    case Opt::Label:
        if (!IsCIdentifier(value))
            return QStringLiteral("%1 must be a C identifier (a letter or '_', then letters, digits or '_'), "
                                  "not '%2'")
                .arg(Spelled(option.name), value);
        o.exportOptions.label = value;
        break;
    case Opt::CType:
        if (!IsCType(value))
            return QStringLiteral("%1 must be C identifiers separated by single spaces, such as u16 or "
                                  "'unsigned short', not '%2'")
                .arg(Spelled(option.name), value);
        o.exportOptions.cType = value;
        break;
    case Opt::Output:
        if (value.isEmpty())
            return QStringLiteral("%1 needs a file name or '-'").arg(Spelled(option.name));
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

const FileFormat* ChooseFormat(const CommandRow& command, const std::optional<QString>& formatName,
                               const QString& output)
{
    for (const FileFormat* format : command.formats) {
        if (formatName ? *formatName == QLatin1String(format->cliName)
                       : output != QLatin1String(kStdio) && HasExtensionOf(output, *format, true))
            return format;
    }
    return nullptr;
}

const OptionRow& RowOf(Opt id)
{
    return *std::find_if(std::begin(kOptions), std::end(kOptions), [id](const OptionRow& s) { return s.id == id; });
}


// Options that mean nothing for the chosen format or contradict each other
// are refused rather than ignored, so a build rule says what it gets.
std::optional<QString> CheckCombination(const std::set<Opt>& given, const Options& o)
{
    auto isSet = [&given](Opt id) { return given.contains(id); };
    const FileFormat& f = *o.format;
    const bool isC = f.fadeExport == FadeFormat::C || f.paletteExport == PaletteFormat::C;
    const bool isAsm = f.fadeExport == FadeFormat::Assembler || f.paletteExport == PaletteFormat::Assembler;
    const QString name = QLatin1String(f.cliName);
    if (isSet(Opt::Label) && !isC && !isAsm)
        return QStringLiteral("--label names an asm, gas or c table; %1 has no name").arg(name);
    if (isSet(Opt::CType) && !isC)
        return QStringLiteral("--c-type is the element type of c, not of %1").arg(name);
    if (o.allPalettes) {
        for (Opt picker : {Opt::TopIndex, Opt::BottomIndex, Opt::Index})
            if (isSet(picker))
                return QStringLiteral("--all-palettes takes every palette; %1 picks one")
                    .arg(Spelled(RowOf(picker).name));
        if (isSet(Opt::Step))
            return QStringLiteral("--step numbers one palette; with --all-palettes each line names its palette");
    }
    return std::nullopt;
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
        for (const OptionRow& option : kOptions) {
            if (option.commands != 0)
                continue;
            if (a == Spelled(option.name) || (option.alias && a == Spelled(option.alias)))
                return ParseResult{option.id == Opt::Help ? Action::Help : Action::Version, {}, {}};
        }
    }
    if (args.isEmpty())
        return usage(QStringLiteral("no command given (fade, preview or palette)"));

    const CommandRow* command = nullptr;
    for (const CommandRow& c : kCommands)
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
    for (const OptionRow& option : kOptions) {
        if (!(option.commands & command->bit))
            continue;
        QStringList names{QLatin1String(option.name)};
        if (option.alias)
            names << QLatin1String(option.alias);
        parser.addOption(QCommandLineOption(names, QString(), option.valueName ? QLatin1String(option.valueName) : QString()));
    }
    if (!parser.parse(QStringList{QStringLiteral("palfade-cli")} + args))
        return usage(ParseError(parser, args, commandName));

    // In the order given, so the first refused value is the one reported.
    std::optional<QString> formatName;
    std::map<Opt, qsizetype> used;
    std::set<Opt> given;
    for (const QString& name : parser.optionNames()) {
        const OptionRow& option = *FindOption(name);
        given.insert(option.id);
        const QString value = option.valueName ? parser.values(name).value(used[option.id]++) : QString();
        if (const std::optional<QString> refused = Apply(option, value, o, formatName))
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
    for (const FileFormat* format : command->formats)
        allowedList << QLatin1String(format->cliName);
    const QString allowed = allowedList.join(QLatin1Char('|'));

    o.format = ChooseFormat(*command, formatName, o.output);
    if (!o.format && formatName)
        return usage(QStringLiteral("unknown format '%1' for '%2' (%3)").arg(*formatName, commandName, allowed));
    if (!o.format)
        return usage(QStringLiteral("cannot tell the format from '%1': give --format %2").arg(o.output, allowed));
    o.exportOptions.asmSyntax = o.format->asmSyntax;
    if (const std::optional<QString> refused = CheckCombination(given, o))
        return usage(*refused);
    return result;
}

namespace {

constexpr const char kHelpHead[] = R"help(Usage:
  palfade-cli fade    [FADE] [PICK] [--format asm|gas|c|bin] [--label NAME] [--c-type TYPE] -o OUT
  palfade-cli preview [FADE] [PICK] [--zoom 1-4] [--grid] [--grid-color RRGGBB] [--format png|bmp] -o OUT
  palfade-cli palette SRC [PICK] [--greyscale] [--hardware-colors] [--format asm|gas|c|ngpal] [--step N]
                      [--label NAME] [--c-type TYPE] -o OUT

Computes the fade between two 16-colour Neo Geo palettes and writes it exactly
as the palfade window does: the same bytes for the same state. Options beyond
the window pick palettes out of a project's own sources, fade every palette of
a screen at once and write what GNU as, vasm or a C compiler read as it is.

Commands:
  fade      the fade table: one line of "dc.w" words per palette (asm) or
            ".word" words (gas), the C array fade_colors (c), or big-endian
            words (bin)
  preview   the preview picture: one 8 x 8 cell per colour and palette,
            enlarged by --zoom, as PNG or BMP
  palette   one source palette (or every one, --all-palettes): 16 words as
            asm, gas, C or a 32-byte .ngpal file
)help";

constexpr const char kHelpSources[] = R"help(
SRC is one of:
  black               16 black entries
  white               colour 0 black, colours 1-15 white
  FILE.ngpal          a palette file: 32 bytes (16 big-endian words) per
                      palette
  FILE.png|.bmp|.jpg|.jpeg|.gif
                      the first 16 distinct colours of the picture; entries
                      without a colour stay black
  -                   text on standard input
  FILE                any other file: text with "$7FFF" or "0x7FFF" words,
                      16 per palette; entries without a word stay black
  (a file named black, white or -: write ./black, ./white or ./-)
)help";

constexpr const char kHelpPick[] = R"help(
PICK: palettes out of a project's sources. The text options apply to every
text SRC of the command, in this order: comments, then NAME, then N words,
then groups of 16 words. Without them a SRC reads as in the window.
)help";

constexpr const char kHelpTail[] = R"help(
Exit status: 0 success, 1 runtime error (unreadable input, text without a
colour word, NAME not found, palette K beyond those of SRC, picture that does
not decode, output not writable), 2 usage error.

Examples:
  palfade-cli fade --top title.ngpal --palettes 32 -o fade.s
  palfade-cli fade --top white --bottom black --colors 8 --simple -o fade.bin
  palfade-cli preview --top logo.png --bottom black --zoom 4 --grid -o fade.png
  palfade-cli palette colours.s --greyscale --format ngpal -o grey.ngpal
  palfade-cli palette night.ngpal --step 16 -o - --format c
  cat words.txt | palfade-cli fade --top - --palettes 8 --format c -o -

Examples in a Neo Geo build (GNU as, C, then vasm or as -M):
  palfade-cli fade --top title_pal.s --skip-comments --after TitlePalettes \
      --top-index 2 --palettes 32 --format gas --label title_fade -o title_fade.s
  palfade-cli fade --top palettes.s --skip-comments --after title_Palettes \
      --skip-words 1 --all-palettes --palettes 32 --format c --c-type u16 \
      --label title_fade -o title_fade.c
  palfade-cli fade --top tiles.png --picture-order table --all-palettes \
      --format asm --label TitleFade -o title_fade.s
)help";

constexpr int kHelpColumn = 22;

// One group of the option table: its title, then "  --name VALUE" and the
// help lines aligned in one column.
QString HelpGroupText(HelpGroup group, const char* title)
{
    QString text = QStringLiteral("\n%1\n").arg(QLatin1String(title));
    for (const OptionRow& option : kOptions) {
        if (option.group != group)
            continue;
        QString head = QStringLiteral("  ") + Spelled(option.name);
        if (option.valueName)
            head += QLatin1Char(' ') + QLatin1String(option.valueName);
        const QStringList lines = QString::fromUtf8(option.help).split(QLatin1Char('\n'));
        // A name too long for the column stands alone on its row.
        const bool fits = head.size() < kHelpColumn;
        text += fits ? head.leftJustified(kHelpColumn - 1) + QLatin1Char(' ') + lines.first() + QLatin1Char('\n')
                     : head + QLatin1Char('\n') + QString(kHelpColumn, QLatin1Char(' ')) + lines.first() +
                           QLatin1Char('\n');
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
           QString::fromUtf8(kHelpSources) + QString::fromUtf8(kHelpPick) + HelpGroupText(HelpGroup::Source, "PICK options:") +
           HelpGroupText(HelpGroup::Output, "Output:") + QString::fromUtf8(kHelpTail) +
           HelpGroupText(HelpGroup::Other, "Other:");
}

} // namespace palfade::cli
