// r512ctl: the R512 from scripts and across the network (RunCtl does the work).
#include <atomic>
#include <iostream>
#include <string>
#include <vector>

#include "ctl/Ctl.h"
#include "ctl/StopSignals.h"

namespace {

std::atomic<int> interrupted{0};

}  // namespace

int main(int argc, char** argv) {
    // An interrupt ends the wait in progress: watch then ends as it should, with status 0;
    // every other command says so and ends with 128 + the signal's number.
    r512::ctl::InstallStopSignals(interrupted);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return r512::ctl::RunCtl(args, {std::cout, std::cerr, std::cin}, &interrupted);
}
