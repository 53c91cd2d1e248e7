#pragma once
// The Art preview window: the user's own picture drawn through the window's
// fade, one step at a time or played at the Neo Geo's frame rate. It sits
// beside the main window and follows every change made there.

#include "core/app_state.h"
#include "core/art_timeline.h"
#include "render/art_recolour.h"
#include "render/pixel_buffer.h"
#include "ui/host.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace palfade {

class PreviewArea;

class ArtPreviewWindow : public QWidget {
    Q_OBJECT

public:
    // `state` and `host` must outlive the window; the state's fade must be
    // computed whenever FollowFade is called.
    ArtPreviewWindow(const AppState& state, Host& host, QWidget* parent = nullptr);
    ~ArtPreviewWindow() override;

    // Draws the shown step again from the state's fade, counts and level set.
    void FollowFade();
    // "Open art..": the open requester, then the picture; a picture that does
    // not load is reported and the shown art stays.
    void OpenArtCommand();
    // Loads the picture at `path`; false (and the message shown) on failure.
    bool OpenArt(const QString& path);

    void SetPlaying(bool playing);
    bool IsPlaying() const { return timer_.isActive(); }

    // The step shown, 0 to P - 1, and the picture exactly as shown.
    int ShownStep() const { return step_; }
    const QImage& ShownImage() const { return shownImage_; }

    QPushButton* OpenButton() const { return openButton_; }
    QPushButton* PlayButton() const { return playButton_; }
    QSlider* StepSlider() const { return stepSlider_; }
    QSpinBox* ArtPaletteSpin() const { return artPaletteSpin_; }
    QSpinBox* FramesPerStepSpin() const { return framesSpin_; }
    QRadioButton* ThereAndBackButton() const { return thereAndBackButton_; }
    QLabel* StatusLine() const { return statusLine_; }
    PreviewArea* PreviewAreaWidget() const { return previewArea_; }

signals:
    // A step was drawn (by playback, the slider or a change of the fade).
    void stepShown(int step);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ShowStep(int step);
    void Redraw();
    void UpdateStatus();
    // Playback settings changed: the cycle is rebuilt and continues from the
    // start of the shown step.
    void RestartCycle();
    void Tick();
    ArtPlayback Playback() const;

    const AppState& state_;
    Host& host_;
    ArtPicture art_;
    ArtMap map_;
    bool hasArt_ = false;
    int step_ = 0;
    int zoom_ = 1;

    std::vector<ArtShot> cycle_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::int64_t startFrame_ = 0; // the cycle's frame at which the clock started

    PixelBuffer base_;
    PixelBuffer shown_;
    QImage shownImage_;

    QPushButton* openButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QSlider* stepSlider_ = nullptr;
    QLabel* stepLabel_ = nullptr;
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
