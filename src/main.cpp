// The program's entry. A request for the running bar (--copy, --capture,
// --show), --help and --version are answered here, without Qt: loading Qt's
// libraries alone takes several times as long as handing a request over. Only a
// command line that asks for a bar loads the bar, from the module beside the
// program or in its library folder.
#include "remote/BarSockets.h"
#include "remote/CommandLine.h"

#include <cstdio>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace {

constexpr int NoBarModule = 127;

int answer(const CommandLineRequest &request)
{
    switch (request.kind) {
    case CommandLineRequest::Help:
        std::fputs(commandLineHelp(), stdout);
        return ExitDone;
    case CommandLineRequest::Version:
        std::puts(versionText());
        return ExitDone;
    case CommandLineRequest::Invalid:
        std::fprintf(stderr, "velmora: %s\nTry 'velmora --help' for more information.\n", request.error.c_str());
        return ExitBadRequest;
    default:
        break;
    }
    const BarSockets::Answer answer = BarSockets::send(requestLine(request));
    if (!answer.message.empty()) {
        std::fprintf(stderr, "velmora: %s\n", answer.message.c_str());
    }
    return answer.status;
}

// The folder the running program lives in.
std::string programFolder()
{
    char path[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string program = size > 0 ? std::string(path, std::size_t(size)) : std::string(".");
    return program.substr(0, program.rfind('/'));
}

} // namespace

int main(int argc, char *argv[])
{
    const CommandLineRequest request = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (request.kind != CommandLineRequest::StartBar) {
        return answer(request);
    }
    const std::string folder = programFolder();
    std::string errors;
    for (const std::string &module : {folder + "/" VELMORA_BAR_MODULE, folder + "/" VELMORA_BAR_MODULE_FROM_BIN}) {
        if (void *bar = dlopen(module.c_str(), RTLD_LAZY | RTLD_LOCAL)) {
            using BarMain = int (*)(int, char **);
            if (auto barMain = reinterpret_cast<BarMain>(dlsym(bar, "velmora_bar_main"))) {
                return barMain(argc, argv);
            }
        }
        errors += std::string("\n  ") + dlerror();
    }
    std::fprintf(stderr, "velmora: the bar cannot be loaded:%s\n", errors.c_str());
    return NoBarModule;
}
