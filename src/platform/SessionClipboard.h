#pragma once

#include "platform/QtClipboard.h"
#include "slots/Clipboard.h"

#include <QString>

#include <memory>

// The clipboard of the session the bar runs in. The way to reach it is chosen
// once: through the X server on X11 and on GNOME, whose compositor keeps
// XWayland's clipboard and its own in step; through the compositor's clipboard
// manager protocol on the Wayland desktops that offer one (KDE Plasma, sway).
// Where neither can show what the user sees, copies still go through XWayland
// but a capture says that it cannot read the clipboard.
class SessionClipboard : public Clipboard
{
public:
    SessionClipboard();
    ~SessionClipboard() override;

    // Chooses the way; on a Wayland session this connects to the compositor,
    // so it is called once the window is on its way. A use before it chooses first.
    void choose() const;

    void clear() override;
    void setText(const QByteArray &utf8) override;
    bool readText(QByteArray &utf8, QString &error) const override;

private:
    Clipboard &way() const;

    // Chosen on first use, also from a read.
    mutable QtClipboard m_x11;
    mutable std::unique_ptr<Clipboard> m_wayland;
    mutable QString m_unreadable;
    mutable bool m_chosen = false;
};
