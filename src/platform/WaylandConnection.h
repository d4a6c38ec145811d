#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

class QSocketNotifier;
struct wl_display;
struct wl_registry;

// A connection of the bar's own to the Wayland compositor. The bar's window
// stays on XWayland, and the compositor's clipboard is reached through this
// connection without any window. Its events are handled in Qt's event loop, and
// a caller that must have an answer before it goes on waits for one, never
// longer than it chose.
class WaylandConnection : public QObject
{
public:
    struct Global
    {
        uint32_t name = 0;
        QByteArray interface;
        uint32_t version = 0;
    };

    WaylandConnection();
    ~WaylandConnection() override;
    WaylandConnection(const WaylandConnection &) = delete;
    WaylandConnection &operator=(const WaylandConnection &) = delete;

    // Connects to the compositor that the environment names and learns what
    // it offers. False, with the reason, when it cannot be reached or does not answer.
    bool open(QString &reason);
    wl_display *display() const { return m_display; }
    wl_registry *registry() const { return m_registry; }
    // The object of that interface the compositor offers, or none.
    const Global *global(const char *interface) const;

    // Waits until the compositor has answered every request sent so far,
    // handling the events that come before the answer. False when the deadline
    // passes first or the connection broke.
    bool roundTrip(QDeadlineTimer deadline);
    // Sends the requests made so far; what the socket cannot take now goes once it can.
    void flush();

private:
    static void addGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version);
    static void removeGlobal(void *data, wl_registry *registry, uint32_t name);
    // Reads and handles what arrived; called when the socket has something.
    void handleArrived();
    // Waits once for events, at most until the deadline, and handles them.
    bool handleNext(QDeadlineTimer deadline);

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    std::vector<Global> m_globals;
    QSocketNotifier *m_arrived = nullptr;
    QSocketNotifier *m_writable = nullptr;
};
