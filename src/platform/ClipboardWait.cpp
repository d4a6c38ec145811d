#include "platform/ClipboardWait.h"

#include <QApplication>
#include <QEventLoop>
#include <QMainWindow>
#include <QProgressDialog>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

#include <poll.h>

namespace {

// A read that is done within this time shows no window.
constexpr int WindowDelayMs = 500;
// A long text that flows without a pause still lets the bar answer this often.
constexpr int AnswerEveryMs = 50;
// Wide enough for the window's title.
constexpr int WindowWidth = 320;
// What QEventLoop::exec gives when our own wake-up ended it.
constexpr int WokenUp = 1;

ClipboardWait *current = nullptr;

bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

} // namespace

ClipboardWait::ClipboardWait(int deadlineMs) : m_deadline(deadlineMs)
{
    m_started.start();
    m_answered.start();
    current = this;
}

ClipboardWait::~ClipboardWait()
{
    current = nullptr;
    delete m_window;
}

ClipboardWait *ClipboardWait::running()
{
    return current;
}

void ClipboardWait::cancel()
{
    m_cancelled = true;
    if (m_loop != nullptr) {
        m_loop->exit(WokenUp);
    }
}

ClipboardWait::Result ClipboardWait::waitForInput(int fd, int silenceMs)
{
    const QDeadlineTimer silence(silenceMs);
    for (;;) {
        const bool ready = readable(fd);
        if (m_cancelled) {
            return Cancelled;
        }
        if (ready && m_answered.elapsed() < AnswerEveryMs) {
            return Ready;
        }
        if (m_deadline.hasExpired()) {
            return Late;
        }
        if (!ready && silence.hasExpired()) {
            return Silent;
        }
        if (!m_window && m_started.elapsed() >= WindowDelayMs) {
            showWindow();
        }
        qint64 wake = ready ? 0 : std::min(silence.remainingTime(), m_deadline.remainingTime());
        if (!m_window) {
            wake = std::min(wake, WindowDelayMs - m_started.elapsed());
        }
        QEventLoop loop;
        QSocketNotifier input(fd, QSocketNotifier::Read);
        QObject::connect(&input, &QSocketNotifier::activated, &loop, [&loop] { loop.exit(WokenUp); });
        QTimer::singleShot(int(std::max<qint64>(wake, 0)), &loop, [&loop] { loop.exit(WokenUp); });
        m_loop = &loop;
        const int woken = loop.exec();
        m_loop = nullptr;
        m_answered.restart();
        // Only the program's end stops the loop otherwise: every wait gives up then.
        m_cancelled |= woken != WokenUp;
    }
}

void ClipboardWait::showWindow()
{
    m_window = new QProgressDialog(QStringLiteral("Reading the clipboard..."), QStringLiteral("Cancel"), 0, 0);
    m_window->setObjectName(QStringLiteral("readingWindow"));
    m_window->setWindowTitle(QStringLiteral("Reading the clipboard"));
    // Above the bar, which stays on top; and it takes the focus only from the
    // program's own window, not from the one a request from the command line
    // came from.
    m_window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    m_window->setAttribute(Qt::WA_ShowWithoutActivating, QApplication::activeWindow() == nullptr);
    m_window->setMinimumWidth(WindowWidth);
    QObject::connect(m_window, &QProgressDialog::canceled, m_window, [this] { cancel(); });
    QObject::connect(m_window, &QDialog::rejected, m_window, [this] { cancel(); });
    m_window->adjustSize();
    // Below the bar, or above it at the foot of the screen, so that its slots
    // stay free to be clicked.
    const auto windows = QApplication::topLevelWidgets();
    const auto bar = std::find_if(windows.begin(), windows.end(), [](const QWidget *w) {
        return w->isVisible() && qobject_cast<const QMainWindow *>(w);
    });
    if (bar != windows.end()) {
        const QRect frame = (*bar)->frameGeometry();
        const QRect screen = (*bar)->screen()->availableGeometry();
        QRect place(QPoint(frame.center().x() - m_window->width() / 2, frame.bottom() + 1), m_window->size());
        if (place.bottom() > screen.bottom()) {
            place.moveBottom(frame.top() - 1 - (m_window->frameGeometry().height() - m_window->height()));
        }
        m_window->move(place.topLeft());
    }
    m_window->show();
}
