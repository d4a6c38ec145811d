#include "platform/GlobalShortcuts.h"

#include "platform/ClipboardWay.h"
#include "platform/Xcb.h"

#include <QGuiApplication>

#include <set>

namespace {

constexpr xcb_keysym_t Digit0 = 0x30;
constexpr xcb_keysym_t NumLock = 0xff7f;
// Alt is the first of the extra modifiers on every common keyboard map.
constexpr uint16_t CtrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
constexpr uint8_t BadAccess = 10;

// The keyboard map: which keycodes give which key symbols.
class KeyboardMap
{
public:
    explicit KeyboardMap(xcb_connection_t *c)
        : m_min(xcb_get_setup(c)->min_keycode), m_max(xcb_get_setup(c)->max_keycode),
          m_map(xcbReply(xcb_get_keyboard_mapping_reply(
              c, xcb_get_keyboard_mapping(c, m_min, static_cast<uint8_t>(m_max - m_min + 1)), nullptr)))
    {
    }

    // The keycode of a symbol, the unshifted places first, as the user finds it
    // on the keyboard: on a French map "1" is the shifted "&" key. 0 for none.
    xcb_keycode_t keycode(xcb_keysym_t symbol) const
    {
        if (!m_map) {
            return 0;
        }
        const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(m_map.get());
        const int perKeycode = m_map->keysyms_per_keycode;
        for (int column = 0; column < perKeycode; ++column) {
            for (int code = m_min; code <= m_max; ++code) {
                if (symbols[(code - m_min) * perKeycode + column] == symbol) {
                    return static_cast<xcb_keycode_t>(code);
                }
            }
        }
        return 0;
    }

private:
    int m_min;
    int m_max;
    XcbReply<xcb_get_keyboard_mapping_reply_t> m_map;
};

// The modifier that Num Lock sets, which like Caps Lock must not keep a
// shortcut from working.
uint16_t numLockMask(xcb_connection_t *c, const KeyboardMap &map)
{
    const xcb_keycode_t numLock = map.keycode(NumLock);
    const auto modifiers = xcbReply(xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (numLock == 0 || !modifiers) {
        return 0;
    }
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
    const int perModifier = modifiers->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[modifier * perModifier + i] == numLock) {
                return static_cast<uint16_t>(1U << modifier);
            }
        }
    }
    return 0;
}

} // namespace

GlobalShortcuts::GlobalShortcuts(std::function<void(int)> pressed, QObject *parent)
    : QObject(parent), m_pressed(std::move(pressed))
{
    qGuiApp->installNativeEventFilter(this);
}

GlobalShortcuts::~GlobalShortcuts()
{
    release();
}

bool GlobalShortcuts::available()
{
    // On a Wayland session the bar runs on XWayland, whose root window sees
    // only the keys typed into other X11 programs.
    return !isWaylandSession() && x11Connection() != nullptr;
}

QList<int> GlobalShortcuts::grab()
{
    release();
    xcb_connection_t *c = x11Connection();
    if (c == nullptr) {
        return {};
    }
    const KeyboardMap map(c);
    const uint16_t numLock = numLockMask(c, map);
    const std::set<uint16_t> locks = {0, XCB_MOD_MASK_LOCK, numLock,
                                      static_cast<uint16_t>(XCB_MOD_MASK_LOCK | numLock)};
    // All requests first, then all answers: one round trip, not forty.
    std::vector<std::pair<Grab, xcb_void_cookie_t>> requests;
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(c)); roots.rem > 0; xcb_screen_next(&roots)) {
        for (int slot = 1; slot <= 10; ++slot) {
            const xcb_keycode_t keycode = map.keycode(Digit0 + static_cast<xcb_keysym_t>(slot % 10));
            if (keycode == 0) {
                continue;
            }
            for (const uint16_t lock : locks) {
                const Grab grab{roots.data->root, keycode, static_cast<unsigned short>(CtrlAlt | lock), slot};
                requests.emplace_back(grab, xcb_grab_key_checked(c, 1, grab.root, grab.modifiers, grab.keycode,
                                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            }
        }
    }
    std::set<int> held;
    for (const auto &[grab, cookie] : requests) {
        if (const auto error = xcbReply(xcb_request_check(c, cookie))) {
            held.insert(grab.slot);
        } else {
            m_grabs.push_back(grab);
        }
    }
    // A shortcut works with every lock or it is reported as held: none half-taken.
    for (auto it = m_grabs.begin(); it != m_grabs.end();) {
        if (held.count(it->slot) != 0) {
            xcb_ungrab_key(c, it->keycode, it->root, it->modifiers);
            it = m_grabs.erase(it);
        } else {
            ++it;
        }
    }
    xcb_flush(c);
    return QList<int>(held.begin(), held.end());
}

void GlobalShortcuts::release()
{
    xcb_connection_t *c = x11Connection();
    if (c == nullptr || m_grabs.empty()) {
        m_grabs.clear();
        return;
    }
    for (const Grab &grab : m_grabs) {
        xcb_ungrab_key(c, grab.keycode, grab.root, grab.modifiers);
    }
    m_grabs.clear();
    xcb_flush(c);
}

bool GlobalShortcuts::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(result)
    if (eventType != "xcb_generic_event_t" || m_grabs.empty()) {
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return false;
    }
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    for (const Grab &grab : m_grabs) {
        if (key->event == grab.root && key->detail == grab.keycode && (key->state & CtrlAlt) == CtrlAlt) {
            if (type == XCB_KEY_PRESS) {
                m_pressed(grab.slot);
            }
            return true;
        }
    }
    return false;
}
