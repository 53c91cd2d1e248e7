#include "cli/cli_support.h"

namespace palfade::cli {

void Print(QIODevice& device, const QString& line)
{
    device.write(line.toUtf8());
    device.write("\n");
}

void Warn(const Streams& io, const QString& warning)
{
    Print(io.err, QStringLiteral("%1: warning: %2").arg(QLatin1String(kProgram), warning));
}

QString SourceName(const QString& src)
{
    return src == QLatin1String(kStdio) ? QStringLiteral("standard input") : src;
}

} // namespace palfade::cli
