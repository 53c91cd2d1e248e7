// palfade-cli's option and command rows, and what finds things in them.

#include "cli/cli_rows.h"
#include "core/fade_choices.h"
#include "core/palette_commands.h"

#include <algorithm>
#include <type_traits>

namespace palfade::cli {

namespace {

bool ValidSource(QStringView src)
{
    const QByteArray utf8 = src.toUtf8();
    const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    return !IsWordSource(text) || WordSourcePalette(text).has_value();
}

} // namespace

const Value kSource{.kind = Value::Kind::Source,
                    .name = "SRC",
                    .valid = ValidSource,
                    .refusal = "%1 takes word:XXXX with one to four hex digits, not '%2'"};

namespace {

constexpr Value Switch() { return {}; }
constexpr Value Number(const char* n, int low, int high = kUnbounded) { return {Value::Kind::Number, n, low, high}; }
// The words of a {name, value} table; Choose sets what the word stands for.
template <auto& table>
constexpr Value Word(const char* name)
{
    return {.kind = Value::Kind::Word, .name = name, .words = kWordsOf<table>};
}
constexpr Value Text(const char* name, bool (*valid)(QStringView) = nullptr, const char* refusal = nullptr,
                     Value::Kind kind = Value::Kind::Text)
{
    return {.kind = kind, .name = name, .valid = valid, .refusal = refusal};
}
// OUT: a file name, or '-' for standard output.
constexpr Value OutputPath(Value value)
{
    value.standardOutput = true;
    return value;
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
    else
        target = v.number;
}

// Stores what a Word's word stands for in its table.
template <auto member, auto& table>
void Choose(Options& o, const Given& v)
{
    o.*member = table[static_cast<std::size_t>(v.number)].value;
}

constexpr Named<SourceKind> kSourceKinds[] = {
    {"ngpal", SourceKind::PaletteFile}, {"text", SourceKind::Text},         {"picture", SourceKind::Picture},
    {"gpl", SourceKind::GimpPalette},   {"jasc", SourceKind::JascPalette}, {"act", SourceKind::AdobeColorTable},
    {"hex", SourceKind::HexList}};
constexpr Named<PictureWords> kPictureWordRules[] = {
    {"levels", PictureWords::Levels}, {"ngdevkit", PictureWords::Ngdevkit}};
constexpr Named<PictureOrder> kPictureOrders[] = {
    {"appearance", PictureOrder::Appearance}, {"table", PictureOrder::Table}};

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

std::optional<KeepMask> KeepList(QStringView list)
{
    const QByteArray utf8 = list.toUtf8();
    return ParseKeepList(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString ReachPastTheEntries(const Options& o)
{
    if (o.text.firstEntry + o.text.paletteSize <= kPaletteSize)
        return {};
    return QStringLiteral("--first-entry %1 and --palette-size %2 reach past entry 15")
        .arg(o.text.firstEntry)
        .arg(o.text.paletteSize);
}

constexpr Rule kPicksOne{"all-palettes", "--all-palettes takes every palette; %1 picks one"};
constexpr FormatRule kTimesAnAnimation(const char* reason) { return {&FileFormat::IsAnimation, reason}; }

constexpr Check kLabelChecks[] = {
    {nullptr, [](QStringView v) { return !IsCKeyword(v); }, "%1 '%2' is a C keyword, not a name"},
    {&FileFormat::TakesAsmLabel, [](QStringView v) { return !IsM68kRegister(v); },
     "%1 '%2' is a 68000 register, which the assembler reads instead of the label"},
};
constexpr Check kCTypeChecks[] = {
    {nullptr, IsCElementType,
     "%1 '%2' is no type for an array: one type name (u16) or C's words (unsigned short), without void, struct, "
     "union, enum, typedef or a second int"},
};

const OptionRow kOptions[] = {
    {.name = "top", .value = kSource, .commands = kFading, .group = HelpGroup::Fade,
     .help = "palette 1, the first palette of the fade (default black)", .set = Set<&Options::top>,
     .stdinWith = {"bottom", "standard input can be read for only one of --top and --bottom"}},
    {.name = "bottom", .value = kSource, .commands = kFading, .group = HelpGroup::Fade,
     .help = "palette 2, the last palette of the fade (default black)", .set = Set<&Options::bottom>},
    {.name = "palettes", .value = Number("N", kMinPalettes, kMaxPalettes), .commands = kFading,
     .group = HelpGroup::Fade, .help = "number of palettes, {} (default 16)", .set = Set<&Options::paletteCount>},
    {.name = "colors", .value = Number("N", kMinColors, kMaxColors), .commands = kFading,
     .group = HelpGroup::Fade,
     .help = "colours written or shown per palette, {} (default 16);\nart: entries from N on keep the top "
             "palette's colour,\nas the game never changes what the table does not hold",
     .set = Set<&Options::colorCount>},
    {.name = "simple", .commands = kFading, .group = HelpGroup::Fade,
     .help = "\"Simple fade\": step each channel one unit per palette", .set = Set<&Options::simpleFade>},
    {.name = "dark-bit", .commands = kFading, .group = HelpGroup::Fade,
     .help = "\"Use 'Dark bit' (experimental)\": half-steps by the dark bit", .set = Set<&Options::useDarkBit>},
    {.name = "hardware-colors", .commands = kEveryCommand, .group = HelpGroup::Fade,
     .help = "use the hardware level tables (picture mapping and\npreview colours) instead of the linear ones; "
             "palette\ntakes it too (for a picture or exchange SRC, and the\ncolours gpl, jasc, act and hex write)",
     .set = Set<&Options::hardwareColors>},
    {.name = "keep",
     .value = Text("LIST", [](QStringView v) { return KeepList(v).has_value(); },
                   "%1 must list entries 0-15 and ranges, such as 0 or 0,13-15, not '%2'"),
     .commands = kFading, .group = HelpGroup::Fade,
     .help = "entries that keep the top palette's word in every step\nof every fade, e.g. 0 or 0,13-15 (colour 0 "
             "of palette\n0 is the Neo Geo's reference colour, which must stay)",
     .set = [](Options& o, const Given& v) { o.keep = static_cast<KeepMask>(o.keep | *KeepList(v.text)); }},
    {.name = "there-and-back", .commands = kFading, .group = HelpGroup::Fade,
     .help = "top to bottom and back: steps 1 to P, then P-1 down to\n1, 2P-1 palettes in all (a flash in one "
             "table); an\nart gif plays back down to step 2 before it loops",
     .set = Set<&Options::thereAndBack>},
    {.name = "curve", .value = Word<kFadeCurveNames>("CURVE"), .commands = kFading, .group = HelpGroup::Fade,
     .help = "how the interpolation spreads the fade: linear (the\nwindow's, default), ease-in starts slowly, "
             "ease-out\nends slowly, ease-in-out both. Not with --simple",
     .set = Choose<&Options::curve, kFadeCurveNames>,
     .notWith = {"simple", "%1 shapes the interpolation; --simple steps one unit per palette"}},
    {.name = "stats", .commands = kFadeAndPreview, .group = HelpGroup::Fade,
     .help = "after a successful run, one line on standard error:\nsteps x palettes x colours, the table's words "
             "and\nbytes, and how many steps repeat the one before",
     .set = Set<&Options::stats>},
    {.name = "zoom", .value = Number("N", kMinZoom, kMaxZoom), .commands = kPreview | kArt,
     .group = HelpGroup::Preview, .help = "enlargement {} (default 1)", .set = Set<&Options::zoom>},
    {.name = "grid", .commands = kPreview, .group = HelpGroup::Preview,
     .help = "draw grid lines right of and below each cell", .set = Set<&Options::showGrid>},
    {.name = "grid-color",
     .value = Text("RRGGBB", [](QStringView v) { return ParseRgb(v.toString()).has_value(); },
                   "%1 must be six hex digits RRGGBB, not '%2'"),
     .commands = kPreview, .group = HelpGroup::Preview, .help = "grid colour (default FF00FF, magenta)",
     .set = [](Options& o, const Given& v) { o.gridColor = *ParseRgb(v.text); }},
    {.name = "greyscale", .commands = kPalette, .group = HelpGroup::Palette,
     .help = "convert the palette to grey first", .set = Set<&Options::greyscale>},
    {.name = "art", .value = Text("PIC", NotEmpty, "%1 needs a picture", Value::Kind::Path), .commands = kArt,
     .group = HelpGroup::Art,
     .help = "the picture: indexed (PNG with a colour table, GIF,\n4- or 8-bit BMP; index n is entry n%16 of "
             "palette\nn/16) or true colour (a colour whose word is entry\ni of the top palette is entry i of "
             "palette 0), at\nmost 4096 x 4096",
     .set = Set<&Options::art>, .missing = "missing --art PIC (the picture to recolour)"},
    {.name = "art-palette", .value = Number("K", 0, kMaxArtPalettes - 1), .commands = kArt, .group = HelpGroup::Art,
     .help = "the palette of the picture the fade recolours, {}\n(default 0); pixels of other palettes keep "
             "their\ncolours. Not with --all-palettes, where palette K\nof the fade recolours palette K of the "
             "picture",
     .set = Set<&Options::artPalette>, .notWith = kPicksOne},
    {.name = "frames-per-step", .value = Number("N", kMinFramesPerStep, kMaxFramesPerStep), .commands = kArt,
     .group = HelpGroup::Art,
     .help = "gif: frames of the Neo Geo's 59.1856 Hz each step\nshows, {} (default 1); a GIF frame lasts at "
             "least\n2/100 s, so 1 plays at 50 steps a second",
     .set = Set<&Options::framesPerStep>,
     .formats = kTimesAnAnimation("--frames-per-step times a %2; a %1 sheet shows every step once")},
    {.name = "hold-start", .value = Number("N", 0, kMaxHoldFrames), .commands = kArt, .group = HelpGroup::Art,
     .help = "gif: extra frames on the first step, {} (default 0)", .set = Set<&Options::holdStart>,
     .formats = kTimesAnAnimation("--hold-start times a %2; a %1 sheet shows every step once")},
    {.name = "hold-end", .value = Number("N", 0, kMaxHoldFrames), .commands = kArt, .group = HelpGroup::Art,
     .help = "gif: extra frames on the last step, {} (default 0)", .set = Set<&Options::holdEnd>,
     .formats = kTimesAnAnimation("--hold-end times a %2; a %1 sheet shows every step once")},
    {.name = "columns", .value = Number("C", 1, kMaxPalettes), .commands = kArt, .group = HelpGroup::Art,
     .help = "png: steps per row of the sheet, {} (default the\nsmaller of the palettes and 8); left to right, "
             "then\ndown",
     .set = Set<&Options::columns>,
     .formats = {&FileFormat::IsSheet, "--columns lays out a %2 sheet; %1 is an animation"}},
    {.name = "top-index", .value = Number("K", 0), .commands = kFading, .group = HelpGroup::Source,
     .help = "palette K of the top SRC, counted from 0 (default 0)", .set = Set<&Options::topIndex>,
     .notWith = kPicksOne},
    {.name = "bottom-index", .value = Number("K", 0), .commands = kFading, .group = HelpGroup::Source,
     .help = "palette K of the bottom SRC (default 0)", .set = Set<&Options::bottomIndex>, .notWith = kPicksOne},
    {.name = "index", .value = Number("K", 0), .commands = kPalette, .group = HelpGroup::Source,
     .help = "palette K of the palette command's SRC (default 0)", .set = Set<&Options::sourceIndex>,
     .notWith = kPicksOne},
    // After the index options: with --all-palettes, they are reported first.
    {.name = "step", .value = Number("N", 1, kMaxStep), .commands = kPalette, .group = HelpGroup::Palette,
     .help = "step number in the C comment, {} (default 1)", .set = Set<&Options::step>,
     .notWith = {"all-palettes", "--step numbers one palette; with --all-palettes each line names its palette"}},
    {.name = "all-palettes", .commands = kEveryCommand, .group = HelpGroup::Source,
     .help = "every palette of the SRC, for a whole-screen fade. fade:\nthe fades of all top palettes, frame by "
             "frame (each\nstep: one line per palette, palette 0 first); the\nbottom is black, white or a SRC of as "
             "many palettes.\npreview: the fades side by side. palette: one line\nper palette, or 32 bytes each "
             "for ngpal. Not with\nthe index options or --step",
     .set = Set<&Options::allPalettes>},
    {.name = "skip-comments", .commands = kEveryCommand, .group = HelpGroup::Source,
     .help = "text SRC: remove ';' and '//' to the end of the line,\n'/* ... */' and lines starting with '*'",
     .set = Set<&Options::text, &TextSourceOptions::skipComments>},
    {.name = "after", .value = Text("NAME", NotEmpty, "%1 needs a name"), .commands = kEveryCommand,
     .group = HelpGroup::Source,
     .help = "text SRC: read from just after the first place where\nNAME stands as a whole identifier: its first "
             "use,\noften an xdef or lea before the label (--table reads\nthe table a label defines)",
     .set = Set<&Options::text, &TextSourceOptions::after>},
    {.name = "skip-words", .value = Number("N", 0), .commands = kEveryCommand, .group = HelpGroup::Source,
     .help = "text SRC: the first N colour words are no colours (a\nDATlib table: --table NAME --count-word instead)",
     .set = Set<&Options::text, &TextSourceOptions::skipWords>},
    {.name = "table", .value = Text("NAME", NotEmpty, "%1 needs a name"), .commands = kEveryCommand,
     .group = HelpGroup::Source,
     .help = "text SRC: the words of the table NAME defines and\nnothing after it: the data directives of the "
             "label\nNAME: (or NAME in column 1, then dc.w), or C's\nNAME[] = { ... }; items are numbers or names "
             "given a\nvalue by #define, equ, =, .equ or .set; anything\nelse is error 1 naming the file and line",
     .set = Set<&Options::text, &TextSourceOptions::table>,
     .notWith = {"after|skip-comments",
                 "%1 reads the table NAME defines, its comments skipped; not with --after or --skip-comments"}},
    {.name = "defines", .value = Repeated(Text("FILE", NotEmpty, "%1 needs a file name", Value::Kind::Path)),
     .commands = kEveryCommand, .group = HelpGroup::Source,
     .help = "with --table: a further file whose #define, equ, =,\n.equ and .set names items may use (repeatable)",
     .set = Set<&Options::text, &TextSourceOptions::defines>,
     .needs = {"table", "--defines gives names to the items of a --table; no --table is given"}},
    {.name = "count-word", .commands = kEveryCommand, .group = HelpGroup::Source,
     .help = "text SRC: the first word (after --skip-words) is the\nnumber of palettes that follow, as in "
             "DATlib's\ntables; exactly that many are taken",
     .set = Set<&Options::text, &TextSourceOptions::countWord>},
    {.name = "palette-size", .value = Number("N", 1, kPaletteSize), .commands = kEveryCommand,
     .group = HelpGroup::Source, .help = "text or exchange SRC: N words or colours per\npalette, {} (default 16)",
     .set = Set<&Options::text, &TextSourceOptions::paletteSize>},
    {.name = "first-entry", .value = Number("E", 0, kPaletteSize - 1), .commands = kEveryCommand,
     .group = HelpGroup::Source,
     .help = "text or exchange SRC: a palette's first word or colour\nis entry E, {} (default 0); the entries none reaches\nare black",
     .set = Set<&Options::text, &TextSourceOptions::firstEntry>, .jointly = ReachPastTheEntries},
    {.name = "read-as", .value = Word<kSourceKinds>("KIND"), .commands = kEveryCommand, .group = HelpGroup::Source,
     .help = "read every SRC file as a palette file, text, a picture,\na GIMP or JASC palette, an Adobe colour table or a\nhex list whatever its name and first line",
     .set = Choose<&Options::readAs, kSourceKinds>},
    {.name = "picture-words", .value = Word<kPictureWordRules>("RULE"), .commands = kEveryCommand,
     .group = HelpGroup::Source,
     .help = "picture or exchange SRC: 'levels' (default) maps\ncolours through the level tables; 'ngdevkit' converts\n"
             "them as ngdevkit's palette tool does, as the game has\nthem",
     .set = Choose<&Options::pictureWords, kPictureWordRules>},
    {.name = "picture-order", .value = Word<kPictureOrders>("ORDER"), .commands = kEveryCommand,
     .group = HelpGroup::Source,
     .help = "picture SRC: 'appearance' (default) takes colours in\norder of first use; 'table' takes an indexed "
             "picture's\ncolour table in table order, entries 16K to 16K+15\nfor palette K, as tile cutters number "
             "them",
     .set = Choose<&Options::pictureOrder, kPictureOrders>},
    {.name = "o", .alias = "output", .value = OutputPath(Text("OUT", NotEmpty, "%1 needs a file name or '-'", Value::Kind::Path)),
     .commands = kEveryCommand, .group = HelpGroup::Output,
     .help = "written exactly at OUT (no extension added), replaced\nonly once complete; '-' writes to standard "
             "output",
     .set = Set<&Options::output>, .missing = "missing -o OUT (a file name, or '-' for standard output)"},
    // "{extensions}": what each extension implies, from the formats.
    {.name = "format", .value = {.kind = Value::Kind::Format, .name = "F"}, .commands = kEveryCommand,
     .group = HelpGroup::Output,
     .help = "default from OUT's extension: {extensions}. asm is \"dc.w $7FFF\" for\nvasm and as -M; gas (only "
             "by name) is \".word 0x7FFF\"\nfor GNU as in its default syntax. gpl, jasc, act and\nhex write the "
             "colours the preview shows, for GIMP,\nPaint Shop Pro, Photoshop and palette sites",
     .set = Set<&Options::formatName>},
    {.name = "label",
     .value = Text("NAME", IsCIdentifier,
                   "%1 must be a C identifier (a letter or '_', then letters, digits or '_'), not '%2'"),
     .commands = kTextOutput, .group = HelpGroup::Output,
     .help = "asm, gas, c: a named table. asm: xdef NAME, even,\nNAME:; gas: .globl NAME, .balign 2, NAME:; c: "
             "the\narray is NAME instead of fade_colors; gpl: the\npalette's Name: (default OUT's base name). NAME "
             "is a\nC identifier; bin, ngpal, jasc, act and hex take no\nlabel",
     .set = Set<&Options::exportOptions, &ExportOptions::label>,
     .formats = {&FileFormat::TakesLabel, "--label names an %2 table; %1 has no name"}, .checks = kLabelChecks},
    {.name = "c-type",
     .value = Text("TYPE", IsCType,
                   "%1 must be C identifiers separated by single spaces, such as u16 or 'unsigned short', not '%2'"),
     .commands = kTextOutput, .group = HelpGroup::Output,
     .help = "c: the element type instead of int (4 bytes on the\n68000), e.g. u16, uint16_t or \"unsigned short\"",
     .set = Set<&Options::exportOptions, &ExportOptions::cType>,
     .formats = {&FileFormat::TakesCType, "--c-type is the element type of %2, not of %1"}, .checks = kCTypeChecks},
    {.name = "help", .alias = "h", .help = "this text"},
    {.name = "version", .help = "the version"},
};

const CommandRow kCommands[] = {
    {.name = "fade", .bit = kFade, .formats = kFadeTableCliFormats,
     .tags = Bit(HelpGroup::Fade) | Bit(HelpGroup::Source),
     .help = "the fade table: one line of \"dc.w\" words per palette (asm) or\n\".word\" words (gas), the C array "
             "fade_colors (c), big-endian\nwords (bin), or every step's colours as a GIMP or JASC\npalette, an Adobe "
             "colour table or a hex list",
     .produce = ProduceFade},
    {.name = "preview", .bit = kPreview, .formats = kPictureSave.formats,
     .tags = Bit(HelpGroup::Fade) | Bit(HelpGroup::Source),
     .help = "the preview picture: one 8 x 8 cell per colour and palette,\nenlarged by --zoom, as PNG or BMP",
     .produce = ProducePreview},
    {.name = "palette", .bit = kPalette, .formats = kSourcePaletteCliFormats, .operand = "SRC",
     .tags = Bit(HelpGroup::Source),
     .help = "one source palette (or every one, --all-palettes): 16 words as\nasm, gas, C or a 32-byte .ngpal file, "
             "or 16 colours as a GIMP\nor JASC palette, an Adobe colour table or a hex list",
     .produce = ProducePalette},
    {.name = "art", .bit = kArt, .formats = kArtCliFormats, .tags = Bit(HelpGroup::Fade) | Bit(HelpGroup::Source),
     .help = "the fade played on a picture (--art PIC): a looping GIF\nanimation, one frame per step, or a PNG sheet "
             "of every step",
     .produce = ProduceArt},
};

} // namespace

std::span<const OptionRow> OptionRows() { return kOptions; }
std::span<const CommandRow> CommandRows() { return kCommands; }

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

QStringList CommandNames()
{
    QStringList names;
    for (const CommandRow& command : kCommands)
        names << QLatin1String(command.name);
    return names;
}

QStringList FormatNames(const CommandRow& command)
{
    QStringList names;
    for (const FileFormat* format : command.formats)
        names << QLatin1String(format->cliName);
    return names;
}

QStringList Words(const Value& value)
{
    QStringList words;
    for (const std::string_view word : value.words)
        words << QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
    return words;
}

} // namespace palfade::cli
