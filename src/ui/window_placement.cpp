#include "ui/window_placement.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>

namespace palfade {
namespace {

// Between the windows side by side, and the step of a cascade.
constexpr int kGap = 8;
constexpr int kCascade = 32;

} // namespace

QRect PlaceBesideMain(const QRect& main, int menuBottom, const QSize& frame, const QRect& screen)
{
    const int height = std::min(frame.height(), screen.height());
    const int top = std::clamp(main.top(), screen.top(), screen.bottom() + 1 - height);
    const int right = main.right() + 1 + kGap;
    if (right + frame.width() <= screen.right() + 1)
        return QRect(right, top, frame.width(), height);
    const int left = main.left() - kGap - frame.width();
    if (left >= screen.left())
        return QRect(left, top, frame.width(), height);
    // Over the main window, but below its menu bar: the menus stay in reach.
    const int below = menuBottom + 1 + kGap;
    const int x = std::max(screen.left(), std::min(main.left() + kCascade, screen.right() + 1 - frame.width()));
    return QRect(x, below, frame.width(), std::max(0, std::min(height, screen.bottom() + 1 - below)));
}

void MoveBesideMain(QWidget& window, const QMainWindow& main)
{
    const QRect mainFrame = main.frameGeometry();
    const QSize margins = mainFrame.size() - main.size();
    const QWidget* bar = main.menuBar();
    const int menuBottom = bar->mapToGlobal(QPoint(0, bar->height() - 1)).y();
    const QRect place =
        PlaceBesideMain(mainFrame, menuBottom, window.size() + margins, main.screen()->availableGeometry());
    window.resize(place.size() - margins);
    // Before its native window exists, move() places the frame.
    window.move(place.topLeft());
}

} // namespace palfade
