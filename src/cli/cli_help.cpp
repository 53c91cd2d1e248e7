// palfade-cli --help: usage lines, commands and option groups made from the
// rows, with the prose of help.txt around them.

#include "cli/cli_rows.h"
#include "cli/help_text.h"

#include <algorithm>

namespace palfade::cli {

const QStringList kProse = QString::fromUtf8(kHelpProse).split(QStringLiteral("\n----\n"));

const char* const kGroupTags[kGroupCount] = {"FADE", nullptr, nullptr, nullptr, "PICK", nullptr, nullptr};
const char* const kGroupTitles[kGroupCount] = {"FADE options:", "preview options:", "palette options:",
                                               "art options:",  "PICK options:",    "Output:",
                                               "Other:"};

namespace {

constexpr int kHelpColumn = 22;
constexpr int kHelpWidth = 79;
constexpr int kCommandColumn = 12;
// In a row's help: what each extension implies, from the formats.
constexpr QLatin1StringView kExtensionsMark("{extensions}");

// ".s .asm .inc -> asm, .c .h -> c, ..." for every format an extension
// implies, in lines of the help's width, an entry never broken; the first
// line has `column` characters before it.
QString ExtensionEntries(qsizetype column)
{
    QStringList entries;
    for (const FileFormat* format : kCliFormats) {
        QStringList extensions;
        for (const Extensions list : {format->extensions, format->alsoAccepted})
            for (const char* extension : list)
                extensions << QLatin1Char('.') + QLatin1String(extension);
        if (!extensions.isEmpty())
            entries << extensions.join(QLatin1Char(' ')) + QStringLiteral(" -> ") + QLatin1String(format->cliName);
    }
    QString text;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString entry = entries[i] + (i + 1 < entries.size() ? QStringLiteral(",") : QString());
        const qsizetype space = i > 0 ? 1 : 0;
        if (column + space + entry.size() > kHelpWidth - kHelpColumn) {
            text += QLatin1Char('\n');
            column = 0;
        } else if (space) {
            text += QLatin1Char(' ');
            ++column;
        }
        text += entry;
        column += entry.size();
    }
    return text;
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
    for (const OptionRow& option : OptionRows())
        if (option.group == group)
            text += HelpRow(SpelledNames(option).join(QStringLiteral(", ")) +
                                (option.value.name ? QLatin1Char(' ') + ValueText(option, nullptr) : QString()),
                            HelpLines(option), kHelpColumn);
    return text;
}

// The usage lines, each broken to the help's width.
QString UsageText()
{
    QString text = QStringLiteral("Usage:\n");
    const qsizetype width = std::ranges::max(CommandNames(), {}, &QString::size).size();
    for (const CommandRow& command : CommandRows()) {
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
    return text;
}

} // namespace

QStringList Lines(const QString& text) { return text.split(QLatin1Char('\n')); }

// An option's help lines, "{}" filled with its range.
QStringList HelpLines(const OptionRow& option)
{
    QString help = QString::fromUtf8(option.help);
    if (const qsizetype mark = help.indexOf(kExtensionsMark); mark >= 0) {
        const qsizetype column = mark - (help.lastIndexOf(QLatin1Char('\n'), mark) + 1);
        help.replace(mark, kExtensionsMark.size(), ExtensionEntries(column));
    }
    return Lines(help).replaceInStrings(QLatin1String("{}"),
                                        QStringLiteral("%1-%2").arg(option.value.low).arg(option.value.high));
}

QString ValueText(const OptionRow& option, const CommandRow* command)
{
    const Value& value = option.value;
    if (value.kind == Value::Kind::Number && value.high != kUnbounded && command)
        return QStringLiteral("%1-%2").arg(value.low).arg(value.high);
    if (value.kind == Value::Kind::Word && command)
        return Words(value).join(QLatin1Char('|'));
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
    for (int group = 0; group < kGroupCount; ++group)
        if (command.tags & Bit(static_cast<HelpGroup>(group)))
            words << QStringLiteral("[%1]").arg(QLatin1String(kGroupTags[group]));
    QStringList required;
    for (const OptionRow& option : OptionRows()) {
        if (!(option.commands & command.bit) || (command.tags & Bit(option.group)))
            continue;
        const QString value = ValueText(option, &command);
        const QString text = Spelled(option.name) + (value.isEmpty() ? QString() : QLatin1Char(' ') + value);
        (option.missing ? required : words) << (option.missing ? text : QLatin1Char('[') + text + QLatin1Char(']'));
    }
    return words + required;
}

QString HelpText()
{
    QString text = UsageText() + QLatin1Char('\n') + kProse[0] + QStringLiteral("\n\nCommands:\n");
    for (const CommandRow& command : CommandRows())
        text += HelpRow(QLatin1String(command.name), Lines(command.help), kCommandColumn);
    return text + HelpGroupText(HelpGroup::Fade) + HelpGroupText(HelpGroup::Preview) +
           HelpGroupText(HelpGroup::Palette) + HelpGroupText(HelpGroup::Art) + QStringLiteral("\nSRC is one of:\n") +
           Indented(Lines(kProse[1]), 2) + QLatin1Char('\n') + kProse[2] + QLatin1Char('\n') +
           HelpGroupText(HelpGroup::Source) + HelpGroupText(HelpGroup::Output) + QLatin1Char('\n') + kProse[3] +
           HelpGroupText(HelpGroup::Other);
}

} // namespace palfade::cli
