#pragma once

class QWidget;

// Puts a top-level window above all normal windows, or back among them. The
// window is not re-created: on X11 the change travels as _NET_WM_STATE_ABOVE,
// and Qt sets the same state again each time the window is mapped. Where the
// platform has no such notion (offscreen, Wayland) nothing visible happens.
void setTopmost(QWidget *window, bool on);
