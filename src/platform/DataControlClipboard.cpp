#include "platform/DataControlClipboard.h"

#include "platform/DataControlProtocol.h"
#include "platform/DataControlSource.h"
#include "platform/PipeWriter.h"
#include "platform/WaylandConnection.h"
#include "slots/SlotText.h"
#include "slots/TextEncoding.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

// How long the owner of the clipboard may keep us waiting for the first piece
// of its text, and then for each further piece; and the compositor for an answer.
constexpr int AnswerTimeoutMs = 1500;
// How long the whole of a text may take: 1 GiB comes through a pipe in a few
// seconds, and an owner that trickles must not hold the bar for hours.
constexpr int WholeTextTimeoutMs = 30000;
// How long a clean exit waits for readers to take the rest of our text.
constexpr int HandOverTimeoutMs = 2000;

const QString NoAnswer = ownerSilentReason();
const QString Broken = ownerStoppedReason();
const QString TooSlow =
    QStringLiteral("The clipboard cannot be read: the program that holds it hands over its text too slowly.");
const QString DesktopSilent = QStringLiteral("The clipboard cannot be read: the Wayland compositor does not answer.");
const QString Withdrawn =
    QStringLiteral("The clipboard cannot be read: the Wayland compositor no longer lets the bar see the clipboard.");

// The seat's clipboard through a clipboard manager protocol: it sees and sets
// the clipboard whichever window has the focus, and needs no window at all.
template <typename P> class DataControlClipboard final : public Clipboard
{
public:
    static std::unique_ptr<DataControlClipboard> bind(std::unique_ptr<WaylandConnection> connection);
    ~DataControlClipboard() override;

    void clear() override;
    void setText(const QByteArray &utf8) override;
    bool readText(QByteArray &utf8, QString &error) const override;

private:
    // An offer of another client, with the types it named.
    struct Offer
    {
        typename P::Offer *proxy;
        QByteArrayList types;
    };
    // What the compositor tells us changes between our own calls, also inside
    // a read, so it lives apart from the clipboard's face.
    struct State
    {
        std::unique_ptr<WaylandConnection> connection;
        typename P::Manager *manager = nullptr;
        wl_seat *seat = nullptr;
        typename P::Device *device = nullptr;
        bool finished = false;
        // The clipboard as the compositor last told it; none when it is empty.
        Offer *selection = nullptr;
        // Our own text on the clipboard.
        std::unique_ptr<DataControlSource<P>> source;
    };

    explicit DataControlClipboard(std::unique_ptr<State> state) : m_state(std::move(state)) {}
    bool receive(const Offer &offer, QByteArray &text, QString &error) const;

    static void offerIntroduced(void *data, typename P::Device *, typename P::Offer *proxy);
    static void selectionChanged(void *data, typename P::Device *, typename P::Offer *proxy);
    static void primarySelectionChanged(void *data, typename P::Device *, typename P::Offer *proxy);
    static void deviceFinished(void *data, typename P::Device *);
    static void typeOffered(void *data, typename P::Offer *, const char *type);
    static Offer *offerOf(typename P::Offer *proxy)
    {
        return static_cast<Offer *>(wl_proxy_get_user_data(reinterpret_cast<wl_proxy *>(proxy)));
    }
    static void dropOffer(Offer *offer);

    std::unique_ptr<State> m_state;
};

template <typename P>
std::unique_ptr<DataControlClipboard<P>> DataControlClipboard<P>::bind(std::unique_ptr<WaylandConnection> connection)
{
    const WaylandConnection::Global *manager = connection->global(P::managerName);
    const WaylandConnection::Global *seat = connection->global("wl_seat");
    if (manager == nullptr || seat == nullptr) {
        return nullptr;
    }
    auto state = std::make_unique<State>();
    wl_registry *registry = connection->registry();
    state->manager = static_cast<typename P::Manager *>(
        wl_registry_bind(registry, manager->name, P::managerInterface, std::min(manager->version, P::version)));
    state->seat = static_cast<wl_seat *>(wl_registry_bind(registry, seat->name, &wl_seat_interface, 1));
    state->device = P::device(state->manager, state->seat);
    static const typename P::DeviceListener deviceListener = {&offerIntroduced, &selectionChanged, &deviceFinished,
                                                              &primarySelectionChanged};
    P::listen(state->device, &deviceListener, state.get());
    state->source =
        std::make_unique<DataControlSource<P>>(connection.get(), state->manager, state->device, state->finished);
    state->connection = std::move(connection);
    std::unique_ptr<DataControlClipboard> clipboard(new DataControlClipboard(std::move(state)));
    // The first selection event comes with the answer.
    if (!clipboard->m_state->connection->roundTrip(QDeadlineTimer(AnswerTimeoutMs))) {
        return nullptr;
    }
    return clipboard;
}

template <typename P> DataControlClipboard<P>::~DataControlClipboard()
{
    m_state->source->finishReaders(QDeadlineTimer(HandOverTimeoutMs));
    m_state->source->withdraw();
    if (m_state->selection != nullptr) {
        dropOffer(m_state->selection);
    }
    P::destroy(m_state->device);
    wl_seat_destroy(m_state->seat);
    P::destroy(m_state->manager);
    m_state->connection->flush();
}

template <typename P> void DataControlClipboard<P>::clear()
{
    m_state->source->clear();
}

template <typename P> void DataControlClipboard<P>::setText(const QByteArray &utf8)
{
    m_state->source->setText(utf8);
}

template <typename P> bool DataControlClipboard<P>::readText(QByteArray &text, QString &error) const
{
    text.clear();
    State &state = *m_state;
    // Whatever the compositor said before now is heard first.
    if (!state.connection->roundTrip(QDeadlineTimer(AnswerTimeoutMs))) {
        error = DesktopSilent;
        return false;
    }
    if (state.finished) {
        error = Withdrawn;
        return false;
    }
    // Ours is read without asking ourselves through a pipe, which would wait
    // on this very read; so is what the bar's own window (a text field of the
    // editor) put on the clipboard through XWayland.
    if (state.source->owns()) {
        text = state.source->text();
        return true;
    }
    const QClipboard *qtClipboard = QGuiApplication::clipboard();
    if (qtClipboard->ownsClipboard()) {
        const QMimeData *data = qtClipboard->mimeData();
        text = data != nullptr && data->hasText() ? data->text().toUtf8() : QByteArray();
        return true;
    }
    if (state.selection == nullptr) {
        return true;
    }
    return receive(*state.selection, text, error);
}

template <typename P> bool DataControlClipboard<P>::receive(const Offer &offer, QByteArray &text, QString &error) const
{
    const QByteArray type = preferredTextType(offer.types);
    if (type.isEmpty()) {
        return true; // a picture, say: no text
    }
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = Broken;
        return false;
    }
    P::receive(offer.proxy, type.constData(), ends[1]);
    m_state->connection->flush();
    ::close(ends[1]);
    const std::unique_ptr<int, void (*)(int *)> reading(&ends[0], [](int *fd) { ::close(*fd); });

    // Taken straight into the text as the pieces come, so that a long text is
    // never held twice.
    const bool latin1 = isLatin1TextType(type);
    QByteArray piece(PipeWriter::PipeBytes, Qt::Uninitialized);
    qint64 bytes = 0;
    const QDeadlineTimer whole(WholeTextTimeoutMs);
    for (;;) {
        pollfd pipe{ends[0], POLLIN, 0};
        int ready = 0;
        do {
            ready = poll(&pipe, 1, static_cast<int>(std::min<qint64>(AnswerTimeoutMs, whole.remainingTime())));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) {
            error = whole.hasExpired() ? TooSlow : bytes == 0 ? NoAnswer : Broken;
            text = QByteArray();
            return false;
        }
        const ssize_t size = ::read(ends[0], piece.data(), static_cast<size_t>(piece.size()));
        if (size < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (size < 0) {
            error = Broken;
            text = QByteArray();
            return false;
        }
        if (size == 0) {
            break;
        }
        bytes += size;
        if (bytes > LargestTextBytes) {
            error = textTooLargeReason();
            text = QByteArray();
            return false;
        }
        if (latin1) {
            appendLatin1AsUtf8(text, QByteArrayView(piece.constData(), size));
        } else {
            text.append(piece.constData(), size);
        }
    }
    // The end of the pipe is also all an owner that died halfway leaves us.
    // Its clipboard goes with it, which the compositor tells us once it has
    // seen the owner go: two answers make sure it has looked.
    const Offer *read = &offer;
    const bool stands = m_state->connection->roundTrip(QDeadlineTimer(AnswerTimeoutMs)) &&
                        m_state->connection->roundTrip(QDeadlineTimer(AnswerTimeoutMs)) && m_state->selection == read;
    if (!stands) {
        error = Broken;
        text = QByteArray();
        return false;
    }
    text = validUtf8(text);
    return true;
}

template <typename P>
void DataControlClipboard<P>::offerIntroduced(void *, typename P::Device *, typename P::Offer *proxy)
{
    auto *offer = new Offer{proxy, {}};
    static const typename P::OfferListener offerListener = {&typeOffered};
    P::listen(proxy, &offerListener, offer);
}

template <typename P> void DataControlClipboard<P>::typeOffered(void *data, typename P::Offer *, const char *type)
{
    static_cast<Offer *>(data)->types.append(QByteArray(type));
}

template <typename P>
void DataControlClipboard<P>::selectionChanged(void *data, typename P::Device *, typename P::Offer *proxy)
{
    auto *state = static_cast<State *>(data);
    if (state->selection != nullptr && state->selection->proxy != proxy) {
        dropOffer(state->selection);
    }
    state->selection = proxy == nullptr ? nullptr : offerOf(proxy);
}

template <typename P>
void DataControlClipboard<P>::primarySelectionChanged(void *, typename P::Device *, typename P::Offer *proxy)
{
    // Only the clipboard counts, not the text last selected.
    if (proxy != nullptr) {
        dropOffer(offerOf(proxy));
    }
}

template <typename P> void DataControlClipboard<P>::deviceFinished(void *data, typename P::Device *)
{
    static_cast<State *>(data)->finished = true;
}

template <typename P> void DataControlClipboard<P>::dropOffer(Offer *offer)
{
    P::destroy(offer->proxy);
    delete offer;
}

} // namespace

extern "C" __attribute__((visibility("default"))) Clipboard *velmora_wayland_clipboard(ClipboardSession &session,
                                                                                       ClipboardChoice &choice)
{
    auto connection = std::make_unique<WaylandConnection>();
    session.reached = connection->open(session.unreachedReason);
    if (session.reached) {
        session.seat = connection->global("wl_seat") != nullptr;
        session.extDataControl = connection->global(ExtProtocol::managerName) != nullptr;
        session.wlrDataControl = connection->global(WlrProtocol::managerName) != nullptr;
        session.gnome = connection->global("gtk_shell1") != nullptr;
    }
    choice = chooseClipboardWay(session);
    std::unique_ptr<Clipboard> clipboard;
    if (choice.way == ClipboardWay::ExtDataControl) {
        clipboard = DataControlClipboard<ExtProtocol>::bind(std::move(connection));
    } else if (choice.way == ClipboardWay::WlrDataControl) {
        clipboard = DataControlClipboard<WlrProtocol>::bind(std::move(connection));
    }
    if (!clipboard && (choice.way == ClipboardWay::ExtDataControl || choice.way == ClipboardWay::WlrDataControl)) {
        session.reached = false;
        session.unreachedReason = QStringLiteral("its clipboard manager protocol does not answer");
        choice = chooseClipboardWay(session);
    }
    return clipboard.release();
}
