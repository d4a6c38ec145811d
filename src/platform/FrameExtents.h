#pragma once

#include <QMargins>
#include <QWindow>

// The frame the window manager will put round a window that is not mapped yet:
// asked for with _NET_REQUEST_FRAME_EXTENTS, answered in _NET_FRAME_EXTENTS.
// X11 places a new window by its client area, but the settings file keeps the
// frame's outer corner; knowing the frame before the first map lets the window
// appear where it was, without a jump. Zero margins where there is no X11
// window manager that answers within the time.
QMargins frameExtentsBeforeMapping(WId window, int timeoutMs);
