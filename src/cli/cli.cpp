#include "cli/cli.h"

#include "cli/cli_rows.h"
#include "core/table_stats.h"
#include "io/file_access.h"

namespace palfade::cli {

namespace {

void PrintError(QIODevice& err, const QString& reason)
{
    Print(err, QStringLiteral("%1: error: %2").arg(QLatin1String(kProgram), reason));
}

QString CannotWriteStandardOutput(const QIODevice& out)
{
    return QStringLiteral("cannot write standard output: %1").arg(out.errorString());
}

void Emit(const Options& o, const DeviceWrite& output, QIODevice& out)
{
    if (o.output != QLatin1String(kStdio)) {
        if (const IoStatus status = WriteFileAtomically(o.output, output); !status.ok())
            throw Failure(status.error);
    } else if (!output(out)) {
        throw Failure(CannotWriteStandardOutput(out));
    }
}

// --help and --version: a text that did not reach standard output is a
// failure like any other.
int Answer(const QString& text, QIODevice& out, QIODevice& err)
{
    if (WriteAll(out, text.toUtf8()))
        return kExitSuccess;
    PrintError(err, CannotWriteStandardOutput(out));
    return kExitRuntimeError;
}

} // namespace

int RunCli(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const ParseResult parsed = ParseArguments(args);
    switch (parsed.action) {
    case ParseResult::Action::Help:
        return Answer(HelpText(), out, err);
    case ParseResult::Action::Version:
        return Answer(QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QLatin1String(PALFADE_VERSION)), out,
                      err);
    case ParseResult::Action::UsageError:
        Print(err, QStringLiteral("%1: %2 (try '%1 --help')").arg(QLatin1String(kProgram), parsed.error));
        return kExitUsageError;
    case ParseResult::Action::Run:
        break;
    }
    try {
        TableStats stats;
        const Options& o = parsed.options;
        Emit(o, o.command->produce(o, Streams{in, err}, stats), out);
        if (o.stats)
            Print(err, QString::fromStdString(StatsLine(stats)));
    } catch (const Failure& failure) {
        PrintError(err, failure.reason());
        return kExitRuntimeError;
    }
    return kExitSuccess;
}

} // namespace palfade::cli
