#include "cli/cli_rows.h"
#include "cli/help_text.h"
#include "core/fade_choices.h"
#include "core/palette_commands.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <type_traits>

namespace palfade::cli {

namespace {

using Action = ParseResult::Action;

constexpr Value Switch() { return {}; }
constexpr Value Number(const char* n, int low, int high = kUnbounded) { return {Value::Kind::Number, n, low, high}; }
constexpr Value Word(const char* name, const char* words) { return {Value::Kind::Word, name, 0, 0, words}; }
constexpr Value Text(const char* name, bool (*valid)(QStringView) = nullptr, const char* refusal = nullptr,
                     Value::Kind kind = Value::Kind::Text)
{
    return {kind, name, 0, 0, nullptr, valid, refusal};
}
// A value given as often as wanted, each kept in order.
constexpr Value Repeated(Value value)
{
    value.repeats = true;
    return value;
}

// Stores a value in the member at the end of `path`: a switch sets a bool,
// a QStringList collects every value given, in order.
template <auto... path>
void Set(Options& o, const Given& v)
{
    auto& target = (o.*....*path);
    using T = std::remove_reference_t<decltype(target)>;
    if constexpr (std::is_same_v<T, bool>)
        target = true;
    else if constexpr (std::is_same_v<T, QStringList>)
        target << v.text;
    else if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, std::optional<QString>>)
        target = v.text;
    else if constexpr (std::is_enum_v<T>)
        target = static_cast<T>(v.number);
    else
        target = v.number;
}

std::optional<DisplayRgb> ParseRgb(const QString& text)
{
    const QString hex = text.startsWith(QLatin1Char('#')) ? text.mid(1) : text;
    const int rgb = hex.toInt(nullptr, 16);
    if (hex.size() != 6 || !std::all_of(hex.begin(), hex.end(), [](QChar c) {
            const char16_t u = c.unicode();
            return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        }))
        return std::nullopt;
    return MakeDisplayRgb(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool NotEmpty(QStringView text) { return !text.isEmpty(); }

// A SRC naming a word must give it; any other SRC is looked at when read.
bool ValidSource(QStringView src)
{
    const QByteArray utf8 = src.toUtf8();
    const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    return !IsWordSource(text) || WordSourcePalette(text).has_value();
}
constexpr const char* kBadWordSource = "%1 takes word:XXXX with one to four hex digits, not '%2'";
constexpr Value kSource{Value::Kind::Source, "SRC", 0, 0, nullptr, ValidSource, kBadWordSource};

std::optional<KeepMask> KeepList(QStringView list)
{
    const QByteArray utf8 = list.toUtf8();
    return ParseKeepList(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

// The curve row's words are the core's curve names, in the enum's order.
constexpr const char* kCurveWords = "linear|ease-in|ease-out|ease-in-out";
constexpr bool CurveWordsAreTheNames()
{
    std::string_view words = kCurveWords;
    for (std::size_t i = 0; i < kFadeCurveNames.size(); ++i) {
        if (kFadeCurveNames[i].curve != static_cast<FadeCurve>(i) || !words.starts_with(kFadeCurveNames[i].name))
            return false;
        words.remove_prefix(kFadeCurveNames[i].name.size());
        if (!words.empty() && !words.starts_with('|'))
            return false;
        words.remove_prefix(words.empty() ? 0 : 1);
    }
    return words.empty();
}
static_assert(CurveWordsAreTheNames());
constexpr Rule kPicksOne{"all-palettes", "--all-palettes takes every palette; %1 picks one"};

constexpr Check kLabelChecks[] = {
    {nullptr, [](QStringView v) { return !IsCKeyword(v); }, "%1 '%2' is a C keyword, not a name"},
    {"asm|gas", [](QStringView v) { return !IsM68kRegister(v); },
     "%1 '%2' is a 68000 register, which the assembler reads instead of the label"},
};
constexpr Check kCTypeChecks[] = {
    {nullptr, IsCElementType,
     "%1 '%2' is no type for an array: one type name (u16) or C's words (unsigned short), without void, struct, "
     "union, enum, typedef or a second int"},
};

const OptionRow kOptions[] = {
    {"top", nullptr, kSource, kFading, HelpGroup::Fade,
     "palette 1, the first palette of the fade (default black)", Set<&Options::top>},
    {"bottom", nullptr, kSource, kFading, HelpGroup::Fade,
     "palette 2, the last palette of the fade (default black)", Set<&Options::bottom>},
    {"palettes", nullptr, Number("N", kMinPalettes, kMaxPalettes), kFading, HelpGroup::Fade,
     "number of palettes, {} (default 16)", Set<&Options::paletteCount>},
    {"colors", nullptr, Number("N", kMinColors, kMaxColors), kFadeAndPreview, HelpGroup::Fade,
     "colours written or shown per palette, {} (default 16)", Set<&Options::colorCount>},
    {"simple", nullptr, Switch(), kFading, HelpGroup::Fade,
     "\"Simple fade\": step each channel one unit per palette", Set<&Options::simpleFade>},
    {"dark-bit", nullptr, Switch(), kFading, HelpGroup::Fade,
     "\"Use 'Dark bit' (experimental)\": half-steps by the dark bit", Set<&Options::useDarkBit>},
    {"hardware-colors", nullptr, Switch(), kEveryCommand, HelpGroup::Fade,
     "use the hardware level tables (picture mapping and\npreview colours) instead of the linear ones; palette\n"
     "takes it too (for a picture SRC)", Set<&Options::hardwareColors>},
    {"keep", nullptr, Text("LIST", [](QStringView v) { return KeepList(v).has_value(); },
                           "%1 must list entries 0-15 and ranges, such as 0 or 0,13-15, not '%2'"),
     kFading, HelpGroup::Fade,
     "entries that keep the top palette's word in every step\nof every fade, e.g. 0 or 0,13-15 (colour 0 of palette\n"
     "0 is the Neo Geo's reference colour, which must stay)",
     [](Options& o, const Given& v) { o.keep = static_cast<KeepMask>(o.keep | *KeepList(v.text)); }},
    {"there-and-back", nullptr, Switch(), kFading, HelpGroup::Fade,
     "top to bottom and back: steps 1 to P, then P-1 down to\n1, 2P-1 palettes in all (a flash in one table); an\n"
     "art gif plays back down to step 2 before it loops",
     Set<&Options::thereAndBack>},
    {"curve", nullptr, Word("CURVE", kCurveWords), kFading, HelpGroup::Fade,
     "how the interpolation spreads the fade: linear (the\nwindow's, default), ease-in starts slowly, ease-out\n"
     "ends slowly, ease-in-out both. Not with --simple",
     Set<&Options::curve>, {}, {"simple", "%1 shapes the interpolation; --simple steps one unit per palette"}},
    {"stats", nullptr, Switch(), kFadeAndPreview, HelpGroup::Fade,
     "after a successful run, one line on standard error:\nsteps x palettes x colours, the table's words and\n"
     "bytes, and how many steps repeat the one before", Set<&Options::stats>},
    {"zoom", nullptr, Number("N", kMinZoom, kMaxZoom), kPreview | kArt, HelpGroup::Preview,
     "enlargement {} (default 1)", Set<&Options::zoom>},
    {"grid", nullptr, Switch(), kPreview, HelpGroup::Preview, "draw grid lines right of and below each cell",
     Set<&Options::showGrid>},
    {"grid-color", nullptr, Text("RRGGBB", [](QStringView v) { return ParseRgb(v.toString()).has_value(); },
                                 "%1 must be six hex digits RRGGBB, not '%2'"),
     kPreview, HelpGroup::Preview, "grid colour (default FF00FF, magenta)",
     [](Options& o, const Given& v) { o.gridColor = *ParseRgb(v.text); }},
    {"greyscale", nullptr, Switch(), kPalette, HelpGroup::Palette, "convert the palette to grey first",
     Set<&Options::greyscale>},
    {"art", nullptr, Text("PIC", NotEmpty, "%1 needs a picture", Value::Kind::Path), kArt, HelpGroup::Art,
     "the picture: indexed (PNG with a colour table, GIF,\n4- or 8-bit BMP; index n is entry n%16 of palette\nn/16) "
     "or true colour (a colour whose word is entry\ni of the top palette is entry i of palette 0), at\nmost "
     "4096 x 4096", Set<&Options::art>, {}, {}, "missing --art PIC (the picture to recolour)"},
    {"art-palette", nullptr, Number("K", 0, kArtTableSize - 1), kArt, HelpGroup::Art,
     "the palette of the picture the fade recolours, {}\n(default 0); pixels of other palettes keep their\n"
     "colours. Not with --all-palettes, where palette K\nof the fade recolours palette K of the picture",
     Set<&Options::artPalette>, {}, kPicksOne},
    {"frames-per-step", nullptr, Number("N", kMinFramesPerStep, kMaxFramesPerStep), kArt, HelpGroup::Art,
     "gif: frames of the Neo Geo's 59.1856 Hz each step\nshows, {} (default 1); a GIF frame lasts at least\n"
     "2/100 s, so 1 plays at 50 steps a second",
     Set<&Options::framesPerStep>, {"gif", "--frames-per-step times a gif; a %1 sheet shows every step once"}},
    {"hold-start", nullptr, Number("N", 0, kMaxHoldFrames), kArt, HelpGroup::Art,
     "gif: extra frames on the first step, {} (default 0)", Set<&Options::holdStart>,
     {"gif", "--hold-start times a gif; a %1 sheet shows every step once"}},
    {"hold-end", nullptr, Number("N", 0, kMaxHoldFrames), kArt, HelpGroup::Art,
     "gif: extra frames on the last step, {} (default 0)", Set<&Options::holdEnd>,
     {"gif", "--hold-end times a gif; a %1 sheet shows every step once"}},
    {"columns", nullptr, Number("C", 1, kMaxPalettes), kArt, HelpGroup::Art,
     "png: steps per row of the sheet, {} (default the\nsmaller of the palettes and 8); left to right, then\ndown",
     Set<&Options::columns>, {"png", "--columns lays out a png sheet; %1 is an animation"}},
    {"top-index", nullptr, Number("K", 0), kFading, HelpGroup::Source,
     "palette K of the top SRC, counted from 0 (default 0)", Set<&Options::topIndex>, {}, kPicksOne},
    {"bottom-index", nullptr, Number("K", 0), kFading, HelpGroup::Source,
     "palette K of the bottom SRC (default 0)", Set<&Options::bottomIndex>, {}, kPicksOne},
    {"index", nullptr, Number("K", 0), kPalette, HelpGroup::Source,
     "palette K of the palette command's SRC (default 0)", Set<&Options::sourceIndex>, {}, kPicksOne},
    // After the index options: with --all-palettes, they are reported first.
    {"step", nullptr, Number("N", 1, kMaxStep), kPalette, HelpGroup::Palette,
     "step number in the C comment, {} (default 1)", Set<&Options::step>, {},
     {"all-palettes", "--step numbers one palette; with --all-palettes each line names its palette"}},
    {"all-palettes", nullptr, Switch(), kEveryCommand, HelpGroup::Source,
     "every palette of the SRC, for a whole-screen fade. fade:\nthe fades of all top palettes, frame by frame (each\n"
     "step: one line per palette, palette 0 first); the\nbottom is black, white or a SRC of as many palettes.\n"
     "preview: the fades side by side. palette: one line\nper palette, or 32 bytes each for ngpal. Not with\n"
     "the index options or --step", Set<&Options::allPalettes>},
    {"skip-comments", nullptr, Switch(), kEveryCommand, HelpGroup::Source,
     "text SRC: remove ';' and '//' to the end of the line,\n'/* ... */' and lines starting with '*'",
     Set<&Options::text, &TextSourceOptions::skipComments>},
    {"after", nullptr, Text("NAME", NotEmpty, "%1 needs a name"), kEveryCommand, HelpGroup::Source,
     "text SRC: read from just after the first place where\nNAME stands as a whole identifier: its first use,\n"
     "often an xdef or lea before the label (--table reads\nthe table a label defines)",
     Set<&Options::text, &TextSourceOptions::after>},
    {"skip-words", nullptr, Number("N", 0), kEveryCommand, HelpGroup::Source,
     "text SRC: the first N colour words are no colours\n(DATlib's palette count: --skip-words 1)",
     Set<&Options::text, &TextSourceOptions::skipWords>},
    {"table", nullptr, Text("NAME", NotEmpty, "%1 needs a name"), kEveryCommand, HelpGroup::Source,
     "text SRC: the words of the table NAME defines and\nnothing after it: the data directives of the label\n"
     "NAME: (or NAME in column 1, then dc.w), or C's\nNAME[] = { ... }; items are numbers or names given a\n"
     "value by #define, equ, =, .equ or .set; anything\nelse is error 1 naming the file and line",
     Set<&Options::text, &TextSourceOptions::table>, {},
     {"after|skip-comments", "%1 reads the table NAME defines, its comments skipped; not with --after or "
                             "--skip-comments"}},
    {"defines", nullptr, Repeated(Text("FILE", NotEmpty, "%1 needs a file name", Value::Kind::Path)), kEveryCommand,
     HelpGroup::Source, "with --table: a further file whose #define, equ, =,\n.equ and .set names items may use "
     "(repeatable)", Set<&Options::text, &TextSourceOptions::defines>},
    {"count-word", nullptr, Switch(), kEveryCommand, HelpGroup::Source,
     "text SRC: the first word (after --skip-words) is the\nnumber of palettes that follow, as in DATlib's\n"
     "tables; exactly that many are taken",
     Set<&Options::text, &TextSourceOptions::countWord>},
    {"palette-size", nullptr, Number("N", 1, kPaletteSize), kEveryCommand, HelpGroup::Source,
     "text SRC: N words per palette, {} (default 16)", Set<&Options::text, &TextSourceOptions::paletteSize>},
    {"first-entry", nullptr, Number("E", 0, kPaletteSize - 1), kEveryCommand, HelpGroup::Source,
     "text SRC: a palette's first word is entry E, {}\n(default 0); the entries no word reaches are black",
     Set<&Options::text, &TextSourceOptions::firstEntry>},
    {"read-as", nullptr, Word("KIND", "ngpal|text|picture"), kEveryCommand, HelpGroup::Source,
     "read every SRC file as a palette file, text or a\npicture whatever its name",
     [](Options& o, const Given& v) {
         constexpr SourceKind kKinds[] = {SourceKind::PaletteFile, SourceKind::Text, SourceKind::Picture};
         o.readAs = kKinds[v.number];
     }},
    {"picture-words", nullptr, Word("RULE", "levels|ngdevkit"), kEveryCommand, HelpGroup::Source,
     "picture SRC: 'levels' (default) maps colours through\nthe level tables; 'ngdevkit' converts them as\n"
     "ngdevkit's palette tool does, as the game has them",
     Set<&Options::pictureWords>},
    {"picture-order", nullptr, Word("ORDER", "appearance|table"), kEveryCommand, HelpGroup::Source,
     "picture SRC: 'appearance' (default) takes colours in\norder of first use; 'table' takes an indexed picture's\n"
     "colour table in table order, entries 16K to 16K+15\nfor palette K, as tile cutters number them",
     Set<&Options::pictureOrder>},
    {"o", "output", Text("OUT", NotEmpty, "%1 needs a file name or '-'", Value::Kind::Path), kEveryCommand,
     HelpGroup::Output,
     "written exactly at OUT (no extension added), replaced\nonly once complete; '-' writes to standard output",
     Set<&Options::output>, {}, {}, "missing -o OUT (a file name, or '-' for standard output)"},
    {"format", nullptr, {Value::Kind::Format, "F"}, kEveryCommand, HelpGroup::Output,
     "default from OUT's extension: .s .asm .inc -> asm,\n.c .h -> c, .bin -> bin, .ngpal -> ngpal, .png -> png,\n"
     ".bmp -> bmp, .gif -> gif. asm is \"dc.w $7FFF\" for\nvasm and as -M; gas (only by name) is \".word 0x7FFF\"\n"
     "for GNU as in its default syntax", Set<&Options::formatName>},
    {"label", nullptr, Text("NAME", IsCIdentifier, "%1 must be a C identifier (a letter or '_', then letters, "
                                                   "digits or '_'), not '%2'"), kTextOutput, HelpGroup::Output,
     "asm, gas, c: a named table. asm: xdef NAME, even,\nNAME:; gas: .globl NAME, .balign 2, NAME:; c: the\n"
     "array is NAME instead of fade_colors. NAME is a C\nidentifier; bin and ngpal take no label",
     Set<&Options::exportOptions, &ExportOptions::label>,
     {"asm|gas|c", "--label names an asm, gas or c table; %1 has no name"}, {}, nullptr, kLabelChecks},
    {"c-type", nullptr, Text("TYPE", IsCType, "%1 must be C identifiers separated by single spaces, such as u16 or "
                                             "'unsigned short', not '%2'"), kTextOutput, HelpGroup::Output,
     "c: the element type instead of int (4 bytes on the\n68000), e.g. u16, uint16_t or \"unsigned short\"",
     Set<&Options::exportOptions, &ExportOptions::cType>, {"c", "--c-type is the element type of c, not of %1"}, {},
     nullptr, kCTypeChecks},
    {"help", "h", Switch(), 0, HelpGroup::Other, "this text", nullptr},
    {"version", nullptr, Switch(), 0, HelpGroup::Other, "the version", nullptr},
};

const CommandRow kCommands[] = {
    {"fade", Command::Fade, kFade, kFadeTableCliFormats, nullptr, Bit(HelpGroup::Fade) | Bit(HelpGroup::Source),
     "the fade table: one line of \"dc.w\" words per palette (asm) or\n\".word\" words (gas), the C array "
     "fade_colors (c), or big-endian\nwords (bin)"},
    {"preview", Command::Preview, kPreview, kPictureSave.formats, nullptr,
     Bit(HelpGroup::Fade) | Bit(HelpGroup::Source),
     "the preview picture: one 8 x 8 cell per colour and palette,\nenlarged by --zoom, as PNG or BMP"},
    {"palette", Command::Palette, kPalette, kSourcePaletteCliFormats, "SRC", Bit(HelpGroup::Source),
     "one source palette (or every one, --all-palettes): 16 words as\nasm, gas, C or a 32-byte .ngpal file"},
    {"art", Command::Art, kArt, kArtCliFormats, nullptr, Bit(HelpGroup::Fade) | Bit(HelpGroup::Source),
     "the fade played on a picture (--art PIC): a looping GIF\nanimation, one frame per step, or a PNG sheet of every step"},
};

} // namespace

std::span<const OptionRow> OptionRows() { return kOptions; }
std::span<const CommandRow> CommandRows() { return kCommands; }

const char* const kGroupTags[kGroupCount] = {"FADE", nullptr, nullptr, nullptr, "PICK", nullptr, nullptr};

QString Spelled(const QString& bare)
{
    return (bare.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + bare;
}

QStringList SpelledNames(const OptionRow& option)
{
    QStringList names{Spelled(option.name)};
    if (option.alias)
        names << Spelled(option.alias);
    return names;
}

const OptionRow* FindOption(const QString& name)
{
    for (const OptionRow& option : kOptions)
        if (SpelledNames(option).contains(Spelled(name)))
            return &option;
    return nullptr;
}

QStringList FormatNames(const CommandRow& command)
{
    QStringList names;
    for (const FileFormat* format : command.formats)
        names << QLatin1String(format->cliName);
    return names;
}

// "a", "a or b", "a, b or c".
QString OrList(const QStringList& items)
{
    return items.size() < 2 ? items.join(QString()) : items.mid(0, items.size() - 1).join(QStringLiteral(", ")) +
                                                          QStringLiteral(" or ") + items.last();
}

// A reason of a row with %1 and %2 filled in; the values are not read again.
QString Fill(const char* reason, const QString& first, const QString& second = {})
{
    return QString::fromUtf8(reason).replace(QLatin1String("%1"), first).replace(QLatin1String("%2"), second);
}

// ASCII digits only: no sign, no space, no other script's digits.
std::optional<int> ParseCount(const QString& text, int low, int high)
{
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= u'0' && c.unicode() <= u'9';
        }))
        return std::nullopt;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return static_cast<int>(value);
}

// Reads and stores one value of an option; gives the reason when it is refused.
std::optional<QString> Read(const OptionRow& option, const QString& text, Options& o)
{
    const Value& value = option.value;
    const QString name = Spelled(option.name);
    Given given{text};
    if (value.kind == Value::Kind::Number) {
        const std::optional<int> n = ParseCount(text, value.low, value.high);
        if (!n)
            return QStringLiteral("%1 must be a number from %2 to %3, not '%4'")
                .arg(name).arg(value.low).arg(value.high).arg(text);
        given.number = *n;
    } else if (value.kind == Value::Kind::Word) {
        QStringList words = QString::fromUtf8(value.words).split(QLatin1Char('|'));
        given.number = static_cast<int>(words.indexOf(text));
        if (given.number < 0)
            return QStringLiteral("%1 is %2, not '%3'")
                .arg(name, OrList(words.replaceInStrings(QRegularExpression(QStringLiteral("^|$")), QStringLiteral("'"))), text);
    } else if (value.valid && !value.valid(text)) {
        return Fill(value.refusal, name, text);
    }
    if (option.set)
        option.set(o, given);
    return std::nullopt;
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
        if (unknown.isEmpty() && a.contains(QLatin1Char('=')) && option && option->value.kind == Value::Kind::None)
            return QStringLiteral("option '%1' takes no value").arg(typed);
    }
    // Otherwise the last argument is an option whose value is missing.
    return QStringLiteral("option '%1' needs a value").arg(args.last());
}

QStringList CommandNames()
{
    QStringList names;
    for (const CommandRow& command : kCommands)
        names << QLatin1String(command.name);
    return names;
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

    // --help and --version answer whatever else is given.
    for (const QString& a : args)
        for (const OptionRow& option : kOptions)
            if (option.commands == 0 && (a == Spelled(option.name) || (option.alias && a == Spelled(option.alias))))
                return {QLatin1String(option.name) == u"help" ? Action::Help : Action::Version, {}, {}};
    const QString commands = OrList(CommandNames());
    if (args.isEmpty())
        return usage(QStringLiteral("no command given (%1)").arg(commands));
    const CommandRow* command = nullptr;
    for (const CommandRow& c : kCommands)
        if (args.first() == QLatin1String(c.name))
            command = &c;
    if (!command)
        return usage(QStringLiteral("unknown command '%1' (%2)").arg(args.first(), commands));
    o.command = command->command;
    const QString commandName = QLatin1String(command->name);

    // The command word is the first positional argument; the parser knows
    // only the command's own options.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionRow& option : kOptions)
        if (option.commands & command->bit)
            parser.addOption({SpelledNames(option).replaceInStrings(QRegularExpression(QStringLiteral("^--?")), {}),
                              QString(), QLatin1String(option.value.name)});
    if (!parser.parse(QStringList{QStringLiteral("palfade-cli")} + args))
        return usage(ParseError(parser, args, commandName));

    // In the order given, so the first refused value is the one reported.
    std::map<const OptionRow*, qsizetype> given;
    std::map<const OptionRow*, QString> values; // the last value of each option
    for (const QString& name : parser.optionNames()) {
        const OptionRow& option = *FindOption(name);
        const qsizetype n = given[&option]++;
        if (n > 0 && option.value.kind != Value::Kind::None && !option.value.repeats)
            return usage(QStringLiteral("%1 is given more than once").arg(Spelled(option.name)));
        const QString value = option.value.kind == Value::Kind::None ? QString() : parser.values(name).value(n);
        if (const std::optional<QString> refused = Read(option, value, o))
            return usage(*refused);
        values[&option] = value;
    }

    if (!o.text.defines.isEmpty() && o.text.table.isEmpty())
        return usage(QStringLiteral("--defines gives names to the items of a --table; no --table is given"));
    if (o.text.firstEntry + o.text.paletteSize > kPaletteSize)
        return usage(QStringLiteral("--first-entry %1 and --palette-size %2 reach past entry 15")
                         .arg(o.text.firstEntry)
                         .arg(o.text.paletteSize));

    const QStringList positional = parser.positionalArguments().mid(1);
    const QString operand = QLatin1String(command->operand);
    if (command->operand && positional.size() != 1)
        return usage(positional.isEmpty() ? QStringLiteral("'%1' needs one %2").arg(commandName, operand)
                                          : QStringLiteral("'%1' takes one %2, not %3").arg(commandName, operand)
                                                .arg(positional.size()));
    if (!command->operand && !positional.isEmpty())
        return usage(QStringLiteral("unexpected argument '%1'").arg(positional.first()));
    o.source = positional.value(0);
    if (command->operand && !ValidSource(o.source))
        return usage(Fill(kBadWordSource, operand, o.source));
    if (o.top == QLatin1String(kStdio) && o.bottom == QLatin1String(kStdio))
        return usage(QStringLiteral("standard input can be read for only one of --top and --bottom"));
    for (const OptionRow& option : kOptions)
        if (option.missing && (option.commands & command->bit) && !given.contains(&option))
            return usage(QLatin1String(option.missing));

    const QString allowed = FormatNames(*command).join(QLatin1Char('|'));
    for (const FileFormat* format : command->formats)
        if (!o.format && (o.formatName ? *o.formatName == QLatin1String(format->cliName)
                                       : o.output != QLatin1String(kStdio) && HasExtensionOf(o.output, *format, true)))
            o.format = format;
    if (!o.format && o.formatName)
        return usage(QStringLiteral("unknown format '%1' for '%2' (%3)").arg(*o.formatName, commandName, allowed));
    if (!o.format)
        return usage(QStringLiteral("cannot tell the format from '%1': give --format %2").arg(o.output, allowed));
    o.exportOptions.asmSyntax = o.format->asmSyntax;

    // Options that mean nothing for the chosen format or contradict each
    // other are refused rather than ignored, so a build rule says what it gets.
    const QString format = QLatin1String(o.format->cliName);
    for (const OptionRow& option : kOptions)
        if (given.contains(&option) && option.formats.names &&
            !QString::fromUtf8(option.formats.names).split(QLatin1Char('|')).contains(format))
            return usage(Fill(option.formats.reason, format));
    for (const auto& [option, value] : values)
        for (const Check& check : option->checks)
            if ((!check.formats || QString::fromUtf8(check.formats).split(QLatin1Char('|')).contains(format)) &&
                !check.valid(value))
                return usage(Fill(check.refusal, Spelled(option->name), value));
    for (const OptionRow& option : kOptions)
        if (given.contains(&option) && option.notWith.names)
            for (const QString& other : QString::fromUtf8(option.notWith.names).split(QLatin1Char('|')))
                if (given.contains(FindOption(other)))
                    return usage(Fill(option.notWith.reason, Spelled(option.name)));
    return result;
}

const QStringList kProse = QString::fromUtf8(kHelpProse).split(QStringLiteral("\n----\n"));

constexpr int kHelpColumn = 22;
constexpr int kHelpWidth = 79;
const char* const kGroupTitles[kGroupCount] = {"FADE options:", "preview options:", "palette options:",
                                    "art options:", "PICK options:", "Output:", "Other:"};

QStringList Lines(const QString& text) { return text.split(QLatin1Char('\n')); }

// An option's help lines, "{}" filled with its range.
QStringList HelpLines(const OptionRow& option)
{
    return Lines(option.help).replaceInStrings(
        QLatin1String("{}"), QStringLiteral("%1-%2").arg(option.value.low).arg(option.value.high));
}

QString ValueText(const OptionRow& option, const CommandRow* command)
{
    const Value& value = option.value;
    if (value.kind == Value::Kind::Number && value.high != kUnbounded && command)
        return QStringLiteral("%1-%2").arg(value.low).arg(value.high);
    if (value.kind == Value::Kind::Word && command)
        return QLatin1String(value.words);
    if (value.kind == Value::Kind::Format && command)
        return FormatNames(*command).join(QLatin1Char('|'));
    return QLatin1String(value.name);
}

// A command's usage line, word by word: "fade", "[FADE]", "[--zoom 1-4]", "-o OUT".
QStringList UsageWords(const CommandRow& command)
{
    QStringList words{QLatin1String(command.name)};
    if (command.operand)
        words << QLatin1String(command.operand);
    for (int group = 0; group < static_cast<int>(std::size(kGroupTags)); ++group)
        if (command.tags & Bit(static_cast<HelpGroup>(group)))
            words << QStringLiteral("[%1]").arg(QLatin1String(kGroupTags[group]));
    QStringList required;
    for (const OptionRow& option : kOptions) {
        if (!(option.commands & command.bit) || (command.tags & Bit(option.group)))
            continue;
        const QString value = ValueText(option, &command);
        const QString text = Spelled(option.name) + (value.isEmpty() ? QString() : QLatin1Char(' ') + value);
        (option.missing ? required : words) << (option.missing ? text : QLatin1Char('[') + text + QLatin1Char(']'));
    }
    return words + required;
}

QString Indented(const QStringList& lines, int column)
{
    QString text;
    for (const QString& line : lines)
        text += QString(column, QLatin1Char(' ')) + line + QLatin1Char('\n');
    return text;
}

// "  name" and the help lines in one column; a name too long for the column
// stands alone on its row.
QString HelpRow(const QString& name, QStringList lines, int column)
{
    const QString head = QStringLiteral("  ") + name;
    QString text = head.size() < column ? head.leftJustified(column) + lines.takeFirst() + QLatin1Char('\n')
                                        : head + QLatin1Char('\n');
    return text + Indented(lines, column);
}

QString HelpGroupText(HelpGroup group)
{
    QString text = QStringLiteral("\n%1\n").arg(QLatin1String(kGroupTitles[static_cast<int>(group)]));
    for (const OptionRow& option : kOptions)
        if (option.group == group)
            text += HelpRow(SpelledNames(option).join(QStringLiteral(", ")) +
                                (option.value.name ? QLatin1Char(' ') + ValueText(option, nullptr) : QString()),
                            HelpLines(option), kHelpColumn);
    return text;
}

QString HelpText()
{
    QString text = QStringLiteral("Usage:\n");
    const qsizetype width = std::ranges::max(CommandNames(), {}, &QString::size).size();
    for (const CommandRow& command : kCommands) {
        QStringList words = UsageWords(command);
        words.first() = words.first().leftJustified(width);
        QString line = QStringLiteral("  palfade-cli");
        for (const QString& word : words) {
            if (line.size() + 1 + word.size() > kHelpWidth) {
                text += line + QLatin1Char('\n');
                line = QString(kHelpColumn - 1, QLatin1Char(' '));
            }
            line += QLatin1Char(' ') + word;
        }
        text += line + QLatin1Char('\n');
    }
    text += QLatin1Char('\n') + kProse[0] + QStringLiteral("\n\nCommands:\n");
    for (const CommandRow& command : kCommands)
        text += HelpRow(QLatin1String(command.name), Lines(command.help), 12);
    return text + HelpGroupText(HelpGroup::Fade) + HelpGroupText(HelpGroup::Preview) +
           HelpGroupText(HelpGroup::Palette) + HelpGroupText(HelpGroup::Art) + QStringLiteral("\nSRC is one of:\n") +
           Indented(Lines(kProse[1]), 2) + QLatin1Char('\n') + kProse[2] + QLatin1Char('\n') +
           HelpGroupText(HelpGroup::Source) + HelpGroupText(HelpGroup::Output) + QLatin1Char('\n') + kProse[3] +
           HelpGroupText(HelpGroup::Other);
}

} // namespace palfade::cli
