#pragma once
// Emptying a window's name on X11. Qt gives a window with an empty title the
// application's name, and the window manager would show it as the caption.
// Under Wayland the compositor decides captions and nothing is done; the
// portable build has no X11 code and does nothing.

class QWindow;

namespace palfade {

#ifdef PALFADE_X11_WINDOW_NAME
// Empties WM_NAME and _NET_WM_NAME of the window's native window, which must
// exist already. Does nothing unless Qt runs on X11.
void ClearX11WindowName(QWindow& window);
#else
inline void ClearX11WindowName(QWindow&) {}
#endif

} // namespace palfade
