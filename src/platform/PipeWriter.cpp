#include "platform/PipeWriter.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace {

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

} // namespace

PipeWriter::PipeWriter(int fd, QByteArray bytes, QObject *parent) : QObject(parent), m_fd(fd), m_bytes(std::move(bytes))
{
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    fcntl(m_fd, F_SETPIPE_SZ, PipeBytes);
    m_writable = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
    connect(m_writable, &QSocketNotifier::activated, this, &PipeWriter::writeMore);
}

PipeWriter::~PipeWriter()
{
    delete m_writable;
    ::close(m_fd);
}

void PipeWriter::finish(QDeadlineTimer deadline)
{
    while (!m_done && !deadline.hasExpired()) {
        pollfd pipe{m_fd, POLLOUT, 0};
        if (poll(&pipe, 1, static_cast<int>(std::max<qint64>(0, deadline.remainingTime()))) > 0) {
            writeMore();
        }
    }
}

void PipeWriter::writeMore()
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
