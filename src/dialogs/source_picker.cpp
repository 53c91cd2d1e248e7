#include "dialogs/source_picker.h"

#include "dialogs/draw_surface.h"
#include "dialogs/modal_owner.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace palfade {

namespace {

constexpr const char* kTitle = "Import from source";
constexpr int kSwatchSide = 24;
constexpr int kListWidth = 560;

QSpinBox* Spin(int minimum, int maximum, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    return spin;
}

} // namespace

SwatchStrip::SwatchStrip(const LevelTable& levels, QWidget* parent) : QWidget(parent), levels_(levels)
{
    setFixedSize(kPaletteSize * kSwatchSide + 2, kSwatchSide + 2);
}

void SwatchStrip::Show(const std::optional<PaletteWords>& words)
{
    words_ = words;
    update();
}

void SwatchStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!words_)
        return;
    for (int j = 0; j < kPaletteSize; ++j)
        painter.fillRect(1 + j * kSwatchSide, 1, kSwatchSide, kSwatchSide,
                         ToQColor(DisplayColor(levels_, DecodeHwColor((*words_)[static_cast<std::size_t>(j)]))));
}

SourcePickerDialog::SourcePickerDialog(SourcePickerModel model, const LevelTable& levels, QWidget* parent)
    : QDialog(parent), model_(std::move(model))
{
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(model_.source, this));
    offers_ = new QListWidget(this);
    offers_->setMinimumWidth(kListWidth);
    // A reason is read whole: long rows wrap.
    offers_->setWordWrap(true);
    offers_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const SourcePickerRow& row : model_.rows) {
        auto* item = new QListWidgetItem(row.text, offers_);
        item->setToolTip(row.text);
        // Listed with its reason, never picked.
        if (!row.loadable)
            item->setFlags(Qt::NoItemFlags);
    }
    layout->addWidget(offers_, 1);

    auto* choices = new QGridLayout;
    index_ = Spin(0, 0, this);
    size_ = Spin(1, kPaletteSize, this);
    first_ = Spin(0, kPaletteSize - 1, this);
    count_ = new QCheckBox(QStringLiteral("Count word"), this);
    const std::pair<const char*, QSpinBox*> spins[] = {
        {"Palette", index_}, {"Palette size", size_}, {"First entry", first_}};
    int column = 0;
    for (const auto& [text, spin] : spins) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setBuddy(spin);
        choices->addWidget(label, 0, column);
        choices->addWidget(spin, 1, column++);
    }
    choices->addWidget(count_, 1, column++);
    choices->setColumnStretch(column, 1);
    layout->addLayout(choices);

    swatches_ = new SwatchStrip(levels, this);
    layout->addWidget(swatches_);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    layout->addWidget(note_);

    const OkCancelButtons buttons = AddOkCancel(*this, *layout);
    ok_ = buttons.ok;
    cancel_ = buttons.cancel;

    connect(offers_, &QListWidget::currentRowChanged, this, &SourcePickerDialog::RowChosen);
    for (QSpinBox* spin : {index_, size_, first_})
        connect(spin, &QSpinBox::valueChanged, this, &SourcePickerDialog::Update);
    connect(count_, &QCheckBox::toggled, this, &SourcePickerDialog::Update);

    const auto first = std::find_if(model_.rows.begin(), model_.rows.end(),
                                     [](const SourcePickerRow& row) { return row.loadable; });
    if (first != model_.rows.end())
        offers_->setCurrentRow(static_cast<int>(first - model_.rows.begin()));
    else
        Update();
}

// A new offer starts from its own defaults: a short table as one palette of
// its words, a count word on where one was found.
void SourcePickerDialog::RowChosen(int row)
{
    const bool valid = row >= 0 && row < static_cast<int>(model_.rows.size()) &&
                       model_.rows[static_cast<std::size_t>(row)].loadable;
    const SourcePickerRow none;
    const SourcePickerRow& chosen = valid ? model_.rows[static_cast<std::size_t>(row)] : none;
    {
        const QSignalBlocker a(index_), b(size_), c(first_), d(count_);
        index_->setValue(0);
        size_->setValue(chosen.wordCount > 0 && chosen.wordCount < kPaletteSize ? chosen.wordCount : kPaletteSize);
        first_->setValue(0);
        count_->setChecked(chosen.countWord);
        size_->setEnabled(chosen.words);
        first_->setEnabled(chosen.words);
        count_->setEnabled(chosen.countWord);
    }
    pick_.row = valid ? row : -1;
    Update();
}

void SourcePickerDialog::Update()
{
    {
        const QSignalBlocker quiet(first_);
        first_->setMaximum(kPaletteSize - size_->value());
    }
    pick_.index = index_->value();
    pick_.paletteSize = size_->value();
    pick_.firstEntry = first_->value();
    pick_.countWord = count_->isChecked();
    PickedPalette picked;
    if (pick_.row >= 0 && model_.preview) {
        picked = model_.preview(pick_);
        {
            const QSignalBlocker quiet(index_);
            index_->setMaximum(std::max(0, picked.palettes - 1));
        }
        // Fewer palettes than the index: the last one.
        if (index_->value() != pick_.index) {
            pick_.index = index_->value();
            picked = model_.preview(pick_);
        }
    } else {
        picked.note = QStringLiteral("Choose a palette source above.");
    }
    swatches_->Show(picked.words);
    note_->setText(picked.note);
    ok_->setEnabled(picked.words.has_value());
}

std::optional<SourcePick> PickSourcePalette(const SourcePickerModel& model, const LevelTable& levels,
                                            QWidget* owner)
{
    SourcePickerDialog dialog(model, levels, owner);
    dialog.adjustSize();
    if (!RunOwnedDialog(dialog, owner))
        return std::nullopt;
    return dialog.Pick();
}

} // namespace palfade
