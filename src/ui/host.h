#pragma once
// Every question palfade puts to the user, and the clipboard, behind one small
// interface: the window uses QtHost, tests pass a scripted fake.

#include "core/app_state.h"
#include "core/display_rgb.h"
#include "dialogs/source_picker.h"
#include "exports/file_formats.h"
#include "ui/palette_origin.h"

#include <QImage>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace palfade {

struct FileChoice {
    QString path;        // empty when the user cancelled
    int filterIndex = 0; // position of the filter selected when the user confirmed
};

class Host {
public:
    virtual ~Host() = default;

    // The requester lists its formats, the preselected one chosen. It starts
    // with an empty name, never asks before overwriting and never adds an
    // extension.
    virtual FileChoice AskOpenFile(const QString& title, const FileRequester& requester) = 0;
    virtual FileChoice AskSaveFile(const QString& title, const FileRequester& requester) = 0;

    virtual bool AskYesNo(const QString& title, const QString& text) = 0;
    // A box with a single OK button.
    virtual void ShowMessage(const QString& title, const QString& text) = 0;
    // Starts from `initial`; nothing when the user cancels.
    virtual std::optional<DisplayRgb> ChooseColor(DisplayRgb initial) = 0;

    // The clipboard's text, empty when it holds none.
    virtual QString ClipboardText() = 0;
    // The image may wrap memory the caller reuses: the host keeps a deep copy.
    virtual void SetClipboardImage(const QImage& image) = 0;

    // The modal palette editor on palette `which` (1 or 2); it writes back
    // into `state` only on "Ok". The caller refreshes afterwards.
    virtual void EditPalette(AppState& state, int which) = 0;

    // The About box: empty caption, a single OK button.
    virtual void ShowAbout(const QString& text) = 0;

    // The window's additions beyond those questions.
    virtual void SetClipboardText(const QString& text) = 0;
    // The colour requester, starting from `word`, its colours shown through
    // `levels`; nothing when cancelled.
    virtual std::optional<HwColor> RequestColorWord(HwColor word, const LevelTable& levels) = 0;
    // The source picker on what a source offers; nothing when cancelled.
    virtual std::optional<SourcePick> PickSourcePalette(const SourcePickerModel& model, const LevelTable& levels) = 0;
    // "Fade shape..": a new shape, or nothing when cancelled.
    virtual std::optional<ShapeSettings> ChooseFadeShape(const ShapeSettings& shape, bool simpleFade) = 0;
    // "Export for a toolchain..": the format, label, C type and file, from
    // `initial`, with the palfade-cli command `describe` gives for each
    // choice; nothing when cancelled.
    virtual std::optional<ToolchainChoice> AskToolchainExport(
        const ToolchainChoice& initial, const std::function<ToolchainCommand(const ToolchainChoice&)>& describe) = 0;

    // The window the questions from now on belong to and are centred on
    // (null: the main window); returns the one before. HostOwner sets it
    // for a scope. A host without windows has no owners to change.
    virtual QWidget* ExchangeOwner(QWidget* /*window*/) { return nullptr; }
};

// The questions asked while it lives belong to `window`.
class HostOwner {
public:
    HostOwner(Host& host, QWidget* window) : host_(host), previous_(host.ExchangeOwner(window)) {}
    ~HostOwner() { host_.ExchangeOwner(previous_); }
    HostOwner(const HostOwner&) = delete;
    HostOwner& operator=(const HostOwner&) = delete;

private:
    Host& host_;
    QWidget* previous_;
};

} // namespace palfade
