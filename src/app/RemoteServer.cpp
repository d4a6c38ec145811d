#include "RemoteServer.h"

#include "BarSockets.h"

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

// A request is one short line; a peer that sends more, or nothing for this
// long, is no velmora of ours.
constexpr qsizetype LongestRequest = 256;
constexpr int RequestTimeoutMs = 5000;

qint64 monotonicNs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// One asker: its connection, what it has sent so far, and whether it has been
// answered. Gone once answered, when the asker leaves, or after the time.
class Asker : public QObject
{
public:
    Asker(int fd, QObject *parent)
        : QObject(parent), m_fd(fd), m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
    {
        QTimer::singleShot(RequestTimeoutMs, this, &QObject::deleteLater);
    }
    ~Asker() override { close(m_fd); }

    QSocketNotifier *notifier() const { return m_notifier; }

    // The line once it is whole; empty while it is not, with gone set when
    // the asker has left or sent too much.
    QString readLine(bool &gone)
    {
        char buffer[LongestRequest + 1];
        const ssize_t size = recv(m_fd, buffer, sizeof buffer, 0);
        gone = size == 0 || (size < 0 && errno != EAGAIN && errno != EINTR);
        if (size > 0) {
            m_line.append(buffer, size);
        }
        gone |= m_line.size() > LongestRequest;
        const qsizetype end = m_line.indexOf('\n');
        return end < 0 || gone ? QString() : QString::fromUtf8(m_line.left(end)).trimmed();
    }

    void send(int status, const QString &message)
    {
        const QByteArray bytes = QByteArray::number(status) + ' ' + message.toUtf8();
        // The asker waits for the whole answer; it is short, and a full
        // socket means the asker is gone.
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t part = ::send(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (part <= 0 && errno != EINTR) {
                break;
            }
            sent += qMax<ssize_t>(part, 0);
        }
        deleteLater();
    }

private:
    int m_fd;
    QSocketNotifier *m_notifier;
    QByteArray m_line;
};

} // namespace

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
    const std::string folder = BarSockets::folder(true, why);
    if (folder.empty()) {
        error = QString::fromStdString(why);
        return false;
    }
    BarSockets::removeLeftovers(folder);
    m_path =
        QByteArray::fromStdString(folder + '/' + BarSockets::socketName(started, QCoreApplication::applicationPid()));
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_path.size() >= qsizetype(sizeof address.sun_path)) {
        errno = ENAMETOOLONG;
    } else if (fd >= 0) {
        std::memcpy(address.sun_path, m_path.constData(), size_t(m_path.size()));
        if (bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 && ::listen(fd, 16) == 0) {
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
    for (int fd; (fd = accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;) {
        auto *asker = new Asker(fd, this);
        connect(asker->notifier(), &QSocketNotifier::activated, asker, [this, asker] {
            bool gone = false;
            const QString line = asker->readLine(gone);
            if (gone) {
                asker->deleteLater();
            } else if (!line.isNull()) {
                asker->notifier()->setEnabled(false);
                // Only the first answer counts, and the asker may have gone by then.
                auto answered = std::make_shared<bool>(false);
                answer(line, [answered, to = QPointer<Asker>(asker)](int status, const QString &message) {
                    if (!std::exchange(*answered, true) && to) {
                        to->send(status, message);
                    }
                });
            }
        });
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
