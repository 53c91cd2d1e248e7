#pragma once
// The scrollable preview area and the canvas inside it that shows the
// enlarged preview picture.

#include <QImage>
#include <QScrollArea>
#include <QWidget>

namespace palfade {

// Shows the image it was last given, unscaled at (0, 0), and repaints it by
// itself when uncovered or scrolled. Takes the keyboard focus when clicked
// and is a tab stop, so the wheel can tell whether the user means the preview.
class PreviewCanvas : public QWidget {
public:
    explicit PreviewCanvas(QWidget* parent = nullptr);
    // The image is not copied: it must stay valid until the next call.
    void ShowImage(const QImage& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

// Scrolls the canvas 8 pixels per step and centres it when it is smaller than
// the visible part. Neither the area nor its scroll bars take the keyboard
// focus: a click on a bar leaves it on the canvas, and Tab skips them.
class PreviewArea : public QScrollArea {
public:
    explicit PreviewArea(QWidget* parent = nullptr);
    PreviewCanvas* canvas() const { return canvas_; }
    void SetBackground(const QColor& color);
    // Every widget a wheel event over the area can be sent to.
    QList<QWidget*> WheelTargets();

private:
    PreviewCanvas* canvas_;
};

} // namespace palfade
