// A clipboard owner that fails the way the end-to-end tests ask, as a peer for
// the bar's capture:
//   clipboard_owner refuse|lie|elsewhere|integer|compound|trickle [TEXT]
// It takes CLIPBOARD, prints "ready" and offers TEXT as UTF8_STRING (compound:
// only as COMPOUND_TEXT, its bytes as given); asked for the text, it refuses
// (property None), says it wrote the property but does not, writes another
// property, writes INTEGER data, writes the bytes, or hands them over in
// pieces (INCR), one byte a second. It serves until it is killed.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <poll.h>

namespace {

xcb_connection_t *c;

xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::string text = argc > 2 ? argv[2] : "";
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        return 1;
    }
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1,
                      1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = atom("CLIPBOARD"), targets = atom("TARGETS"), incr = atom("INCR");
    const xcb_atom_t offered = atom(mode == "compound" ? "COMPOUND_TEXT" : "UTF8_STRING");
    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    xcb_flush(c);
    std::puts("ready");
    std::fflush(stdout);

    // The one transfer in pieces: where its next piece goes, and when.
    xcb_window_t requestor = XCB_WINDOW_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    std::size_t sent = 0;
    long long due = -1;
    for (;;) {
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&p, 1, due < 0 ? -1 : static_cast<int>(std::max(0LL, due - nowMs())));
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const int type = event->response_type & 0x7f;
            const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
            if (type == XCB_PROPERTY_NOTIFY && change->window == requestor && change->atom == property &&
                change->state == XCB_PROPERTY_DELETE && due < 0) {
                due = nowMs() + 1000;
            }
            if (type == XCB_SELECTION_REQUEST) {
                const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
                xcb_selection_notify_event_t notify = {};
                notify.response_type = XCB_SELECTION_NOTIFY;
                notify.time = request->time;
                notify.requestor = request->requestor;
                notify.selection = request->selection;
                notify.target = request->target;
                notify.property = request->property;
                const auto write = [&](xcb_atom_t where, xcb_atom_t kind, int format, int count, const void *data) {
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, where, kind, format, count, data);
                };
                if (request->target == targets) {
                    const xcb_atom_t list[] = {targets, offered};
                    write(request->property, XCB_ATOM_ATOM, 32, 2, list);
                } else if (request->target != offered || mode == "refuse") {
                    notify.property = XCB_ATOM_NONE;
                } else if (mode == "elsewhere") {
                    notify.property = atom("ELSEWHERE");
                    write(notify.property, offered, 8, int(text.size()), text.data());
                } else if (mode == "integer") {
                    const uint32_t number = 42;
                    write(request->property, XCB_ATOM_INTEGER, 32, 1, &number);
                } else if (mode == "trickle") {
                    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(c, request->requestor, XCB_CW_EVENT_MASK, &events);
                    const uint32_t size = text.size();
                    write(request->property, incr, 32, 1, &size);
                    requestor = request->requestor, property = request->property, sent = 0, due = -1;
                } else if (mode != "lie") {
                    write(request->property, offered, 8, int(text.size()), text.data());
                }
                xcb_send_event(c, 0, request->requestor, 0, reinterpret_cast<const char *>(&notify));
            }
            std::free(event);
        }
        if (due >= 0 && nowMs() >= due) {
            // A byte a second, then the empty piece that ends the text.
            const int size = sent < text.size() ? 1 : 0;
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, offered, 8, size, text.data() + sent);
            sent += size;
            due = -1;
            requestor = size > 0 ? requestor : xcb_window_t(XCB_WINDOW_NONE);
        }
        xcb_flush(c);
        if (xcb_connection_has_error(c) != 0) {
            return 0;
        }
    }
}
