#pragma once

#include <fcntl.h>
#include <unistd.h>

#include "base/UniqueFdPosix.h"

namespace r512 {

// A pipe that wakes a thread sleeping in poll(): another thread writes a byte, the sleeper
// polls ReadEnd() for POLLIN and drains what came. Both ends are non-blocking, so a wake-up
// never blocks the waker (a full pipe already holds one) and a drain never blocks the sleeper.
class WakePipe {
public:
    // False when the system could not make the pipe; Valid() tells the same later.
    bool Create() {
        int fds[2];
        if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return false;
        read_.Reset(fds[0]);
        write_.Reset(fds[1]);
        return true;
    }
    void Release() {
        read_.Reset();
        write_.Reset();
    }
    bool Valid() const { return read_.Valid() && write_.Valid(); }
    int ReadEnd() const { return read_.Get(); }

    void Wake() const {
        if (!write_.Valid()) return;
        const char byte = 1;
        // A full pipe already holds a wake-up; nothing is lost when this write fails.
        [[maybe_unused]] const ssize_t written = ::write(write_.Get(), &byte, 1);
    }
    void Drain() const {
        char buffer[64];
        while (read_.Valid() && ::read(read_.Get(), buffer, sizeof buffer) > 0) {
        }
    }

private:
    UniqueFd read_;
    UniqueFd write_;
};

}  // namespace r512
