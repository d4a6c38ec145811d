#include "platform/X11ClipboardOwner.h"

#include "platform/X11ClipboardConverter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>

#include <algorithm>

namespace {

// How long the server may take to tell us its time.
constexpr int ServerAnswerMs = 2000;
// How long a clipboard manager may take to read the text at exit.
constexpr int ManagerMs = 5000;

// X server times wrap around after 49 days: the later of two is the one less than half the range ahead.
bool notBefore(xcb_timestamp_t time, xcb_timestamp_t since)
{
    return static_cast<int32_t>(time - since) >= 0;
}

} // namespace

std::unique_ptr<X11ClipboardOwner> X11ClipboardOwner::connectToDisplay(QObject *parent)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11ClipboardOwner>(new X11ClipboardOwner(connection, parent));
}

X11ClipboardOwner::X11ClipboardOwner(xcb_connection_t *connection, QObject *parent)
    : QObject(parent), m_connection(connection), m_converter(std::make_unique<X11ClipboardConverter>(connection, this))
{
    // The owner's window: requests for the text come to it, and changes to its
    // own property tell us the server's time.
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    m_window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    xcb_flush(connection);

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11ClipboardOwner::processEvents);
    connect(m_converter->stallCheck(), &QTimer::timeout, this, &X11ClipboardOwner::processEvents);
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &X11ClipboardOwner::handOverToManager);
    }
}

X11ClipboardOwner::~X11ClipboardOwner()
{
    // Closing the connection gives the clipboard up with it.
    xcb_disconnect(m_connection);
}

xcb_atom_t X11ClipboardOwner::atom(int name) const
{
    return m_converter->atom(static_cast<X11ClipboardAtom>(name));
}

bool X11ClipboardOwner::setText(QByteArray utf8)
{
    // Stamped with the server's present time, the claim is ordered right
    // against every other program's, as the server requires of a claim.
    const xcb_timestamp_t now = serverTime();
    if (now == XCB_CURRENT_TIME) {
        return false;
    }
    m_converter->setText(std::move(utf8), now);
    xcb_set_selection_owner(m_connection, m_window, atom(ClipboardAtom), now);
    const auto owner = xcbReply(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, atom(ClipboardAtom)), nullptr));
    m_owns = owner && owner->owner == m_window;
    m_ownedSince = now;
    if (!m_owns) {
        m_converter->dropText();
    }
    // The round trip may have brought requests along: they are answered now.
    processEvents();
    return m_owns;
}

bool X11ClipboardOwner::owns()
{
    processEvents();
    return m_owns;
}

QByteArray X11ClipboardOwner::text() const
{
    return m_owns ? m_converter->text() : QByteArray();
}

void X11ClipboardOwner::handOverToManager()
{
    if (!owns()) {
        return;
    }
    const auto manager = xcbReply(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, atom(ClipboardManagerAtom)), nullptr));
    if (!manager || manager->owner == XCB_WINDOW_NONE) {
        return;
    }
    const xcb_timestamp_t now = serverTime();
    if (now == XCB_CURRENT_TIME) {
        return;
    }
    // The manager is told which forms to keep: the text ones, not our answers about ourselves.
    const std::vector<xcb_atom_t> keep = m_converter->textTargets();
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, atom(SaveListAtom), XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(keep.size()), keep.data());
    xcb_convert_selection(m_connection, m_window, atom(ClipboardManagerAtom), atom(SaveTargetsAtom), atom(SaveListAtom),
                          now);
    m_managerAnswered = false;
    // It answers once it has read everything, which we hand over meanwhile.
    waitUntil([this] { return m_managerAnswered; }, ManagerMs);
}

void X11ClipboardOwner::processEvents()
{
    for (;;) {
        while (const auto event = xcbReply(xcb_poll_for_event(m_connection))) {
            handleEvent(event.get());
        }
        // Flushing may read more from the server into the queue.
        xcb_flush(m_connection);
        const auto queued = xcbReply(xcb_poll_for_queued_event(m_connection));
        if (!queued) {
            break;
        }
        handleEvent(queued.get());
    }
    if (xcb_connection_has_error(m_connection) != 0) {
        // The server is gone: nothing more will come, and the clipboard went with it.
        m_notifier->setEnabled(false);
        m_owns = false;
        m_converter->dropAllTransfers();
    }
    m_converter->dropStalledTransfers();
}

template <typename Done> bool X11ClipboardOwner::waitUntil(Done done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        processEvents();
        if (done()) {
            return true;
        }
        if (deadline.hasExpired() || xcb_connection_has_error(m_connection) != 0) {
            return false;
        }
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        poll(&fd, 1,
             static_cast<int>(std::min<qint64>(deadline.remainingTime(), X11ClipboardConverter::StalledReaderMs)));
    }
}

xcb_timestamp_t X11ClipboardOwner::serverTime()
{
    // Appending nothing changes no value but still brings the notice, stamped.
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, atom(TimeProbeAtom), XCB_ATOM_STRING, 8, 0,
                        nullptr);
    m_stampedTime = XCB_CURRENT_TIME;
    waitUntil([this] { return m_stampedTime != XCB_CURRENT_TIME; }, ServerAnswerMs);
    return m_stampedTime;
}

void X11ClipboardOwner::handleEvent(const xcb_generic_event_t *event)
{
    switch (event->response_type & 0x7f) {
    case 0: {
        // A window we wrote to has gone: its reader will read no more.
        const auto *error = reinterpret_cast<const xcb_generic_error_t *>(event);
        if (error->error_code == XCB_WINDOW) {
            m_converter->dropTransfersTo(error->resource_id);
        }
        break;
    }
    case XCB_SELECTION_REQUEST:
        answer(reinterpret_cast<const xcb_selection_request_event_t *>(event));
        break;
    case XCB_SELECTION_CLEAR: {
        const auto *clear = reinterpret_cast<const xcb_selection_clear_event_t *>(event);
        if (clear->selection == atom(ClipboardAtom) && notBefore(clear->time, m_ownedSince)) {
            // Another program took the clipboard; readers under way still get the text they asked for.
            m_owns = false;
            m_converter->dropText();
        }
        break;
    }
    case XCB_SELECTION_NOTIFY: {
        const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
        if (notify->requestor == m_window && notify->selection == atom(ClipboardManagerAtom)) {
            m_managerAnswered = true;
        }
        break;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (change->window == m_window) {
            if (change->atom == atom(TimeProbeAtom)) {
                m_stampedTime = change->time;
            }
        } else if (change->state == XCB_PROPERTY_DELETE) {
            m_converter->pieceTaken(change->window, change->atom);
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        m_converter->dropTransfersTo(reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window);
        break;
    default:
        break;
    }
}

void X11ClipboardOwner::answer(const xcb_selection_request_event_t *request)
{
    // A reader of the old kind names no property: the target's name is used instead.
    const xcb_atom_t property = request->property != XCB_ATOM_NONE ? request->property : request->target;
    // A request stamped before the clipboard became ours is for an earlier text.
    bool done = request->selection == atom(ClipboardAtom) && m_owns &&
                (request->time == XCB_CURRENT_TIME || notBefore(request->time, m_ownedSince));
    if (done && request->target == atom(MultipleAtom)) {
        done = request->property != XCB_ATOM_NONE && m_converter->convertMultiple(request->requestor, property);
    } else if (done) {
        done = m_converter->convert(request->requestor, request->target, property);
    }
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request->time;
    notify.requestor = request->requestor;
    notify.selection = request->selection;
    notify.target = request->target;
    notify.property = done ? property : xcb_atom_t(XCB_ATOM_NONE);
    xcb_send_event(m_connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&notify));
}
