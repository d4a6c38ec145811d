#include "remote/RemoteServer.h"

#include "remote/BarSockets.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A request is one short line; a peer that sends more, or does not ask and
// take the offer within this time, is no velmora of ours or has given up.
constexpr qsizetype LongestRequest = 256;
constexpr int RequestTimeoutMs = 5000;
// How long a bar out of descriptors leaves its queue of connections alone.
constexpr int OutOfDescriptorsPauseMs = 100;

qint64 monotonicNs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// One asker: its connection, what it has sent so far, and how far the exchange
// has come. Gone once answered, when the asker leaves, or after the time.
class Asker : public QObject
{
public:
    using Take = std::function<void(const QString &line, const RemoteServer::Reply &reply)>;

    Asker(int fd, Take take, QObject *parent);
    ~Asker() override { close(m_fd); }

    void answer(int status, const QString &message);

private:
    void readable();
    void leave();
    void write(const QByteArray &bytes);

    int m_fd;
    Take m_take;
    QSocketNotifier *m_notifier;
    // The time to ask; once the request is taken, the beat of the signs of work.
    QTimer *m_timer;
    QByteArray m_received;
    QString m_line;
    enum Stage { Asking, Offered, Working } m_stage = Asking;
    RemoteServer::Reply m_reply;
};

} // namespace

struct RemoteServer::Reply::State
{
    QPointer<QObject> asker;
    bool answered = false;
    bool gone = false;
    std::function<void()> whenGone;
};

namespace {

Asker::Asker(int fd, Take take, QObject *parent)
    : QObject(parent), m_fd(fd), m_take(std::move(take)),
      m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this)), m_timer(new QTimer(this))
{
    m_reply.state = std::make_shared<RemoteServer::Reply::State>();
    m_reply.state->asker = this;
    connect(m_notifier, &QSocketNotifier::activated, this, &Asker::readable);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_stage == Working) {
            write(QByteArray(1, BarSockets::Offer));
        } else {
            leave();
        }
    });
    m_timer->start(RequestTimeoutMs);
}

void Asker::readable()
{
    char buffer[LongestRequest + 1];
    const ssize_t size = recv(m_fd, buffer, sizeof buffer, 0);
    if (size < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (size <= 0) {
        leave();
        return;
    }
    if (m_stage == Working) {
        return; // nothing more is asked of it; only its leaving counts
    }
    m_received.append(buffer, size);
    const qsizetype end = m_received.indexOf('\n');
    if (m_received.size() > LongestRequest + 1) {
        leave();
        return;
    }
    if (m_stage == Asking && end >= 0) {
        m_line = QString::fromUtf8(m_received.left(end)).trimmed();
        m_received.remove(0, end + 1);
        m_stage = Offered;
        write(QByteArray(1, BarSockets::Offer));
    }
    if (m_stage == Offered && m_received.contains(BarSockets::Take)) {
        m_stage = Working;
        m_timer->setSingleShot(false);
        m_timer->start(BarSockets::WorkingSignMs);
        m_take(m_line, m_reply);
    }
}

void Asker::leave()
{
    m_notifier->setEnabled(false);
    m_timer->stop();
    RemoteServer::Reply::State &state = *m_reply.state;
    const bool unanswered = !std::exchange(state.gone, true) && !state.answered;
    if (unanswered && m_stage == Working && state.whenGone) {
        const std::function<void()> action = state.whenGone;
        action();
    }
    deleteLater();
}

void Asker::answer(int status, const QString &message)
{
    m_notifier->setEnabled(false);
    m_timer->stop();
    write(QByteArray::number(status) + ' ' + message.toUtf8());
    deleteLater();
}

void Asker::write(const QByteArray &bytes)
{
    // The asker reads all it is sent; it is short, and a full socket means the
    // asker is gone.
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t part = ::send(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (part <= 0 && errno != EINTR) {
            break;
        }
        sent += qMax<ssize_t>(part, 0);
    }
}

} // namespace

void RemoteServer::Reply::operator()(int status, const QString &message) const
{
    if (waiting()) {
        state->answered = true;
        static_cast<Asker *>(state->asker.data())->answer(status, message);
    }
}

bool RemoteServer::Reply::waiting() const
{
    return state->asker && !state->answered && !state->gone;
}

void RemoteServer::Reply::whenGone(std::function<void()> action) const
{
    state->whenGone = std::move(action);
}

RemoteServer::RemoteServer(Handler handler, QObject *parent) : QObject(parent), m_handler(std::move(handler)) {}

RemoteServer::~RemoteServer()
{
    if (m_socket >= 0) {
        close(m_socket);
        unlink(m_path.constData());
    }
}

bool RemoteServer::listen(QString &error)
{
    // A bar's age counts from here; the socket name carries it.
    const qint64 started = monotonicNs();
    std::string why;
    const std::string folder = BarSockets::folderForNewBar(why);
    if (folder.empty()) {
        error = QString::fromStdString(why);
        return false;
    }
    BarSockets::removeLeftovers(BarSockets::folders(why));
    m_path =
        QByteArray::fromStdString(folder + '/' + BarSockets::socketName(started, QCoreApplication::applicationPid()));
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_path.size() >= qsizetype(sizeof address.sun_path)) {
        errno = ENAMETOOLONG;
    } else if (fd >= 0) {
        std::memcpy(address.sun_path, m_path.constData(), size_t(m_path.size()));
        // As long a queue as the system allows: many requests at once (a script,
        // keys held down) wait there until the bar takes them.
        if (bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 &&
            ::listen(fd, SOMAXCONN) == 0) {
            m_socket = fd;
            m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, &RemoteServer::accept);
            return true;
        }
    }
    error = QStringLiteral("%1: %2").arg(QFile::decodeName(m_path), QString::fromLocal8Bit(std::strerror(errno)));
    if (fd >= 0) {
        close(fd);
    }
    return false;
}

void RemoteServer::accept()
{
    for (;;) {
        const int fd = accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            break;
        }
        auto *asker = new Asker(
            fd, [this](const QString &line, const Reply &reply) { answer(line, reply); }, this);
        // A descriptor is free again for a connection that waited for one.
        connect(asker, &QObject::destroyed, m_notifier, [this] { m_notifier->setEnabled(true); });
    }
    if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        // Out of descriptors, the next connection stays in the queue, and the
        // notifier would report it again at once, without end.
        m_notifier->setEnabled(false);
        QTimer::singleShot(OutOfDescriptorsPauseMs, m_notifier, [this] { m_notifier->setEnabled(true); });
    }
}

void RemoteServer::answer(const QString &line, const Reply &reply)
{
    const CommandLineRequest request = parseCommandLine(requestWords(line.toStdString()));
    const bool forTheBar = request.kind == CommandLineRequest::Copy || request.kind == CommandLineRequest::Capture ||
                           request.kind == CommandLineRequest::Show;
    if (!forTheBar) {
        reply(ExitBadRequest, QStringLiteral("the bar does not understand '%1'").arg(line.left(LongestRequest)));
        return;
    }
    // Not inside the socket's signal: a handler that waits on a message box
    // would see the asker deleted under it.
    QMetaObject::invokeMethod(
        this, [this, request, reply] { m_handler(request, reply); }, Qt::QueuedConnection);
}
