#pragma once
// palfade-cli's option and command tables, for what is made from them:
// the parser and --help here, the manual page and bash completion in
// packaging.

#include "cli/cli_commands.h"
#include "cli/cli_options.h"

#include <array>
#include <climits>
#include <span>
#include <string_view>

namespace palfade::cli {

// which commands take an option
enum CommandBit : unsigned { kFade = 1u << 0, kPreview = 1u << 1, kPalette = 1u << 2, kArt = 1u << 3 };
constexpr unsigned kFadeAndPreview = kFade | kPreview;
constexpr unsigned kFading = kFade | kPreview | kArt; // the commands that compute a fade
constexpr unsigned kTextOutput = kFade | kPalette; // the commands with asm, gas and c forms
constexpr unsigned kEveryCommand = kFade | kPreview | kPalette | kArt;

enum class HelpGroup { Fade, Preview, Palette, Art, Source, Output, Other };
constexpr unsigned Bit(HelpGroup group) { return 1u << static_cast<unsigned>(group); }

constexpr int kUnbounded = INT_MAX;

// A word an option's value may be, and the setting it stands for.
template <typename T>
struct Named {
    std::string_view name;
    T value;
};

// The words of a table of {name, value} rows, in its order.
template <auto& table>
inline constexpr auto kWordsOf = [] {
    std::array<std::string_view, std::size(table)> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = table[i].name;
    return words;
}();

// What follows an option's name, how it is checked and completed.
struct Value {
    enum class Kind {
        None,   // a switch
        Number, // a whole number from low to high
        Word,   // one of `words`
        Format, // one of the command's formats
        Text,   // any text `valid` accepts
        Source, // a palette SRC: black, white, '-' or a file
        Path,   // a file name
    } kind = Kind::None;
    const char* name = nullptr; // "N", "SRC": the help's and the man page's name of the value
    int low = 0, high = 0;
    std::span<const std::string_view> words = {}; // Word: kWordsOf its table
    bool (*valid)(QStringView) = nullptr;     // Text, Source, Path: null accepts any text
    const char* refusal = nullptr;           // why `valid` refused: %1 the option, %2 the value
    bool repeats = false;                    // may be given again, each value kept; else once only
    bool standardOutput = false;             // Path: '-' is standard output; else '-' is refused
};

// A palette SRC: a SRC naming a word must give it; any other SRC is looked
// at when read. Also the check of a command's SRC operand.
extern const Value kSource;

// A value as read: the number of a Number, the place of a Word in its table.
struct Given { QString text; int number = 0; };

// Names separated by '|', and the reason when they do not hold.
struct Rule { const char* names = nullptr; const char* reason = nullptr; };

// The formats an option applies to, by what they can take, and the reason
// when another is chosen: %1 the format chosen, %2 the command's formats
// that apply ("asm, gas or c").
struct FormatRule {
    FormatCapability applies = nullptr;
    const char* reason = nullptr;
};

// A further check of a value, once the format is known: for the formats
// with the capability (null: every format), `valid` must accept it, else the
// reason with %1 the option and %2 the value.
struct Check {
    FormatCapability formats = nullptr;
    bool (*valid)(QStringView) = nullptr;
    const char* refusal = nullptr;
};

// One option of palfade-cli, whole: the parser, --help, the man page, the
// bash completion and the usage errors read it and nothing else.
struct OptionRow {
    const char* name;           // one letter: "-o", else "--name"
    const char* alias = nullptr; // a further accepted name
    Value value = {};
    unsigned commands = 0; // none: answered before any command is looked at
    HelpGroup group = HelpGroup::Other;
    const char* help = nullptr; // lines separated by '\n'; "{}" stands for a Number's range
    void (*set)(Options&, const Given&) = nullptr;
    FormatRule formats = {}; // only for the formats that can take it
    Rule notWith = {};       // refused beside these options; %1 in the reason: this option
    // Once every value is read, before the operand: refused without one of
    // `needs`; `jointly` gives the reason when this option's value and the
    // others' (given or default) do not go together, else nothing.
    Rule needs = {};
    QString (*jointly)(const Options& o) = nullptr;
    // Once the operand is read, with the missing options: refused when it
    // reads standard input ('-') and one of these does too.
    Rule stdinWith = {};
    const char* missing = nullptr; // the usage error when it is not given; null: optional
    std::span<const Check> checks = {};
};

struct CommandRow {
    const char* name;
    unsigned bit = 0;
    FormatList formats = {};    // what --format names and OUT's extension choose from, in this order
    const char* operand = nullptr; // the SRC it takes
    unsigned tags = 0;          // the help groups its usage line names by tag ([FADE], [PICK])
    const char* help = nullptr; // lines separated by '\n'
    Producer produce = nullptr;
};

constexpr int kGroupCount = 7;
extern const char* const kGroupTags[kGroupCount];   // how usage lines name a group: [FADE]
extern const char* const kGroupTitles[kGroupCount]; // the help's heading of a group
// The help's own text: the description, the SRC list, the PICK paragraph,
// exit status and examples.
extern const QStringList kProse;

std::span<const OptionRow> OptionRows();
std::span<const CommandRow> CommandRows();
QString Spelled(const QString& bare); // "-o", "--top"
QStringList SpelledNames(const OptionRow& option);
const OptionRow* FindOption(const QString& name); // by a name without its dashes
QStringList CommandNames();
QStringList FormatNames(const CommandRow& command);
QStringList Words(const Value& value); // a Word's words
QStringList Lines(const QString& text);
QStringList HelpLines(const OptionRow& option);
// A value as usage lines show it: a range, the words; without a command its name.
QString ValueText(const OptionRow& option, const CommandRow* command);
QStringList UsageWords(const CommandRow& command);

} // namespace palfade::cli
