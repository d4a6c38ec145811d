#pragma once

#include <string>
#include <vector>

// Where the running bars of one user wait for requests from the command line,
// and how a request is handed over. Every bar listens on a socket of its own,
// named for the display and for the moment it started, in a folder no other
// user can open. A request goes to the oldest bar that takes it up: a bar that
// was killed leaves a socket nobody listens on, which is passed over, and when
// the oldest bar ends the next one answers, with nothing to hand over between
// them. Plain C++, for the command line that asks before Qt is loaded.
//
// The exchange: the asker sends its request line; the bar offers to carry it
// out (Offer); the asker takes the offer (Take), or closes when it has given up
// on that bar; the bar carries the request out only once it is taken and only
// while its asker still waits, sends Offer again now and then while it works,
// and answers with the status, a blank and the message. So a bar that is
// stopped, or too busy to read the request, is passed over for the next one,
// and a request whose asker has given up is not carried out later, nor by two
// bars.
namespace BarSockets {

constexpr char Offer = '.';
constexpr char Take = '!';
// How often a bar that works on a request tells its asker so.
constexpr int WorkingSignMs = 1000;

// The folders this user's bars listen in: $XDG_RUNTIME_DIR when it is set;
// otherwise the user's own folders in the temporary folder (velmora-UID, and
// velmora-UID-XXXXXX where another user had taken that name first). Empty when
// there is none, with the reason when the runtime folder cannot be used.
std::vector<std::string> folders(std::string &error);

// The folder a new bar listens in, made when it is missing; empty with the
// reason when there is none that other users cannot open.
std::string folderForNewBar(std::string &error);

// The temporary folder that the user's own folders go in: $TMPDIR where a
// socket's path fits in it, /tmp otherwise.
std::string temporaryFolder();

// The socket name of a bar on this display that started at this moment
// (nanoseconds of the monotonic clock) with this process number.
std::string socketName(long long startedNs, long long pid);

// The full paths of the sockets of this display's bars in the folders, the
// longest-running first.
std::vector<std::string> socketsOldestFirst(const std::vector<std::string> &folders);

// Removes the sockets that bars of this display, killed before they could
// remove them, left in the folders.
void removeLeftovers(const std::vector<std::string> &folders);

// The bars' answer to one request.
struct Answer
{
    int status;
    std::string message;
};

// How long an asker waits for a bar to take up its request, in all and from
// one bar while others remain to be asked; and how long it waits for a sign of
// the bar that took it.
struct Patience
{
    int takeUpMs = 5000;
    int perBarMs = 1000;
    int silenceMs = 5000;
};

// Hands one request line to the oldest bar that takes it up and waits for its
// answer. Status 2 when no bar runs, without waiting; 4 when the bars that run
// do not take it up in time.
Answer send(const std::string &requestLine, const Patience &patience = {});

} // namespace BarSockets
