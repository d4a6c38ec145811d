#include "BarSockets.h"

#include "CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include <dirent.h>
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
constexpr std::size_t LargestAnswer = 64 * 1024;

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The display this bar shows on, as a file name: ":0" and ":0.0" are the same
// display, so the screen number goes. Without X11 the Wayland display counts.
std::string displayKey()
{
    std::string display = environment("DISPLAY");
    const std::size_t colon = display.rfind(':');
    const std::size_t dot = colon == std::string::npos ? std::string::npos : display.find('.', colon + 1);
    if (dot != std::string::npos) {
        display.resize(dot);
    }
    if (display.empty()) {
        display = environment("WAYLAND_DISPLAY");
    }
    if (display.empty()) {
        display = "none";
    }
    for (char &c : display) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        c = plain ? c : '_';
    }
    return display;
}

std::string prefix()
{
    return "velmora-" + displayKey() + "-";
}

// The process number in a socket name of ours, or 0 when the name is not one.
long long pidOf(const std::string &name)
{
    const std::string start = prefix();
    if (name.compare(0, start.size(), start) != 0) {
        return 0;
    }
    const std::string tail = name.substr(start.size());
    const std::size_t dash = tail.find('-');
    const std::string pid = dash == std::string::npos ? std::string() : tail.substr(dash + 1);
    const bool digits = !pid.empty() && pid.size() < 19 &&
                        std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; });
    return dash == StampDigits && digits ? std::stoll(pid) : 0;
}

// Other users must not reach a bar: the folder is theirs alone. The runtime
// folder is the user's own choice and may be a link; the temporary folder is
// shared, so a link planted there is refused.
bool isPrivate(const std::string &path, bool followLinks, std::string &error)
{
    struct stat info = {};
    const int result = followLinks ? stat(path.c_str(), &info) : lstat(path.c_str(), &info);
    if (result != 0) {
        error = path + ": " + std::strerror(errno);
    } else if (!S_ISDIR(info.st_mode)) {
        error = path + " is not a folder";
    } else if (info.st_uid != getuid()) {
        error = path + " belongs to another user";
    } else if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        error = path + " can be opened by other users";
    } else {
        return true;
    }
    return false;
}

int connectTo(const std::string &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return -1;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    // Not blocking: a bar whose queue of connections is full is passed over
    // rather than waited for.
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

long long nowMs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool waitFor(int fd, short events, long long deadlineMs)
{
    pollfd p{fd, events, 0};
    int ready = 0;
    do {
        ready = poll(&p, 1, static_cast<int>(std::max(0LL, deadlineMs - nowMs())));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// Sends the line and reads the answer up to the end of the stream: the status,
// a blank and the message. Nothing when the bar went away without answering.
std::optional<Answer> exchange(int fd, const std::string &line, long long deadlineMs)
{
    const Answer silent{ExitNoBar, "the running bar does not answer"};
    for (std::size_t sent = 0; sent < line.size();) {
        if (!waitFor(fd, POLLOUT, deadlineMs)) {
            return silent;
        }
        const ssize_t n = ::send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return std::nullopt;
        }
        sent += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
    }
    std::string answer;
    char buffer[4096];
    for (;;) {
        if (!waitFor(fd, POLLIN, deadlineMs)) {
            return silent;
        }
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR) || answer.size() > LargestAnswer) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    const std::size_t blank = answer.find(' ');
    const std::string status = answer.substr(0, blank);
    if (status.empty() || status.size() > 3 ||
        !std::all_of(status.begin(), status.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return Answer{std::stoi(status), blank == std::string::npos ? std::string() : answer.substr(blank + 1)};
}

} // namespace

std::string folder(bool create, std::string &error)
{
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && runtime.front() == '/') {
        return isPrivate(runtime, true, error) ? runtime : std::string();
    }
    // A session without a runtime folder (su, ssh without a login manager):
    // the user's own folder in the temporary folder, the user's number in its
    // name so that users do not meet.
    const std::string temporary = environment("TMPDIR");
    const std::string fallback =
        (!temporary.empty() && temporary.front() == '/' ? temporary : "/tmp") + "/velmora-" + std::to_string(getuid());
    if (create) {
        mkdir(fallback.c_str(), S_IRWXU);
    }
    return isPrivate(fallback, false, error) ? fallback : std::string();
}

std::string socketName(long long startedNs, long long pid)
{
    std::string stamp = std::to_string(startedNs);
    stamp.insert(0, stamp.size() < StampDigits ? StampDigits - stamp.size() : 0, '0');
    return prefix() + stamp + '-' + std::to_string(pid);
}

std::vector<std::string> socketsOldestFirst(const std::string &folder)
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(folder.c_str())) {
        while (const dirent *entry = readdir(dir)) {
            if (pidOf(entry->d_name) != 0) {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    // The start stamp has a fixed width, so the names sort by age.
    std::sort(names.begin(), names.end());
    for (std::string &name : names) {
        name = folder + '/' + name;
    }
    return names;
}

void removeLeftovers(const std::string &folder)
{
    for (const std::string &path : socketsOldestFirst(folder)) {
        // The process is gone, and no other took its number and the socket.
        const long long pid = pidOf(path.substr(path.rfind('/') + 1));
        if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            const int fd = connectTo(path);
            if (fd >= 0) {
                close(fd);
            } else {
                unlink(path.c_str());
            }
        }
    }
}

Answer send(const std::string &requestLine, int answerTimeoutMs)
{
    std::string error;
    const std::string dir = folder(false, error);
    if (dir.empty()) {
        return {ExitNoBar, "no Velmora bar is running (" + error + ")"};
    }
    const long long deadline = nowMs() + answerTimeoutMs;
    for (const std::string &path : socketsOldestFirst(dir)) {
        const int fd = connectTo(path);
        if (fd < 0) {
            continue;
        }
        const std::optional<Answer> answer = exchange(fd, requestLine + '\n', deadline);
        close(fd);
        if (answer) {
            return *answer;
        }
    }
    return {ExitNoBar, "no Velmora bar is running on this display"};
}

} // namespace BarSockets
