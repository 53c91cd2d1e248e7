#pragma once
// Fixed control numbers, client-area positions and sizes, and texts of the
// colour requester and the palette editor.

#include <QKeyEvent>
#include <QPushButton>
#include <QRect>
#include <QWidget>

namespace palfade {

struct ControlSpec {
    int id;
    QRect rect;
};

// Creates a control of type T at its fixed place.
template <typename T>
T* Place(QWidget* parent, const ControlSpec& where)
{
    auto* control = new T(parent);
    control->setGeometry(where.rect);
    return control;
}

// A push button at its fixed place. It is never a default button, so Return
// in a field cannot end the dialog by accident; Return or Enter on the
// focused button itself presses it.
class DialogButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            event->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

inline QPushButton* PlaceButton(QWidget* parent, const ControlSpec& where, const char* text)
{
    auto* button = Place<DialogButton>(parent, where);
    button->setText(QString::fromLatin1(text));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

namespace requester {
inline constexpr int kWidth = 264;
inline constexpr int kHeight = 450;
inline constexpr int kWindowId = 60;
inline constexpr char kTitle[] = "Color Requester";

inline constexpr ControlSpec kPicker{70, QRect(2, 2, 260, 260)};
inline constexpr ControlSpec kBar{73, QRect(2, 264, 260, 28)};
// Labels and fields sit below picker and bar (288 pixels together).
inline constexpr ControlSpec kRedLabel{80, QRect(2, 306, 70, 20)};
inline constexpr ControlSpec kGreenLabel{81, QRect(2, 328, 70, 20)};
inline constexpr ControlSpec kBlueLabel{82, QRect(2, 350, 70, 20)};
inline constexpr ControlSpec kDarkLabel{83, QRect(2, 372, 70, 20)};
inline constexpr ControlSpec kRedField{76, QRect(80, 304, 40, 20)};
inline constexpr ControlSpec kGreenField{77, QRect(80, 326, 40, 20)};
inline constexpr ControlSpec kBlueField{78, QRect(80, 348, 40, 20)};
inline constexpr ControlSpec kDarkBox{79, QRect(90, 370, 20, 20)};
inline constexpr ControlSpec kOldWord{84, QRect(160, 308, 64, 20)};
inline constexpr ControlSpec kPreview{86, QRect(160, 330, 64, 64)};
inline constexpr ControlSpec kNewWord{85, QRect(160, 396, 64, 20)};
inline constexpr ControlSpec kOk{61, QRect(kWidth - 92, kHeight - 22, 90, 20)};
inline constexpr ControlSpec kCancel{62, QRect(kWidth - 184, kHeight - 22, 90, 20)};

inline constexpr char kRedText[] = "Red:";
inline constexpr char kGreenText[] = "Green:";
inline constexpr char kBlueText[] = "Blue:";
inline constexpr char kDarkText[] = "Dark bit:";
inline constexpr char kOkText[] = "Ok";
inline constexpr char kCancelText[] = "Cancel";
inline constexpr char kPickerTip[] = "left / right / up / down";
inline constexpr char kBarTip[] = "Shift+left / Shift+right";
inline constexpr char kInitialNewWord[] = "$0000";

// Window commands; the keys deliver them whatever control has the focus.
inline constexpr int kCmdEscape = 63;
inline constexpr int kCmdUp = 64;
inline constexpr int kCmdDown = 65;
inline constexpr int kCmdLeft = 66;
inline constexpr int kCmdRight = 67;
inline constexpr int kCmdBarDarker = 68;
inline constexpr int kCmdBarBrighter = 69;

inline constexpr int kGridCells = 32;     // picker cells per row and column
inline constexpr int kCellPixels = 8;     // a cell enlarged to 8 x 8
inline constexpr int kBarSteps = 64;
inline constexpr int kBarCentre = 32;     // the step that shows the base colour unchanged
inline constexpr int kStepPixels = 4;     // a bar step enlarged to 4 x 24
inline constexpr int kBarPixelHeight = 24;
inline constexpr int kPreviewHalf = 32;   // rows of each preview half before clipping
} // namespace requester

namespace editor {
inline constexpr int kWidth = 520;
inline constexpr int kHeight = 237;
inline constexpr int kWindowId = 41;
inline constexpr char kTitle[] = "Palette Editor (swap colors with drag and drop)";

inline constexpr ControlSpec kStrip{42, QRect(2, 2, 516, 36)};
inline constexpr ControlSpec kSelectedSwatch{43, QRect(2, 40, 50, 106)};
inline constexpr ControlSpec kRedLabel{44, QRect(54, 43, 50, 22)};
inline constexpr ControlSpec kRedSlider{45, QRect(106, 40, 380, 25)};
inline constexpr ControlSpec kRedValue{46, QRect(488, 43, 30, 22)};
inline constexpr ControlSpec kGreenLabel{47, QRect(54, 70, 50, 22)};
inline constexpr ControlSpec kGreenSlider{48, QRect(106, 67, 380, 25)};
inline constexpr ControlSpec kGreenValue{49, QRect(488, 70, 30, 22)};
inline constexpr ControlSpec kBlueLabel{50, QRect(54, 97, 50, 22)};
inline constexpr ControlSpec kBlueSlider{51, QRect(106, 94, 380, 25)};
inline constexpr ControlSpec kBlueValue{52, QRect(488, 97, 30, 22)};
inline constexpr ControlSpec kDarkBox{53, QRect(111, 124, 100, 22)};
inline constexpr ControlSpec kHexField{54, QRect(2, 148, 50, 22)};
// The binary field follows the hex field on its row, 4 pixels further right.
inline constexpr ControlSpec kBinaryField{55, QRect(kHexField.rect.width() + 4, kHexField.rect.y(), 120, 22)};
inline constexpr ControlSpec kAssembler{56, QRect(2, 173, 516, 40)};
inline constexpr ControlSpec kOk{57, QRect(kWidth - 92, kHeight - 22, 90, 20)};
inline constexpr ControlSpec kCancel{58, QRect(kWidth - 184, kHeight - 22, 90, 20)};

inline constexpr char kRedText[] = "Red:";
inline constexpr char kGreenText[] = "Green:";
inline constexpr char kBlueText[] = "Blue:";
inline constexpr char kDarkText[] = "Dark bit";
inline constexpr char kOkText[] = "Ok";
inline constexpr char kCancelText[] = "Cancel";
inline constexpr char kInitialLevel[] = "$00";
inline constexpr char kInitialHex[] = "$0000";

inline constexpr int kCmdEscape = 59;

// The editor font (font 1 of the main window).
inline constexpr char kFontFace[] = "Courier";
inline constexpr int kFontPoints = 10;

inline constexpr int kSwatchPixels = 32;
// The selected swatch is filled with this rectangle; the surface clips it.
inline constexpr QRect kSelectedFill{0, 0, 50, 110};
inline constexpr QPoint kSelectedLabelAt{14, 42};
inline constexpr QPoint kStripLabelOffset{6, 8};
} // namespace editor

} // namespace palfade
