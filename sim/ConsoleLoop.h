// nodewright-sim's command loop: lines read from one descriptor run on the
// bench console, their answers written to another, until "quit" or a stop
// (a readable stop descriptor, fed by SIGINT and SIGTERM).
#pragma once

#include <string>

namespace nw::sim {

// What the loop runs the lines on: the bench's console, or the station's.
class IConsole {
  public:
    virtual ~IConsole() = default;
    // The text to print for one line (every line of it ending in '\n').
    virtual std::string Execute(const std::string& line) = 0;
    virtual bool Quit() const = 0;
};

// Writes text to `out`, waiting for a slow reader but never past a stop:
// output that nobody reads must not keep the bench from stopping. Returns
// false when a stop came; the rest of the text is dropped then, and whenever
// `out` fails (a reader that went away).
bool WriteUnlessStopped(int out, const std::string& text, int stopFd);

// Runs the lines from `in` (a CR before the LF dropped; a last line without
// one runs at the end of input) until "quit" or a stop. After the end of
// input only the stop is waited for.
void ServeConsole(IConsole& console, int in, int out, int stopFd);

} // namespace nw::sim
