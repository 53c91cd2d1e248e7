#pragma once
// Host answered by real Qt dialogs and the system clipboard. Each dialog is
// owned by, and centred on, the main window, or the window that asks.

#include "ui/host.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace palfade {

class QtHost : public Host {
public:
    // The window that owns every dialog and is disabled while one is open.
    // Set once the main window exists; until then dialogs have no owner.
    void SetOwner(QWidget* window) { owner_ = window; }

    FileChoice AskOpenFile(const QString& title, const FileRequester& requester) override;
    FileChoice AskSaveFile(const QString& title, const FileRequester& requester) override;
    bool AskYesNo(const QString& title, const QString& text) override;
    void ShowMessage(const QString& title, const QString& text) override;
    std::optional<DisplayRgb> ChooseColor(DisplayRgb initial) override;
    QString ClipboardText() override;
    void SetClipboardImage(const QImage& image) override;
    void EditPalette(AppState& state, int which) override;
    void ShowAbout(const QString& text) override;
    void SetClipboardText(const QString& text) override;
    std::optional<HwColor> RequestColorWord(HwColor word, const LevelTable& levels) override;
    std::optional<SourcePick> PickSourcePalette(const SourcePickerModel& model, const LevelTable& levels) override;
    std::optional<ShapeSettings> ChooseFadeShape(const ShapeSettings& shape, bool simpleFade) override;
    std::optional<ToolchainChoice> AskToolchainExport(
        const ToolchainChoice& initial, const std::function<ToolchainCommand(const ToolchainChoice&)>& describe) override;
    QWidget* ExchangeOwner(QWidget* window) override;

private:
    QWidget* Owner() const { return questionOwner_ != nullptr ? questionOwner_.data() : owner_.data(); }

    QPointer<QWidget> owner_;
    QPointer<QWidget> questionOwner_; // another window's questions, while it asks
};

// QFileDialog name filters, one per format: "Name (*.a *.b) (*.a *.b)". Qt
// takes the patterns from the last parentheses and, hiding the filter details,
// lists what comes before them: "All filess (*.*)" is listed as such and
// matches every file, with or without a dot.
QStringList FileDialogNameFilters(const FileRequester& requester);

// Qt's file and colour dialogs keep their history (last folder, custom
// colours) in a user settings file. palfade keeps nothing between runs, so
// the application points Qt's user settings at a folder that lives only as
// long as it does. Call before any dialog is created.
void KeepQtSettingsIn(const QString& folder);

} // namespace palfade
