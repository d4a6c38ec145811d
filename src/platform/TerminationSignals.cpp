#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

namespace {

constexpr int Watched[] = {SIGTERM, SIGINT, SIGHUP};
int signalPipe[2] = {-1, -1};

void onSignal(int number)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal to act on.
    if (::write(signalPipe[1], &byte, 1) < 0) {
    }
    errno = saved;
}

struct sigaction previousActions[std::size(Watched)];

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(Watched); ++i) {
        sigaction(Watched[i], nullptr, &previousActions[i]);
        // A signal ignored from the start stays ignored: nohup and a shell's
        // background jobs ask for that.
        if (previousActions[i].sa_handler != SIG_IGN) {
            sigaction(Watched[i], &action, nullptr);
        }
    }
}

TerminationSignals::~TerminationSignals()
{
    if (m_notifier == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < std::size(Watched); ++i) {
        sigaction(Watched[i], &previousActions[i], nullptr);
    }
    delete m_notifier;
    for (int &end : signalPipe) {
        ::close(end);
        end = -1;
    }
}

void TerminationSignals::readPipe()
{
    // Signals that came together ask for the same end.
    unsigned char numbers[16];
    if (::read(signalPipe[0], numbers, sizeof numbers) > 0) {
        emit received();
    }
}
