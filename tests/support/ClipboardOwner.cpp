// clipboard_owner MODE <TEXT takes CLIPBOARD, prints "ready" and offers TEXT as UTF8_STRING. Asked for it, it
// refuses (refuse), says it wrote it but does not (lie), writes INTEGER data (integer) or a picture (picture),
// a byte every half second (trickle), announces 4 GiB in pieces (huge), or else the bytes. clipboard_owner
// manager is a clipboard manager instead (keep below).
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

#include <unistd.h>

xcb_connection_t *c;

xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    return reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_generic_event_t *next(int type)
{
    xcb_generic_event_t *event = nullptr;
    while ((event = xcb_wait_for_event(c)) != nullptr && (event->response_type & 0x7f) != type) {
        std::free(event);
    }
    return event != nullptr ? event : (std::exit(1), nullptr);
}

// Asked by the clipboard's owner to keep its text, takes the text (to standard output) and a picture form in one
// MULTIPLE request, says on standard error whether the picture was refused, and answers.
int keep(xcb_window_t window)
{
    const xcb_atom_t text = atom("VELMORA_TEST_TEXT"), pairs = atom("VELMORA_TEST_PAIRS");
    xcb_set_selection_owner(c, window, atom("CLIPBOARD_MANAGER"), XCB_CURRENT_TIME);
    xcb_flush(c);
    const auto *save = reinterpret_cast<xcb_selection_request_event_t *>(next(XCB_SELECTION_REQUEST));
    const xcb_atom_t asked[] = {atom("UTF8_STRING"), text, atom("image/png"), atom("VELMORA_TEST_PICTURE")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, pairs, atom("ATOM_PAIR"), 32, 4, asked);
    xcb_convert_selection(c, window, atom("CLIPBOARD"), atom("MULTIPLE"), pairs, save->time);
    xcb_flush(c);
    next(XCB_SELECTION_NOTIFY);
    const auto get = [window](xcb_atom_t property) {
        return xcb_get_property_reply(c, xcb_get_property(c, 1, window, property, 0, 0, 1 << 20), nullptr);
    };
    xcb_get_property_reply_t *answered = get(pairs), *kept = get(text);
    std::cout.write(static_cast<const char *>(xcb_get_property_value(kept)), xcb_get_property_value_length(kept));
    const bool refused = static_cast<xcb_atom_t *>(xcb_get_property_value(answered))[3] == XCB_ATOM_NONE;
    std::cerr << "picture " << (refused ? "refused" : "given") << std::endl;
    xcb_selection_notify_event_t done{
        XCB_SELECTION_NOTIFY, 0, 0, save->time, save->requestor, save->selection, save->target, save->property};
    xcb_send_event(c, 0, save->requestor, 0, reinterpret_cast<const char *>(&done));
    xcb_flush(c);
    return 0;
}

int main(int argc, char *argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    c = xcb_connect(nullptr, nullptr);
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1,
                      1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    if (mode == "manager") {
        return keep(window);
    }
    const std::string text(std::istreambuf_iterator<char>(std::cin), {});
    const xcb_atom_t targets = atom("TARGETS"), offered = atom("UTF8_STRING");
    xcb_set_selection_owner(c, window, atom("CLIPBOARD"), XCB_CURRENT_TIME);
    // Ready once the server has made it the owner: a reply comes after every request before it.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::cout << "ready" << std::endl;
    std::size_t sent = text.size() + 1; // of the text in pieces: none under way
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const int type = event->response_type & 0x7f;
        const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
        if (type == XCB_PROPERTY_NOTIFY && change->state == XCB_PROPERTY_DELETE && sent <= text.size()) {
            usleep(500000); // the last piece was taken: the next, and after the text an empty one
            const int size = sent < text.size();
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, change->window, change->atom, offered, 8, size, &text[sent]);
            ++sent;
        }
        if (type == XCB_SELECTION_REQUEST) {
            const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
            xcb_selection_notify_event_t notify{
                XCB_SELECTION_NOTIFY, 0, 0, request->time, request->requestor, request->selection, request->target,
                request->property};
            const auto write = [request](xcb_atom_t where, xcb_atom_t type, int format, int count, const void *data) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, where, type, format, count, data);
            };
            const uint32_t number = mode == "trickle" ? text.size()
                                    : mode == "huge"  ? 0xFFFFFFFFu
                                                      : 42,
                           events = XCB_EVENT_MASK_PROPERTY_CHANGE;
            if (request->target == targets) {
                const xcb_atom_t list[] = {targets, offered};
                write(request->property, XCB_ATOM_ATOM, 32, 2, list);
            } else if (request->target != offered || mode == "refuse") {
                notify.property = XCB_ATOM_NONE;
            } else if (mode == "integer") {
                write(request->property, XCB_ATOM_INTEGER, 32, 1, &number);
            } else if (mode == "picture") {
                write(request->property, atom("image/png"), 8, 4, "\x89PNG");
            } else if (mode == "trickle" || mode == "huge") {
                xcb_change_window_attributes(c, request->requestor, XCB_CW_EVENT_MASK, &events);
                write(request->property, atom("INCR"), 32, 1, &number);
                sent = 0;
            } else if (mode != "lie") {
                write(request->property, offered, 8, int(text.size()), text.data());
            }
            xcb_send_event(c, 0, request->requestor, 0, reinterpret_cast<const char *>(&notify));
        }
        xcb_flush(c);
        std::free(event);
    }
}
