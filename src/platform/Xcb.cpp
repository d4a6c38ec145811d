#include "platform/Xcb.h"

#include <QGuiApplication>

#include <cstring>

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

std::vector<xcb_atom_t> internAtoms(xcb_connection_t *c, const char *const *names, std::size_t count, bool onlyIfExists)
{
    std::vector<xcb_intern_atom_cookie_t> cookies(count);
    for (std::size_t i = 0; i < count; ++i) {
        cookies[i] = xcb_intern_atom(c, onlyIfExists ? 1 : 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    }
    std::vector<xcb_atom_t> atoms(count, XCB_ATOM_NONE);
    for (std::size_t i = 0; i < count; ++i) {
        if (const auto interned = xcbReply(xcb_intern_atom_reply(c, cookies[i], nullptr))) {
            atoms[i] = interned->atom;
        }
    }
    return atoms;
}

xcb_atom_t internAtom(xcb_connection_t *c, const char *name, bool onlyIfExists)
{
    return internAtoms(c, &name, 1, onlyIfExists).front();
}
