#pragma once

#include "platform/ClipboardWay.h"
#include "slots/Clipboard.h"

// The bar's Wayland part, a module of its own (libvelmora-wayland.so) that is
// loaded on a Wayland session only, so that an X11 session never loads the
// Wayland library. It connects to the compositor, tells what that offers in
// `session` and chooses the way for it; when that is one of the compositor's
// clipboard manager protocols (data-control), it returns the clipboard over it,
// otherwise none.
extern "C" Clipboard *velmora_wayland_clipboard(ClipboardSession &session, ClipboardChoice &choice);
using WaylandClipboardEntry = decltype(&velmora_wayland_clipboard);
constexpr char WaylandClipboardEntryName[] = "velmora_wayland_clipboard";
