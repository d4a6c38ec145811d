#include "FrameExtents.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The CARDINAL or ATOM list of a property, or an empty reply.
Reply<xcb_get_property_reply_t> property(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    return {xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr), &std::free};
}

bool supports(xcb_connection_t *c, xcb_window_t root, xcb_atom_t feature)
{
    const auto supported = property(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (!supported || supported->format != 32) {
        return false;
    }
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / 4;
    return std::find(atoms, atoms + count, feature) != atoms + count;
}

QMargins extents(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name)
{
    const auto frame = property(c, window, name, XCB_ATOM_CARDINAL);
    if (!frame || frame->format != 32 || xcb_get_property_value_length(frame.get()) != 16) {
        return {};
    }
    const auto *v = static_cast<const uint32_t *>(xcb_get_property_value(frame.get()));
    // Left, right, top, bottom.
    return {static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3])};
}

struct ConnectionCloser
{
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};

} // namespace

QMargins frameExtentsBeforeMapping(WId window, int timeoutMs)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *own = x11 != nullptr ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || own == nullptr || window == 0) {
        return {};
    }
    // The window exists on the server once the program's own connection has
    // made a round trip; only then can another connection name it.
    std::free(xcb_get_input_focus_reply(own, xcb_get_input_focus(own), nullptr));

    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(nullptr, nullptr));
    xcb_connection_t *c = connection.get();
    if (xcb_connection_has_error(c) != 0) {
        return {};
    }
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t frameExtents = atom(c, "_NET_FRAME_EXTENTS");
    if (!supports(c, root, request)) {
        return {};
    }
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, id, XCB_CW_EVENT_MASK, &mask);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c);

    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
            continue;
        }
        bool answered = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
            answered |= (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->atom == frameExtents;
            std::free(event);
        }
        if (answered || xcb_connection_has_error(c) != 0) {
            break;
        }
    }
    return extents(c, id, frameExtents);
}
