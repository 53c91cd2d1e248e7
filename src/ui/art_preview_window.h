#pragma once
// The Art preview window: the user's own picture drawn through the window's
// fade, one step at a time or played at the Neo Geo's frame rate, as the game
// shows it. It sits beside the main window, follows every change made there,
// gives Palette 1 the picture's own palette and exports what it plays.

#include "core/app_state.h"
#include "core/art_timeline.h"
#include "render/art_recolour.h"
#include "render/pixel_buffer.h"
#include "sources/source.h"
#include "ui/host.h"
#include "ui/palette_origin.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace palfade {

class ArtExportJob;
class PreviewArea;

class ArtPreviewWindow : public QWidget {
    Q_OBJECT

public:
    // `state` and `host` must outlive the window; the state's fade must be
    // computed whenever FollowFade is called. With a main window as parent
    // the window opens beside it.
    ArtPreviewWindow(const AppState& state, Host& host, QWidget* parent = nullptr);
    ~ArtPreviewWindow() override;

    // Draws the shown step again from the state's fade, counts and level set.
    void FollowFade();
    // "Open art..": the open requester, then the picture; a picture that does
    // not load is reported and the shown art stays.
    void OpenArtCommand();
    // Loads the picture at `path`; false (and the message shown) on failure.
    bool OpenArt(const QString& path);
    // The same without a message: the reason, empty when the picture loaded.
    QString LoadArtFile(const QString& path);
    // "Palette 1 from art": the picture's palette "Art palette" in table
    // order, in the chosen words, over Palette 1 (entries the colour table
    // does not reach keep theirs), handed out by palette1Read.
    void PaletteFromArtCommand();
    // "Export animation..": the save requester, then palfade-cli art's GIF
    // or sheet with the window's settings, written on a thread of its own
    // behind a progress dialog; exportFinished tells the end.
    void ExportAnimationCommand();
    bool IsExporting() const { return job_ != nullptr; }

    void SetPlaying(bool playing);
    bool IsPlaying() const { return timer_.isActive(); }
    void SetZoom(int zoom);
    int Zoom() const { return zoom_; }

    // The step shown, 0 to the fade's steps - 1, and the picture exactly as shown.
    int ShownStep() const { return step_; }
    const QImage& ShownImage() const { return shownImage_; }

    QPushButton* OpenButton() const { return openButton_; }
    QPushButton* PaletteButton() const { return paletteButton_; }
    QPushButton* ExportButton() const { return exportButton_; }
    QPushButton* PlayButton() const { return playButton_; }
    QComboBox* WordsBox() const { return wordsBox_; }
    QSlider* StepSlider() const { return stepSlider_; }
    QSpinBox* ArtPaletteSpin() const { return artPaletteSpin_; }
    QSpinBox* FramesPerStepSpin() const { return framesSpin_; }
    QSpinBox* HoldStartSpin() const { return holdStartSpin_; }
    QSpinBox* HoldEndSpin() const { return holdEndSpin_; }
    QRadioButton* ThereAndBackButton() const { return thereAndBackButton_; }
    QLabel* StatusLine() const { return statusLine_; }
    QLabel* ZoomLabel() const { return zoomLabel_; }
    PreviewArea* PreviewAreaWidget() const { return previewArea_; }
    // While an export runs.
    QProgressDialog* ExportProgress() const { return progress_; }

signals:
    // A step was drawn (by playback, the slider or a change of the fade).
    void stepShown(int step);
    // Palette 1 as read from the art: the main window stores it, remembers
    // where it came from (the words palfade-cli reads there, which differ
    // where entries past the table kept Palette 1's) and refreshes.
    void palette1Read(const palfade::PaletteWords& words, const palfade::PaletteOrigin& origin);
    // An export ended: the file written, or not (failed, with a message, or stopped).
    void exportFinished(bool written);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What Palette 1 gets from the picture either way, read once per picture,
    // level set and choice of words: "Import from image.." (order of
    // appearance, the entries it fills) and the colour table's palettes,
    // with the entries of each that pixels use (bit i: entry i).
    struct ImportOrders {
        bool hardwareColors = false;
        PictureWords words = PictureWords::Levels;
        PaletteWords appearance{};
        ImportSlots filled{};
        std::vector<PaletteWords> table;
        std::array<std::uint16_t, kMaxArtPalettes> used{};
    };

    void BuildControls();
    void BuildKeys();
    int Steps() const;
    void ShowStep(int step);
    void Redraw();
    void UpdateStatus();
    void UpdateImportOrders();
    bool Palette1ByAppearance() const;
    // Playback settings changed: the cycle is rebuilt and continues from the
    // start of the shown step.
    void RestartCycle();
    void Tick();
    ArtPlayback Playback() const;
    PictureWords ChosenWords() const;
    int ArtPalette() const;
    void ShowExportProgress();
    void ExportEnded(bool written, const QString& error);

    const AppState& state_;
    Host& host_;
    QString artPath_;
    ArtPicture art_;
    ArtMap map_;
    bool hasArt_ = false;
    // True colour under the hardware level set: the pixels the linear set would match.
    std::optional<std::int64_t> linearMatched_;
    std::optional<ImportOrders> importOrders_;
    int step_ = 0;
    int zoom_ = 1;

    std::vector<ArtShot> cycle_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::int64_t startFrame_ = 0; // the cycle's frame at which the clock started

    PixelBuffer base_;
    PixelBuffer shown_;
    QImage shownImage_;

    ArtExportJob* job_ = nullptr;
    QProgressDialog* progress_ = nullptr;
    QTimer progressTimer_;

    QPushButton* openButton_ = nullptr;
    QPushButton* paletteButton_ = nullptr;
    QComboBox* wordsBox_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QSlider* stepSlider_ = nullptr;
    QLabel* stepLabel_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QSpinBox* artPaletteSpin_ = nullptr;
    QSpinBox* framesSpin_ = nullptr;
    QSpinBox* holdStartSpin_ = nullptr;
    QSpinBox* holdEndSpin_ = nullptr;
    QRadioButton* loopButton_ = nullptr;
    QRadioButton* thereAndBackButton_ = nullptr;
    PreviewArea* previewArea_ = nullptr;
    QLabel* statusLine_ = nullptr;
};

} // namespace palfade
