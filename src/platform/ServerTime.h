#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <functional>
#include <vector>

class QTimer;
class QWidget;

// Qt stamps the X request that activates a window with the time of the last
// event the program saw. A click on the bar brings a fresh one; a request from
// the command line does not, and window managers refuse the focus to an old
// activation. So before such an action the window changes a property of its
// own: the server's notice of it carries the present time, which Qt takes.
class ServerTime : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    ServerTime(QWidget *window, QObject *parent);

    // Runs the action once Qt knows the server's present time; at once where
    // there is no X11 connection.
    void refreshThen(std::function<void()> action);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void runPending();

    QWidget *m_window;
    unsigned m_atom = 0;
    QTimer *m_fallback = nullptr;
    std::vector<std::function<void()>> m_pending;
};
