// r512ctl: the R512 from scripts and across the network (RunCtl does the work).
#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "ctl/Ctl.h"

namespace {

std::atomic<bool> interrupted{false};

extern "C" void Interrupt(int) { interrupted.store(true); }

}  // namespace

int main(int argc, char** argv) {
    // An interrupt ends the wait in progress; watch then ends as it should, with status 0.
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return r512::ctl::RunCtl(args, {std::cout, std::cerr, std::cin}, &interrupted);
}
