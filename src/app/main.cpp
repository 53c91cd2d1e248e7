// palfade: start-up, then the event loop until the window is closed or
// "Quit" is chosen. Nothing is asked or saved on the way out.

#include "core/app_state.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    // The history Qt's dialogs would write goes into a folder removed on exit.
    const QTemporaryDir dialogHistory;
    if (dialogHistory.isValid())
        palfade::KeepQtSettingsIn(dialogHistory.path());
    QApplication app(argc, argv);

    palfade::AppState state;
    palfade::QtHost host;
    palfade::MainWindow window(state, host);
    host.SetOwner(&window);
    palfade::LoadLevelTables(state);
    window.RefreshView();
    window.show();
    app.exec();
    return 0;
}
