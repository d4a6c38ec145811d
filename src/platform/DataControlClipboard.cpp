#include "platform/DataControlClipboard.h"

#include "platform/WaylandConnection.h"
#include "slots/SlotText.h"
#include "slots/TextEncoding.h"

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSocketNotifier>
#include <QTimer>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace {

// How long the owner of the clipboard may keep us waiting for the first piece
// of its text, and then for each further piece; and the compositor for an answer.
constexpr int AnswerTimeoutMs = 1500;
// How long the whole of a text may take: 1 GiB comes through a pipe in a few
// seconds, and an owner that trickles must not hold the bar for hours.
constexpr int WholeTextTimeoutMs = 30000;
// How long a clean exit waits for readers to take the rest of our text.
constexpr int HandOverTimeoutMs = 2000;
// A larger pipe lets a long text go in fewer, larger pieces.
constexpr int PipeBytes = 1 << 20;

const QString NoAnswer = QStringLiteral("The clipboard cannot be read: the program that holds it does not answer.");
const QString Broken =
    QStringLiteral("The clipboard cannot be read: the program that holds it stopped before it had handed over all "
                   "of its text.");
const QString TooSlow =
    QStringLiteral("The clipboard cannot be read: the program that holds it hands over its text too slowly.");
const QString DesktopSilent = QStringLiteral("The clipboard cannot be read: the Wayland compositor does not answer.");
const QString Withdrawn =
    QStringLiteral("The clipboard cannot be read: the Wayland compositor no longer lets the bar see the clipboard.");

QString tooLarge()
{
    return QStringLiteral("The clipboard text cannot be taken: it is larger than %1, the largest text the program "
                          "takes.")
        .arg(QLatin1String(LargestTextName));
}

// A reader that closes its end of the pipe early must not end the bar by
// SIGPIPE: the signal is held back for the write and taken if it came.
ssize_t writeQuietly(int fd, const char *data, size_t size)
{
    sigset_t pipeSignal;
    sigset_t before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    sigset_t pending;
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EPIPE && !alreadyPending) {
        const timespec none{};
        sigtimedwait(&pipeSignal, nullptr, &none);
        errno = EPIPE;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return written;
}

// Hands our text to one reader through the descriptor it gave, piece by piece
// as it takes them, so that neither a long text nor a reader that stops
// reading holds up the bar. Any number of them run at once.
class PipeWriter : public QObject
{
public:
    PipeWriter(int fd, QByteArray bytes, QObject *parent) : QObject(parent), m_fd(fd), m_bytes(std::move(bytes))
    {
        fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        fcntl(m_fd, F_SETPIPE_SZ, PipeBytes);
        m_writable = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
        connect(m_writable, &QSocketNotifier::activated, this, &PipeWriter::writeMore);
    }
    ~PipeWriter() override
    {
        delete m_writable;
        ::close(m_fd);
    }

    // At a clean exit: the rest of the text while the reader takes it, until the deadline.
    void finish(QDeadlineTimer deadline)
    {
        while (!m_done && !deadline.hasExpired()) {
            pollfd pipe{m_fd, POLLOUT, 0};
            if (poll(&pipe, 1, static_cast<int>(std::max<qint64>(0, deadline.remainingTime()))) > 0) {
                writeMore();
            }
        }
    }

private:
    void writeMore()
    {
        while (m_written < m_bytes.size()) {
            const ssize_t written =
                writeQuietly(m_fd, m_bytes.constData() + m_written, static_cast<size_t>(m_bytes.size() - m_written));
            if (written > 0) {
                m_written += written;
            } else if (written < 0 && errno == EAGAIN) {
                return; // the notifier tells when the reader has taken some
            } else if (written < 0 && errno == EINTR) {
                continue;
            } else {
                break; // the reader went away
            }
        }
        m_done = true;
        m_writable->setEnabled(false);
        deleteLater();
    }

    int m_fd;
    QByteArray m_bytes;
    qsizetype m_written = 0;
    bool m_done = false;
    QSocketNotifier *m_writable;
};

// The two clipboard manager protocols have the same messages in the same
// order under different names; the clipboard below speaks either through one
// of these two descriptions.
#define VELMORA_DATA_CONTROL_PROTOCOL(Name, prefix, highestVersion)                                                    \
    struct Name                                                                                                        \
    {                                                                                                                  \
        using Manager = prefix##manager_v1;                                                                            \
        using Device = prefix##device_v1;                                                                              \
        using Source = prefix##source_v1;                                                                              \
        using Offer = prefix##offer_v1;                                                                                \
        using DeviceListener = prefix##device_v1_listener;                                                             \
        using SourceListener = prefix##source_v1_listener;                                                             \
        using OfferListener = prefix##offer_v1_listener;                                                               \
        static constexpr const char *managerName = #prefix "manager_v1";                                               \
        static constexpr const wl_interface *managerInterface = &prefix##manager_v1_interface;                         \
        static constexpr uint32_t version = highestVersion;                                                            \
        static Device *device(Manager *m, wl_seat *seat) { return prefix##manager_v1_get_data_device(m, seat); }       \
        static Source *source(Manager *m) { return prefix##manager_v1_create_data_source(m); }                         \
        static void destroy(Manager *m) { prefix##manager_v1_destroy(m); }                                             \
        static void listen(Device *d, const DeviceListener *l, void *data)                                             \
        {                                                                                                              \
            prefix##device_v1_add_listener(d, l, data);                                                                \
        }                                                                                                              \
        static void select(Device *d, Source *s) { prefix##device_v1_set_selection(d, s); }                            \
        static void destroy(Device *d) { prefix##device_v1_destroy(d); }                                               \
        static void listen(Source *s, const SourceListener *l, void *data)                                             \
        {                                                                                                              \
            prefix##source_v1_add_listener(s, l, data);                                                                \
        }                                                                                                              \
        static void offer(Source *s, const char *type) { prefix##source_v1_offer(s, type); }                           \
        static void destroy(Source *s) { prefix##source_v1_destroy(s); }                                               \
        static void listen(Offer *o, const OfferListener *l, void *data)                                               \
        {                                                                                                              \
            prefix##offer_v1_add_listener(o, l, data);                                                                 \
        }                                                                                                              \
        static void receive(Offer *o, const char *type, int fd) { prefix##offer_v1_receive(o, type, fd); }             \
        static void destroy(Offer *o) { prefix##offer_v1_destroy(o); }                                                 \
    };
VELMORA_DATA_CONTROL_PROTOCOL(ExtProtocol, ext_data_control_, 1)
VELMORA_DATA_CONTROL_PROTOCOL(WlrProtocol, zwlr_data_control_, 2)
#undef VELMORA_DATA_CONTROL_PROTOCOL

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
        // Ours while it is the clipboard, and the text it hands out, as UTF-8.
        typename P::Source *source = nullptr;
        QByteArray text;
        // Emptied by the bar, to be passed on unless a copy comes first.
        bool clearing = false;
    };

    explicit DataControlClipboard(std::unique_ptr<State> state) : m_state(std::move(state)) {}
    void withdraw();
    bool receive(const Offer &offer, QByteArray &text, QString &error) const;

    static void offerIntroduced(void *data, typename P::Device *, typename P::Offer *proxy);
    static void selectionChanged(void *data, typename P::Device *, typename P::Offer *proxy);
    static void primarySelectionChanged(void *data, typename P::Device *, typename P::Offer *proxy);
    static void deviceFinished(void *data, typename P::Device *);
    static void typeOffered(void *data, typename P::Offer *, const char *type);
    static void textAsked(void *data, typename P::Source *, const char *type, int32_t fd);
    static void sourceCancelled(void *data, typename P::Source *source);
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
    WaylandConnection *connection = m_state->connection.get();
    // Readers that are still taking our text get the rest of it first: once we
    // are gone they would see its end where it is cut off.
    const QDeadlineTimer deadline(HandOverTimeoutMs);
    for (PipeWriter *writer : connection->findChildren<PipeWriter *>(Qt::FindDirectChildrenOnly)) {
        writer->finish(deadline);
    }
    withdraw();
    if (m_state->selection != nullptr) {
        dropOffer(m_state->selection);
    }
    P::destroy(m_state->device);
    wl_seat_destroy(m_state->seat);
    P::destroy(m_state->manager);
    connection->flush();
}

template <typename P> void DataControlClipboard<P>::withdraw()
{
    if (m_state->source != nullptr) {
        P::destroy(m_state->source);
        m_state->source = nullptr;
    }
    m_state->text.clear();
}

template <typename P> void DataControlClipboard<P>::clear()
{
    // Emptied once the present event is handled, unless a copy follows: a
    // clipboard manager takes an empty clipboard at once, and its text would
    // then come after the copy's and replace it.
    m_state->clearing = true;
    State *state = m_state.get();
    QTimer::singleShot(0, state->connection.get(), [state] {
        if (std::exchange(state->clearing, false) && !state->finished) {
            P::select(state->device, nullptr);
            state->connection->flush();
        }
    });
}

template <typename P> void DataControlClipboard<P>::setText(const QByteArray &utf8)
{
    m_state->clearing = false;
    if (m_state->finished) {
        qWarning("The Wayland compositor no longer lets the bar set the clipboard.");
        return;
    }
    typename P::Source *source = P::source(m_state->manager);
    static const typename P::SourceListener sourceListener = {&textAsked, &sourceCancelled};
    P::listen(source, &sourceListener, m_state.get());
    // STRING is Latin-1: a text beyond it is not offered as STRING rather than
    // handed over with its other characters lost.
    const bool latin1 = latin1FromUtf8(utf8);
    for (const QByteArray &type : offeredTextTypes()) {
        if (latin1 || !isLatin1TextType(type)) {
            P::offer(source, type.constData());
        }
    }
    P::select(m_state->device, source);
    // The old source goes once the new one has taken its place, so that the
    // clipboard is never empty in between.
    withdraw();
    m_state->source = source;
    // The slot's own bytes, shared: every reader gets them as they are.
    m_state->text = utf8;
    m_state->connection->flush();
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
    if (state.source != nullptr) {
        text = state.text;
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
    QByteArray piece(PipeBytes, Qt::Uninitialized);
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
            error = tooLarge();
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

template <typename P>
void DataControlClipboard<P>::textAsked(void *data, typename P::Source *, const char *type, int32_t fd)
{
    auto *state = static_cast<State *>(data);
    QByteArray bytes = state->text;
    if (isLatin1TextType(QByteArray(type))) {
        latin1FromUtf8(state->text, &bytes);
    }
    new PipeWriter(fd, bytes, state->connection.get());
}

template <typename P> void DataControlClipboard<P>::sourceCancelled(void *data, typename P::Source *source)
{
    // Another program's text is the clipboard now.
    auto *state = static_cast<State *>(data);
    P::destroy(source);
    if (state->source == source) {
        state->source = nullptr;
        state->text.clear();
    }
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
