#pragma once

#include <string>
#include <vector>

// What the program is asked to do by its command line: start a bar (with the
// document the arguments may name), or hand a request to the bar that already
// runs, or answer at once. Plain C++: the command line is read before Qt is
// loaded, so that a request costs no more than the request itself.
struct CommandLineRequest
{
    enum Kind { StartBar, Copy, Capture, Show, Help, Version, Invalid };

    Kind kind = StartBar;
    // Copy and Capture: the slot, 1 to 10.
    int slot = 0;
    // Invalid: what is wrong, in words for standard error.
    std::string error;
};

// Reads the program's arguments (without the program's own name). Arguments
// that, joined by blanks, end in "vmd" name a document and always start a bar,
// even when they begin like an option; so does a first argument that is no
// "--" option (an ignored word, or an option of Qt's own such as -platform).
CommandLineRequest parseCommandLine(const std::vector<std::string> &arguments);

// The request as the running bar receives it: the options that asked for it.
std::string requestLine(const CommandLineRequest &request);

// The words of a request line, as parseCommandLine takes them.
std::vector<std::string> requestWords(const std::string &line);

const char *commandLineHelp();
const char *versionText();

// Exit statuses of a velmora that hands a request to the running bar. Busy:
// a bar runs but did not take the request up in time (stopped, or too many
// requests at once), and nothing was done; no bar was started for it either.
enum ExitStatus : int { ExitDone = 0, ExitBadRequest = 1, ExitNoBar = 2, ExitRefused = 3, ExitBusy = 4 };
