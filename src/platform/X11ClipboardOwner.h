#pragma once

#include <QByteArray>
#include <QObject>

#include <xcb/xcb.h>

#include <memory>

class QSocketNotifier;
class X11ClipboardConverter;

// The bar's text on the X11 clipboard (CLIPBOARD), held as the UTF-8 bytes the
// caller hands over and given to every program that asks, over an X connection
// of our own that Qt's event loop watches. Qt's clipboard takes the whole text
// once more to offer it and answers a large text slower than the programs that
// read it; this owner sends the caller's bytes as they are, in pieces (INCR)
// when they are large, to several readers at once, each at its own pace.
//
// Offered: UTF8_STRING, text/plain;charset=utf-8, text/plain, TEXT and, when
// every character fits in Latin-1, STRING; a text beyond Latin-1 is refused as
// STRING rather than handed over with characters lost or replaced. Also TARGETS,
// TIMESTAMP, MULTIPLE and SAVE_TARGETS. At a clean exit of the program a
// clipboard manager, where one runs, is asked to take the text over.
class X11ClipboardOwner : public QObject
{
    Q_OBJECT
public:
    // An owner on the display of $DISPLAY, or none when it cannot be reached.
    static std::unique_ptr<X11ClipboardOwner> connectToDisplay(QObject *parent = nullptr);
    ~X11ClipboardOwner() override;

    // Takes the clipboard with these bytes, which are kept as given. False when
    // the X server did not give it to us.
    bool setText(QByteArray utf8);
    // True while the clipboard is ours; any notice that another program took it
    // that has reached us is heeded first.
    bool owns();
    // The bytes on the clipboard while it is ours; answered without the X
    // server, which would ask this very thread.
    QByteArray text() const;
    // Asks a clipboard manager, where one runs, to take the text over, and
    // answers it while it reads, for a bounded time. Runs by itself when the
    // program leaves its event loop.
    void handOverToManager();

private:
    X11ClipboardOwner(xcb_connection_t *connection, QObject *parent);
    xcb_atom_t atom(int name) const;
    // Handles everything the server has sent, without waiting.
    void processEvents();
    void handleEvent(const xcb_generic_event_t *event);
    // Handles what the server sends until `done` holds; false when the time
    // runs out or the connection breaks first.
    template <typename Done> bool waitUntil(Done done, int timeoutMs);
    // The server's present time, read from a change to our own window's property.
    xcb_timestamp_t serverTime();

    void answer(const xcb_selection_request_event_t *request);

    xcb_connection_t *m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    // The text in the forms readers ask for, and its transfers to them.
    std::unique_ptr<X11ClipboardConverter> m_converter;
    QSocketNotifier *m_notifier = nullptr;

    bool m_owns = false;
    // When the clipboard became ours: a request stamped earlier is for a text before ours.
    xcb_timestamp_t m_ownedSince = XCB_CURRENT_TIME;
    xcb_timestamp_t m_stampedTime = XCB_CURRENT_TIME;
    bool m_managerAnswered = false;
};
