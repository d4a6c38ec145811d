#include "platform/WaylandConnection.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>

namespace {

// How long the compositor may take to tell what it offers.
constexpr int ConnectTimeoutMs = 3000;

void answered(void *data, wl_callback *callback, uint32_t)
{
    *static_cast<bool *>(data) = true;
    wl_callback_destroy(callback);
}
const wl_callback_listener SyncListener = {answered};

} // namespace

WaylandConnection::WaylandConnection() = default;

WaylandConnection::~WaylandConnection()
{
    if (m_registry != nullptr) {
        wl_registry_destroy(m_registry);
    }
    if (m_display != nullptr) {
        // The notifiers watch the socket that the disconnect closes.
        delete m_arrived;
        delete m_writable;
        wl_display_disconnect(m_display);
    }
}

bool WaylandConnection::open(QString &reason)
{
    m_display = wl_display_connect(nullptr);
    if (m_display == nullptr) {
        const QByteArray name = qgetenv("WAYLAND_DISPLAY");
        reason =
            QStringLiteral("%1: %2").arg(name.isEmpty() ? QStringLiteral("wayland-0") : QString::fromLocal8Bit(name),
                                         QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    static const wl_registry_listener registryListener = {&WaylandConnection::addGlobal,
                                                          &WaylandConnection::removeGlobal};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    if (!roundTrip(QDeadlineTimer(ConnectTimeoutMs))) {
        reason = QStringLiteral("it does not answer");
        return false;
    }
    const int fd = wl_display_get_fd(m_display);
    m_arrived = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_arrived, &QSocketNotifier::activated, this, &WaylandConnection::handleArrived);
    m_writable = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    m_writable->setEnabled(false);
    connect(m_writable, &QSocketNotifier::activated, this, &WaylandConnection::flush);
    return true;
}

void WaylandConnection::addGlobal(void *data, wl_registry *, uint32_t name, const char *interface, uint32_t version)
{
    static_cast<WaylandConnection *>(data)->m_globals.push_back({name, QByteArray(interface), version});
}

void WaylandConnection::removeGlobal(void *data, wl_registry *, uint32_t name)
{
    auto &globals = static_cast<WaylandConnection *>(data)->m_globals;
    globals.erase(std::remove_if(globals.begin(), globals.end(), [name](const Global &g) { return g.name == name; }),
                  globals.end());
}

const WaylandConnection::Global *WaylandConnection::global(const char *interface) const
{
    const auto found = std::find_if(m_globals.cbegin(), m_globals.cend(),
                                    [interface](const Global &g) { return g.interface == interface; });
    return found == m_globals.cend() ? nullptr : &*found;
}

bool WaylandConnection::roundTrip(QDeadlineTimer deadline)
{
    bool done = false;
    wl_callback *callback = wl_display_sync(m_display);
    wl_callback_add_listener(callback, &SyncListener, &done);
    while (!done && handleNext(deadline)) {
    }
    if (!done) {
        // Its answer, should it still come, has no one to tell.
        wl_callback_destroy(callback);
    }
    return done;
}

bool WaylandConnection::handleNext(QDeadlineTimer deadline)
{
    if (wl_display_prepare_read(m_display) != 0) {
        return wl_display_dispatch_pending(m_display) >= 0;
    }
    pollfd socket{wl_display_get_fd(m_display), POLLIN, 0};
    if (wl_display_flush(m_display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(m_display);
            return false;
        }
        socket.events |= POLLOUT;
    }
    int ready = 0;
    do {
        ready = poll(&socket, 1, static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0 || (socket.revents & POLLIN) == 0) {
        wl_display_cancel_read(m_display);
        // Room to send the rest: the next round sends it.
        return ready > 0 && (socket.revents & POLLOUT) != 0;
    }
    return wl_display_read_events(m_display) >= 0 && wl_display_dispatch_pending(m_display) >= 0;
}

void WaylandConnection::handleArrived()
{
    if (wl_display_prepare_read(m_display) == 0 && wl_display_read_events(m_display) < 0) {
        m_arrived->setEnabled(false);
        return;
    }
    if (wl_display_dispatch_pending(m_display) < 0) {
        m_arrived->setEnabled(false);
        return;
    }
    flush();
}

void WaylandConnection::flush()
{
    const bool full = wl_display_flush(m_display) < 0 && errno == EAGAIN;
    if (m_writable != nullptr) {
        m_writable->setEnabled(full);
    }
}
