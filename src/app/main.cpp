// palfade: start-up, then the event loop until the window is closed or
// "Quit" is chosen. Nothing is asked or saved on the way out.

#include "app/start_up.h"
#include "core/app_state.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kExitUsageError = 2;

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

} // namespace

int main(int argc, char** argv)
{
    // --help and --version answer before QApplication exists, so they need
    // no display. Qt's own options are still in this list and ignored here.
    QStringList rawArgs;
    for (int i = 1; i < argc; ++i)
        rawArgs << QString::fromLocal8Bit(argv[i]);
    const palfade::CommandLine early = palfade::ParseCommandLine(rawArgs);
    if (early.action == palfade::CommandLine::Action::Help ||
        early.action == palfade::CommandLine::Action::Version) {
        Print(stdout, early.text);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    // The history Qt's dialogs would write goes into a folder removed on exit.
    const QTemporaryDir dialogHistory;
    if (dialogHistory.isValid())
        palfade::KeepQtSettingsIn(dialogHistory.path());
    QApplication app(argc, argv);
    palfade::SetUpApplicationIdentity();

    // QApplication has taken its own options out of the list by now.
    const palfade::CommandLine commandLine = palfade::ParseCommandLine(QApplication::arguments().mid(1));
    if (commandLine.action == palfade::CommandLine::Action::UsageError) {
        Print(stderr, commandLine.text);
        return kExitUsageError;
    }

    palfade::AppState state;
    palfade::QtHost host;
    palfade::MainWindow window(state, host);
    host.SetOwner(&window);
    for (const QString& message : palfade::OpenCommandLineFiles(state, host, commandLine.paths))
        Print(stderr, message);
    window.RefreshView();
    window.show();
    if (!commandLine.art.isEmpty())
        Print(stderr, palfade::OpenCommandLineArt(window, commandLine.art));
    app.exec();
    return 0;
}
