#pragma once

namespace r512::ctl {

// r512ctl's exit status, one per kind of outcome, for scripts to tell them apart.
enum ExitCode : int {
    kExitOk = 0,
    kExitNotDone = 1,       // the device answered but did not do what was asked
    kExitBadArguments = 2,  // the command line or an input file is wrong
    kExitPortFailed = 3,    // the port can't be opened
    kExitNoAnswer = 4,      // nothing answers on the port, or the connection was lost
    kExitOutputFailed = 5,  // standard output could not be written
    // An interrupt before the command was done: 128 + the signal, as shells report it.
    kExitSignalBase = 128,
};

}  // namespace r512::ctl
