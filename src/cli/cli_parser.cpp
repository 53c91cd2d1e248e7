// palfade-cli's parser: the command line read against the rows, every usage
// error in the order the rows give them.

#include "cli/cli_rows.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace palfade::cli {

namespace {

using Action = ParseResult::Action;
// A usage error's reason, or nothing when the arguments keep the rule.
using Refusal = std::optional<QString>;

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
Refusal Read(const OptionRow& option, const QString& text, Options& o)
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
        QStringList words = Words(value);
        given.number = static_cast<int>(words.indexOf(text));
        if (given.number < 0)
            return QStringLiteral("%1 is %2, not '%3'")
                .arg(name, OrList(words.replaceInStrings(QRegularExpression(QStringLiteral("^|$")), QStringLiteral("'"))), text);
    } else if (value.valid && !value.valid(text)) {
        return Fill(value.refusal, name, text);
    } else if (value.kind == Value::Kind::Path && !value.standardOutput && text == QLatin1String(kStdio)) {
        return QStringLiteral("%1 reads a file: standard input ('-') is read only for a SRC (./- names a file "
                              "called -)")
            .arg(name);
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

// --help and --version answer whatever else is given.
std::optional<Action> Answer(const QStringList& args)
{
    for (const QString& a : args)
        for (const OptionRow& option : OptionRows())
            if (option.commands == 0 && SpelledNames(option).contains(a))
                return QLatin1String(option.name) == u"help" ? Action::Help : Action::Version;
    return std::nullopt;
}

const CommandRow* FindCommand(const QString& name)
{
    for (const CommandRow& command : CommandRows())
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

// The command word is the first positional argument; the parser knows only
// the command's own options.
bool ParseCommandLine(QCommandLineParser& parser, const QStringList& args, const CommandRow& command)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionRow& option : OptionRows())
        if (option.commands & command.bit)
            parser.addOption({SpelledNames(option).replaceInStrings(QRegularExpression(QStringLiteral("^--?")), {}),
                              QString(), QLatin1String(option.value.name)});
    return parser.parse(QStringList{QStringLiteral("palfade-cli")} + args);
}

// The options given, each with its last value.
struct GivenOptions {
    std::map<const OptionRow*, qsizetype> count;
    std::map<const OptionRow*, QString> values;

    bool Has(const OptionRow* option) const { return count.contains(option); }
    // Whether one of the options named (separated by '|') is given, with
    // `value` if it is not null.
    bool HasOneOf(const char* names, const QString* value = nullptr) const
    {
        for (const QString& name : QString::fromUtf8(names).split(QLatin1Char('|'))) {
            const OptionRow* other = FindOption(name);
            if (Has(other) && (!value || values.at(other) == *value))
                return true;
        }
        return false;
    }
};

// In the order given, so the first refused value is the one reported.
Refusal ReadValues(const QCommandLineParser& parser, Options& o, GivenOptions& given)
{
    for (const QString& name : parser.optionNames()) {
        const OptionRow& option = *FindOption(name);
        const qsizetype n = given.count[&option]++;
        if (n > 0 && option.value.kind != Value::Kind::None && !option.value.repeats)
            return QStringLiteral("%1 is given more than once").arg(Spelled(option.name));
        const QString value = option.value.kind == Value::Kind::None ? QString() : parser.values(name).value(n);
        if (Refusal refused = Read(option, value, o))
            return refused;
        given.values[&option] = value;
    }
    return std::nullopt;
}

Refusal CheckJointRules(const GivenOptions& given, const Options& o)
{
    for (const OptionRow& option : OptionRows()) {
        if (option.needs.names && given.Has(&option) && !given.HasOneOf(option.needs.names))
            return QString::fromUtf8(option.needs.reason);
        if (option.jointly)
            if (const QString reason = option.jointly(o); !reason.isEmpty())
                return reason;
    }
    return std::nullopt;
}

Refusal ReadOperand(const QStringList& positional, const CommandRow& command, Options& o)
{
    const QString commandName = QLatin1String(command.name);
    const QString operand = QLatin1String(command.operand);
    if (command.operand && positional.size() != 1)
        return positional.isEmpty() ? QStringLiteral("'%1' needs one %2").arg(commandName, operand)
                                    : QStringLiteral("'%1' takes one %2, not %3").arg(commandName, operand)
                                          .arg(positional.size());
    if (!command.operand && !positional.isEmpty())
        return QStringLiteral("unexpected argument '%1'").arg(positional.first());
    o.source = positional.value(0);
    if (command.operand && !kSource.valid(o.source))
        return Fill(kSource.refusal, operand, o.source);
    return std::nullopt;
}

Refusal CheckStandardInputAndMissing(const GivenOptions& given, const CommandRow& command)
{
    const QString stdio = QLatin1String(kStdio);
    for (const OptionRow& option : OptionRows()) {
        if (option.stdinWith.names && given.Has(&option) && given.values.at(&option) == stdio &&
            given.HasOneOf(option.stdinWith.names, &stdio))
            return QString::fromUtf8(option.stdinWith.reason);
        if (option.missing && (option.commands & command.bit) && !given.Has(&option))
            return QString::fromUtf8(option.missing);
    }
    return std::nullopt;
}

// By --format, else by OUT's extension.
Refusal ChooseFormat(const CommandRow& command, Options& o)
{
    for (const FileFormat* format : command.formats)
        if (!o.format && (o.formatName ? *o.formatName == QLatin1String(format->cliName)
                                       : o.output != QLatin1String(kStdio) && HasExtensionOf(o.output, *format, true)))
            o.format = format;
    const QString allowed = FormatNames(command).join(QLatin1Char('|'));
    if (!o.format && o.formatName)
        return QStringLiteral("unknown format '%1' for '%2' (%3)")
            .arg(*o.formatName, QLatin1String(command.name), allowed);
    if (!o.format)
        return QStringLiteral("cannot tell the format from '%1': give --format %2").arg(o.output, allowed);
    return std::nullopt;
}

// The command's formats that have the capability: "asm, gas or c".
QString FormatsThat(const CommandRow& command, FormatCapability capability)
{
    QStringList names;
    for (const FileFormat* format : command.formats)
        if ((format->*capability)())
            names << QLatin1String(format->cliName);
    return OrList(names);
}

// Options that mean nothing for the chosen format or contradict each other
// are refused rather than ignored, so a build rule says what it gets.
Refusal CheckFormatAndPairs(const GivenOptions& given, const CommandRow& command, const FileFormat& format)
{
    const QString name = QLatin1String(format.cliName);
    for (const OptionRow& option : OptionRows())
        if (given.Has(&option) && option.formats.applies && !(format.*option.formats.applies)())
            return Fill(option.formats.reason, name, FormatsThat(command, option.formats.applies));
    for (const auto& [option, value] : given.values)
        for (const Check& check : option->checks)
            if ((!check.formats || (format.*check.formats)()) && !check.valid(value))
                return Fill(check.refusal, Spelled(option->name), value);
    for (const OptionRow& option : OptionRows())
        if (option.notWith.names && given.Has(&option) && given.HasOneOf(option.notWith.names))
            return Fill(option.notWith.reason, Spelled(option.name));
    return std::nullopt;
}

Refusal Parse(const QStringList& args, Options& o)
{
    const QString commands = OrList(CommandNames());
    if (args.isEmpty())
        return QStringLiteral("no command given (%1)").arg(commands);
    const CommandRow* command = FindCommand(args.first());
    if (!command)
        return QStringLiteral("unknown command '%1' (%2)").arg(args.first(), commands);
    o.command = command;
    QCommandLineParser parser;
    if (!ParseCommandLine(parser, args, *command))
        return ParseError(parser, args, QLatin1String(command->name));
    GivenOptions given;
    if (Refusal refused = ReadValues(parser, o, given))
        return refused;
    if (Refusal refused = CheckJointRules(given, o))
        return refused;
    if (Refusal refused = ReadOperand(parser.positionalArguments().mid(1), *command, o))
        return refused;
    if (Refusal refused = CheckStandardInputAndMissing(given, *command))
        return refused;
    if (Refusal refused = ChooseFormat(*command, o))
        return refused;
    return CheckFormatAndPairs(given, *command, *o.format);
}

} // namespace

ParseResult ParseArguments(const QStringList& args)
{
    if (const std::optional<Action> answer = Answer(args))
        return {*answer, {}, {}};
    ParseResult result;
    if (const Refusal refused = Parse(args, result.options)) {
        result.action = Action::UsageError;
        result.error = *refused;
    }
    return result;
}

} // namespace palfade::cli
