#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPointer>

class QEventLoop;
class QProgressDialog;
class QTimer;

// One read of another program's clipboard text, which that program may take its
// time over. While the read waits the bar goes on answering clicks and requests;
// once it takes longer than a moment a small window "Reading the clipboard"
// offers to cancel it; and the whole read has a deadline, however steadily the
// owner trickles. One read at a time: a reader refuses to start while
// running() is set.
class ClipboardWait
{
public:
    enum Result {
        Ready,     // the descriptor has something to read
        Silent,    // nothing came for the time asked
        Late,      // the whole read's deadline has passed
        Cancelled, // by the user, by cancel(), or by the program ending
    };

    explicit ClipboardWait(int deadlineMs);
    ~ClipboardWait();
    ClipboardWait(const ClipboardWait &) = delete;
    ClipboardWait &operator=(const ClipboardWait &) = delete;

    // Waits until fd has something to read, for at most silenceMs, and answers
    // the bar's events meanwhile.
    Result waitForInput(int fd, int silenceMs);
    // Ends the wait with Cancelled; for an event handled while it waits.
    void cancel();

    // The read that waits now, if any.
    static ClipboardWait *running();

private:
    void showWindow();

    QDeadlineTimer m_deadline;
    QElapsedTimer m_answered;
    QElapsedTimer m_started;
    bool m_cancelled = false;
    QEventLoop *m_loop = nullptr;
    QPointer<QProgressDialog> m_window;
};
