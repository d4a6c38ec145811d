#include "remote/BarSockets.h"

#include "remote/CommandLine.h"

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
// The largest process number Linux gives.
constexpr long long LargestPid = 4194304;
// An answer is a status and one message box's text; more is not from a bar.
constexpr std::size_t LargestAnswer = 64 * 1024;
// How often an asker tries again a bar whose queue of connections is full.
constexpr int FullQueueRetryMs = 20;

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

// Other users must not reach a bar: the folder is the user's alone. The
// runtime folder is the user's own choice and may be a link; the temporary
// folder is shared, so a link planted there is refused.
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

// Whether the sockets of this display's bars fit in the folder: a socket's
// path has a limit, which a long folder name would pass.
bool fits(const std::string &folder)
{
    return folder.size() + 1 + socketName(0, LargestPid).size() < sizeof sockaddr_un::sun_path;
}

std::string runtimeFolder()
{
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    return !runtime.empty() && runtime.front() == '/' && fits(runtime) ? runtime : std::string();
}

// The user's folder in the temporary folder, its number in the name so that
// users do not meet.
std::string ownFolder()
{
    return temporaryFolder() + "/velmora-" + std::to_string(getuid());
}

// velmora-UID and velmora-UID-XXXXXX in the temporary folder that belong to
// the user and are closed to others; nobody else can make such a folder.
std::vector<std::string> ownTemporaryFolders()
{
    const std::string own = ownFolder();
    const std::string ownName = own.substr(own.rfind('/') + 1);
    const std::string unique = ownName + "-XXXXXX";
    std::vector<std::string> found;
    if (DIR *dir = opendir(temporaryFolder().c_str())) {
        while (const dirent *entry = readdir(dir)) {
            const std::string name = entry->d_name;
            std::string ignored;
            if ((name == ownName || (name.size() == unique.size() && name.rfind(ownName + '-', 0) == 0)) &&
                isPrivate(temporaryFolder() + '/' + name, false, ignored)) {
                found.push_back(temporaryFolder() + '/' + name);
            }
        }
        closedir(dir);
    }
    // velmora-UID first, where the user's bars mostly are.
    std::sort(found.begin(), found.end());
    return found;
}

int connectTo(const std::string &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    // Not blocking: a full queue of connections (EAGAIN) is a busy bar, which
    // is tried again later, not waited for.
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int why = errno;
        close(fd);
        errno = why;
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

enum class Outcome { Answered, NotTaken, Gone };

// Hands the line to one bar, which has until offerBy to offer to carry it out.
// Answered with the bar's answer, or with the reason when the bar fell silent
// or ended after it took the request; NotTaken when it did not offer in time;
// Gone when it went away first, or is no bar of ours.
Outcome exchange(int fd, const std::string &line, long long offerBy, const Patience &patience, Answer &answer)
{
    for (std::size_t sent = 0; sent < line.size();) {
        if (!waitFor(fd, POLLOUT, offerBy)) {
            return Outcome::NotTaken;
        }
        const ssize_t n = ::send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return Outcome::Gone;
        }
        sent += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
    }
    bool taken = false;
    long long deadline = offerBy;
    std::string received;
    char buffer[4096];
    for (;;) {
        if (!waitFor(fd, POLLIN, deadline)) {
            if (!taken) {
                return Outcome::NotTaken;
            }
            answer = {ExitBusy, "the running bar does not answer"};
            return Outcome::Answered;
        }
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0 || received.size() > LargestAnswer) {
            break;
        }
        // The offer and the signs of work come before the answer.
        ssize_t i = 0;
        for (; received.empty() && i < n && buffer[i] == Offer; ++i) {
            if (!taken && ::send(fd, &Take, 1, MSG_NOSIGNAL) != 1) {
                return Outcome::Gone;
            }
            taken = true;
        }
        received.append(buffer + i, static_cast<std::size_t>(n - i));
        deadline = taken ? nowMs() + patience.silenceMs : offerBy;
    }
    const std::size_t blank = received.find(' ');
    const std::string status = received.substr(0, blank);
    if (status.empty() || status.size() > 3 ||
        !std::all_of(status.begin(), status.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        answer = {ExitRefused, "the running bar ended before it answered"};
        return taken ? Outcome::Answered : Outcome::Gone;
    }
    answer = {std::stoi(status), blank == std::string::npos ? std::string() : received.substr(blank + 1)};
    return Outcome::Answered;
}

} // namespace

std::vector<std::string> folders(std::string &error)
{
    const std::string runtime = runtimeFolder();
    if (!runtime.empty()) {
        return isPrivate(runtime, true, error) ? std::vector<std::string>{runtime} : std::vector<std::string>{};
    }
    return ownTemporaryFolders();
}

std::string folderForNewBar(std::string &error)
{
    const std::string runtime = runtimeFolder();
    if (!runtime.empty()) {
        return isPrivate(runtime, true, error) ? runtime : std::string();
    }
    // A session without a runtime folder (su, ssh without a login manager).
    const std::string own = ownFolder();
    mkdir(own.c_str(), S_IRWXU);
    if (isPrivate(own, false, error)) {
        return own;
    }
    // Another user, or a link, had the name first: a folder of a name nobody
    // can foresee, which askers find again by its owner.
    const std::vector<std::string> made = ownTemporaryFolders();
    if (!made.empty()) {
        return made.front();
    }
    std::string unique = own + "-XXXXXX";
    if (mkdtemp(unique.data()) != nullptr) {
        return unique;
    }
    error += std::string(", and ") + unique + ": " + std::strerror(errno);
    return {};
}

std::string temporaryFolder()
{
    const std::string temporary = environment("TMPDIR");
    const std::string own = "/velmora-" + std::to_string(getuid()) + "-XXXXXX";
    return !temporary.empty() && temporary.front() == '/' && fits(temporary + own) ? temporary : "/tmp";
}

std::string socketName(long long startedNs, long long pid)
{
    std::string stamp = std::to_string(startedNs);
    stamp.insert(0, stamp.size() < StampDigits ? StampDigits - stamp.size() : 0, '0');
    return prefix() + stamp + '-' + std::to_string(pid);
}

std::vector<std::string> socketsOldestFirst(const std::vector<std::string> &folders)
{
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string &folder : folders) {
        if (DIR *dir = opendir(folder.c_str())) {
            while (const dirent *entry = readdir(dir)) {
                if (pidOf(entry->d_name) != 0) {
                    names.emplace_back(entry->d_name, folder);
                }
            }
            closedir(dir);
        }
    }
    // The start stamp has a fixed width, so the names sort by age.
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    for (const auto &[name, folder] : names) {
        paths.push_back(folder + '/' + name);
    }
    return paths;
}

void removeLeftovers(const std::vector<std::string> &folders)
{
    for (const std::string &path : socketsOldestFirst(folders)) {
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

Answer send(const std::string &requestLine, const Patience &patience)
{
    std::string error;
    const std::vector<std::string> where = folders(error);
    if (!error.empty()) {
        return {ExitNoBar, "no Velmora bar is running (" + error + ")"};
    }
    const long long giveUp = nowMs() + patience.takeUpMs;
    bool busy = false;
    bool silent = false;
    for (;;) {
        bool full = false;
        const std::vector<std::string> bars = socketsOldestFirst(where);
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const int fd = connectTo(bars[i]);
            if (fd < 0) {
                full |= errno == EAGAIN;
                continue;
            }
            // The last bar may take all the time there is; the others leave
            // some for those after them.
            const bool last = i + 1 == bars.size();
            const long long offerBy = last ? giveUp : std::min(giveUp, nowMs() + patience.perBarMs);
            Answer answer{ExitNoBar, {}};
            const Outcome outcome = exchange(fd, requestLine + '\n', offerBy, patience, answer);
            close(fd);
            if (outcome == Outcome::Answered) {
                return answer;
            }
            silent |= outcome == Outcome::NotTaken;
        }
        busy |= full;
        if (!full || nowMs() >= giveUp) {
            break;
        }
        const timespec pause{0, FullQueueRetryMs * 1000000L};
        nanosleep(&pause, nullptr);
    }
    if (silent) {
        return {ExitBusy, "the running bar does not answer"};
    }
    if (busy) {
        return {ExitBusy, "the running bar is too busy to take the request"};
    }
    return {ExitNoBar, "no Velmora bar is running on this display"};
}

} // namespace BarSockets
