#pragma once
// palfade-cli's option and command tables, for what is made from them:
// the parser and --help here, the manual page and bash completion in
// packaging.

#include "cli/cli_options.h"

#include <climits>
#include <span>

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
    const char* words = nullptr;             // Word: "appearance|table"
    bool (*valid)(QStringView) = nullptr;     // Text, Source, Path: null accepts any text
    const char* refusal = nullptr;           // why `valid` refused: %1 the option, %2 the value
    bool repeats = false;                    // may be given again, each value kept; else once only
};

// A value as read: the number of a Number, the place of a Word in its list.
struct Given { QString text; int number = 0; };

// Names separated by '|', and the reason when they do not hold.
struct Rule { const char* names = nullptr; const char* reason = nullptr; };

// A further check of a value, once the format is known: for the formats
// named (separated by '|'; null: every format), `valid` must accept it, else
// the reason with %1 the option and %2 the value.
struct Check {
    const char* formats = nullptr;
    bool (*valid)(QStringView) = nullptr;
    const char* refusal = nullptr;
};

// One option of palfade-cli, whole: the parser, --help, the man page, the
// bash completion and the usage errors read it and nothing else.
struct OptionRow {
    const char* name;  // one letter: "-o", else "--name"
    const char* alias; // a further accepted name, or null
    Value value;
    unsigned commands; // none: answered before any command is looked at
    HelpGroup group;
    const char* help;  // lines separated by '\n'; "{}" stands for a Number's range
    void (*set)(Options&, const Given&);
    Rule formats{};    // only for these formats; %1 in the reason: the format chosen
    Rule notWith{};    // refused beside these options; %1 in the reason: this option
    const char* missing = nullptr; // the usage error when it is not given; null: optional
    std::span<const Check> checks{};
};

struct CommandRow {
    const char* name;
    Command command;
    unsigned bit;
    FormatList formats;   // what --format names and OUT's extension choose from, in this order
    const char* operand;  // the SRC it takes, or null
    unsigned tags;        // the help groups its usage line names by tag ([FADE], [PICK])
    const char* help;     // lines separated by '\n'
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
QStringList CommandNames();
QStringList FormatNames(const CommandRow& command);
QStringList Lines(const QString& text);
QStringList HelpLines(const OptionRow& option);
// A value as usage lines show it: a range, the words; without a command its name.
QString ValueText(const OptionRow& option, const CommandRow* command);
QStringList UsageWords(const CommandRow& command);

} // namespace palfade::cli
