#pragma once
// "Fade shape..": the curve of the interpolation, the way back to Palette 1
// and the entries that keep Palette 1's word, chosen on a copy of the
// state's shape that "Ok" gives back.

#include "core/app_state.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace palfade {

// While the simple fade is on the curve cannot be chosen: the walks step one
// unit per palette. Nothing when cancelled.
std::optional<ShapeSettings> ChooseFadeShape(const ShapeSettings& shape, bool simpleFade, QWidget* owner);

class FadeShapeDialog : public QDialog {
public:
    FadeShapeDialog(const ShapeSettings& shape, bool simpleFade, QWidget* parent = nullptr);

    ShapeSettings Shape() const;

    QComboBox* CurveBox() const { return curve_; }
    QLabel* CurveNote() const { return curveNote_; }
    QCheckBox* ThereAndBackBox() const { return thereAndBack_; }
    QCheckBox* KeepBox(int entry) const { return keep_[static_cast<std::size_t>(entry)]; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QComboBox* curve_ = nullptr;
    QLabel* curveNote_ = nullptr;
    QCheckBox* thereAndBack_ = nullptr;
    std::array<QCheckBox*, kPaletteSize> keep_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace palfade
