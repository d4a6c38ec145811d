#include "platform/FrameExtents.h"

#include "platform/Xcb.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// The 32-bit items of a window's property; empty when it has none.
std::vector<uint32_t> property(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    const auto reply =
        xcbReply(xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto *items = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return {items, items + xcb_get_property_value_length(reply.get()) / 4};
}

} // namespace

QMargins frameExtentsBeforeMapping(WId window, int timeoutMs)
{
    xcb_connection_t *c = x11Connection();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || c == nullptr || window == 0) {
        return {};
    }
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const char *const names[] = {"_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS", "_NET_SUPPORTED"};
    const std::vector<xcb_atom_t> atoms = internAtoms(c, names, std::size(names), true);
    const xcb_atom_t request = atoms[0];
    const xcb_atom_t frameExtents = atoms[1];
    const xcb_atom_t supportedAtom = atoms[2];
    if (supportedAtom == XCB_ATOM_NONE) {
        return {}; // no window manager has ever said what it supports
    }
    const std::vector<uint32_t> supported = property(c, root, supportedAtom, XCB_ATOM_ATOM);
    if (request == XCB_ATOM_NONE || std::find(supported.begin(), supported.end(), request) == supported.end()) {
        return {};
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    // The answer is a property of the window; Qt's event queue takes the
    // notification of it, so the property itself is asked for until it is there.
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const std::vector<uint32_t> frame = property(c, id, frameExtents, XCB_ATOM_CARDINAL);
        if (frame.size() == 4) {
            // Left, right, top, bottom.
            return {static_cast<int>(frame[0]), static_cast<int>(frame[2]), static_cast<int>(frame[1]),
                    static_cast<int>(frame[3])};
        }
        if (deadline.hasExpired()) {
            return {};
        }
        QThread::msleep(1);
    }
}
