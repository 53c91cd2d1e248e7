#include "dialogs/fade_shape_dialog.h"

#include "core/fade_choices.h"
#include "dialogs/modal_owner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace palfade {

namespace {

constexpr const char* kTitle = "Fade shape";
constexpr const char* kSimpleNote = "\"Simple fade\" steps every channel one unit per palette: the curve shapes "
                                    "only the interpolation.";
constexpr int kKeepColumns = 8;

} // namespace

FadeShapeDialog::FadeShapeDialog(const ShapeSettings& shape, bool simpleFade, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    curve_ = new QComboBox(this);
    for (const FadeCurveName& curve : kFadeCurveNames) {
        curve_->addItem(QString::fromLatin1(curve.name.data(), static_cast<qsizetype>(curve.name.size())));
        if (curve.value == shape.curve)
            curve_->setCurrentIndex(curve_->count() - 1);
    }
    curve_->setEnabled(!simpleFade);
    form->addRow(QStringLiteral("Curve"), curve_);
    layout->addLayout(form);
    curveNote_ = new QLabel(QString::fromLatin1(kSimpleNote), this);
    curveNote_->setWordWrap(true);
    curveNote_->setVisible(simpleFade);
    layout->addWidget(curveNote_);

    thereAndBack_ = new QCheckBox(QStringLiteral("There and back (Palette 1 to Palette 2 and back: 2P - 1 palettes)"),
                                  this);
    thereAndBack_->setChecked(shape.thereAndBack);
    layout->addWidget(thereAndBack_);

    auto* keep = new QGroupBox(QStringLiteral("Entries that keep Palette 1's colour in every palette"), this);
    auto* grid = new QGridLayout(keep);
    for (int j = 0; j < kPaletteSize; ++j) {
        QCheckBox*& box = keep_[static_cast<std::size_t>(j)];
        box = new QCheckBox(QString::number(j), keep);
        box->setChecked(((shape.keep >> j) & 1) != 0);
        grid->addWidget(box, j / kKeepColumns, j % kKeepColumns);
    }
    layout->addWidget(keep);

    const OkCancelButtons buttons = AddOkCancel(*this, *layout);
    ok_ = buttons.ok;
    cancel_ = buttons.cancel;
}

ShapeSettings FadeShapeDialog::Shape() const
{
    ShapeSettings shape;
    shape.curve = kFadeCurveNames[static_cast<std::size_t>(curve_->currentIndex())].value;
    shape.thereAndBack = thereAndBack_->isChecked();
    for (int j = 0; j < kPaletteSize; ++j)
        if (keep_[static_cast<std::size_t>(j)]->isChecked())
            shape.keep = static_cast<KeepMask>(shape.keep | (1u << j));
    return shape;
}

std::optional<ShapeSettings> ChooseFadeShape(const ShapeSettings& shape, bool simpleFade, QWidget* owner)
{
    FadeShapeDialog dialog(shape, simpleFade, owner);
    dialog.adjustSize();
    if (!RunOwnedDialog(dialog, owner))
        return std::nullopt;
    return dialog.Shape();
}

} // namespace palfade
