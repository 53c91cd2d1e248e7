#include "app/start_up.h"

#include "ui/art_preview_window.h"
#include "ui/command_ids.h"
#include "ui/file_commands.h"
#include "ui/main_window.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWindow>

namespace palfade {

namespace {

constexpr char kProgram[] = "palfade";
// How long the art preview waits for the main window to be shown.
constexpr int kExposeWaitMilliseconds = 2000;
constexpr int kExposeWaitStepMilliseconds = 50;

constexpr char kHelp[] = R"help(Usage: palfade [FILE]...
       palfade --art PIC [FILE]...

Opens the palfade window: two 16-colour Neo Geo palettes, Palette 1 (Top) and
Palette 2 (Bottom), and the fade between them, shown as a zoomable grid and
saved as assembler "dc.w" lines, a C array or big-endian binary.

Each FILE loads as a file dropped on the window does: the first FILE, when it
is a 32-byte .ngpal palette file, into Palette 1 (Top), the second into
Palette 2 (Bottom). Files of another size are skipped without a message,
files from the third on are ignored, and a FILE that cannot be read is named
on standard error; the window opens all the same.

Options:
  --art PIC        open the art preview too, on the picture PIC (a picture
                   that cannot be read is named on standard error)
  -h, --help       show this help and exit
  -v, --version    show the version and exit

Qt's own options, such as -platform offscreen, are accepted as well.
)help";

// Why a path named on the command line cannot be read; empty when it can.
QString UnreadableReason(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("is a folder");
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return {};
}

} // namespace

CommandLine ParseCommandLine(const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption art(QStringLiteral("art"), QString(), QStringLiteral("PIC"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(art);

    CommandLine result;
    // The parser takes the program name first.
    const bool parsed = parser.parse(QStringList{QLatin1String(kProgram)} + args);
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.text = QString::fromUtf8(kHelp);
    } else if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QLatin1String(PALFADE_VERSION));
    } else if (!parsed) {
        result.action = CommandLine::Action::UsageError;
        result.text = QStringLiteral("%1: %2 (try '%1 --help')\n").arg(QLatin1String(kProgram), parser.errorText());
    } else {
        result.paths = parser.positionalArguments();
        result.art = parser.value(art);
    }
    return result;
}

QStringList OpenCommandLineFiles(AppState& state, Host& host, const QStringList& paths)
{
    QStringList messages;
    for (const QString& path : paths) {
        const QString reason = UnreadableReason(path);
        if (!reason.isEmpty())
            messages << QStringLiteral("%1: cannot read '%2': %3\n").arg(QLatin1String(kProgram), path, reason);
    }
    DropPaletteFiles(state, host, paths);
    return messages;
}

QString OpenCommandLineArt(MainWindow& window, const QString& path)
{
    // The art preview opens beside the main window's frame, which the window
    // manager draws once it shows the window.
    QElapsedTimer waited;
    waited.start();
    while (window.windowHandle() != nullptr && !window.windowHandle()->isExposed() &&
           waited.elapsed() < kExposeWaitMilliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, kExposeWaitStepMilliseconds);
    window.DispatchCommand(kCmdPreviewArt);
    const QString reason = window.ArtPreview()->LoadArtFile(path);
    return reason.isEmpty() ? QString() : QStringLiteral("%1: %2\n").arg(QLatin1String(kProgram), reason);
}

QString ApplicationId() { return QStringLiteral(PALFADE_APP_ID); }

QIcon ApplicationIcon()
{
    QIcon builtIn;
    for (const char* size : {"48", "256"})
        builtIn.addFile(QStringLiteral(":/icons/%1/%2.png").arg(QLatin1String(size), ApplicationId()));
    return QIcon::fromTheme(ApplicationId(), builtIn);
}

void SetUpApplicationIdentity()
{
    QGuiApplication::setApplicationName(QLatin1String(kProgram));
    QGuiApplication::setApplicationVersion(QLatin1String(PALFADE_VERSION));
    QGuiApplication::setDesktopFileName(ApplicationId());
    QGuiApplication::setWindowIcon(ApplicationIcon());
}

} // namespace palfade
