#include "platform/X11SelectionReader.h"

#include "platform/ClipboardWay.h"

#include "slots/SlotText.h"
#include "slots/TextEncoding.h"

#include <QDeadlineTimer>
#include <QStringDecoder>

#include <algorithm>

namespace {

// In the order of X11SelectionReader::Atom.
const char *const AtomNames[] = {
    "CLIPBOARD", "TARGETS", "INCR",       "VELMORA_CLIPBOARD", "UTF8_STRING", "text/plain;charset=utf-8",
    "STRING",    "TEXT",    "text/plain", "COMPOUND_TEXT",
};

// How long the owner may keep us waiting for its first answer, and then for
// each piece of its text; and for the whole of it, which is ample for the
// largest text we take from an owner that hands it over at its own pace.
constexpr int AnswerTimeoutMs = 1500;
constexpr int ReadDeadlineSeconds = 30;

const QString NoAnswer = ownerSilentReason();
const QString Broken = ownerStoppedReason();
const QString TooSlow = QStringLiteral("The clipboard cannot be read: the program that holds it did not hand over all "
                                       "of its text within %1 seconds.")
                            .arg(ReadDeadlineSeconds);
const QString Cancelled = QStringLiteral("The clipboard cannot be read: it was cancelled.");
const QString Refused =
    QStringLiteral("The clipboard cannot be read: the program that holds it refused to hand over its text.");
const QString NotHandedOver = QStringLiteral(
    "The clipboard cannot be read: the program that holds it said it had handed over its text, but did not.");
const QString NotText =
    QStringLiteral("The clipboard cannot be read: the program that holds it handed over %1 data instead of text.");
const QString UnknownCharacters =
    QStringLiteral("The clipboard cannot be read: its text is in a character set the program does not read.");

// COMPOUND_TEXT as older X programs hand it over: ISO 2022 with ASCII on the
// left and Latin-1 on the right, and UTF-8 between ESC % G and ESC % @. Text in
// any other character set is refused rather than guessed at.
bool decodeCompoundText(const QByteArray &bytes, QByteArray &text)
{
    QByteArray utf8;
    bool inUtf8 = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes.at(i));
        if (c == 0x1b) {
            const QByteArray escape = bytes.mid(i, 3);
            if (escape == "\x1b%G" || escape == "\x1b%@") {
                inUtf8 = escape == "\x1b%G";
            } else if (inUtf8 || (escape != "\x1b(B" && escape != "\x1b-A")) {
                return false;
            }
            i += escape.size() - 1;
        } else if (inUtf8 || c < 0x80) {
            utf8 += char(c);
        } else if (c >= 0xa0) {
            utf8 += QString(QChar(c)).toUtf8();
        } else {
            return false; // a control of the right half, such as a change of direction
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = QString(decoder.decode(utf8)).toUtf8();
    return !decoder.hasError();
}

} // namespace

X11SelectionReader::X11SelectionReader(xcb_connection_t *c) : m_c(c), m_wait(ReadDeadlineSeconds * 1000)
{
    const std::vector<xcb_atom_t> atoms = internAtoms(c, AtomNames, AtomCount);
    std::copy(atoms.begin(), atoms.end(), m_atoms);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    m_window = xcb_generate_id(c);
    // Pieces of a long text arrive as property changes on this window.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
}

X11SelectionReader::~X11SelectionReader()
{
    xcb_destroy_window(m_c, m_window);
    xcb_flush(m_c);
}

template <typename Wanted> XcbReply<xcb_generic_event_t> X11SelectionReader::next(Wanted wanted)
{
    xcb_flush(m_c);
    const QDeadlineTimer silence(AnswerTimeoutMs);
    for (;;) {
        while (auto event = xcbReply(xcb_poll_for_event(m_c))) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_DESTROY_NOTIFY &&
                reinterpret_cast<xcb_destroy_notify_event_t *>(event.get())->window == m_owner) {
                return xcbReply<xcb_generic_event_t>(nullptr);
            }
            if (wanted(type, event.get())) {
                return event;
            }
        }
        if (xcb_connection_has_error(m_c) != 0) {
            return xcbReply<xcb_generic_event_t>(nullptr);
        }
        switch (m_wait.waitForInput(xcb_get_file_descriptor(m_c), int(silence.remainingTime()))) {
        case ClipboardWait::Ready:
            continue;
        case ClipboardWait::Silent:
            break;
        case ClipboardWait::Late:
            m_stopped = TooSlow;
            break;
        case ClipboardWait::Cancelled:
            m_stopped = Cancelled;
            break;
        }
        return xcbReply<xcb_generic_event_t>(nullptr);
    }
}

bool X11SelectionReader::fail(const QString &otherwise, QString &reason) const
{
    reason = m_stopped.isEmpty() ? otherwise : m_stopped;
    return false;
}

bool X11SelectionReader::convert(xcb_atom_t target, xcb_atom_t &property)
{
    xcb_convert_selection(m_c, m_window, m_atoms[Clipboard], target, m_atoms[Property], XCB_CURRENT_TIME);
    const auto answer = next([this](int type, xcb_generic_event_t *event) {
        return type == XCB_SELECTION_NOTIFY &&
               reinterpret_cast<xcb_selection_notify_event_t *>(event)->requestor == m_window;
    });
    if (answer) {
        property = reinterpret_cast<xcb_selection_notify_event_t *>(answer.get())->property;
    }
    return answer != nullptr;
}

// Reads the property and deletes it, which tells an owner handing over its
// text in pieces to put the next piece there.
XcbReply<xcb_get_property_reply_t> X11SelectionReader::takeProperty()
{
    const uint32_t words = static_cast<uint32_t>(LargestTextBytes / 4 + 1);
    return xcbReply(xcb_get_property_reply(
        m_c, xcb_get_property(m_c, 1, m_window, m_atoms[Property], XCB_GET_PROPERTY_TYPE_ANY, 0, words), nullptr));
}

xcb_atom_t X11SelectionReader::textTarget(const xcb_get_property_reply_t *targets) const
{
    const auto *offered = static_cast<const xcb_atom_t *>(xcb_get_property_value(targets));
    const int count = targets->format == 32 ? xcb_get_property_value_length(targets) / 4 : 0;
    for (int wanted = Utf8String; wanted <= CompoundText; ++wanted) {
        if (std::find(offered, offered + count, m_atoms[wanted]) != offered + count) {
            return m_atoms[wanted];
        }
    }
    return XCB_ATOM_NONE;
}

bool X11SelectionReader::isText(xcb_atom_t type) const
{
    const xcb_atom_t *begin = m_atoms + Utf8String;
    const xcb_atom_t *end = m_atoms + CompoundText + 1;
    return type != XCB_ATOM_NONE && std::find(begin, end, type) != end;
}

QString X11SelectionReader::atomName(xcb_atom_t atom) const
{
    const auto name = xcbReply(xcb_get_atom_name_reply(m_c, xcb_get_atom_name(m_c, atom), nullptr));
    return name ? QString::fromLatin1(xcb_get_atom_name_name(name.get()), xcb_get_atom_name_name_length(name.get()))
                : QString::number(atom);
}

bool X11SelectionReader::tooLarge(qint64 bytes, QString &reason)
{
    if (bytes <= LargestTextBytes) {
        return false;
    }
    reason = textTooLargeReason();
    return true;
}

bool X11SelectionReader::append(const xcb_get_property_reply_t *piece, QByteArray &text, QString &reason)
{
    // Numbers, atoms or a picture would be taken for characters.
    if (piece->format != 8 || !isText(piece->type)) {
        reason = NotText.arg(atomName(piece->type));
        return false;
    }
    const int size = xcb_get_property_value_length(piece);
    m_bytes += size;
    if (tooLarge(m_bytes + piece->bytes_after, reason)) {
        return false;
    }
    const auto *bytes = static_cast<const char *>(xcb_get_property_value(piece));
    m_isCompound |= m_bytes == size && piece->type == m_atoms[CompoundText];
    if (m_isCompound) {
        m_compound.append(bytes, size);
        return true;
    }
    // Taken straight into the text, which grows in place: a long text is
    // never held twice.
    m_isLatin1 |= m_bytes == size && piece->type == m_atoms[String];
    if (m_isLatin1) {
        appendLatin1AsUtf8(text, QByteArrayView(bytes, size));
    } else {
        text.append(bytes, size);
    }
    return true;
}

bool X11SelectionReader::finish(QByteArray &text, QString &reason)
{
    if (m_isCompound && !decodeCompoundText(m_compound, text)) {
        reason = UnknownCharacters;
        return false;
    }
    text = validUtf8(text);
    return true;
}

bool X11SelectionReader::read(QByteArray &text, QString &reason)
{
    const auto owner =
        xcbReply(xcb_get_selection_owner_reply(m_c, xcb_get_selection_owner(m_c, m_atoms[Clipboard]), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        return true;
    }
    // An owner that dies takes its window with it; that ends the wait at once.
    m_owner = owner->owner;
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_c, m_owner, XCB_CW_EVENT_MASK, &structure);
    xcb_atom_t property = XCB_ATOM_NONE;
    if (!convert(m_atoms[Targets], property)) {
        return fail(NoAnswer, reason);
    }
    // An owner that lists no formats may still give text when asked for it;
    // one that offers text has to give it.
    xcb_atom_t target = m_atoms[Utf8String];
    const auto targets = property != XCB_ATOM_NONE ? takeProperty() : xcbReply<xcb_get_property_reply_t>(nullptr);
    const bool listed = targets && targets->type != XCB_ATOM_NONE;
    if (listed) {
        target = textTarget(targets.get());
    }
    if (target == XCB_ATOM_NONE) {
        return true; // a picture, say: no text
    }
    if (!convert(target, property)) {
        return fail(NoAnswer, reason);
    }
    if (property == XCB_ATOM_NONE && !listed) {
        return true;
    }
    if (property == XCB_ATOM_NONE) {
        reason = Refused;
        return false;
    }
    const auto first = property == m_atoms[Property] ? takeProperty() : xcbReply<xcb_get_property_reply_t>(nullptr);
    if (!first || first->type == XCB_ATOM_NONE) {
        reason = NotHandedOver;
        return false;
    }
    if (first->type != m_atoms[Incr]) {
        return append(first.get(), text, reason) && finish(text, reason);
    }
    // In pieces: the property gave the least size; each piece follows our
    // deletion of the last, and an empty piece ends the text.
    if (xcb_get_property_value_length(first.get()) >= 4) {
        const qint64 least = *static_cast<const uint32_t *>(xcb_get_property_value(first.get()));
        if (tooLarge(least, reason)) {
            return false;
        }
        text.reserve(least);
    }
    for (;;) {
        const auto notice = next([this](int type, xcb_generic_event_t *event) {
            const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
            return type == XCB_PROPERTY_NOTIFY && change->window == m_window && change->atom == m_atoms[Property] &&
                   change->state == XCB_PROPERTY_NEW_VALUE;
        });
        const auto piece = notice ? takeProperty() : xcbReply<xcb_get_property_reply_t>(nullptr);
        if (!piece) {
            return fail(Broken, reason);
        }
        if (xcb_get_property_value_length(piece.get()) == 0) {
            return finish(text, reason);
        }
        if (!append(piece.get(), text, reason)) {
            return false;
        }
    }
}
