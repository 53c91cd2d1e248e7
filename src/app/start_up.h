#pragma once
// What palfade does before its event loop: the command line, the files named
// on it, and the application's identity (desktop id, icon, version).

#include "ui/host.h"

#include <QIcon>
#include <QString>
#include <QStringList>

namespace palfade {

struct AppState;
class MainWindow;

struct CommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QString text;      // help or version text for stdout, or the usage error
    QStringList paths; // for Run, in the order given
    QString art;       // --art PIC: the picture the art preview opens on
};

// `args` without the program name. Qt's own options (-platform, -style, ...)
// are unknown here: parse the list QApplication leaves behind.
CommandLine ParseCommandLine(const QStringList& args);

// Loads the paths as a drop of these files on the window loads them, so the
// first two 32-byte files go to Palette 1 and Palette 2. Returns one line for
// each path that cannot be read, for standard error; those paths are skipped
// but keep their number, as in a drop.
QStringList OpenCommandLineFiles(AppState& state, Host& host, const QStringList& paths);

// Opens the art preview beside the shown window on the picture at `path`.
// Returns the line for standard error when the picture cannot be loaded;
// the art preview then opens without art.
QString OpenCommandLineArt(MainWindow& window, const QString& path);

// The desktop entry's name without ".desktop"; also the icon's name.
QString ApplicationId();
// The icon from the desktop theme, or the copy built into palfade.
QIcon ApplicationIcon();
// Name, version, desktop entry and window icon of the running application.
void SetUpApplicationIdentity();

} // namespace palfade
