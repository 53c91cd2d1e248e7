#include "ui/art_preview_window.h"

#include "exports/file_formats.h"
#include "exports/art_export.h"
#include "render/preview_renderer.h"
#include "ui/preview_widgets.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace palfade {
namespace {

constexpr const char* kWindowTitle = "Art preview";
constexpr const char* kOpenArtText = "Open art..";
constexpr const char* kOpenArtTitle = "Open art";
constexpr const char* kPlayText = "Play";
constexpr const char* kPauseText = "Pause";
constexpr const char* kLoopText = "Loop";
constexpr const char* kThereAndBackText = "There and back";
constexpr const char* kArtPaletteText = "Art palette";
constexpr const char* kFramesPerStepText = "Frames per step";
constexpr const char* kHoldStartText = "Hold frames at start";
constexpr const char* kHoldEndText = "Hold frames at end";
// Fits beside a centred main window on a 1920-pixel screen.
constexpr QSize kStartSize(620, 560);
constexpr int kGapBesideMain = 8;
// Short enough that a step shows within a few milliseconds of its frame.
constexpr int kTickMilliseconds = 4;

QString Number(std::int64_t n)
{
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(n));
}

QSpinBox* Spin(int minimum, int maximum, int value, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    return spin;
}

} // namespace

ArtPreviewWindow::ArtPreviewWindow(const AppState& state, Host& host, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), host_(host)
{
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    resize(kStartSize);
    if (parent != nullptr) {
        // Beside the main window, but never past the screen's right edge.
        const QRect main = parent->frameGeometry();
        const QRect screenArea = parent->screen()->availableGeometry();
        const int left = std::min(main.right() + kGapBesideMain, screenArea.right() - kStartSize.width());
        move(std::max(screenArea.left(), left), main.top());
    }
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &ArtPreviewWindow::Tick);
    BuildControls();
    FollowFade();
}

ArtPreviewWindow::~ArtPreviewWindow() = default;

void ArtPreviewWindow::BuildControls()
{
    openButton_ = new QPushButton(QString::fromLatin1(kOpenArtText), this);
    playButton_ = new QPushButton(QString::fromLatin1(kPlayText), this);
    playButton_->setCheckable(true);
    loopButton_ = new QRadioButton(QString::fromLatin1(kLoopText), this);
    thereAndBackButton_ = new QRadioButton(QString::fromLatin1(kThereAndBackText), this);
    loopButton_->setChecked(true);
    auto* mode = new QButtonGroup(this);
    mode->addButton(loopButton_);
    mode->addButton(thereAndBackButton_);

    stepSlider_ = new QSlider(Qt::Horizontal, this);
    stepSlider_->setRange(1, std::max(1, state_.paletteCount));
    stepLabel_ = new QLabel(this);
    stepLabel_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Step 256 of 256")));

    artPaletteSpin_ = Spin(0, kArtTableSize - 1, 0, this);
    framesSpin_ = Spin(kMinFramesPerStep, kMaxFramesPerStep, kMinFramesPerStep, this);
    holdStartSpin_ = Spin(0, kMaxHoldFrames, 0, this);
    holdEndSpin_ = Spin(0, kMaxHoldFrames, 0, this);

    previewArea_ = new PreviewArea(this);
    previewArea_->SetBackground(QColor(DisplayRed(state_.areaColor), DisplayGreen(state_.areaColor),
                                       DisplayBlue(state_.areaColor)));
    for (QWidget* part : previewArea_->WheelTargets())
        part->installEventFilter(this);
    statusLine_ = new QLabel(this);

    auto* top = new QHBoxLayout;
    top->addWidget(openButton_);
    top->addWidget(playButton_);
    top->addWidget(loopButton_);
    top->addWidget(thereAndBackButton_);
    top->addStretch(1);

    auto* steps = new QHBoxLayout;
    steps->addWidget(stepSlider_, 1);
    steps->addWidget(stepLabel_);

    auto* settings = new QGridLayout;
    const std::pair<const char*, QSpinBox*> spins[] = {{kArtPaletteText, artPaletteSpin_},
                                                       {kFramesPerStepText, framesSpin_},
                                                       {kHoldStartText, holdStartSpin_},
                                                       {kHoldEndText, holdEndSpin_}};
    int column = 0;
    for (const auto& [text, spin] : spins) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setBuddy(spin);
        settings->addWidget(label, 0, column);
        settings->addWidget(spin, 1, column);
        ++column;
    }
    settings->setColumnStretch(column, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(steps);
    layout->addLayout(settings);
    layout->addWidget(previewArea_, 1);
    layout->addWidget(statusLine_);

    connect(openButton_, &QPushButton::clicked, this, &ArtPreviewWindow::OpenArtCommand);
    connect(playButton_, &QPushButton::toggled, this, &ArtPreviewWindow::SetPlaying);
    connect(stepSlider_, &QSlider::valueChanged, this, [this](int value) {
        ShowStep(value - 1);
        RestartCycle();
    });
    connect(artPaletteSpin_, &QSpinBox::valueChanged, this, [this] { Redraw(); });
    for (QSpinBox* spin : {framesSpin_, holdStartSpin_, holdEndSpin_})
        connect(spin, &QSpinBox::valueChanged, this, &ArtPreviewWindow::RestartCycle);
    connect(thereAndBackButton_, &QRadioButton::toggled, this, &ArtPreviewWindow::RestartCycle);
}

void ArtPreviewWindow::OpenArtCommand()
{
    const QString path = host_.AskOpenFile(QString::fromLatin1(kOpenArtTitle), kPictureOpen).path;
    if (!path.isEmpty())
        OpenArt(path);
}

bool ArtPreviewWindow::OpenArt(const QString& path)
{
    IoResult<ArtPicture> loaded = LoadArt(path);
    if (!loaded.ok()) {
        host_.ShowMessage(QString::fromLatin1(kOpenArtTitle), loaded.error);
        return false;
    }
    art_ = std::move(loaded.value);
    hasArt_ = true;
    artPaletteSpin_->setEnabled(art_.indexed());
    FollowFade();
    return true;
}

ArtPlayback ArtPreviewWindow::Playback() const
{
    return ArtPlayback{std::max(1, state_.paletteCount), framesSpin_->value(), holdStartSpin_->value(),
                       holdEndSpin_->value(), thereAndBackButton_->isChecked()};
}

void ArtPreviewWindow::FollowFade()
{
    {
        const QSignalBlocker quiet(stepSlider_);
        stepSlider_->setRange(1, std::max(1, state_.paletteCount));
    }
    if (hasArt_)
        map_ = MapArt(art_, state_.levels, state_.palettes[0]);
    step_ = std::clamp(step_, 0, std::max(1, state_.paletteCount) - 1);
    ShowStep(step_);
    // A new palette count changes the cycle; any other change keeps playing in step.
    if (ArtCycle(Playback()) != cycle_)
        RestartCycle();
}

void ArtPreviewWindow::ShowStep(int step)
{
    step_ = std::clamp(step, 0, std::max(1, state_.paletteCount) - 1);
    {
        const QSignalBlocker quiet(stepSlider_);
        stepSlider_->setValue(step_ + 1);
    }
    stepLabel_->setText(QStringLiteral("Step %1 of %2").arg(step_ + 1).arg(state_.paletteCount));
    Redraw();
}

void ArtPreviewWindow::Redraw()
{
    if (hasArt_) {
        ArtColours colours = OwnArtColours(art_);
        const int palette = art_.indexed() ? artPaletteSpin_->value() : 0;
        PutFadeStep(state_.fadeTable, step_, palette, state_.levels, colours);
        RecolourArt(art_, map_, colours, base_);
    } else {
        base_.Resize(1, 1);
        base_.pixels[0] = DisplayToPixel(state_.areaColor);
    }
    EnlargePixels(base_, zoom_, shown_);
    shownImage_ = QImage(reinterpret_cast<uchar*>(shown_.pixels.data()), shown_.width, shown_.height,
                         shown_.width * static_cast<int>(sizeof(std::uint32_t)), QImage::Format_RGB32);
    PreviewCanvas* canvas = previewArea_->canvas();
    if (canvas->size() != shownImage_.size())
        canvas->resize(shownImage_.size());
    canvas->ShowImage(shownImage_);
    UpdateStatus();
    emit stepShown(step_);
}

void ArtPreviewWindow::UpdateStatus()
{
    const QString stepText = QStringLiteral("step %1 of %2").arg(step_ + 1).arg(state_.paletteCount);
    if (!hasArt_) {
        statusLine_->setText(QStringLiteral("No art: choose \"%1\"").arg(QString::fromLatin1(kOpenArtText)));
        return;
    }
    const QString size = QStringLiteral("%1 x %2 pixels").arg(art_.width).arg(art_.height);
    const int palette = art_.indexed() ? artPaletteSpin_->value() : 0;
    QString matched;
    if (art_.indexed() && palette >= art_.paletteCount())
        matched = QStringLiteral("art palette %1 is beyond the colour table (palettes 0-%2)")
                      .arg(palette)
                      .arg(art_.paletteCount() - 1);
    else
        matched = QStringLiteral("%1 of %2 pixels matched")
                      .arg(Number(PixelsOfPalette(art_, map_, palette)), Number(art_.pixelCount()));
    if (!art_.indexed() && map_.unmatched > 0)
        matched += QStringLiteral(" (%1)").arg(UnmatchedPixelsText(map_.unmatched));
    statusLine_->setText(QStringLiteral("%1, %2, %3").arg(size, matched, stepText));
}

void ArtPreviewWindow::SetPlaying(bool playing)
{
    {
        const QSignalBlocker quiet(playButton_);
        playButton_->setChecked(playing);
    }
    playButton_->setText(QString::fromLatin1(playing ? kPauseText : kPlayText));
    if (!playing) {
        timer_.stop();
        return;
    }
    RestartCycle();
    timer_.start();
}

void ArtPreviewWindow::RestartCycle()
{
    cycle_ = ArtCycle(Playback());
    // Continue from the first frame of the shown step.
    startFrame_ = 0;
    for (const ArtShot& shot : cycle_) {
        if (shot.step == step_)
            break;
        startFrame_ += shot.frames;
    }
    clock_.start();
}

void ArtPreviewWindow::Tick()
{
    // The step follows the time played, not the number of ticks: a late
    // tick skips to where the animation stands, so the average rate stays
    // exact however the timer jitters.
    const std::int64_t frame = startFrame_ + FramesIn(clock_.nsecsElapsed());
    const int step = cycle_[ShotAtFrame(cycle_, frame)].step;
    if (step != step_)
        ShowStep(step);
}

void ArtPreviewWindow::closeEvent(QCloseEvent* event)
{
    SetPlaying(false);
    event->accept();
}

bool ArtPreviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    // As in the main preview: the wheel zooms only after a click into the
    // picture, one step per event, and never scrolls.
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (previewArea_->canvas()->hasFocus() && delta != 0) {
            const int zoom = BoundZoom(zoom_ + (delta > 0 ? 1 : -1));
            if (zoom != zoom_) {
                zoom_ = zoom;
                Redraw();
            }
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace palfade
