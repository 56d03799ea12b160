#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace r512::ctl {

// Where a command reads and writes: its output, its one-line errors, and the input that
// "names set -" reads.
struct Io {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
};

// The whole of r512ctl but the process around it: reads the arguments (after the program's
// name), runs the command and returns the exit status (ExitCode). `stop` turning true (an
// interrupt) ends a wait early; watch then ends normally.
int RunCtl(const std::vector<std::string>& args, Io io, const std::atomic<bool>* stop = nullptr);

}  // namespace r512::ctl
