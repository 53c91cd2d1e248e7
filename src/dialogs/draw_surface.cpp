#include "dialogs/draw_surface.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace palfade {

DrawSurface::DrawSurface(QWidget* parent, const QRect& rect)
    : QFrame(parent),
      picture_(rect.width() - 2 * kSurfaceBorder, rect.height() - 2 * kSurfaceBorder,
               QImage::Format_RGB32)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kSurfaceBorder);
    setGeometry(rect);
    picture_.fill(Qt::black);
}

void DrawSurface::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), picture_);
}

QPoint DrawSurface::ToSurface(const QMouseEvent& event) const
{
    return event.position().toPoint() - contentsRect().topLeft();
}

void DrawSurface::Report(const MouseHandler& handler, QMouseEvent* event)
{
    if (handler)
        handler(*event, ToSurface(*event));
    event->accept();
}

void DrawSurface::mousePressEvent(QMouseEvent* event) { Report(onPress, event); }
void DrawSurface::mouseMoveEvent(QMouseEvent* event)
{
    // Moves with a button held come here only after a press on this surface.
    const QPoint pos = event->position().toPoint();
    const QRect area = contentsRect();
    if (confinePointer && event->buttons() != Qt::NoButton && !area.contains(pos)) {
        const QPoint inside(std::clamp(pos.x(), area.left(), area.right()),
                            std::clamp(pos.y(), area.top(), area.bottom()));
        QCursor::setPos(mapToGlobal(inside));
        QMouseEvent confined(event->type(), QPointF(inside), QPointF(mapToGlobal(inside)), event->button(),
                             event->buttons(), event->modifiers(), event->pointingDevice());
        Report(onMove, &confined);
        event->accept();
        return;
    }
    Report(onMove, event);
}
void DrawSurface::mouseReleaseEvent(QMouseEvent* event) { Report(onRelease, event); }
void DrawSurface::mouseDoubleClickEvent(QMouseEvent* event) { Report(onDoubleClick, event); }

void DrawSurface::enterEvent(QEnterEvent* event)
{
    QFrame::enterEvent(event);
    if (onEnter)
        onEnter();
}

void DrawSurface::leaveEvent(QEvent* event)
{
    QFrame::leaveEvent(event);
    if (onLeave)
        onLeave();
}

QColor ToQColor(DisplayRgb color)
{
    return QColor(DisplayRed(color), DisplayGreen(color), DisplayBlue(color));
}

void FillDisplayRect(QImage& image, const QRect& rect, DisplayRgb color)
{
    const QRect clipped = rect.intersected(image.rect());
    const QRgb pixel = DisplayToPixel(color);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + clipped.left(), line + clipped.right() + 1, pixel);
    }
}

void XorRect(QImage& image, const QRect& rect, QRgb mask)
{
    const QRect clipped = rect.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            line[x] ^= (mask & 0x00FFFFFFu);
    }
}

QImage Enlarge(const QImage& image, int factorX, int factorY)
{
    QImage out(image.width() * factorX, image.height() * factorY, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y / factorY));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            dst[x] = src[x / factorX];
    }
    return out;
}

void DrawAtOrigin(QImage& target, const QImage& source)
{
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, source);
}

} // namespace palfade
