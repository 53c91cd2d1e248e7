#pragma once
// Where a further window of palfade opens: beside the main window, never
// over its menu bar, at the width it asks for.

#include <QRect>
#include <QSize>

class QMainWindow;
class QWidget;

namespace palfade {

// The frame of a new window of frame size `frame`, given the main window's
// frame `main`, the bottom edge of its menu bar `menuBottom` and the screen's
// available area, all in screen coordinates: right of the main window when it
// fits on the screen, else left of it, else cascaded below the menu bar. The
// width is kept; the height shrinks only to stay on the screen.
QRect PlaceBesideMain(const QRect& main, int menuBottom, const QSize& frame, const QRect& screen);

// Moves `window`, not yet shown, to its place beside `main` (its frame
// assumed as wide as the main window's).
void MoveBesideMain(QWidget& window, const QMainWindow& main);

} // namespace palfade
