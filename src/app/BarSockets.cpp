#include "BarSockets.h"

#include "CommandLine.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <optional>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace BarSockets {

namespace {

constexpr int StampDigits = 20;
// An answer is a status and one message box's text; more is not from a bar.
constexpr qsizetype LargestAnswer = 64 * 1024;

// The display this bar shows on, as a file name: ":0" and ":0.0" are the same
// display, so the screen number goes. Without X11 the Wayland display counts.
QString displayKey()
{
    QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    const qsizetype dot = display.indexOf(QLatin1Char('.'), colon + 1);
    if (colon >= 0 && dot > colon) {
        display.truncate(dot);
    }
    if (display.isEmpty()) {
        display = QString::fromLocal8Bit(qgetenv("WAYLAND_DISPLAY"));
    }
    if (display.isEmpty()) {
        display = QStringLiteral("none");
    }
    for (QChar &c : display) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128)) {
            c = QLatin1Char('_');
        }
    }
    return display;
}

QString prefix()
{
    return QStringLiteral("velmora-") + displayKey() + QLatin1Char('-');
}

// The process number in a socket name of ours, or 0 when the name is not one.
qint64 pidOf(const QString &name)
{
    const QString tail = name.mid(prefix().size());
    const qsizetype dash = tail.indexOf(QLatin1Char('-'));
    bool ok = false;
    const qint64 pid = tail.mid(dash + 1).toLongLong(&ok);
    return dash == StampDigits && ok && pid > 0 ? pid : 0;
}

// Other users must not reach a bar: the folder is theirs alone. The runtime
// folder is the user's own choice and may be a link; the temporary folder is
// shared, so a link planted there is refused.
bool isPrivate(const QByteArray &path, bool followLinks, QString &error)
{
    struct stat info = {};
    const int result = followLinks ? stat(path.constData(), &info) : lstat(path.constData(), &info);
    const QString name = QFile::decodeName(path);
    if (result != 0) {
        error = QStringLiteral("%1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    } else if (!S_ISDIR(info.st_mode)) {
        error = QStringLiteral("%1 is not a folder").arg(name);
    } else if (info.st_uid != getuid()) {
        error = QStringLiteral("%1 belongs to another user").arg(name);
    } else if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        error = QStringLiteral("%1 can be opened by other users").arg(name);
    } else {
        return true;
    }
    return false;
}

int connectTo(const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (file.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, file.constData(), static_cast<size_t>(file.size()));
    // Not blocking: a bar whose queue of connections is full is passed over
    // rather than waited for.
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    pollfd p{fd, events, 0};
    int ready = 0;
    do {
        ready = poll(&p, 1, static_cast<int>(qMax<qint64>(0, deadline.remainingTime())));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// Sends the line and reads the answer up to the end of the stream: the status,
// a blank and the message. Nothing when the bar went away without answering.
std::optional<Answer> exchange(int fd, const QByteArray &line, const QDeadlineTimer &deadline)
{
    const Answer silent{ExitNoBar, QStringLiteral("the running bar does not answer")};
    for (qsizetype sent = 0; sent < line.size();) {
        if (!waitFor(fd, POLLOUT, deadline)) {
            return silent;
        }
        const ssize_t n = ::send(fd, line.constData() + sent, static_cast<size_t>(line.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return std::nullopt;
        }
        sent += qMax<ssize_t>(n, 0);
    }
    QByteArray answer;
    char buffer[4096];
    for (;;) {
        if (!waitFor(fd, POLLIN, deadline)) {
            return silent;
        }
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR) || answer.size() > LargestAnswer) {
            break;
        }
        answer.append(buffer, qMax<ssize_t>(n, 0));
    }
    const qsizetype blank = answer.indexOf(' ');
    bool ok = false;
    const int status = answer.left(blank).toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return Answer{status, blank < 0 ? QString() : QString::fromUtf8(answer.mid(blank + 1))};
}

} // namespace

QString folder(bool create, QString &error)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/')) {
        return isPrivate(runtime, true, error) ? QFile::decodeName(runtime) : QString();
    }
    // A session without a runtime folder (su, ssh without a login manager):
    // the user's own folder in the temporary folder, the user's number in its
    // name so that users do not meet.
    const QByteArray fallback =
        QFile::encodeName(QDir::tempPath()) + "/velmora-" + QByteArray::number(static_cast<qulonglong>(getuid()));
    if (create) {
        mkdir(fallback.constData(), S_IRWXU);
    }
    return isPrivate(fallback, false, error) ? QFile::decodeName(fallback) : QString();
}

QString socketName(qint64 startedNs, qint64 pid)
{
    return prefix() + QStringLiteral("%1-%2").arg(startedNs, StampDigits, 10, QLatin1Char('0')).arg(pid);
}

QStringList socketsOldestFirst(const QString &folder)
{
    QDir dir(folder);
    // The start stamp has a fixed width, so the names sort by age.
    const QStringList names =
        dir.entryList({prefix() + QLatin1Char('*')}, QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    QStringList paths;
    for (const QString &name : names) {
        if (pidOf(name) != 0) {
            paths << dir.filePath(name);
        }
    }
    return paths;
}

void removeLeftovers(const QString &folder)
{
    for (const QString &path : socketsOldestFirst(folder)) {
        // The process is gone, and no other took its number and the socket.
        const qint64 pid = pidOf(QFileInfo(path).fileName());
        if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            const int fd = connectTo(path);
            if (fd >= 0) {
                close(fd);
            } else {
                QFile::remove(path);
            }
        }
    }
}

Answer send(const QString &requestLine, int answerTimeoutMs)
{
    QString error;
    const QString dir = folder(false, error);
    if (dir.isEmpty()) {
        return {ExitNoBar, QStringLiteral("no Velmora bar is running (%1)").arg(error)};
    }
    const QDeadlineTimer deadline(answerTimeoutMs);
    const QByteArray line = requestLine.toUtf8() + '\n';
    for (const QString &path : socketsOldestFirst(dir)) {
        const int fd = connectTo(path);
        if (fd < 0) {
            continue;
        }
        const std::optional<Answer> answer = exchange(fd, line, deadline);
        close(fd);
        if (answer) {
            return *answer;
        }
    }
    return {ExitNoBar, QStringLiteral("no Velmora bar is running on this display")};
}

} // namespace BarSockets
