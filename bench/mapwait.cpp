// mapwait PROGRAM [ARGS...]
// Starts PROGRAM and prints, on one line, the milliseconds from the fork to
// the first top-level window it maps, its resident memory in kB half a second
// later, and the milliseconds of processor time its threads had used when the
// window was mapped; then ends it. The processor time tells its own cost apart
// from waiting on a machine that others share. Meant for an X server without a window manager,
// where a client's top-level windows are children of the root window.
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// Processor time of all threads of a process so far, in milliseconds.
double processorMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *folder = opendir(tasks.c_str());
    if (folder == nullptr) {
        return -1;
    }
    double ns = 0;
    while (const dirent *entry = readdir(folder)) {
        if (entry->d_name[0] != '.') {
            std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
            double onCpu = 0;
            if (schedstat >> onCpu) {
                ns += onCpu;
            }
        }
    }
    closedir(folder);
    return ns / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mapwait PROGRAM [ARGS...]\n");
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            break;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double cpuMs = processorMs(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long rss = residentKb(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::printf("%.1f %ld %.1f\n", ms, rss, cpuMs);
    XCloseDisplay(display);
    return 0;
}
