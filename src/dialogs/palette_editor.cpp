#include "dialogs/palette_editor.h"

#include "core/app_state.h"
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
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextDocumentFragment>
#include <QValidator>

namespace palfade {

namespace {

using namespace editor;

// Swatch under a strip x: the division truncates toward zero, so the 31
// pixels left of the strip still name swatch 0.
int SwatchIndex(int x) { return x / kSwatchPixels; }

// Only the colour goes in; the display colour and word follow at the next refresh.
void SetColor(EditorEntry& entry, const PaletteEntry& color)
{
    static_cast<PaletteEntry&>(entry) = color;
}
bool IsSwatch(int index) { return index >= 0 && index < kPaletteSize; }

// The assembler lines end with CR LF; a copy keeps them, where a text edit
// would end every copied line with LF.
class AssemblerTextEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    QMimeData* createMimeDataFromSelection() const override
    {
        auto* data = new QMimeData;
        data->setText(textCursor().selection().toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
        return data;
    }
};

// Letters typed into the hex field become upper case as they are typed.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// The fixed field widths must show a whole text form: the font shrinks
// until the sample text fits inside the field's frame and margins.
void FitFont(QLineEdit& field, const QString& sample)
{
    constexpr int kFrameAndMargins = 8;
    QFont font = field.font();
    while (font.pointSizeF() > 5 &&
           QFontMetrics(font).horizontalAdvance(sample) > field.width() - kFrameAndMargins)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    field.setFont(font);
}

QFont EditorFont()
{
    QFont font(QString::fromLatin1(kFontFace), kFontPoints, QFont::Bold);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

// A white label with a one-pixel black outline: black at the four
// neighbours, white last on top. Text positions are the top-left corner.
void DrawOutlinedLabel(QImage& image, QPoint at, const QString& text, const QFont& font)
{
    QPainter painter(&image);
    QFont crisp = font;
    crisp.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(crisp);
    const QSize room(image.width() + 64, image.height() + 64);
    auto write = [&](QPoint p, Qt::GlobalColor color) {
        painter.setPen(color);
        painter.drawText(QRect(p, room), Qt::AlignLeft | Qt::AlignTop, text);
    };
    for (const QPoint offset : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
        write(at + offset, Qt::black);
    write(at, Qt::white);
}

} // namespace

PaletteEditorDialog::PaletteEditorDialog(const SourcePalette& source, const LevelTable& levels,
                                         ColorRequester requester, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      levels_(levels),
      requester_(std::move(requester))
{
    for (std::size_t i = 0; i < workPalette_.size(); ++i)
        SetColor(workPalette_[i], source[i]);
    setWindowTitle(QString::fromLatin1(kTitle));
    setFixedSize(kWidth, kHeight);
    BuildControls();
    // Escape cancels whatever control has the focus.
    qApp->installEventFilter(this);
    RefreshIfNeeded();
}

void PaletteEditorDialog::BuildControls()
{
    strip_ = new DrawSurface(this, kStrip.rect);
    strip_->setMouseTracking(true);
    strip_->onPress = [this](const QMouseEvent& e, QPoint p) { StripPress(e, p); };
    strip_->onRelease = [this](const QMouseEvent& e, QPoint p) { StripRelease(e, p); };
    strip_->onDoubleClick = [this](const QMouseEvent& e, QPoint p) { StripDoubleClick(e, p); };
    strip_->onMove = [this](const QMouseEvent&, QPoint) { StripAnyEvent(); };
    strip_->onEnter = [this] { StripAnyEvent(); };
    strip_->onLeave = [this] { StripAnyEvent(); };

    selectedSwatch_ = new DrawSurface(this, kSelectedSwatch.rect);

    const std::array<const ControlSpec*, 3> labelSpecs{&kRedLabel, &kGreenLabel, &kBlueLabel};
    const std::array<const char*, 3> labelTexts{kRedText, kGreenText, kBlueText};
    const std::array<const ControlSpec*, 3> sliderSpecs{&kRedSlider, &kGreenSlider, &kBlueSlider};
    const std::array<const ControlSpec*, 3> valueSpecs{&kRedValue, &kGreenValue, &kBlueValue};
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        auto* label = Place<QLabel>(this, *labelSpecs[i]);
        label->setText(QString::fromLatin1(labelTexts[i]));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

        sliders_[i] = Place<QSlider>(this, *sliderSpecs[i]);
        sliders_[i]->setOrientation(Qt::Horizontal);
        sliders_[i]->setRange(0, kMaxLevel);
        sliders_[i]->setTickPosition(QSlider::TicksBelow);
        sliders_[i]->setTickInterval(1);
        const int channel = static_cast<int>(i);
        connect(sliders_[i], &QSlider::valueChanged, this,
                [this, channel](int value) { LevelChanged(channel, value); });

        values_[i] = Place<QLabel>(this, *valueSpecs[i]);
        values_[i]->setText(QString::fromLatin1(kInitialLevel));
        values_[i]->setAlignment(Qt::AlignCenter);
    }

    darkBox_ = Place<QCheckBox>(this, kDarkBox);
    darkBox_->setText(QString::fromLatin1(kDarkText));
    connect(darkBox_, &QCheckBox::toggled, this, [this](bool on) { DarkChanged(on); });

    hexField_ = Place<QLineEdit>(this, kHexField);
    hexField_->setAlignment(Qt::AlignCenter);
    hexField_->setValidator(new UpperCaseValidator(hexField_));
    hexField_->setText(QString::fromLatin1(kInitialHex));
    // textEdited comes from the user's typing only, never from setText.
    connect(hexField_, &QLineEdit::textEdited, this, [this](const QString& t) { HexEdited(t); });

    binaryField_ = Place<QLineEdit>(this, kBinaryField);
    binaryField_->setReadOnly(true);
    binaryField_->setAlignment(Qt::AlignCenter);
    FitFont(*binaryField_, BinaryText(0));

    assembler_ = Place<AssemblerTextEdit>(this, kAssembler);
    assembler_->setReadOnly(true); // still selectable, so the text can be copied
    assembler_->setFont(EditorFont());
    assembler_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Both lines have to fit the 40-pixel field.
    assembler_->document()->setDocumentMargin(1);
    assembler_->setFrameStyle(QFrame::Box | QFrame::Plain);
    assembler_->setLineWidth(1);
    assembler_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    assembler_->setTabStopDistance(QFontMetricsF(assembler_->font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    QPalette white = assembler_->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    assembler_->setPalette(white);

    ok_ = PlaceButton(this, kOk, kOkText);
    cancel_ = PlaceButton(this, kCancel, kCancelText);
    connect(ok_, &QPushButton::clicked, this, [this] { AcceptEdits(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

SourcePalette PaletteEditorDialog::WorkingColors() const
{
    SourcePalette colors{};
    for (std::size_t i = 0; i < colors.size(); ++i)
        colors[i] = workPalette_[i];
    return colors;
}

bool PaletteEditorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this || !isEnabled())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        reject(); // command 59
    return true;
}

void PaletteEditorDialog::closeEvent(QCloseEvent* event)
{
    // Only "Ok", "Cancel" and Escape end the dialog.
    event->ignore();
}

void PaletteEditorDialog::StripAnyEvent()
{
    // Every strip event takes the focus off the hex field, so that the next
    // refresh shows the selection's word there again.
    binaryField_->setFocus();
}

void PaletteEditorDialog::StripPress(const QMouseEvent& event, QPoint pos)
{
    StripAnyEvent();
    pressInsideStrip_ = QRect(QPoint(0, 0), strip_->InnerSize()).contains(pos);
    if (event.button() != Qt::LeftButton)
        return;
    const int index = SwatchIndex(pos.x());
    if (IsSwatch(index))
        selected_ = dragSource_ = dragTarget_ = index;
}

void PaletteEditorDialog::StripRelease(const QMouseEvent& event, QPoint pos)
{
    StripAnyEvent();
    if (event.button() != Qt::LeftButton)
        return;
    const int index = SwatchIndex(pos.x());
    // A release far outside the strip names no swatch: no swap, and the
    // selection stays where it was.
    if (IsSwatch(index)) {
        dragTarget_ = index;
        selected_ = index;
        if (dragTarget_ != dragSource_) {
            EditorEntry& a = workPalette_[static_cast<std::size_t>(dragSource_)];
            EditorEntry& b = workPalette_[static_cast<std::size_t>(dragTarget_)];
            std::swap(a.red, b.red);
            std::swap(a.green, b.green);
            std::swap(a.blue, b.blue);
            std::swap(a.dark, b.dark);
            refreshNeeded_ = true;
        }
    }
    // A click is a release inside the strip after a press inside it.
    const bool inside = QRect(QPoint(0, 0), strip_->InnerSize()).contains(pos);
    if (inside && pressInsideStrip_ && IsSwatch(index))
        selected_ = index;
    // The press already moved the selection without showing it: after any
    // release the sliders, fields and swatch show the entry they will edit.
    refreshNeeded_ = true;
    pressInsideStrip_ = false;
    RefreshIfNeeded();
}

void PaletteEditorDialog::StripDoubleClick(const QMouseEvent& event, QPoint pos)
{
    StripAnyEvent();
    pressInsideStrip_ = QRect(QPoint(0, 0), strip_->InnerSize()).contains(pos);
    const int index = SwatchIndex(pos.x());
    if (event.button() != Qt::LeftButton || !IsSwatch(index) || !requester_)
        return;
    selected_ = index;
    EditorEntry& entry = workPalette_[static_cast<std::size_t>(index)];
    const HwColor word = EncodeHwColor(entry);
    const int chosen = requester_(word, this);
    if (chosen < 0)
        return;
    SetColor(entry, DecodeHwColor(static_cast<HwColor>(chosen & 0xFFFF)));
    refreshNeeded_ = true;
    RefreshIfNeeded();
}

void PaletteEditorDialog::LevelChanged(int channel, int value)
{
    EditorEntry& entry = workPalette_[static_cast<std::size_t>(selected_)];
    (channel == 0 ? entry.red : channel == 1 ? entry.green : entry.blue) = value;
    refreshNeeded_ = true;
    RefreshIfNeeded();
}

void PaletteEditorDialog::DarkChanged(bool checked)
{
    workPalette_[static_cast<std::size_t>(selected_)].dark = checked ? 1 : 0;
    refreshNeeded_ = true;
    RefreshIfNeeded();
}

void PaletteEditorDialog::HexEdited(const QString& text)
{
    SetColor(workPalette_[static_cast<std::size_t>(selected_)], DecodeHwColor(ParseHexField(text)));
    refreshNeeded_ = true;
    RefreshIfNeeded();
}

void PaletteEditorDialog::AcceptEdits()
{
    // EditPalette copies WorkingColors() back; the dialog only closes.
    accept();
}

void PaletteEditorDialog::RefreshIfNeeded()
{
    if (refreshNeeded_)
        RefreshEditor();
}

void PaletteEditorDialog::RefreshEditor()
{
    refreshNeeded_ = false;
    const EditorEntry& sel = workPalette_[static_cast<std::size_t>(selected_)];
    const std::array<int, 3> levels{sel.red, sel.green, sel.blue};
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        const QSignalBlocker block(sliders_[i]);
        sliders_[i]->setValue(levels[i]);
    }
    {
        const QSignalBlocker block(darkBox_);
        darkBox_->setChecked(sel.dark == 1);
    }
    for (std::size_t i = 0; i < values_.size(); ++i)
        values_[i]->setText(LevelText(levels[i]));

    std::array<HwColor, kPaletteSize> words{};
    for (std::size_t i = 0; i < workPalette_.size(); ++i) {
        EditorEntry& e = workPalette_[i];
        words[i] = EncodeHwColor(e);
        e.word = words[i];
        e.displayColor = static_cast<std::int32_t>(DisplayColor(levels_, e.red, e.green, e.blue, e.dark));
    }
    // While the user types in the hex field, the typed text stays as typed.
    if (focusWidget() != hexField_) {
        const QSignalBlocker block(hexField_);
        hexField_->setText(WordText(static_cast<HwColor>(sel.word)));
    }
    DrawSelectedSwatch();
    DrawStrip();
    assembler_->setPlainText(AssemblerText(words));
    binaryField_->setText(BinaryText(static_cast<HwColor>(sel.word)));
}

void PaletteEditorDialog::DrawSelectedSwatch()
{
    QImage& surface = selectedSwatch_->Picture();
    const EditorEntry& sel = workPalette_[static_cast<std::size_t>(selected_)];
    FillDisplayRect(surface, kSelectedFill, static_cast<DisplayRgb>(sel.displayColor));
    DrawOutlinedLabel(surface, kSelectedLabelAt, SwatchLabel(selected_), font());
    selectedSwatch_->update();
}

void PaletteEditorDialog::DrawStrip()
{
    QImage& surface = strip_->Picture();
    const QFont font = EditorFont();
    for (int j = 0; j < kPaletteSize; ++j) {
        const QRect cell(kSwatchPixels * j, 0, kSwatchPixels, kSwatchPixels);
        FillDisplayRect(surface, cell,
                        static_cast<DisplayRgb>(workPalette_[static_cast<std::size_t>(j)].displayColor));
        DrawOutlinedLabel(surface, cell.topLeft() + kStripLabelOffset, SwatchLabel(j), font);
    }
    strip_->update();
}

bool EditPalette(AppState& state, int which, QWidget* owner, const ColorRequester& requester)
{
    SourcePalette* target = PaletteByNumber(state, which);
    const SourcePalette start = target != nullptr ? *target : SourcePalette{};
    ColorRequester ask = requester;
    if (!ask)
        ask = [&levels = state.levels](HwColor word, QWidget* opener) {
            return RequestColor(word, levels, opener);
        };
    PaletteEditorDialog dialog(start, state.levels, ask, owner);
    const bool accepted = RunOwnedDialog(dialog, owner);
    if (accepted && target != nullptr)
        *target = dialog.WorkingColors();
    return accepted;
}

} // namespace palfade
