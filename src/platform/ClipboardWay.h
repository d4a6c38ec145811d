#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// True where WAYLAND_DISPLAY or XDG_SESSION_TYPE say that a Wayland compositor
// runs the desktop, also when the bar's window runs on XWayland.
bool isWaylandSession();

// What decides how the bar reaches the clipboard of the session it runs in.
struct ClipboardSession
{
    // WAYLAND_DISPLAY or XDG_SESSION_TYPE say that a Wayland compositor runs the desktop.
    bool wayland = false;
    // The bar's own connection to that compositor was made.
    bool reached = false;
    // Why it was not.
    QString unreachedReason;
    // The compositor has a seat (a keyboard and pointer), which is what owns a clipboard.
    bool seat = false;
    // The bar's window runs on XWayland (Qt's xcb platform), not as a Wayland window.
    bool windowOnX11 = true;
    // The compositor offers a clipboard-manager protocol: the newer one, the wlroots one.
    bool extDataControl = false;
    bool wlrDataControl = false;
    // The compositor is GNOME's (mutter), which keeps XWayland's clipboard and its
    // own in step both ways, whichever window has the focus.
    bool gnome = false;

    // The session the environment names; nothing about the compositor yet.
    static ClipboardSession fromEnvironment();
};

enum class ClipboardWay {
    X11,            // the X server's clipboard, also on XWayland
    ExtDataControl, // the compositor's clipboard through ext_data_control_manager_v1
    WlrDataControl, // the same through zwlr_data_control_manager_v1
    Unreadable,     // copies go through XWayland, but a capture cannot know what the user sees
};

struct ClipboardChoice
{
    ClipboardWay way = ClipboardWay::X11;
    // For Unreadable: the whole message of a capture, "The clipboard cannot be read: ...".
    QString reason;
};

// The way for a session, chosen once at start.
ClipboardChoice chooseClipboardWay(const ClipboardSession &session);

// The names under which the bar offers its text, so that Wayland programs and X11
// programs through XWayland find it.
QByteArrayList offeredTextTypes();

// The text type to ask an owner for among those it offers: those that say they
// are UTF-8 first, then Latin-1, then those that say nothing. Empty when it
// offers no text.
QByteArray preferredTextType(const QByteArrayList &offered);

// True for the type whose bytes are Latin-1; every other text type is read as UTF-8.
bool isLatin1TextType(const QByteArray &type);

// Why a capture failed, where the program that holds the clipboard does not
// answer, stops before the end of its text, or offers more than the program
// takes; the same on X11 and through the compositor.
QString ownerSilentReason();
QString ownerStoppedReason();
QString textTooLargeReason();
