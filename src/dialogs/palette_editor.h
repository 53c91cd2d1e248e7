#pragma once
// The palette editor: a modal dialog that edits one source palette on a
// working copy with a swatch strip, sliders, a hex field and the colour
// requester, and writes it back only on "Ok".

#include "core/hw_color.h"
#include "core/level_table.h"
#include "dialogs/draw_surface.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace palfade {

struct AppState;

// What a double-click on a swatch asks: the word of the swatch in, the chosen
// word or -1 out. Injectable so that the editor runs without a real requester.
using ColorRequester = std::function<int(HwColor word, QWidget* opener)>;

// Edits palette `which` (1 or 2) of `state` on a working copy and writes it
// back on "Ok" only. Any other number starts the copy black and "Ok" writes
// nothing back. Colours show through state.levels. An empty requester means
// the real colour requester. Returns true when "Ok" ended the dialog.
bool EditPalette(AppState& state, int which, QWidget* owner, const ColorRequester& requester);

struct EditorEntry : PaletteEntry {
    std::int32_t displayColor = 0; // recomputed at every refresh
    std::int32_t word = 0;         // recomputed at every refresh
};

// The dialog itself; EditPalette runs it modally, tests show and drive it.
class PaletteEditorDialog : public QDialog {
public:
    PaletteEditorDialog(const SourcePalette& source, const LevelTable& levels,
                        ColorRequester requester, QWidget* parent = nullptr);

    // The levels and dark bits of the working copy, as "Ok" writes them back.
    SourcePalette WorkingColors() const;
    int Selected() const { return selected_; }

    DrawSurface* Strip() const { return strip_; }
    DrawSurface* SelectedSwatch() const { return selectedSwatch_; }
    QSlider* RedSlider() const { return sliders_[0]; }
    QSlider* GreenSlider() const { return sliders_[1]; }
    QSlider* BlueSlider() const { return sliders_[2]; }
    QLabel* RedValue() const { return values_[0]; }
    QLabel* GreenValue() const { return values_[1]; }
    QLabel* BlueValue() const { return values_[2]; }
    QCheckBox* DarkBox() const { return darkBox_; }
    QLineEdit* HexField() const { return hexField_; }
    QLineEdit* BinaryField() const { return binaryField_; }
    QPlainTextEdit* AssemblerField() const { return assembler_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void StripPress(const QMouseEvent& event, QPoint pos);
    void StripRelease(const QMouseEvent& event, QPoint pos);
    void StripDoubleClick(const QMouseEvent& event, QPoint pos);
    void StripAnyEvent();
    void LevelChanged(int channel, int value);
    void DarkChanged(bool checked);
    void HexEdited(const QString& text);
    void AcceptEdits();
    void RefreshIfNeeded();
    void RefreshEditor();
    void DrawSelectedSwatch();
    void DrawStrip();

    LevelTable levels_;
    ColorRequester requester_;
    std::array<EditorEntry, kPaletteSize> workPalette_{};
    int selected_ = 0;
    int dragSource_ = 0;
    int dragTarget_ = 0;
    bool pressInsideStrip_ = false;
    bool refreshNeeded_ = true;

    DrawSurface* strip_ = nullptr;
    DrawSurface* selectedSwatch_ = nullptr;
    std::array<QSlider*, 3> sliders_{};
    std::array<QLabel*, 3> values_{};
    QCheckBox* darkBox_ = nullptr;
    QLineEdit* hexField_ = nullptr;
    QLineEdit* binaryField_ = nullptr;
    QPlainTextEdit* assembler_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace palfade
