#pragma once

#include <atomic>

namespace r512::ctl {

// Makes SIGINT and SIGTERM store their number in `stop` (which must live as long as the
// program) instead of ending the program. On POSIX the handlers are installed without
// SA_RESTART, so that a call blocked in the kernel (a read of standard input, say) ends with
// EINTR and the wait around it looks at `stop`. StopSignalsPosix.cpp, StopSignalsWin32.cpp.
void InstallStopSignals(std::atomic<int>& stop);

}  // namespace r512::ctl
