#pragma once

#include <string>
#include <vector>

// Where the running bars of one user wait for requests from the command line.
// Every bar listens on a socket of its own, named for the display and for the
// moment it started, in a folder no other user can open. A request goes to the
// oldest bar that answers: a bar that was killed leaves a socket nobody listens
// on, which is passed over, and when the oldest bar ends the next one answers,
// with nothing to hand over between them. Plain C++, for the command line that
// asks before Qt is loaded.
namespace BarSockets {

// $XDG_RUNTIME_DIR, or where that is unset a folder of the user's own in the
// temporary folder, made when create is true. Empty with the reason when the
// folder is missing or other users could open it.
std::string folder(bool create, std::string &error);

// The socket name of a bar on this display that started at this moment
// (nanoseconds of the monotonic clock) with this process number.
std::string socketName(long long startedNs, long long pid);

// The full paths of the sockets of this display's bars in the folder, the
// longest-running first.
std::vector<std::string> socketsOldestFirst(const std::string &folder);

// Removes the sockets that bars of this display, killed before they could
// remove them, left in the folder.
void removeLeftovers(const std::string &folder);

// The bars' answer to one request.
struct Answer
{
    int status;
    std::string message;
};

// Hands one request line to the oldest bar that answers and waits for its
// answer. Status 2 when no bar runs, without waiting.
Answer send(const std::string &requestLine, int answerTimeoutMs);

} // namespace BarSockets
