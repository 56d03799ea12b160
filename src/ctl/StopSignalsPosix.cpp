#include <signal.h>

#include "ctl/StopSignals.h"

namespace r512::ctl {

namespace {

std::atomic<int>* stopFlag = nullptr;

extern "C" void NoteStopSignal(int number) {
    if (stopFlag != nullptr) stopFlag->store(number);
}

}  // namespace

void InstallStopSignals(std::atomic<int>& stop) {
    stopFlag = &stop;
    struct sigaction action {};
    action.sa_handler = NoteStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked call must come back to look at the flag
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace r512::ctl
