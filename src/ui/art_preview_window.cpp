#include "ui/art_preview_window.h"

#include "exports/art_export.h"
#include "exports/file_formats.h"
#include "exports/save_path.h"
#include "io/file_access.h"
#include "render/preview_renderer.h"
#include "ui/art_export_job.h"
#include "ui/preview_widgets.h"
#include "ui/requester_texts.h"
#include "ui/window_placement.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace palfade {
namespace {

constexpr const char* kWindowTitle = "Art preview";
constexpr const char* kOpenArtText = "Open art..";
constexpr const char* kOpenArtTitle = "Open art";
constexpr const char* kPaletteFromArtText = "Palette 1 from art";
constexpr const char* kExportText = "Export animation..";
constexpr const char* kExportTitle = "Export animation";
constexpr const char* kPlayText = "Play";
constexpr const char* kPauseText = "Pause";
constexpr const char* kLoopText = "Loop";
constexpr const char* kThereAndBackText = "There and back";
constexpr const char* kArtPaletteText = "Art palette";
constexpr const char* kFramesPerStepText = "Frames per step";
constexpr const char* kHoldStartText = "Hold frames at start";
constexpr const char* kHoldEndText = "Hold frames at end";
constexpr const char* kWordsText = "Words";
// The choices of kWordsText, in the order of PictureWords.
constexpr const char* kWordChoices[] = {"Level tables", "ngdevkit"};
constexpr QSize kStartSize(620, 560);
// Short enough that a step shows within a few milliseconds of its frame.
constexpr int kTickMilliseconds = 4;
// A short export ends before its progress dialog would show.
constexpr int kProgressDelayMilliseconds = 400;
constexpr int kProgressPollMilliseconds = 100;
// The title bar's icon and buttons beside a caption.
constexpr int kProgressTitleRoom = 160;

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

// The first local file of a drop; empty for anything else.
QString DroppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

} // namespace

ArtPreviewWindow::ArtPreviewWindow(const AppState& state, Host& host, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), host_(host)
{
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setAcceptDrops(true);
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &ArtPreviewWindow::Tick);
    progressTimer_.setInterval(kProgressPollMilliseconds);
    connect(&progressTimer_, &QTimer::timeout, this, &ArtPreviewWindow::ShowExportProgress);
    BuildControls();
    BuildKeys();
    resize(kStartSize);
    if (const auto* main = qobject_cast<const QMainWindow*>(parent))
        MoveBesideMain(*this, *main);
    FollowFade();
    openButton_->setFocus();
}

ArtPreviewWindow::~ArtPreviewWindow() = default;

void ArtPreviewWindow::BuildControls()
{
    openButton_ = new QPushButton(QString::fromLatin1(kOpenArtText), this);
    paletteButton_ = new QPushButton(QString::fromLatin1(kPaletteFromArtText), this);
    paletteButton_->setToolTip(QStringLiteral("Palette 1 takes the art palette of the picture's colour table, in "
                                              "table order (Ctrl+1)"));
    wordsBox_ = new QComboBox(this);
    for (const char* choice : kWordChoices)
        wordsBox_->addItem(QString::fromLatin1(choice));
    wordsBox_->setToolTip(QStringLiteral("How \"%1\" turns the table's colours into words")
                              .arg(QString::fromLatin1(kPaletteFromArtText)));
    exportButton_ = new QPushButton(QString::fromLatin1(kExportText), this);
    exportButton_->setToolTip(QStringLiteral("The GIF or PNG sheet of palfade-cli art with these settings (Ctrl+E)"));
    playButton_ = new QPushButton(QString::fromLatin1(kPlayText), this);
    playButton_->setCheckable(true);
    loopButton_ = new QRadioButton(QString::fromLatin1(kLoopText), this);
    thereAndBackButton_ = new QRadioButton(QString::fromLatin1(kThereAndBackText), this);
    loopButton_->setChecked(true);
    auto* mode = new QButtonGroup(this);
    mode->addButton(loopButton_);
    mode->addButton(thereAndBackButton_);

    stepSlider_ = new QSlider(Qt::Horizontal, this);
    stepSlider_->setRange(1, 1);
    stepLabel_ = new QLabel(this);
    stepLabel_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Step 511 of 511")));
    zoomLabel_ = new QLabel(this);

    artPaletteSpin_ = Spin(0, kMaxArtPalettes - 1, 0, this);
    framesSpin_ = Spin(kMinFramesPerStep, kMaxFramesPerStep, kMinFramesPerStep, this);
    holdStartSpin_ = Spin(0, kMaxHoldFrames, 0, this);
    holdEndSpin_ = Spin(0, kMaxHoldFrames, 0, this);

    previewArea_ = new PreviewArea(this);
    previewArea_->SetBackground(QColor(DisplayRed(state_.areaColor), DisplayGreen(state_.areaColor),
                                       DisplayBlue(state_.areaColor)));
    for (QWidget* part : previewArea_->WheelTargets())
        part->installEventFilter(this);
    // A long line wraps rather than widening the window.
    statusLine_ = new QLabel(this);
    statusLine_->setWordWrap(true);
    statusLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* files = new QHBoxLayout;
    files->addWidget(openButton_);
    files->addWidget(paletteButton_);
    auto* wordsLabel = new QLabel(QString::fromLatin1(kWordsText), this);
    wordsLabel->setBuddy(wordsBox_);
    files->addWidget(wordsLabel);
    files->addWidget(wordsBox_);
    files->addWidget(exportButton_);
    files->addStretch(1);

    auto* steps = new QHBoxLayout;
    steps->addWidget(playButton_);
    steps->addWidget(loopButton_);
    steps->addWidget(thereAndBackButton_);
    steps->addWidget(stepSlider_, 1);
    steps->addWidget(stepLabel_);
    steps->addWidget(zoomLabel_);

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
    layout->addLayout(files);
    layout->addLayout(steps);
    layout->addLayout(settings);
    layout->addWidget(previewArea_, 1);
    layout->addWidget(statusLine_);

    connect(openButton_, &QPushButton::clicked, this, &ArtPreviewWindow::OpenArtCommand);
    connect(paletteButton_, &QPushButton::clicked, this, &ArtPreviewWindow::PaletteFromArtCommand);
    connect(exportButton_, &QPushButton::clicked, this, &ArtPreviewWindow::ExportAnimationCommand);
    connect(wordsBox_, &QComboBox::currentIndexChanged, this, [this] {
        UpdateImportOrders();
        UpdateStatus();
    });
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

void ArtPreviewWindow::BuildKeys()
{
    const struct {
        QList<QKeySequence> keys;
        void (*run)(ArtPreviewWindow& w);
    } keys[] = {
        {{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}, [](ArtPreviewWindow& w) { w.close(); }},
        {{QKeySequence(Qt::CTRL | Qt::Key_O)}, [](ArtPreviewWindow& w) { w.OpenArtCommand(); }},
        {{QKeySequence(Qt::CTRL | Qt::Key_1)}, [](ArtPreviewWindow& w) { w.PaletteFromArtCommand(); }},
        {{QKeySequence(Qt::CTRL | Qt::Key_E)}, [](ArtPreviewWindow& w) { w.ExportAnimationCommand(); }},
        {{QKeySequence(Qt::Key_Space)},
         [](ArtPreviewWindow& w) {
             if (w.playButton_->isEnabled())
                 w.SetPlaying(!w.IsPlaying());
         }},
        {{QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)}, [](ArtPreviewWindow& w) { w.SetZoom(w.zoom_ + 1); }},
        {{QKeySequence(Qt::Key_Minus)}, [](ArtPreviewWindow& w) { w.SetZoom(w.zoom_ - 1); }},
    };
    for (const auto& key : keys) {
        auto* action = new QAction(this);
        action->setShortcuts(key.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, run = key.run] { run(*this); });
        addAction(action);
    }
}

void ArtPreviewWindow::OpenArtCommand()
{
    const HostOwner asking(host_, this);
    const QString path = host_.AskOpenFile(QString::fromLatin1(kOpenArtTitle), kPictureOpen).path;
    if (!path.isEmpty())
        OpenArt(path);
}

bool ArtPreviewWindow::OpenArt(const QString& path)
{
    const QString reason = LoadArtFile(path);
    if (!reason.isEmpty()) {
        const HostOwner asking(host_, this);
        host_.ShowMessage(QString::fromLatin1(kOpenArtTitle), reason);
    }
    return reason.isEmpty();
}

QString ArtPreviewWindow::LoadArtFile(const QString& path)
{
    IoResult<ArtPicture> loaded = LoadArt(path);
    if (!loaded.ok())
        return loaded.error;
    art_ = std::move(loaded.value);
    artPath_ = path;
    hasArt_ = true;
    importOrders_.reset();
    artPaletteSpin_->setEnabled(art_.indexed());
    FollowFade();
    return {};
}

void ArtPreviewWindow::PaletteFromArtCommand()
{
    if (!paletteButton_->isEnabled())
        return;
    SourceRequest request;
    request.kind = SourceKind::Picture;
    request.pictureOrder = PictureOrder::Table;
    request.pictureWords = ChosenWords();
    request.levels = state_.levels;
    request.indexed = true;
    request.needed = static_cast<std::size_t>(ArtPalette()) + 1;
    request.base = WordsOfPalette(state_.palettes[0]);
    const IoResult<SourcePalettes> read = ReadSource(SourceOrigin::File(artPath_), request);
    IoResult<PaletteWords> picked;
    if (read.ok())
        picked = PickPalette(read.value.palettes, ArtPalette(), read.value.holder);
    else
        picked.error = read.error;
    if (!picked.ok()) {
        const HostOwner asking(host_, this);
        host_.ShowMessage(QString::fromLatin1(kPaletteFromArtText), picked.error);
        return;
    }
    // palfade-cli reads the picture over black: entries past the table
    // leave it there. Should that reading fail, Palette 1 is known as black
    // only, which it is not unless it is.
    PaletteOrigin origin = PaletteOrigin::File(artPath_, request, ArtPalette(), picked.value);
    if (request.base != PaletteWords{}) {
        request.base = PaletteWords{};
        const IoResult<SourcePalettes> over = ReadSource(SourceOrigin::File(artPath_), request);
        const IoResult<PaletteWords> cli = PickPalette(over.value.palettes, ArtPalette(), over.value.holder);
        origin = over.ok() && cli.ok() ? PaletteOrigin::File(artPath_, request, ArtPalette(), cli.value)
                                       : PaletteOrigin();
    }
    emit palette1Read(picked.value, origin);
}

int ArtPreviewWindow::Steps() const
{
    // The fade's own steps: a fade there and back holds 2P - 1.
    return std::max(1, state_.fadeTable.steps());
}

ArtPlayback ArtPreviewWindow::Playback() const
{
    return ArtPlayback{Steps(), framesSpin_->value(), holdStartSpin_->value(), holdEndSpin_->value(),
                       thereAndBackButton_->isChecked()};
}

PictureWords ArtPreviewWindow::ChosenWords() const
{
    return static_cast<PictureWords>(wordsBox_->currentIndex());
}

int ArtPreviewWindow::ArtPalette() const
{
    return art_.indexed() ? artPaletteSpin_->value() : 0;
}

void ArtPreviewWindow::FollowFade()
{
    {
        const QSignalBlocker quiet(stepSlider_);
        stepSlider_->setRange(1, Steps());
    }
    linearMatched_.reset();
    if (hasArt_) {
        map_ = MapArt(art_, state_.levels, state_.palettes[0]);
        if (!art_.indexed() && state_.view.hardwareColors)
            linearMatched_ = art_.pixelCount() - MapArt(art_, LinearLevelSet(), state_.palettes[0]).unmatched;
        if (!importOrders_ || importOrders_->hardwareColors != state_.view.hardwareColors)
            UpdateImportOrders();
    }
    playButton_->setEnabled(hasArt_);
    paletteButton_->setEnabled(hasArt_ && art_.indexed());
    exportButton_->setEnabled(hasArt_ && job_ == nullptr);
    step_ = std::clamp(step_, 0, Steps() - 1);
    ShowStep(step_);
    // A new number of steps changes the cycle; any other change keeps playing in step.
    if (ArtCycle(Playback()) != cycle_)
        RestartCycle();
}

void ArtPreviewWindow::ShowStep(int step)
{
    step_ = std::clamp(step, 0, Steps() - 1);
    {
        const QSignalBlocker quiet(stepSlider_);
        stepSlider_->setValue(step_ + 1);
    }
    stepLabel_->setText(QStringLiteral("Step %1 of %2").arg(step_ + 1).arg(Steps()));
    Redraw();
}

void ArtPreviewWindow::SetZoom(int zoom)
{
    zoom = BoundZoom(zoom);
    if (zoom == zoom_)
        return;
    zoom_ = zoom;
    Redraw();
}

void ArtPreviewWindow::Redraw()
{
    if (hasArt_) {
        ArtColours colours = OwnArtColours(art_);
        PutFadeStep(state_.fadeTable, step_, ArtPalette(), state_.levels, colours, state_.colorCount);
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
    zoomLabel_->setText(QStringLiteral("Zoom %1x").arg(zoom_));
    UpdateStatus();
    emit stepShown(step_);
}

void ArtPreviewWindow::UpdateImportOrders()
{
    importOrders_.reset();
    if (!hasArt_ || !art_.indexed())
        return;
    ImportOrders orders;
    orders.hardwareColors = state_.view.hardwareColors;
    orders.words = ChosenWords();
    const SourceOrigin origin = SourceOrigin::File(artPath_);
    // As "Import from image.." reads it.
    SourceRequest request;
    request.kind = SourceKind::Picture;
    request.levels = state_.levels;
    request.needed = 1;
    const IoResult<SourcePalettes> appearance = ReadSource(origin, request);
    request.pictureOrder = PictureOrder::Table;
    request.pictureWords = orders.words;
    request.needed = kEveryPalette;
    const IoResult<SourcePalettes> table = ReadSource(origin, request);
    if (!appearance.ok() || !appearance.value.importSlots || !table.ok())
        return;
    orders.appearance = appearance.value.palettes.front();
    orders.filled = *appearance.value.importSlots;
    orders.table = table.value.palettes;
    for (const std::uint8_t n : art_.indices)
        orders.used[n / kPaletteSize] |= static_cast<std::uint16_t>(1u << (n % kPaletteSize));
    importOrders_ = std::move(orders);
}

bool ArtPreviewWindow::Palette1ByAppearance() const
{
    // Palette 1 holds what "Import from image.." takes from this picture,
    // and a pixel of the art palette shows another colour than its table
    // entry would give it: the picture shows scrambled colours.
    const auto palette = static_cast<std::size_t>(ArtPalette());
    if (!importOrders_ || palette >= importOrders_->table.size())
        return false;
    const PaletteWords palette1 = WordsOfPalette(state_.palettes[0]);
    bool filled = false;
    bool scrambled = false;
    for (std::size_t i = 0; i < kPaletteSize; ++i) {
        if (importOrders_->filled[i] != kEmptySlot) {
            filled = true;
            if (palette1[i] != importOrders_->appearance[i])
                return false;
        }
        const bool used = (importOrders_->used[palette] >> i) & 1u;
        scrambled = scrambled || (used && palette1[i] != importOrders_->table[palette][i]);
    }
    return filled && scrambled;
}

void ArtPreviewWindow::UpdateStatus()
{
    const QString stepText = QStringLiteral("step %1 of %2").arg(step_ + 1).arg(Steps());
    if (!hasArt_) {
        statusLine_->setText(QStringLiteral("No art: choose \"%1\"").arg(QString::fromLatin1(kOpenArtText)));
        return;
    }
    const QString size = QStringLiteral("%1 x %2 pixels").arg(art_.width).arg(art_.height);
    const int palette = ArtPalette();
    QString matched;
    if (art_.indexed() && palette >= art_.paletteCount()) {
        matched = QStringLiteral("art palette %1 is beyond the colour table (palettes 0-%2)")
                      .arg(palette)
                      .arg(art_.paletteCount() - 1);
    } else {
        const std::int64_t count = PixelsOfPalette(art_, map_, palette);
        matched = QStringLiteral("%1 of %2 pixels matched").arg(Number(count), Number(art_.pixelCount()));
        // Colours become words through the level set in use: the hardware
        // set reads some colours as other words than the linear one.
        if (linearMatched_ && *linearMatched_ != count)
            matched += QStringLiteral(" through the hardware level set (%1 through the linear one)")
                           .arg(Number(*linearMatched_));
    }
    if (!art_.indexed() && map_.unmatched > 0)
        matched += QStringLiteral(" (%1)").arg(UnmatchedPixelsText(map_.unmatched));
    QString text = QStringLiteral("%1, %2, %3").arg(size, matched, stepText);
    if (Palette1ByAppearance())
        text += QStringLiteral(". Palette 1 holds this picture's colours in order of appearance, which scrambles "
                               "them: \"%1\" (Ctrl+1) takes them in table order")
                    .arg(QString::fromLatin1(kPaletteFromArtText));
    statusLine_->setText(text);
}

void ArtPreviewWindow::ExportAnimationCommand()
{
    if (!exportButton_->isEnabled())
        return;
    const HostOwner asking(host_, this);
    const FileRequester requester{kArtCliFormats};
    const FileChoice choice = host_.AskSaveFile(QString::fromLatin1(kExportTitle), requester);
    if (choice.path.isEmpty())
        return;
    const FileFormat& format = requester.Chosen(choice.filterIndex);
    const QString path = FinalSavePath(choice.path, format);
    if (ExistingFileSize(path) && !host_.AskYesNo(QString::fromLatin1(texts::kConfirmSaveTitle),
                                                  path + QString::fromLatin1(texts::kConfirmReplaceSuffix)))
        return;
    if (const IoStatus refused = RefuseSpecialFile(path); !refused.ok()) {
        host_.ShowMessage(QString::fromLatin1(texts::kErrorTitle), refused.error);
        return;
    }

    // palfade-cli art's request for the same fade and settings.
    ArtRequest request;
    request.path = artPath_;
    request.output = *format.artExport;
    request.fades = {state_.fadeTable};
    const bool thereAndBack = thereAndBackButton_->isChecked();
    // A sheet shows the way back as steps of its own, as --there-and-back
    // does, unless the fade already goes there and back.
    if (thereAndBack && request.output == ArtFormat::Sheet && state_.fadeTable.steps() == state_.paletteCount)
        ReorderSteps(request.fades.front(), StepOrder(state_.paletteCount, true));
    request.artPalette = ArtPalette();
    request.levels = state_.levels;
    request.playback = Playback();
    request.playback.thereAndBack = thereAndBack && request.output == ArtFormat::Gif;
    request.zoom = zoom_;
    request.colorCount = state_.colorCount;

    job_ = new ArtExportJob(std::move(request), path, this);
    connect(job_, &ArtExportJob::finished, this, &ArtPreviewWindow::ExportEnded);
    progress_ = new QProgressDialog(QStringLiteral("Writing %1..").arg(QFileInfo(path).fileName()),
                                    QStringLiteral("Cancel"), 0, 0, this);
    progress_->setWindowTitle(QString::fromLatin1(kExportTitle));
    // Wide enough for the caption beside the title bar's buttons.
    progress_->setMinimumWidth(progress_->fontMetrics().horizontalAdvance(progress_->windowTitle()) +
                               kProgressTitleRoom);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setMinimumDuration(kProgressDelayMilliseconds);
    connect(progress_, &QProgressDialog::canceled, job_, &ArtExportJob::Stop);
    exportButton_->setEnabled(false);
    progressTimer_.start();
    job_->Start();
}

void ArtPreviewWindow::ShowExportProgress()
{
    if (job_ == nullptr || progress_ == nullptr || progress_->wasCanceled())
        return;
    progress_->setMaximum(job_->FramesInAll());
    progress_->setValue(job_->FramesDone());
}

void ArtPreviewWindow::ExportEnded(bool written, const QString& error)
{
    progressTimer_.stop();
    delete progress_;
    progress_ = nullptr;
    job_->deleteLater();
    job_ = nullptr;
    exportButton_->setEnabled(hasArt_);
    if (!error.isEmpty()) {
        const HostOwner asking(host_, this);
        host_.ShowMessage(QString::fromLatin1(texts::kErrorTitle), error);
    }
    emit exportFinished(written);
}

void ArtPreviewWindow::SetPlaying(bool playing)
{
    playing = playing && hasArt_;
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

void ArtPreviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The focus shows from the start, not only after the first Tab: Qt
    // draws it once the keyboard has moved it in the window.
    setAttribute(Qt::WA_KeyboardFocusChange);
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
        if (previewArea_->canvas()->hasFocus() && delta != 0)
            SetZoom(zoom_ + (delta > 0 ? 1 : -1));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ArtPreviewWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ArtPreviewWindow::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenArt(path);
}

} // namespace palfade
