#pragma once
// The colour requester: a modal dialog that picks one hardware colour word
// with a picker field, a brightness bar, three level fields and a dark-bit box.

#include "core/hw_color.h"
#include "core/level_table.h"
#include "dialogs/draw_surface.h"

#include <QDialog>
#include <QPoint>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace palfade {

struct ChannelLevels {
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const ChannelLevels&) const = default;
};

// The levels of picker cell (x, y): red 31 - x, green 31 - y, blue x.
constexpr ChannelLevels GradientLevels(int x, int y)
{
    return ChannelLevels{kMaxLevel - x, kMaxLevel - y, x};
}

// One channel of the brightness bar: step 0 black, step 32 the base level,
// step 63 white, blended in 8-bit values with truncating integer division.
int BarChannelLevel(int baseLevel, int step);
std::array<ChannelLevels, 64> BarLevels(const ChannelLevels& base);

// Returns the chosen word (0..0xFFFF) after "Ok", -1 after "Cancel" or Escape.
// The opener is disabled while the requester runs.
int RequestColor(HwColor word, const LevelTable& levels, QWidget* opener);

// The dialog itself; RequestColor runs it modally, tests show and drive it.
class ColorRequesterDialog : public QDialog {
public:
    ColorRequesterDialog(HwColor word, const LevelTable& levels, QWidget* parent = nullptr);

    // The word of the current colour, or -1 once cancelled.
    int Result() const { return result_; }
    const PaletteEntry& CurrentColor() const { return currentColor_; }
    const ChannelLevels& BaseColor() const { return baseColor_; }
    QPoint PickerCell() const { return pickerCell_; }
    int BarPosition() const { return barPosition_; }

    DrawSurface* Picker() const { return picker_; }
    DrawSurface* Bar() const { return bar_; }
    DrawSurface* Preview() const { return preview_; }
    QSpinBox* RedField() const { return fields_[0]; }
    QSpinBox* GreenField() const { return fields_[1]; }
    QSpinBox* BlueField() const { return fields_[2]; }
    QCheckBox* DarkBox() const { return darkBox_; }
    QLineEdit* OldWord() const { return oldWord_; }
    QLineEdit* NewWord() const { return newWord_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls(HwColor word);
    int CommandForKey(const QKeyEvent& key) const;
    void Command(int id);
    void PickCell(int x, int y);
    void PickerMouse(const QMouseEvent& event, QPoint pos);
    void BarMouse(const QMouseEvent& event, QPoint pos);
    void FieldChanged();
    void DarkChanged(bool checked);
    void BarStep();
    void ShowLevelsInFields();
    void DrawPickerImage();
    void RedrawPicker();
    void RedrawBar();
    void RedrawPreview();
    void RunRedraws();
    void Finish(int result, int code);

    LevelTable levels_;
    PaletteEntry startColor_;
    PaletteEntry currentColor_;
    ChannelLevels baseColor_;
    QPoint pickerCell_{-1, -1};
    int barPosition_ = 32;
    int result_ = 0;
    bool redrawPicker_ = true;
    bool redrawBar_ = true;
    bool redrawPreview_ = true;

    QImage gradient_;     // 32 x 32, drawn once
    QImage pickerImage_;  // the gradient through the level table, enlarged
    std::array<ChannelLevels, 64> barLevels_{};
    QImage barImage_;     // the bar levels through the level table, enlarged

    DrawSurface* picker_ = nullptr;
    DrawSurface* bar_ = nullptr;
    DrawSurface* preview_ = nullptr;
    std::array<QSpinBox*, 3> fields_{};
    QCheckBox* darkBox_ = nullptr;
    QLineEdit* oldWord_ = nullptr;
    QLineEdit* newWord_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace palfade
