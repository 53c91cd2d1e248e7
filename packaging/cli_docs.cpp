#include "cli_docs.h"

#include "cli/cli_rows.h"

#include <map>

namespace palfade::cli {

namespace {

// roff: backslashes and minus signs escaped, no line read as a request.
QString Roff(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\e")).replace(QLatin1Char('-'), QLatin1String("\\-"));
    return text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')) ? QLatin1String("\\&") + text
                                                                                      : text;
}

QString RoffParagraph(const QStringList& lines) { return Roff(lines.join(QLatin1Char(' '))) + QLatin1Char('\n'); }

// Words joined with newlines in bash's $'...' quoting.
QString BashWords(const QStringList& words) { return QStringLiteral("$'%1'").arg(words.join(QLatin1String("\\n"))); }

} // namespace

QString ManPage(const QString& moreSections)
{
    QString man = QStringLiteral(".TH PALFADE\\-CLI 1 \"\" \"palfade %1\" \"User Commands\"\n.SH NAME\n"
                                 "palfade\\-cli \\- Neo Geo palette fades for build scripts\n.SH SYNOPSIS\n.ad l\n")
                      .arg(QLatin1String(PALFADE_VERSION));
    for (const CommandRow& command : CommandRows())
        man += QStringLiteral(".B palfade\\-cli\n") + RoffParagraph(UsageWords(command)) + QStringLiteral(".br\n");
    man += QStringLiteral(".ad\n.SH DESCRIPTION\n") + RoffParagraph(Lines(kProse[0]));
    for (const CommandRow& command : CommandRows())
        man += QStringLiteral(".TP\n.B %1\n").arg(QLatin1String(command.name)) + RoffParagraph(Lines(command.help));
    man += QStringLiteral(".PP\nSRC is one of:\n.nf\n");
    for (const QString& line : Lines(kProse[1]))
        man += Roff(line) + QLatin1Char('\n');
    man += QStringLiteral(".fi\n.SH OPTIONS\n");
    for (int group = 0; group < static_cast<int>(kGroupCount); ++group) {
        man += QStringLiteral(".SS %1\n").arg(QString::fromUtf8(kGroupTitles[group]).chopped(1));
        if (static_cast<HelpGroup>(group) == HelpGroup::Source)
            man += RoffParagraph(Lines(kProse[2]));
        for (const OptionRow& option : OptionRows()) {
            if (option.group != static_cast<HelpGroup>(group))
                continue;
            const QString names = Roff(SpelledNames(option).join(QStringLiteral(", ")))
                                      .replace(QStringLiteral(", "), QStringLiteral("\\fR, \\fB"));
            const QString value = option.value.name ? QStringLiteral(" \\fI%1\\fR").arg(option.value.name) : QString();
            man += QStringLiteral(".TP\n\\fB") + names + QStringLiteral("\\fR") + value + QLatin1Char('\n') +
                   RoffParagraph(HelpLines(option));
        }
    }
    return man + moreSections;
}

QStringList OptionNames()
{
    QStringList names;
    for (const OptionRow& option : OptionRows())
        names << SpelledNames(option);
    return names;
}

QString BashCompletion()
{
    QStringList top = CommandNames();
    for (const OptionRow& option : OptionRows())
        if (!option.commands)
            top << SpelledNames(option);
    QString cases;
    for (const CommandRow& command : CommandRows()) {
        const QString name = QLatin1String(command.name);
        std::map<QString, QStringList> patterns; // what to offer -> the options whose value it completes
        QStringList options;
        for (const OptionRow& option : OptionRows()) {
            if (option.commands && !(option.commands & command.bit))
                continue;
            const QStringList spelled = SpelledNames(option);
            options << spelled;
            const Value& value = option.value;
            QString offer;
            if (value.kind == Value::Kind::None)
                continue;
            if (value.kind == Value::Kind::Source)
                offer = QStringLiteral("words=$'black\\nwhite\\n-' files=1");
            else if (value.kind == Value::Kind::Path)
                offer = QStringLiteral("files=1");
            else if (value.kind == Value::Kind::Word || value.kind == Value::Kind::Format)
                offer = QStringLiteral("words=") + BashWords(ValueText(option, &command).split(QLatin1Char('|')));
            for (const QString& n : spelled)
                patterns[offer] << QStringLiteral("*:%1:%2").arg(name, n);
        }
        for (const auto& [offer, on] : patterns)
            cases += QStringLiteral("    %1) %2 ;;\n").arg(on.join(QLatin1Char('|')), offer);
        cases += QStringLiteral("    *:%1:*) words=%2").arg(name, BashWords(options));
        if (command.operand)
            cases += QStringLiteral("\n        [[ $cur == -* ]] || words+=$'\\nblack\\nwhite\\n-' files=1");
        cases += QStringLiteral(" ;;\n");
    }
    return QStringLiteral("# bash completion for palfade-cli                           -*- shell-script -*-\n"
                          "# Made from palfade-cli's option table when palfade is built.\n\n"
                          "_palfade_cli()\n{\n"
                          "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} IFS=$'\\n'\n"
                          "    local words= files=\n"
                          "    case $COMP_CWORD:${COMP_WORDS[1]}:$prev in\n"
                          "    1:*) words=%1 ;;\n%2    esac\n"
                          "    COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
                          "    [[ -z $files ]] || COMPREPLY+=($(compgen -f -- \"$cur\"))\n}\n"
                          "complete -o filenames -F _palfade_cli palfade-cli\n")
        .arg(BashWords(top), cases);
}

} // namespace palfade::cli
