#include "platform/ServerTime.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include "platform/Xcb.h"

namespace {

// Should the server's notice never come, the action runs after this long all the same.
constexpr int FallbackMs = 1000;

} // namespace

ServerTime::ServerTime(QWidget *window, QObject *parent) : QObject(parent), m_window(window)
{
    m_fallback = new QTimer(this);
    m_fallback->setSingleShot(true);
    m_fallback->setInterval(FallbackMs);
    connect(m_fallback, &QTimer::timeout, this, &ServerTime::runPending);
}

void ServerTime::refreshThen(std::function<void()> action)
{
    xcb_connection_t *c = x11Connection();
    // The property is named on first use, not while the bar starts.
    if (c != nullptr && m_atom == 0) {
        m_atom = internAtom(c, "_VELMORA_TIME");
        if (m_atom != 0) {
            qGuiApp->installNativeEventFilter(this);
        }
    }
    if (c == nullptr || m_atom == 0) {
        action();
        return;
    }
    m_pending.push_back(std::move(action));
    if (m_pending.size() > 1) {
        return;
    }
    // Appending nothing changes no value but still makes the server send the notice.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, static_cast<xcb_window_t>(m_window->winId()), m_atom, XCB_ATOM_STRING,
                        8, 0, nullptr);
    xcb_flush(c);
    m_fallback->start();
}

bool ServerTime::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(result)
    if (eventType != "xcb_generic_event_t" || m_pending.empty()) {
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
        const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
        if (notify->atom == m_atom && notify->window == static_cast<xcb_window_t>(m_window->winId())) {
            // Qt reads the time from this event after the filter: the actions run after that.
            QTimer::singleShot(0, this, &ServerTime::runPending);
        }
    }
    return false;
}

void ServerTime::runPending()
{
    m_fallback->stop();
    const std::vector<std::function<void()>> actions = std::exchange(m_pending, {});
    for (const std::function<void()> &action : actions) {
        action();
    }
}
