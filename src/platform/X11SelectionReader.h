#pragma once

#include "platform/ClipboardWait.h"
#include "platform/Xcb.h"

#include <QByteArray>
#include <QString>

// One read of the text on CLIPBOARD over a connection of our own: asks the
// owner for its formats, then for the best text among them, and takes it whole
// or in pieces (INCR), while the bar goes on answering (ClipboardWait).
class X11SelectionReader
{
public:
    explicit X11SelectionReader(xcb_connection_t *c);
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    // What readX11ClipboardText gives.
    bool read(QByteArray &text, QString &reason);

private:
    // The text formats we ask for, best first: those that say they are UTF-8,
    // then Latin-1, then the unspecified ones, which nowadays are UTF-8 too, and
    // last the compound text of older programs.
    enum Atom {
        Clipboard,
        Targets,
        Incr,
        Property,
        Utf8String,
        TextPlainUtf8,
        String,
        Text,
        TextPlain,
        CompoundText,
        AtomCount
    };

    // Asks the owner to put the selection in this format on our window; false
    // when it gives no answer in time. The answer may be a refusal (property none).
    bool convert(xcb_atom_t target, xcb_atom_t &property);
    // The next event that `wanted` accepts, or none when the time runs out, the
    // read is cancelled or the owner's window goes away first.
    template <typename Wanted> XcbReply<xcb_generic_event_t> next(Wanted wanted);
    // False with the reason the wait ended, or otherwise this one.
    bool fail(const QString &otherwise, QString &reason) const;
    XcbReply<xcb_get_property_reply_t> takeProperty();
    xcb_atom_t textTarget(const xcb_get_property_reply_t *targets) const;
    bool isText(xcb_atom_t type) const;
    QString atomName(xcb_atom_t atom) const;
    // True, with the reason, for more bytes than the program takes.
    static bool tooLarge(qint64 bytes, QString &reason);
    bool append(const xcb_get_property_reply_t *piece, QByteArray &text, QString &reason);
    // The text once its last piece is in.
    bool finish(QByteArray &text, QString &reason);

    xcb_connection_t *m_c;
    xcb_window_t m_owner = XCB_WINDOW_NONE;
    xcb_window_t m_window;
    xcb_atom_t m_atoms[AtomCount] = {};
    ClipboardWait m_wait;
    // Why the last wait ended without its event, when not for the owner.
    QString m_stopped;
    // The text came as STRING and is taken into UTF-8 piece by piece.
    bool m_isLatin1 = false;
    // Compound text is decoded once it is whole.
    QByteArray m_compound;
    bool m_isCompound = false;
    qint64 m_bytes = 0;
};
