#include "ui/main_window.h"

#include "core/app_state.h"
#include "core/fade_choices.h"
#include "core/palette_commands.h"
#include "dialogs/draw_surface.h"
#include "render/preview_renderer.h"
#include "ui/art_preview_window.h"
#include "ui/command_ids.h"
#include "ui/file_commands.h"
#include "ui/preview_widgets.h"
#include "ui/source_import.h"
#include "ui/toolchain_export.h"
#include "ui/window_texts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <span>

namespace palfade {
namespace {

constexpr QSize kInnerSize(640, 480);
constexpr int kAreaLeft = 3;
constexpr int kAreaTop = 30;
constexpr int kAreaSideMargins = 6;  // 3 left, 3 right
constexpr int kAreaHeightLoss = 31;  // the 30-pixel strip and 1 pixel above the status bar
// Indexed by StatusBarField; 0: the remaining width.
constexpr int kStatusWidths[kStatusFieldCount] = {0, 150, 100, 150, 100};

constexpr QRect kPaletteLabelRect(5, 7, 100, 20);
constexpr QRect kPaletteSpinRect(105, 5, 50, 20);
constexpr QRect kColorLabelRect(205, 7, 100, 20);
constexpr QRect kColorSpinRect(300, 5, 50, 20);
constexpr const char* kPaletteLabelText = "# Palettes (3-256):";
constexpr const char* kColorLabelText = "# Colors (1-16):";

// Each setting the menus switch on and off: its command, its flag, and the
// status bar field that shows it with its two texts (the grid has none).
struct Toggle {
    int id;
    void (*toggle)(AppState&);
    bool ViewSettings::*flag;
    StatusBarField field;
    const char* onText;
    const char* offText;
};

constexpr Toggle kToggles[] = {
    {kCmdShowGrid, &ToggleGrid, &ViewSettings::showGrid, StatusBarField::Message, nullptr, nullptr},
    {kCmdHardwareColors, &ToggleHardwareColors, &ViewSettings::hardwareColors, StatusBarField::HardwareColors,
     "Hardware colors : On", "Hardware colors : Off"},
    {kCmdDarkBit, &ToggleDarkBit, &ViewSettings::useDarkBit, StatusBarField::DarkBit, "Dark bit : On",
     "Dark bit : Off"},
    {kCmdSimpleFade, &ToggleSimpleFade, &ViewSettings::simpleFade, StatusBarField::SimpleFade, "Simple fade : On",
     "Simple fade : Off"},
};

const Toggle* FindToggle(int id)
{
    for (const Toggle& t : kToggles)
        if (t.id == id)
            return &t;
    return nullptr;
}

constexpr int kSeparator = 0;
constexpr const char* kFadeShapeText = "Fade shape..";

struct MenuItem {
    const char* text; // the part after "\t" is the shortcut text the menu shows
    int id;           // kSeparator for a separator line
    const char* shortcut;
};

struct Menu {
    const char* title;
    std::span<const MenuItem> items;
    int palette; // 1 or 2 for a palette menu (its items carry Palette 1's ids), else 0
};

constexpr MenuItem kFileItems[] = {
    {"New\tCtrl+N", kCmdNew, "Ctrl+N"},
    {"Save As..\tCtrl+S", kCmdSaveFadeTable, "Ctrl+S"},
    {nullptr, kSeparator, nullptr},
    {"Quit", kCmdQuit, nullptr},
};
constexpr MenuItem kPaletteItems[] = {
    {"Open..", kCmdOpenPalette1, nullptr},
    {"Save As..", kCmdSavePalette1, nullptr},
    {"Edit palette..", kCmdEditPalette1, nullptr},
    {"Import from file..", kCmdImportFile1, nullptr},
    {"Import from image..", kCmdImportImage1, nullptr},
    {"Import from clipboard", kCmdImportClipboard1, nullptr},
    {nullptr, kSeparator, nullptr},
    {"Greyscale loaded palette", kCmdGreyscalePalette1, nullptr},
    {"Set to black", kCmdBlackPalette1, nullptr},
    {"Set to white", kCmdWhitePalette1, nullptr},
    {"Set to colour..", kCmdColourPalette1, nullptr},
    {nullptr, kSeparator, nullptr},
    {"Import from source..", kCmdImportSource1, nullptr},
};
constexpr MenuItem kOptionsItems[] = {
    {"Swap palettes", kCmdSwapPalettes, nullptr},
    {nullptr, kSeparator, nullptr},
    {"Save image to file..", kCmdSaveImage, nullptr},
    {"Copy image to clipboard", kCmdCopyImage, nullptr},
    {nullptr, kSeparator, nullptr},
    {"Preview art..\tCtrl+Alt+A", kCmdPreviewArt, "Ctrl+Alt+A"},
    {kFadeShapeText, kCmdFadeShape, nullptr},
    {"Export for a toolchain..", kCmdToolchainExport, nullptr},
};
constexpr MenuItem kSettingsItems[] = {
    {"Show Grid\tCtrl+Alt+G", kCmdShowGrid, "Ctrl+Alt+G"},
    {"Set Grid color", kCmdGridColor, nullptr},
    {nullptr, kSeparator, nullptr},
    {"Show hardware colors\tCtrl+Alt+R", kCmdHardwareColors, "Ctrl+Alt+R"},
    {"Use 'Dark bit' (experimental)", kCmdDarkBit, nullptr},
    {"Simple fade", kCmdSimpleFade, nullptr},
};
constexpr MenuItem kHelpItems[] = {
    {"About", kCmdAbout, nullptr},
};

constexpr Menu kMenus[] = {
    {"File", kFileItems, 0},
    {"Palette 1 (Top)", kPaletteItems, 1},
    {"Palette 2 (Bottom)", kPaletteItems, 2},
    {"Options", kOptionsItems, 0},
    {"Settings", kSettingsItems, 0},
    {"Help", kHelpItems, 0},
};

// The value changes only through the arrows and the arrow keys, one step
// each: typing goes to a read-only field, Page Up and Page Down do nothing,
// Ctrl does not make a step larger, and the wheel is left to the window.
class CountSpinBox : public QSpinBox {
public:
    CountSpinBox(int minimum, int maximum, QWidget* parent) : QSpinBox(parent)
    {
        setRange(minimum, maximum);
        lineEdit()->setReadOnly(true);
        // Otherwise Return re-sends the unchanged value as a change.
        setKeyboardTracking(false);
        setFocusPolicy(Qt::StrongFocus);
    }

    void stepBy(int steps) override
    {
        if (steps != 0)
            QSpinBox::stepBy(steps > 0 ? 1 : -1);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
            event->accept();
            return;
        }
        QSpinBox::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

// The labels keep their fixed 100-pixel boxes, and the colour count's box
// runs 5 pixels under its spin box: with a large system font both texts are
// set in one smaller size until the longer one clears the spin box.
constexpr int kLabelTextRoom = 90;

QFont CountLabelFont(QFont font)
{
    auto widest = [&font] {
        const QFontMetrics metrics(font);
        return std::max(metrics.horizontalAdvance(QString::fromLatin1(kPaletteLabelText)),
                        metrics.horizontalAdvance(QString::fromLatin1(kColorLabelText)));
    };
    while (widest() > kLabelTextRoom && font.pointSizeF() > 6.0)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

QLabel* CountLabel(const char* text, const QRect& rect, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(CountLabelFont(label->font()));
    return label;
}

// Only lists of local files are accepted, whatever the drop action.
QStringList DroppedFiles(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

// Keeps LayoutWindow in step with the client area below the menu bar, whose
// size QMainWindow sets from the window's size.
class ClientArea : public QWidget {
public:
    ClientArea(MainWindow* window) : QWidget(window), window_(window) {}

protected:
    void resizeEvent(QResizeEvent*) override { window_->LayoutWindow(); }

private:
    MainWindow* window_;
};

} // namespace

MainWindow::MainWindow(AppState& state, Host& host, QWidget* parent)
    : QMainWindow(parent), state_(state), host_(host)
{
    setWindowTitle(WindowTitle());
    setMinimumSize(kInnerSize);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kInnerSize,
                                    screen()->availableGeometry()));
    setAcceptDrops(true);

    BuildMenus();
    BuildStatusBar();
    BuildClientArea();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus()
{
    for (const Menu& menu : kMenus) {
        QMenu* m = menuBar()->addMenu(QString::fromLatin1(menu.title));
        for (const MenuItem& item : menu.items) {
            if (item.id == kSeparator) {
                m->addSeparator();
                continue;
            }
            const int id = menu.palette > 0 ? PaletteCommandId(item.id, menu.palette) : item.id;
            QAction* action = m->addAction(QString::fromLatin1(item.text));
            if (item.shortcut != nullptr)
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            action->setCheckable(FindToggle(id) != nullptr);
            connect(action, &QAction::triggered, this, [this, id] { DispatchCommand(id); });
            actions_[id] = action;
        }
    }
}

void MainWindow::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < kStatusFieldCount; ++i) {
        auto* field = new QLabel(bar);
        field->setAlignment(Qt::AlignCenter);
        if (kStatusWidths[i] > 0) {
            field->setFixedWidth(kStatusWidths[i]);
            bar->addPermanentWidget(field);
        } else {
            field->setMinimumWidth(0);
            bar->addWidget(field, 1);
        }
        statusFields_[i] = field;
    }
}

void MainWindow::BuildClientArea()
{
    auto* client = new ClientArea(this);
    previewArea_ = new PreviewArea(client);
    // Wheel events over the preview reach the window even when sent straight
    // to the canvas, the viewport or a scroll bar, which would otherwise scroll.
    for (QWidget* part : previewArea_->WheelTargets())
        part->installEventFilter(this);

    // The preview starts as one pixel of the grid colour.
    shownPixels_.Resize(1, 1);
    shownPixels_.pixels[0] = DisplayToPixel(state_.view.gridColor);
    ShowPixels();
    previewArea_->SetBackground(ToQColor(state_.areaColor));

    CountLabel(kPaletteLabelText, kPaletteLabelRect, client);
    paletteCountSpin_ = new CountSpinBox(kMinPalettes, kMaxPalettes, client);
    paletteCountSpin_->setGeometry(kPaletteSpinRect);
    paletteCountSpin_->setValue(state_.paletteCount);

    CountLabel(kColorLabelText, kColorLabelRect, client);
    colorCountSpin_ = new CountSpinBox(kMinColors, kMaxColors, client);
    colorCountSpin_->setGeometry(kColorSpinRect);
    colorCountSpin_->setValue(state_.colorCount);

    // Connected after the start values are in: only the user's changes notify.
    connect(paletteCountSpin_, &QSpinBox::valueChanged, this, [this](int value) {
        state_.paletteCount = value;
        RefreshView();
    });
    connect(colorCountSpin_, &QSpinBox::valueChanged, this, [this](int value) {
        state_.colorCount = value;
        RefreshView();
    });

    setCentralWidget(client);
    // At start the focus is on no control: the wheel leaves the preview alone
    // until it is clicked.
    client->setFocus();
    LayoutWindow();
}

void MainWindow::LayoutWindow()
{
    // The client widget spans the inner width and the available height minus
    // the status bar.
    const QWidget* client = centralWidget();
    if (client == nullptr || previewArea_ == nullptr)
        return;
    previewArea_->setGeometry(kAreaLeft, kAreaTop, client->width() - kAreaSideMargins,
                              client->height() - kAreaHeightLoss);
}

PreviewCanvas* MainWindow::PreviewCanvasWidget() const
{
    return previewArea_->canvas();
}

QAction* MainWindow::CommandAction(int id) const
{
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QLabel* MainWindow::StatusField(StatusBarField field) const
{
    return statusFields_[static_cast<int>(field)];
}

void MainWindow::ShowPixels()
{
    // Format_RGB32 reads the 0xFFRRGGBB words in place: no copy per refresh.
    previewImage_ = QImage(reinterpret_cast<uchar*>(shownPixels_.pixels.data()), shownPixels_.width,
                           shownPixels_.height, shownPixels_.width * static_cast<int>(sizeof(std::uint32_t)),
                           QImage::Format_RGB32);
    PreviewCanvas* canvas = previewArea_->canvas();
    const QSize size(shownPixels_.width, shownPixels_.height);
    if (canvas->size() != size)
        canvas->resize(size);
    canvas->ShowImage(previewImage_);
}

void MainWindow::RefreshView()
{
    BuildPreviewImage(state_, basePixels_, shownPixels_);
    ShowPixels();

    StatusField(StatusBarField::Zoom)->setText(QStringLiteral("Zoom: %1x%1").arg(state_.view.zoom));
    for (const Toggle& t : kToggles)
        if (t.onText != nullptr)
            StatusField(t.field)->setText(QString::fromLatin1(state_.view.*t.flag ? t.onText : t.offText));
    // The status bar keeps its four fields as they always were; the menu
    // item names the shape that is set.
    actions_.at(kCmdFadeShape)->setText(FadeShapeMenuText(state_.shape, state_.view.simpleFade));
    emit refreshed();
}

void MainWindow::DispatchCommand(int id)
{
    // Commands that refresh themselves (New, the toggles, the grid colour)
    // are marked "false": the dispatcher runs no second refresh after them.
    struct Route {
        int id;
        void (*run)(MainWindow& w);
        bool refreshAfter;
    };
    // Palette 1's ids; the same routes serve palette 2.
    struct PaletteRoute {
        int id;
        void (*run)(MainWindow& w, int which);
        bool refreshAfter;
    };
    static constexpr PaletteRoute kPaletteRoutes[] = {
        {kCmdOpenPalette1,
         [](MainWindow& w, int which) { w.Remember(which, OpenPaletteFile(w.state_, w.host_, QString(), which)); },
         true},
        {kCmdSavePalette1, [](MainWindow& w, int which) { SaveSourcePalette(w.state_, w.host_, which); }, false},
        {kCmdBlackPalette1,
         [](MainWindow& w, int which) {
             SetPaletteBlack(w.state_, which);
             w.Named(which, QStringLiteral("black"));
         },
         true},
        {kCmdWhitePalette1,
         [](MainWindow& w, int which) {
             SetPaletteWhite(w.state_, which);
             w.Named(which, QStringLiteral("white"));
         },
         true},
        {kCmdColourPalette1, [](MainWindow& w, int which) { w.SetPaletteColour(which); }, true},
        {kCmdImportSource1,
         [](MainWindow& w, int which) {
             w.Remember(which, ImportPaletteFromSource(w.state_, w.host_, which));
         },
         true},
        {kCmdGreyscalePalette1, [](MainWindow& w, int which) { GreyscalePalette(w.state_, which); }, true},
        {kCmdEditPalette1, [](MainWindow& w, int which) { w.host_.EditPalette(w.state_, which); }, true},
        {kCmdImportImage1, [](MainWindow& w, int which) { ImportPaletteFromImage(w.state_, w.host_, which); }, true},
        {kCmdImportFile1, [](MainWindow& w, int which) { ImportPaletteFromFile(w.state_, w.host_, which); }, true},
        {kCmdImportClipboard1,
         [](MainWindow& w, int which) { ImportPaletteFromClipboard(w.state_, w.host_, which); }, true},
    };
    static constexpr Route kRoutes[] = {
        {kCmdNew, [](MainWindow& w) { w.NewFadeCommand(); }, false},
        {kCmdSaveFadeTable, [](MainWindow& w) { SaveFadeTable(w.state_, w.host_); }, false},
        {kCmdQuit, [](MainWindow& w) { w.close(); }, false},
        {kCmdGridColor, [](MainWindow& w) { w.ChooseGridColor(); }, false},
        {kCmdSwapPalettes,
         [](MainWindow& w) {
             SwapPalettes(w.state_);
             std::swap(w.origins_[0], w.origins_[1]);
         },
         true},
        {kCmdSaveImage, [](MainWindow& w) { SaveImageToFile(w.host_, w.shownPixels_); }, false},
        {kCmdCopyImage, [](MainWindow& w) { CopyImageToClipboard(w.host_, w.shownPixels_); }, false},
        {kCmdAbout, [](MainWindow& w) { w.ShowAbout(); }, false},
        {kCmdPreviewArt, [](MainWindow& w) { w.ShowArtPreview(); }, false},
        {kCmdFadeShape, [](MainWindow& w) { w.ChooseFadeShapeCommand(); }, false},
        {kCmdToolchainExport,
         [](MainWindow& w) { ExportForToolchain(w.state_, w.origins_, w.host_, w.lastExport_); }, false},
    };

    if (const Toggle* toggle = FindToggle(id)) {
        toggle->toggle(state_);
        // A checkable action has already flipped its own mark; the flag decides.
        actions_.at(id)->setChecked(state_.view.*toggle->flag);
        RefreshView();
        return;
    }
    for (const PaletteRoute& route : kPaletteRoutes) {
        for (int which = 1; which <= 2; ++which) {
            if (PaletteCommandId(route.id, which) != id)
                continue;
            route.run(*this, which);
            if (route.refreshAfter)
                RefreshView();
            return;
        }
    }
    for (const Route& route : kRoutes) {
        if (route.id != id)
            continue;
        route.run(*this);
        if (route.refreshAfter)
            RefreshView();
        return;
    }
}

void MainWindow::NewFadeCommand()
{
    NewFade(state_);
    Named(1, QStringLiteral("black"));
    Named(2, QStringLiteral("black"));
    {
        const QSignalBlocker quiet(paletteCountSpin_);
        paletteCountSpin_->setValue(state_.paletteCount);
    }
    RefreshView();
}

void MainWindow::ChooseGridColor()
{
    const std::optional<DisplayRgb> chosen = host_.ChooseColor(state_.view.gridColor);
    if (!chosen)
        return;
    state_.view.gridColor = *chosen;
    // With the grid hidden the colour shows from the next refresh on.
    if (state_.view.showGrid)
        RefreshView();
}

void MainWindow::Named(int which, const QString& source)
{
    if (const SourcePalette* palette = PaletteByNumber(state_, which))
        origins_[static_cast<std::size_t>(which - 1)] = PaletteOrigin::Named(source, *palette);
}

void MainWindow::Remember(int which, const std::optional<PaletteOrigin>& origin)
{
    if (origin && (which == 1 || which == 2))
        origins_[static_cast<std::size_t>(which - 1)] = *origin;
}

void MainWindow::SetPaletteOrigin(int which, const PaletteOrigin& origin)
{
    Remember(which, origin);
}

// Colour 0 stays black and colours 1-15 take the chosen word, as
// palfade-cli's word:XXXX; the requester starts from colour 1.
void MainWindow::SetPaletteColour(int which)
{
    const SourcePalette* palette = PaletteByNumber(state_, which);
    if (palette == nullptr)
        return;
    const std::optional<HwColor> word = host_.RequestColorWord(EncodeHwColor((*palette)[1]), state_.levels);
    if (!word)
        return;
    SetPaletteWord(state_, which, *word);
    Named(which, WordSourceName(*word));
}

void MainWindow::ChooseFadeShapeCommand()
{
    const std::optional<ShapeSettings> shape = host_.ChooseFadeShape(state_.shape, state_.view.simpleFade);
    if (!shape || *shape == state_.shape)
        return;
    state_.shape = *shape;
    RefreshView();
}

QString FadeShapeMenuText(const ShapeSettings& shape, bool simpleFade)
{
    QStringList parts;
    if (shape.curve != FadeCurve::Linear && !simpleFade)
        parts << QString::fromStdString(std::string(FadeCurveText(shape.curve)));
    if (shape.keep != 0)
        parts << QStringLiteral("keep ") + QString::fromStdString(KeepListText(shape.keep));
    if (shape.thereAndBack)
        parts << QStringLiteral("there and back");
    if (parts.isEmpty())
        return QString::fromLatin1(kFadeShapeText);
    return QStringLiteral("Fade shape (%1)..").arg(parts.join(QStringLiteral(", ")));
}

void MainWindow::ShowAbout()
{
    host_.ShowAbout(AboutText());
}

void MainWindow::ShowArtPreview()
{
    // Made on first use: until then the window works exactly as without it.
    if (artPreview_ == nullptr) {
        artPreview_ = new ArtPreviewWindow(state_, host_, this);
        connect(this, &MainWindow::refreshed, artPreview_, &ArtPreviewWindow::FollowFade);
        connect(artPreview_, &ArtPreviewWindow::palette1Read, this,
                [this](const PaletteWords& words, const PaletteOrigin& origin) {
                    state_.palettes[0] = PaletteOfWords(words);
                    SetPaletteOrigin(1, origin);
                    RefreshView();
                });
    }
    artPreview_->show();
    artPreview_->raise();
    artPreview_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (artPreview_ != nullptr)
        artPreview_->close();
    state_.quitRequested = true;
    event->accept();
}

bool MainWindow::WheelZoom(QWheelEvent* event)
{
    // Only while the preview has the keyboard focus; one step per event,
    // whatever the delta's size. RefreshView brings the zoom back into range.
    const int delta = event->angleDelta().y();
    if (!PreviewCanvasWidget()->hasFocus() || delta == 0)
        return false;
    state_.view.zoom += delta > 0 ? 1 : -1;
    event->accept();
    RefreshView();
    return true;
}

void MainWindow::wheelEvent(QWheelEvent* event)
{
    if (!WheelZoom(event))
        event->ignore();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Over the preview the wheel zooms or does nothing; it never scrolls.
    if (event->type() == QEvent::Wheel) {
        WheelZoom(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    const auto origins = DropPaletteFiles(state_, host_, paths);
    for (int which = 1; which <= 2; ++which)
        Remember(which, origins[static_cast<std::size_t>(which - 1)]);
    RefreshView();
}

} // namespace palfade
