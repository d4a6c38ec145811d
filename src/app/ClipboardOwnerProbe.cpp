#include "ClipboardOwnerProbe.h"

#include <QDeadlineTimer>

#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct ConnectionCloser
{
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(c, cookie, nullptr),
                                                                         &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

} // namespace

bool clipboardOwnerAnswers(int timeoutMs)
{
    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(nullptr, &screenNumber));
    xcb_connection_t *c = connection.get();
    if (xcb_connection_has_error(c) != 0) {
        return true;
    }
    const xcb_atom_t clipboard = atom(c, "CLIPBOARD");
    const xcb_atom_t targets = atom(c, "TARGETS");
    const xcb_atom_t property = atom(c, "VELMORA_CLIPBOARD_PROBE");

    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr), &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        return true;
    }

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_convert_selection(c, window, clipboard, targets, property, XCB_CURRENT_TIME);
    xcb_flush(c);

    const QDeadlineTimer deadline(timeoutMs);
    bool answered = false;
    while (!answered && !deadline.hasExpired()) {
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
            continue;
        }
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
                answered = reinterpret_cast<xcb_selection_notify_event_t *>(event)->requestor == window;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(c) != 0) {
            break;
        }
    }
    xcb_destroy_window(c, window);
    xcb_flush(c);
    return answered;
}
