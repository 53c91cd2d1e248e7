#pragma once
// palfade's one window: the menus, the two count spin boxes, the scrollable
// preview and the status bar, and the dispatch of every command they deliver.

#include "render/pixel_buffer.h"
#include "ui/host.h"
#include "ui/palette_origin.h"

#include <QMainWindow>

#include <map>

class QAction;
class QLabel;
class QSpinBox;

namespace palfade {

struct AppState;

class ArtPreviewWindow;
class PreviewArea;
class PreviewCanvas;

// The status bar's fields, left to right.
enum class StatusBarField { Message, HardwareColors, DarkBit, SimpleFade, Zoom };
inline constexpr int kStatusFieldCount = 5;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Builds every control from `state`; the first RefreshView is the caller's.
    // `state` and `host` must outlive the window.
    MainWindow(AppState& state, Host& host, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Computes the fade, renders and enlarges the preview, shows it and
    // rewrites the status bar. The only place that bounds the zoom.
    void RefreshView();
    // Runs the command of a fixed command id; unknown ids do nothing.
    void DispatchCommand(int id);
    // Fits the preview area to the window: 3 pixels margin left and right,
    // from y 30 down to one pixel above the status bar.
    void LayoutWindow();

    // The enlarged preview exactly as shown. It wraps the window's pixel
    // buffer: valid until the next refresh, copy it to keep it.
    const QImage& PreviewImage() const { return previewImage_; }

    QAction* CommandAction(int id) const;
    QSpinBox* PaletteCountSpin() const { return paletteCountSpin_; }
    QSpinBox* ColorCountSpin() const { return colorCountSpin_; }
    PreviewArea* PreviewAreaWidget() const { return previewArea_; }
    PreviewCanvas* PreviewCanvasWidget() const;
    QLabel* StatusField(StatusBarField field) const;
    // The Art preview window, once "Preview art.." has opened it.
    ArtPreviewWindow* ArtPreview() const { return artPreview_; }

    // Where each palette came from, for the palfade-cli command of "Export
    // for a toolchain..". A command that loads a palette from a file of its
    // own (outside this window's dispatch) tells it here.
    const PaletteOrigins& Origins() const { return origins_; }
    void SetPaletteOrigin(int which, const PaletteOrigin& origin);

signals:
    // Emitted at the end of every RefreshView.
    void refreshed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    void BuildClientArea();
    void ShowPixels();
    bool WheelZoom(QWheelEvent* event);

    void NewFadeCommand();
    void ChooseGridColor();
    void ShowAbout();
    void ShowArtPreview();
    void Named(int which, const QString& source);
    void Remember(int which, const std::optional<PaletteOrigin>& origin);
    void SetPaletteColour(int which);
    void ChooseFadeShapeCommand();

    AppState& state_;
    Host& host_;
    std::map<int, QAction*> actions_;
    QSpinBox* paletteCountSpin_ = nullptr;
    QSpinBox* colorCountSpin_ = nullptr;
    PreviewArea* previewArea_ = nullptr;
    QLabel* statusFields_[kStatusFieldCount] = {};
    PixelBuffer basePixels_;  // the preview at zoom 1, scratch
    PixelBuffer shownPixels_; // the enlarged preview; PreviewImage wraps it
    QImage previewImage_;
    ArtPreviewWindow* artPreview_ = nullptr; // a child window, made on first use
    PaletteOrigins origins_;                 // both black, as the palettes start
    ToolchainChoice lastExport_;             // the last "Export for a toolchain.." answer
};

// "Fade shape.." while the shape is the default; otherwise what is in
// effect: "Fade shape (ease-in, keep 0, there and back)..".
QString FadeShapeMenuText(const ShapeSettings& shape, bool simpleFade);

} // namespace palfade
