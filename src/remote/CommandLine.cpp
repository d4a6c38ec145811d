#include "remote/CommandLine.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace {

constexpr int FirstSlot = 1;
constexpr int LastSlot = 10;

struct Option
{
    const char *name;
    CommandLineRequest::Kind kind;
    bool takesSlot;
};

const Option Options[] = {
    {"--copy", CommandLineRequest::Copy, true},  {"--capture", CommandLineRequest::Capture, true},
    {"--show", CommandLineRequest::Show, false}, {"--help", CommandLineRequest::Help, false},
    {"-h", CommandLineRequest::Help, false},     {"--version", CommandLineRequest::Version, false},
};

CommandLineRequest invalid(const std::string &error)
{
    return {CommandLineRequest::Invalid, 0, error};
}

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Plain decimal digits only: "+3", " 3" and "3.0" are no slot numbers.
int slotNumber(const std::string &word)
{
    const bool digits = !word.empty() && word.size() <= 9 &&
                        std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
    const int number = digits ? std::stoi(word) : 0;
    return number >= FirstSlot && number <= LastSlot ? number : 0;
}

const std::string slotRange = std::to_string(FirstSlot) + " to " + std::to_string(LastSlot);

} // namespace

CommandLineRequest parseCommandLine(const std::vector<std::string> &arguments)
{
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        joined += (i == 0 ? "" : " ") + arguments[i];
    }
    if (endsWith(joined, "vmd") || arguments.empty() ||
        !(arguments.front().rfind("--", 0) == 0 || arguments.front() == "-h")) {
        return {};
    }
    std::string name = arguments.front();
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    // "--copy=3" is "--copy 3".
    const std::size_t equals = name.find('=');
    if (equals != std::string::npos && equals > 0) {
        rest.insert(rest.begin(), name.substr(equals + 1));
        name.resize(equals);
    }
    const auto option =
        std::find_if(std::begin(Options), std::end(Options), [&name](const Option &o) { return name == o.name; });
    if (option == std::end(Options)) {
        return invalid("unknown option '" + name + "'");
    }
    CommandLineRequest request{option->kind, 0, {}};
    if (option->takesSlot) {
        if (rest.empty()) {
            return invalid(name + " needs a slot number from " + slotRange);
        }
        request.slot = slotNumber(rest.front());
        if (request.slot == 0) {
            return invalid("'" + rest.front() + "' is not a slot number: slots are numbered " + slotRange);
        }
        rest.erase(rest.begin());
    }
    if (!rest.empty()) {
        return invalid("unexpected '" + rest.front() + "' after " + name);
    }
    return request;
}

std::string requestLine(const CommandLineRequest &request)
{
    for (const Option &option : Options) {
        if (option.kind == request.kind) {
            return option.takesSlot ? std::string(option.name) + ' ' + std::to_string(request.slot) : option.name;
        }
    }
    return {};
}

std::vector<std::string> requestWords(const std::string &line)
{
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

const char *commandLineHelp()
{
    return "Usage: velmora [DOCUMENT.vmd]\n"
           "       velmora --copy K | --capture K | --show\n"
           "Starts the Velmora clipboard slot bar, with the clip document named, or hands\n"
           "a request to the bar that already runs on this display and ends.\n"
           "\n"
           "  --copy K      put slot K's text on the clipboard, as its slot button does\n"
           "  --capture K   take the clipboard's text into slot K, as its capture button does\n"
           "  --show        bring the bar back from the tray, from minimised or from behind\n"
           "                other windows\n"
           "  -h, --help    show this help and end\n"
           "  --version     show the version and end\n"
           "K is a slot number from 1 to 10. When several bars run, the one that has run\n"
           "longest answers.\n"
           "\n"
           "Exit status: 0 done; 1 a bad option or slot number, nothing changed; 2 no bar\n"
           "is running; 3 the bar could not do it, and its reason is shown; 4 the bar is\n"
           "busy or does not answer, nothing was done: try again.\n";
}

const char *versionText()
{
    return "velmora " VELMORA_VERSION;
}
