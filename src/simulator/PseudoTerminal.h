#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "base/UniqueFdPosix.h"

namespace r512::sim {

// A raw pseudo-terminal pair: the slave is the "serial port" a program opens, the master is the
// far end, played by the simulator, a test or a benchmark. A slave descriptor of our own is
// kept open too: it keeps the line up between a program's sessions (no hang-up at the master
// when the program closes the port), makes the line raw before anyone else opens it, and lets
// a test read the line settings back.
class PseudoTerminal {
public:
    // Makes a new pair; Valid() tells whether that worked, Error() why not.
    PseudoTerminal();

    PseudoTerminal(PseudoTerminal&&) = default;
    PseudoTerminal& operator=(PseudoTerminal&&) = default;

    bool Valid() const { return master_.Valid() && slave_.Valid(); }
    const std::string& Error() const { return error_; }
    // The slave's path, e.g. /dev/pts/7.
    const std::string& Path() const { return path_; }
    int Master() const { return master_.Get(); }
    int Slave() const { return slave_.Get(); }

    // Writes every byte at the far end (waiting while the line is full, 1 s at most).
    bool Write(const std::vector<std::uint8_t>& bytes);
    // Reads at the far end until `count` bytes have come or `timeout` has passed.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds timeout);

    // The far end goes away: whoever has the slave open sees a hang-up.
    void HangUp();

    // For an owner that runs the far end itself.
    UniqueFd TakeMaster() { return std::move(master_); }
    UniqueFd TakeSlave() { return std::move(slave_); }

private:
    UniqueFd master_;
    UniqueFd slave_;
    std::string path_;
    std::string error_;
};

}  // namespace r512::sim
