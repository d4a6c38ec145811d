#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <vector>

// What every X11 part of the bar needs of xcb: replies and events it must free,
// the connection Qt's window is on, and atoms by name.

struct XcbFree
{
    void operator()(void *value) const { std::free(value); }
};
// A reply, event or error of xcb, freed as the library asks.
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;
template <typename T> XcbReply<T> xcbReply(T *value)
{
    return XcbReply<T>(value);
}

struct XcbDisconnect
{
    void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};
// A connection of our own, closed when it goes.
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

// The connection of Qt's own windows; none where Qt does not run on X11.
xcb_connection_t *x11Connection();

// The atoms of these names, asked for at once: one wait for the server, not one
// a name. XCB_ATOM_NONE where the server gave none, and, with onlyIfExists, for
// a name no program has used yet.
std::vector<xcb_atom_t> internAtoms(xcb_connection_t *c, const char *const *names, std::size_t count,
                                    bool onlyIfExists = false);
xcb_atom_t internAtom(xcb_connection_t *c, const char *name, bool onlyIfExists = false);
