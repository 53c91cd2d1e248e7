#include "dialogs/color_requester.h"

#include "dialogs/dialog_layout.h"
#include "dialogs/dialog_text.h"
#include "dialogs/modal_owner.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QShowEvent>
#include <QSpinBox>

#include <algorithm>

namespace palfade {

namespace {

using namespace requester;

constexpr QRgb kMarkXor = 0xFFFFFF;    // marks drawn by a full redraw
constexpr QRgb kBarStepXor = 0xF8F8F8; // the bar mark drawn by a bar step
constexpr int kBlendMax = 255;
constexpr int kLevelToValue = 8; // a level shown as an 8-bit value is 8 x level

QLabel* PlaceLabel(QWidget* parent, const ControlSpec& where, const char* text)
{
    auto* label = Place<QLabel>(parent, where);
    label->setText(QString::fromLatin1(text));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit* PlaceWordField(QWidget* parent, const ControlSpec& where)
{
    auto* field = Place<QLineEdit>(parent, where);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

// Picker and bar show a level L through the table at 2L, its dark version,
// whatever dark bit the current colour has.
QRgb LevelPixel(const LevelTable& levels, int red, int green, int blue)
{
    auto value = [&levels](int level) {
        return static_cast<int>(levels.forward[static_cast<std::size_t>(2 * level)]);
    };
    return qRgb(value(red), value(green), value(blue));
}

int ClampToSurface(int coordinate, int size) { return std::clamp(coordinate, 0, size - 1); }

} // namespace

int BarChannelLevel(int baseLevel, int step)
{
    const int v = kLevelToValue * baseLevel;
    int blended = 0;
    if (step < kBarCentre) {
        const int alpha = kBlendMax - 8 * step; // black laid over the base
        blended = v * (kBlendMax - alpha) / kBlendMax;
    } else {
        const int alpha = 8 * (step - kBarCentre); // white laid over the base
        blended = (kBlendMax * alpha + v * (kBlendMax - alpha)) / kBlendMax;
    }
    return blended >> 3;
}

std::array<ChannelLevels, 64> BarLevels(const ChannelLevels& base)
{
    std::array<ChannelLevels, 64> steps{};
    for (int p = 0; p < kBarSteps; ++p)
        steps[static_cast<std::size_t>(p)] = ChannelLevels{BarChannelLevel(base.red, p),
                                                           BarChannelLevel(base.green, p),
                                                           BarChannelLevel(base.blue, p)};
    return steps;
}

ColorRequesterDialog::ColorRequesterDialog(HwColor word, const LevelTable& levels, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      levels_(levels),
      startColor_(DecodeHwColor(word)),
      currentColor_(startColor_),
      baseColor_{startColor_.red, startColor_.green, startColor_.blue},
      result_(word)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setFixedSize(kWidth, kHeight);
    BuildControls(word);

    gradient_ = QImage(kGridCells, kGridCells, QImage::Format_RGB32);
    for (int y = 0; y < kGridCells; ++y)
        for (int x = 0; x < kGridCells; ++x)
            gradient_.setPixel(x, y, qRgb(255 - 8 * x, 255 - 8 * y, 8 * x));

    // The window-wide keys must be seen before any control, even a spin
    // field that would use the arrows itself.
    qApp->installEventFilter(this);
    RunRedraws();
}

void ColorRequesterDialog::BuildControls(HwColor word)
{
    picker_ = new DrawSurface(this, kPicker.rect);
    picker_->setToolTip(QString::fromLatin1(kPickerTip));
    picker_->setFocusPolicy(Qt::ClickFocus);
    picker_->confinePointer = true;
    picker_->onPress = [this](const QMouseEvent& e, QPoint p) {
        if (e.button() == Qt::LeftButton)
            PickerMouse(e, p);
    };
    picker_->onMove = [this](const QMouseEvent& e, QPoint p) {
        if (e.buttons() & Qt::LeftButton)
            PickerMouse(e, p);
    };

    bar_ = new DrawSurface(this, kBar.rect);
    bar_->setToolTip(QString::fromLatin1(kBarTip));
    bar_->setFocusPolicy(Qt::ClickFocus);
    bar_->confinePointer = true;
    bar_->onPress = [this](const QMouseEvent& e, QPoint p) {
        if (e.button() == Qt::LeftButton)
            BarMouse(e, p);
    };
    bar_->onMove = [this](const QMouseEvent& e, QPoint p) {
        if (e.buttons() & Qt::LeftButton)
            BarMouse(e, p);
    };

    PlaceLabel(this, kRedLabel, kRedText);
    PlaceLabel(this, kGreenLabel, kGreenText);
    PlaceLabel(this, kBlueLabel, kBlueText);
    PlaceLabel(this, kDarkLabel, kDarkText);

    const std::array<const ControlSpec*, 3> fieldSpecs{&kRedField, &kGreenField, &kBlueField};
    const std::array<int, 3> startLevels{startColor_.red, startColor_.green, startColor_.blue};
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        // The range keeps every typed level inside 0-31: the levels index the
        // level table.
        fields_[i] = Place<QSpinBox>(this, *fieldSpecs[i]);
        fields_[i]->setRange(0, kMaxLevel);
        fields_[i]->setValue(startLevels[i]);
        connect(fields_[i], &QSpinBox::valueChanged, this, [this] { FieldChanged(); });
    }

    darkBox_ = Place<QCheckBox>(this, kDarkBox);
    darkBox_->setChecked(startColor_.dark == 1);
    connect(darkBox_, &QCheckBox::toggled, this, [this](bool on) { DarkChanged(on); });

    oldWord_ = PlaceWordField(this, kOldWord);
    oldWord_->setText(WordText(word));
    preview_ = new DrawSurface(this, kPreview.rect);
    newWord_ = PlaceWordField(this, kNewWord);
    newWord_->setText(QString::fromLatin1(kInitialNewWord));

    ok_ = PlaceButton(this, kOk, kOkText);
    cancel_ = PlaceButton(this, kCancel, kCancelText);
    connect(ok_, &QPushButton::clicked, this, [this] { Finish(result_, QDialog::Accepted); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Finish(-1, QDialog::Rejected); });
}

int ColorRequesterDialog::CommandForKey(const QKeyEvent& key) const
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (key.key()) {
        case Qt::Key_Escape: return kCmdEscape;
        case Qt::Key_Up: return kCmdUp;
        case Qt::Key_Down: return kCmdDown;
        case Qt::Key_Left: return kCmdLeft;
        case Qt::Key_Right: return kCmdRight;
        default: return 0;
        }
    }
    if (mods == Qt::ShiftModifier) {
        if (key.key() == Qt::Key_Left)
            return kCmdBarDarker;
        if (key.key() == Qt::Key_Right)
            return kCmdBarBrighter;
    }
    return 0;
}

bool ColorRequesterDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this || !isEnabled())
        return false;
    const int command = CommandForKey(*static_cast<QKeyEvent*>(event));
    if (command == 0)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Accepting the override turns the key into a key press, which the
        // branch below then takes before the focus widget sees it.
        event->accept();
        return true;
    }
    Command(command);
    return true;
}

void ColorRequesterDialog::closeEvent(QCloseEvent* event)
{
    // Only "Ok", "Cancel" and Escape end the dialog.
    event->ignore();
}

void ColorRequesterDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The first redraws ran before the window could take the focus; the bar,
    // redrawn last, holds it as after any bar redraw.
    bar_->setFocus(Qt::ActiveWindowFocusReason);
}

void ColorRequesterDialog::Command(int id)
{
    int x = pickerCell_.x();
    int y = pickerCell_.y();
    switch (id) {
    case kCmdEscape:
        Finish(-1, QDialog::Rejected);
        return;
    case kCmdUp:
        if (y >= 1)
            PickCell(x, y - 1);
        break;
    case kCmdDown:
        if (y >= 0 && y <= kGridCells - 2)
            PickCell(x, y + 1);
        break;
    case kCmdLeft:
        if (x >= 1)
            PickCell(x - 1, y);
        break;
    case kCmdRight:
        if (x >= 0 && x <= kGridCells - 2)
            PickCell(x + 1, y);
        break;
    case kCmdBarDarker:
        if (barPosition_ >= 1) {
            --barPosition_;
            BarStep();
            redrawPreview_ = true;
        }
        break;
    case kCmdBarBrighter:
        if (barPosition_ <= kBarSteps - 2) {
            ++barPosition_;
            BarStep();
            redrawPreview_ = true;
        }
        break;
    default:
        return;
    }
    if (id >= kCmdUp && id <= kCmdRight && pickerCell_ != QPoint(x, y))
        redrawPicker_ = redrawBar_ = redrawPreview_ = true;
    RunRedraws();
}

void ColorRequesterDialog::PickCell(int x, int y)
{
    pickerCell_ = QPoint(x, y);
    baseColor_ = GradientLevels(x, y);
}

void ColorRequesterDialog::PickerMouse(const QMouseEvent&, QPoint pos)
{
    const QSize size = picker_->InnerSize();
    PickCell(ClampToSurface(pos.x(), size.width()) / kCellPixels,
             ClampToSurface(pos.y(), size.height()) / kCellPixels);
    DrawPickerImage();
    redrawBar_ = redrawPreview_ = true;
    RunRedraws();
}

void ColorRequesterDialog::BarMouse(const QMouseEvent&, QPoint pos)
{
    barPosition_ = ClampToSurface(pos.x(), bar_->InnerSize().width()) / kStepPixels;
    BarStep();
    redrawPreview_ = true;
    RunRedraws();
}

void ColorRequesterDialog::FieldChanged()
{
    baseColor_ = ChannelLevels{fields_[0]->value(), fields_[1]->value(), fields_[2]->value()};
    barPosition_ = kBarCentre;
    redrawBar_ = redrawPreview_ = true;
    RunRedraws();
}

void ColorRequesterDialog::DarkChanged(bool checked)
{
    currentColor_.dark = checked ? 1 : 0;
    redrawBar_ = redrawPreview_ = true;
    RunRedraws();
}

void ColorRequesterDialog::ShowLevelsInFields()
{
    const std::array<int, 3> values{currentColor_.red, currentColor_.green, currentColor_.blue};
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const QSignalBlocker block(fields_[i]);
        fields_[i]->setValue(values[i]);
    }
}

void ColorRequesterDialog::BarStep()
{
    QImage& surface = bar_->Picture();
    DrawAtOrigin(surface, barImage_);
    XorRect(surface, QRect(kStepPixels * barPosition_ + 1, 0, 2, kBarPixelHeight), kBarStepXor);
    bar_->update();
    const ChannelLevels& at = barLevels_[static_cast<std::size_t>(barPosition_)];
    currentColor_.red = at.red;
    currentColor_.green = at.green;
    currentColor_.blue = at.blue;
    ShowLevelsInFields();
}

void ColorRequesterDialog::DrawPickerImage()
{
    QImage& surface = picker_->Picture();
    DrawAtOrigin(surface, pickerImage_);
    const int x = pickerCell_.x();
    const int y = pickerCell_.y();
    // The two boxes cross; their overlap is inverted twice and shows the cell.
    XorRect(surface, QRect(8 * x - 1, 8 * y + 3, 10, 2), kMarkXor);
    XorRect(surface, QRect(8 * x + 3, 8 * y - 1, 2, 10), kMarkXor);
    picker_->update();
}

void ColorRequesterDialog::RedrawPicker()
{
    redrawPicker_ = false;
    picker_->setFocus();
    QImage cells(kGridCells, kGridCells, QImage::Format_RGB32);
    for (int y = 0; y < kGridCells; ++y)
        for (int x = 0; x < kGridCells; ++x) {
            const QRgb g = gradient_.pixel(x, y);
            cells.setPixel(x, y, LevelPixel(levels_, qRed(g) >> 3, qGreen(g) >> 3, qBlue(g) >> 3));
        }
    pickerImage_ = Enlarge(cells, kCellPixels, kCellPixels);
    DrawPickerImage();
}

void ColorRequesterDialog::RedrawBar()
{
    redrawBar_ = false;
    bar_->setFocus();
    barLevels_ = BarLevels(baseColor_);
    const ChannelLevels& at = barLevels_[static_cast<std::size_t>(barPosition_)];
    currentColor_.red = at.red;
    currentColor_.green = at.green;
    currentColor_.blue = at.blue;
    ShowLevelsInFields();

    QImage steps(kBarSteps, 1, QImage::Format_RGB32);
    for (int p = 0; p < kBarSteps; ++p) {
        const ChannelLevels& l = barLevels_[static_cast<std::size_t>(p)];
        steps.setPixel(p, 0, LevelPixel(levels_, l.red, l.green, l.blue));
    }
    barImage_ = Enlarge(steps, kStepPixels, kBarPixelHeight);
    QImage& surface = bar_->Picture();
    DrawAtOrigin(surface, barImage_);
    XorRect(surface, QRect(kStepPixels * barPosition_ + 1, 0, 2, kBarPixelHeight), kMarkXor);
    bar_->update();
}

void ColorRequesterDialog::RedrawPreview()
{
    redrawPreview_ = false;
    QImage& surface = preview_->Picture();
    const int width = kPreview.rect.width();
    FillDisplayRect(surface, QRect(0, 0, width, kPreviewHalf), DisplayColor(levels_, startColor_));
    FillDisplayRect(surface, QRect(0, kPreviewHalf, width, kPreviewHalf),
                    DisplayColor(levels_, currentColor_));
    preview_->update();
    result_ = EncodeHwColor(currentColor_);
    newWord_->setText(WordText(static_cast<HwColor>(result_)));
}

void ColorRequesterDialog::RunRedraws()
{
    if (redrawPicker_)
        RedrawPicker();
    if (redrawBar_)
        RedrawBar();
    if (redrawPreview_)
        RedrawPreview();
}

void ColorRequesterDialog::Finish(int result, int code)
{
    result_ = result;
    done(code);
}

int RequestColor(HwColor word, const LevelTable& levels, QWidget* opener)
{
    ColorRequesterDialog dialog(word, levels, opener);
    RunOwnedDialog(dialog, opener);
    return dialog.Result();
}

} // namespace palfade
