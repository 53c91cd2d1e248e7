#include "ui/preview_widgets.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace palfade {
namespace {

constexpr int kScrollStep = 8;

} // namespace

PreviewCanvas::PreviewCanvas(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted from the image; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewCanvas::ShowImage(const QImage& image)
{
    image_ = image;
    update();
}

void PreviewCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

PreviewArea::PreviewArea(QWidget* parent) : QScrollArea(parent), canvas_(new PreviewCanvas)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);
    canvas_->resize(1, 1);
    setWidget(canvas_);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
    setFocusPolicy(Qt::NoFocus);
    for (QWidget* part : {viewport(), static_cast<QWidget*>(horizontalScrollBar()),
                          static_cast<QWidget*>(verticalScrollBar())})
        part->setFocusPolicy(Qt::NoFocus);
}

QList<QWidget*> PreviewArea::WheelTargets()
{
    return {canvas_, viewport(), horizontalScrollBar(), verticalScrollBar(), this};
}

void PreviewArea::SetBackground(const QColor& color)
{
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, color);
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
}

} // namespace palfade
