#include "platform/X11ClipboardOwner.h"

#include "slots/SlotText.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// A reader that takes no piece of a long text for this long, or whose window is
// gone, is dropped; it holds up no one else meanwhile.
constexpr int StalledReaderMs = 5000;
// How long the server may take to tell us its time.
constexpr int ServerAnswerMs = 2000;
// How long a clipboard manager may take to read the text at exit.
constexpr int ManagerMs = 5000;
// Room for the request's own fields beside the bytes of a piece.
constexpr qsizetype RequestHeader = 32;

enum AtomName {
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
const char *const AtomNames[AtomCount] = {
    "CLIPBOARD",     "TARGETS",
    "MULTIPLE",      "TIMESTAMP",
    "SAVE_TARGETS",  "INCR",
    "NULL",          "CLIPBOARD_MANAGER",
    "UTF8_STRING",   "text/plain;charset=utf-8",
    "text/plain",    "TEXT",
    "_VELMORA_TIME", "_VELMORA_SAVE_TARGETS",
};

template <typename T> std::unique_ptr<T, decltype(&std::free)> reply(T *value)
{
    return std::unique_ptr<T, decltype(&std::free)>(value, &std::free);
}

// X server times wrap around after 49 days: the later of two is the one less than half the range ahead.
bool notBefore(xcb_timestamp_t time, xcb_timestamp_t since)
{
    return static_cast<int32_t>(time - since) >= 0;
}

} // namespace

// A long text on its way to one reader, in pieces: each piece follows the
// reader's deletion of the last, and an empty piece ends it.
struct X11ClipboardOwner::Transfer
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
    : QObject(parent), m_connection(connection), m_atoms(AtomCount, XCB_ATOM_NONE)
{
    xcb_intern_atom_cookie_t cookies[AtomCount];
    for (int i = 0; i < AtomCount; ++i) {
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(AtomNames[i])), AtomNames[i]);
    }
    for (int i = 0; i < AtomCount; ++i) {
        if (const auto interned = reply(xcb_intern_atom_reply(connection, cookies[i], nullptr))) {
            m_atoms[i] = interned->atom;
        }
    }
    // The owner's window: requests for the text come to it, and changes to its
    // own property tell us the server's time.
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(setup).data;
    m_window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    // A piece is as large as the server takes in one request without an
    // extension, some 256 KB.
    m_pieceBytes = qsizetype(setup->maximum_request_length) * 4 - RequestHeader;
    xcb_flush(connection);

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11ClipboardOwner::processEvents);
    m_stallCheck = new QTimer(this);
    m_stallCheck->setInterval(StalledReaderMs / 5);
    connect(m_stallCheck, &QTimer::timeout, this, &X11ClipboardOwner::processEvents);
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

bool X11ClipboardOwner::setText(QByteArray utf8)
{
    // Stamped with the server's present time, the claim is ordered right
    // against every other program's, as the server requires of a claim.
    const xcb_timestamp_t now = serverTime();
    if (now == XCB_CURRENT_TIME) {
        return false;
    }
    m_text = std::move(utf8);
    m_latin1 = QByteArray();
    m_latin1Fit = Latin1::Unknown;
    xcb_set_selection_owner(m_connection, m_window, atom(ClipboardAtom), now);
    const auto owner = reply(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, atom(ClipboardAtom)), nullptr));
    m_owns = owner && owner->owner == m_window;
    m_ownedSince = now;
    if (!m_owns) {
        m_text = QByteArray();
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
    return m_owns ? m_text : QByteArray();
}

void X11ClipboardOwner::handOverToManager()
{
    if (!owns()) {
        return;
    }
    const auto manager = reply(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, atom(ClipboardManagerAtom)), nullptr));
    if (!manager || manager->owner == XCB_WINDOW_NONE) {
        return;
    }
    const xcb_timestamp_t now = serverTime();
    if (now == XCB_CURRENT_TIME) {
        return;
    }
    // The manager is told which forms to keep: the text ones, not our answers about ourselves.
    const std::vector<xcb_atom_t> keep = textTargets();
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
        while (const auto event = reply(xcb_poll_for_event(m_connection))) {
            handleEvent(event.get());
        }
        // Flushing may read more from the server into the queue.
        xcb_flush(m_connection);
        const auto queued = reply(xcb_poll_for_queued_event(m_connection));
        if (!queued) {
            break;
        }
        handleEvent(queued.get());
    }
    if (xcb_connection_has_error(m_connection) != 0) {
        // The server is gone: nothing more will come, and the clipboard went with it.
        m_notifier->setEnabled(false);
        m_stallCheck->stop();
        m_owns = false;
        m_transfers.clear();
    }
    dropStalledTransfers();
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
        poll(&fd, 1, static_cast<int>(std::min<qint64>(deadline.remainingTime(), StalledReaderMs)));
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
            dropTransfersTo(error->resource_id);
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
            m_text = QByteArray();
            m_latin1 = QByteArray();
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
            const auto transfer = std::find_if(m_transfers.begin(), m_transfers.end(), [change](const Transfer &t) {
                return t.requestor == change->window && t.property == change->atom;
            });
            if (transfer != m_transfers.end()) {
                sendNextPiece(*transfer);
            }
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        dropTransfersTo(reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window);
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
        done = request->property != XCB_ATOM_NONE && convertMultiple(request->requestor, property);
    } else if (done) {
        done = convert(request->requestor, request->target, property);
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

bool X11ClipboardOwner::convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property)
{
    if (target == atom(TargetsAtom)) {
        std::vector<xcb_atom_t> targets = textTargets();
        targets.insert(targets.end(),
                       {atom(TargetsAtom), atom(MultipleAtom), atom(TimestampAtom), atom(SaveTargetsAtom)});
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(targets.size()), targets.data());
        return true;
    }
    if (target == atom(TimestampAtom)) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_INTEGER, 32, 1,
                            &m_ownedSince);
        return true;
    }
    if (target == atom(SaveTargetsAtom)) {
        // A target asked only for its effect is answered with an empty property
        // of type NULL; keeping the text needs nothing of ours beyond answering.
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, atom(NullAtom), 32, 0, nullptr);
        return true;
    }
    xcb_atom_t type = XCB_ATOM_NONE;
    QByteArray bytes;
    if (!textIn(target, type, bytes)) {
        return false;
    }
    send(requestor, property, type, bytes);
    return true;
}

bool X11ClipboardOwner::convertMultiple(xcb_window_t requestor, xcb_atom_t property)
{
    // The property lists pairs of a target and the property to put it in; a
    // pair we cannot answer gets its property replaced by none.
    const auto pairs = reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, requestor, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
        nullptr));
    if (!pairs || pairs->format != 32) {
        return false;
    }
    const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(pairs.get()));
    std::vector<xcb_atom_t> answered(values, values + xcb_get_property_value_length(pairs.get()) / 4 / 2 * 2);
    bool refused = false;
    for (std::size_t i = 0; i < answered.size(); i += 2) {
        if (answered[i + 1] == XCB_ATOM_NONE || answered[i] == atom(MultipleAtom) ||
            !convert(requestor, answered[i], answered[i + 1])) {
            answered[i + 1] = XCB_ATOM_NONE;
            refused = true;
        }
    }
    if (refused) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, pairs->type, 32,
                            static_cast<uint32_t>(answered.size()), answered.data());
    }
    return true;
}

bool X11ClipboardOwner::textIn(xcb_atom_t target, xcb_atom_t &type, QByteArray &bytes)
{
    if (target == atom(Utf8StringAtom) || target == atom(TextPlainUtf8Atom) || target == atom(TextPlainAtom)) {
        type = target;
        bytes = m_text;
        return true;
    }
    // TEXT leaves the type to us: STRING where the text allows it, as older
    // readers expect, UTF-8 where it does not.
    if ((target == XCB_ATOM_STRING || target == atom(TextAtom)) && fitsLatin1()) {
        if (m_latin1.isNull()) {
            latin1FromUtf8(m_text, &m_latin1);
        }
        type = XCB_ATOM_STRING;
        bytes = m_latin1;
        return true;
    }
    if (target == atom(TextAtom)) {
        type = atom(Utf8StringAtom);
        bytes = m_text;
        return true;
    }
    return false;
}

std::vector<xcb_atom_t> X11ClipboardOwner::textTargets()
{
    std::vector<xcb_atom_t> targets{atom(Utf8StringAtom), atom(TextPlainUtf8Atom), atom(TextPlainAtom), atom(TextAtom)};
    if (fitsLatin1()) {
        targets.push_back(XCB_ATOM_STRING);
    }
    return targets;
}

bool X11ClipboardOwner::fitsLatin1()
{
    if (m_latin1Fit == Latin1::Unknown) {
        m_latin1Fit = latin1FromUtf8(m_text) ? Latin1::Fits : Latin1::DoesNotFit;
    }
    return m_latin1Fit == Latin1::Fits;
}

void X11ClipboardOwner::send(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type, const QByteArray &bytes)
{
    if (bytes.size() <= m_pieceBytes) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, type, 8,
                            static_cast<uint32_t>(bytes.size()), bytes.constData());
        return;
    }
    // In pieces: the reader's deletion of each property is our cue, and its
    // window's end stops us. We watch its window for both before we answer.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, requestor, XCB_CW_EVENT_MASK, &events);
    const auto earlier = std::find_if(m_transfers.begin(), m_transfers.end(), [&](const Transfer &t) {
        return t.requestor == requestor && t.property == property;
    });
    if (earlier != m_transfers.end()) {
        m_transfers.erase(earlier);
    }
    m_transfers.push_back(Transfer{requestor, property, type, bytes, 0, QDeadlineTimer(StalledReaderMs)});
    // The size given is a lower bound; a text beyond 4 GiB says the most it can.
    const auto least = static_cast<uint32_t>(std::min<qsizetype>(bytes.size(), UINT32_MAX));
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, atom(IncrAtom), 32, 1, &least);
    m_stallCheck->start();
}

void X11ClipboardOwner::sendNextPiece(Transfer &transfer)
{
    const qsizetype size = std::min(m_pieceBytes, transfer.bytes.size() - transfer.sent);
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, transfer.requestor, transfer.property, transfer.type, 8,
                        static_cast<uint32_t>(size), transfer.bytes.constData() + transfer.sent);
    transfer.sent += size;
    transfer.deadline.setRemainingTime(StalledReaderMs);
    if (size == 0) {
        // The empty piece, which ends the text, is written: the reader needs nothing more of us.
        const auto done = std::find_if(m_transfers.begin(), m_transfers.end(),
                                       [&transfer](const Transfer &t) { return &t == &transfer; });
        endTransfer(done);
    }
}

void X11ClipboardOwner::endTransfer(std::vector<Transfer>::iterator transfer)
{
    const xcb_window_t requestor = transfer->requestor;
    m_transfers.erase(transfer);
    const bool watched = std::any_of(m_transfers.begin(), m_transfers.end(),
                                     [requestor](const Transfer &t) { return t.requestor == requestor; });
    if (!watched) {
        // Its events are no longer wanted. Should the window be gone, the
        // server's error for this is ignored.
        const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(m_connection, requestor, XCB_CW_EVENT_MASK, &none);
    }
    if (m_transfers.empty()) {
        m_stallCheck->stop();
    }
}

void X11ClipboardOwner::dropTransfersTo(xcb_window_t requestor)
{
    m_transfers.erase(std::remove_if(m_transfers.begin(), m_transfers.end(),
                                     [requestor](const Transfer &t) { return t.requestor == requestor; }),
                      m_transfers.end());
    if (m_transfers.empty()) {
        m_stallCheck->stop();
    }
}

void X11ClipboardOwner::dropStalledTransfers()
{
    for (auto transfer = m_transfers.begin(); transfer != m_transfers.end();) {
        if (transfer->deadline.hasExpired()) {
            endTransfer(transfer);
            transfer = m_transfers.begin();
        } else {
            ++transfer;
        }
    }
}
