// A clipboard manager: asked by the clipboard's owner to keep the text, it takes the text (to standard output)
// and a picture form in one MULTIPLE request, says on standard error whether the picture was refused, and answers.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static xcb_connection_t *c = xcb_connect(nullptr, nullptr);
static xcb_atom_t atom(const char *name)
{
    return xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr)->atom;
}
static xcb_generic_event_t *next(int type)
{
    xcb_generic_event_t *event = nullptr;
    while ((event = xcb_wait_for_event(c)) != nullptr && (event->response_type & 0x7f) != type) {
    }
    return event != nullptr ? event : (std::exit(1), nullptr);
}

int main()
{
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, 0, window, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, 0, 0, nullptr);
    const xcb_atom_t text = atom("VELMORA_TEST_TEXT"), pairs = atom("VELMORA_TEST_PAIRS");
    xcb_set_selection_owner(c, window, atom("CLIPBOARD_MANAGER"), XCB_CURRENT_TIME);
    xcb_flush(c);
    std::fprintf(stderr, "ready\n");
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
    std::fwrite(xcb_get_property_value(kept), 1, xcb_get_property_value_length(kept), stdout);
    std::fflush(stdout);
    const bool refused = static_cast<xcb_atom_t *>(xcb_get_property_value(answered))[3] == XCB_ATOM_NONE;
    std::fprintf(stderr, "picture %s\n", refused ? "refused" : "given");
    xcb_selection_notify_event_t done{
        XCB_SELECTION_NOTIFY, 0, 0, save->time, save->requestor, save->selection, save->target, save->property};
    xcb_send_event(c, 0, save->requestor, 0, reinterpret_cast<const char *>(&done));
    xcb_flush(c);
    xcb_disconnect(c);
}
