#include "platform/X11ClipboardConverter.h"

#include "slots/SlotText.h"

#include <QTimer>

#include <algorithm>

namespace {

// Room for the request's own fields beside the bytes of a piece.
constexpr qsizetype RequestHeader = 32;

const char *const AtomNames[AtomCount] = {
    "CLIPBOARD",     "TARGETS",
    "MULTIPLE",      "TIMESTAMP",
    "SAVE_TARGETS",  "INCR",
    "NULL",          "CLIPBOARD_MANAGER",
    "UTF8_STRING",   "text/plain;charset=utf-8",
    "text/plain",    "TEXT",
    "_VELMORA_TIME", "_VELMORA_SAVE_TARGETS",
};

} // namespace

X11ClipboardConverter::X11ClipboardConverter(xcb_connection_t *connection, QObject *owner)
    : m_connection(connection), m_atoms(internAtoms(connection, AtomNames, AtomCount)), m_stallCheck(new QTimer(owner))
{
    m_stallCheck->setInterval(StalledReaderMs / 5);
    // A piece is as large as the server takes in one request without an
    // extension, some 256 KB.
    m_pieceBytes = qsizetype(xcb_get_setup(connection)->maximum_request_length) * 4 - RequestHeader;
}

X11ClipboardConverter::~X11ClipboardConverter() = default;

void X11ClipboardConverter::setText(QByteArray utf8, xcb_timestamp_t since)
{
    m_text = std::move(utf8);
    m_latin1 = QByteArray();
    m_latin1Fit = Latin1::Unknown;
    m_since = since;
}

void X11ClipboardConverter::dropText()
{
    m_text = QByteArray();
    m_latin1 = QByteArray();
}

bool X11ClipboardConverter::convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property)
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
                            &m_since);
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

bool X11ClipboardConverter::convertMultiple(xcb_window_t requestor, xcb_atom_t property)
{
    // The property lists pairs of a target and the property to put it in; a
    // pair we cannot answer gets its property replaced by none.
    const auto pairs = xcbReply(xcb_get_property_reply(
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

bool X11ClipboardConverter::textIn(xcb_atom_t target, xcb_atom_t &type, QByteArray &bytes)
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

std::vector<xcb_atom_t> X11ClipboardConverter::textTargets()
{
    std::vector<xcb_atom_t> targets{atom(Utf8StringAtom), atom(TextPlainUtf8Atom), atom(TextPlainAtom), atom(TextAtom)};
    if (fitsLatin1()) {
        targets.push_back(XCB_ATOM_STRING);
    }
    return targets;
}

bool X11ClipboardConverter::fitsLatin1()
{
    if (m_latin1Fit == Latin1::Unknown) {
        m_latin1Fit = latin1FromUtf8(m_text) ? Latin1::Fits : Latin1::DoesNotFit;
    }
    return m_latin1Fit == Latin1::Fits;
}

void X11ClipboardConverter::send(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type, const QByteArray &bytes)
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

void X11ClipboardConverter::sendNextPiece(Transfer &transfer)
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

void X11ClipboardConverter::endTransfer(std::vector<Transfer>::iterator transfer)
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

void X11ClipboardConverter::dropTransfersTo(xcb_window_t requestor)
{
    m_transfers.erase(std::remove_if(m_transfers.begin(), m_transfers.end(),
                                     [requestor](const Transfer &t) { return t.requestor == requestor; }),
                      m_transfers.end());
    if (m_transfers.empty()) {
        m_stallCheck->stop();
    }
}

void X11ClipboardConverter::dropStalledTransfers()
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

void X11ClipboardConverter::pieceTaken(xcb_window_t requestor, xcb_atom_t property)
{
    const auto transfer = std::find_if(m_transfers.begin(), m_transfers.end(), [&](const Transfer &t) {
        return t.requestor == requestor && t.property == property;
    });
    if (transfer != m_transfers.end()) {
        sendNextPiece(*transfer);
    }
}

void X11ClipboardConverter::dropAllTransfers()
{
    m_stallCheck->stop();
    m_transfers.clear();
}
