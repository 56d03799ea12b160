#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace r512::ctl {

// Where a command reads and writes: its output, its one-line errors, and the input that
// "names set -" reads. `lastError` (if given) receives the text of the last error reported.
struct Io {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    std::string* lastError = nullptr;
};

// The whole of r512ctl but the process around it: reads the arguments (after the program's
// name), runs the command and returns the exit status (ExitCode). `stop` turning nonzero (an
// interrupt; it holds the signal's number) ends a wait early: watch then ends normally, every
// other command with 128 + the signal's number.
int RunCtl(const std::vector<std::string>& args, Io io, const std::atomic<int>* stop = nullptr);

}  // namespace r512::ctl
