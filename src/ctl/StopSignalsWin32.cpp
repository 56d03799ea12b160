// On Windows the C runtime runs the handler on a thread of its own for Ctrl+C; the waits look
// at the flag at least every tenth of a second.
#include <csignal>

#include "ctl/StopSignals.h"

namespace r512::ctl {

namespace {

std::atomic<int>* stopFlag = nullptr;

extern "C" void NoteStopSignal(int number) {
    if (stopFlag != nullptr) stopFlag->store(number);
    std::signal(number, NoteStopSignal);  // the runtime resets the handler before calling it
}

}  // namespace

void InstallStopSignals(std::atomic<int>& stop) {
    stopFlag = &stop;
    std::signal(SIGINT, NoteStopSignal);
    std::signal(SIGTERM, NoteStopSignal);
}

}  // namespace r512::ctl
