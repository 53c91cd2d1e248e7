#pragma once
// A bordered drawing surface for the dialogs: it shows an off-screen picture of
// its inner size and reports mouse events in inner-area coordinates.

#include "core/level_table.h"

#include <QFrame>
#include <QColor>
#include <QImage>
#include <QPoint>

#include <functional>

class QMouseEvent;

namespace palfade {

class DrawSurface : public QFrame {
public:
    using MouseHandler = std::function<void(const QMouseEvent& event, QPoint surfacePos)>;
    using PlainHandler = std::function<void()>;

    // rect is the whole control in the parent's client area; the 2-pixel
    // border leaves rect shrunk by 2 on every side to draw on.
    DrawSurface(QWidget* parent, const QRect& rect);

    // What the surface shows, exactly its inner size; call update() after drawing.
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }
    QSize InnerSize() const { return picture_.size(); }

    MouseHandler onPress;
    MouseHandler onMove;
    MouseHandler onRelease;
    MouseHandler onDoubleClick;
    PlainHandler onEnter;
    PlainHandler onLeave;
    // While a button pressed on the surface is held, the pointer is kept
    // inside its drawing area: a move that leaves it puts the pointer back
    // on the nearest edge and is reported there.
    bool confinePointer = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPoint ToSurface(const QMouseEvent& event) const;
    void Report(const MouseHandler& handler, QMouseEvent* event);

    QImage picture_;
};

inline constexpr int kSurfaceBorder = 2;

// The one conversion from a display colour to a QColor.
QColor ToQColor(DisplayRgb color);

// Pixel work on Format_RGB32 pictures; everything is clipped to the picture.
void FillDisplayRect(QImage& image, const QRect& rect, DisplayRgb color);
// Exclusive-or of the three colour channels with mask (0x00RRGGBB).
void XorRect(QImage& image, const QRect& rect, QRgb mask);
// Enlargement by pixel repetition, no smoothing.
QImage Enlarge(const QImage& image, int factorX, int factorY);
// Copies source onto target with its top-left corner at the origin.
void DrawAtOrigin(QImage& target, const QImage& source);

} // namespace palfade
