#pragma once

namespace r512::ctl {

// r512ctl's exit status, one per kind of outcome, for scripts to tell them apart.
enum ExitCode : int {
    kExitOk = 0,
    kExitNotDone = 1,       // the device answered but did not do what was asked
    kExitBadArguments = 2,  // the command line or an input file is wrong
    kExitPortFailed = 3,    // the port can't be opened
    kExitNoAnswer = 4,      // nothing answers on the port
};

}  // namespace r512::ctl
