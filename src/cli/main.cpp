// palfade-cli: the standard streams and the arguments, then RunCli.

#include "cli/cli.h"
#include "cli/standard_streams.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

// The picture decoders report trouble through Qt's log as well; palfade-cli
// prints its own one-line reason instead.
void QuietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietQtMessages);
    // For the arguments as the system gives them (wide on Windows) and the
    // image format plugins (JPEG, GIF). Qt's image readers and writers need
    // no QGuiApplication, so no platform plugin and no display.
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    QFile in;
    QFile out;
    QFile err;
    if (!palfade::cli::OpenStandardStreams(in, out, err)) {
        std::fputs("palfade-cli: error: cannot open the standard streams\n", stderr);
        return palfade::cli::kExitRuntimeError;
    }
    return palfade::cli::RunCli(args, in, out, err);
}
