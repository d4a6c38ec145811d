#pragma once

#include "platform/Xcb.h"

#include <QByteArray>
#include <QDeadlineTimer>

#include <vector>

class QObject;
class QTimer;

// The atoms of the clipboard's owner and its converter, interned once.
enum X11ClipboardAtom {
    ClipboardAtom,
    TargetsAtom,
    MultipleAtom,
    TimestampAtom,
    SaveTargetsAtom,
    IncrAtom,
    NullAtom,
    ClipboardManagerAtom,
    Utf8StringAtom,
    TextPlainUtf8Atom,
    TextPlainAtom,
    TextAtom,
    TimeProbeAtom,
    SaveListAtom,
    AtomCount
};

// The clipboard owner's text in the forms readers ask for (X11ClipboardOwner
// lists them), put where each reader wants it: at once when it fits in one
// request, otherwise in pieces (INCR), to several readers at once, each at its
// own pace. The owner hands it the events that concern a reader.
class X11ClipboardConverter
{
public:
    // A reader that takes no piece of a long text for this long, or whose window
    // is gone, is dropped; it holds up no one else meanwhile.
    static constexpr int StalledReaderMs = 5000;

    // Its stall check is a timer of `owner`, which handles the server's events
    // and drops stalled readers each time it fires.
    X11ClipboardConverter(xcb_connection_t *connection, QObject *owner);
    ~X11ClipboardConverter();
    X11ClipboardConverter(const X11ClipboardConverter &) = delete;
    X11ClipboardConverter &operator=(const X11ClipboardConverter &) = delete;

    xcb_atom_t atom(X11ClipboardAtom name) const { return m_atoms[name]; }
    QTimer *stallCheck() const { return m_stallCheck; }

    // The text from `since`, the time the clipboard became ours, as TIMESTAMP says.
    void setText(QByteArray utf8, xcb_timestamp_t since);
    // Another program has the clipboard; readers under way keep their own hold on the text.
    void dropText();
    const QByteArray &text() const { return m_text; }

    // Puts the clipboard in `target` into the reader's property; false for a
    // form we do not give.
    bool convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property);
    // Each pair of a target and a property that the reader's property lists.
    bool convertMultiple(xcb_window_t requestor, xcb_atom_t property);
    // The text forms on offer, without our answers about ourselves.
    std::vector<xcb_atom_t> textTargets();

    // The reader deleted a property: the next piece goes there, if it is one of ours.
    void pieceTaken(xcb_window_t requestor, xcb_atom_t property);
    void dropTransfersTo(xcb_window_t requestor);
    void dropAllTransfers();
    void dropStalledTransfers();

private:
    // A long text on its way to one reader, in pieces: each piece follows the
    // reader's deletion of the last, and an empty piece ends it.
    struct Transfer
    {
        xcb_window_t requestor;
        xcb_atom_t property;
        xcb_atom_t type;
        // The reader's own hold on the text: it gets the text it asked for whole,
        // also when the clipboard changes meanwhile.
        QByteArray bytes;
        qsizetype sent;
        QDeadlineTimer deadline;
    };

    bool textIn(xcb_atom_t target, xcb_atom_t &type, QByteArray &bytes);
    bool fitsLatin1();
    void send(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type, const QByteArray &bytes);
    void sendNextPiece(Transfer &transfer);
    void endTransfer(std::vector<Transfer>::iterator transfer);

    xcb_connection_t *m_connection;
    std::vector<xcb_atom_t> m_atoms;
    QTimer *m_stallCheck;
    // The largest piece we put in one property.
    qsizetype m_pieceBytes = 0;

    QByteArray m_text;
    QByteArray m_latin1;
    enum class Latin1 { Unknown, Fits, DoesNotFit } m_latin1Fit = Latin1::Unknown;
    xcb_timestamp_t m_since = XCB_CURRENT_TIME;
    std::vector<Transfer> m_transfers;
};
