#pragma once

#include <chrono>
#include <string>

#include "ctl/CommandLine.h"
#include "ctl/Ctl.h"
#include "ctl/Session.h"

namespace r512::ctl {

// The commands that talk to the device, each on a session whose device has answered the
// refresh with what the command needs. Each returns the exit status; an error goes to io.err in
// one line.
int RunStatus(Session& session, const CommandLine& line, Io io);
int RunWatch(Session& session, const CommandLine& line, Io io);
int RunKey(Session& session, const CommandLine& line, Io io);
int RunSet(Session& session, const CommandLine& line, Io io);
int RunNamesGet(Session& session, const CommandLine& line, Io io);
int RunNamesSet(Session& session, const CommandLine& line, const std::string& namesFile, Io io);

// The one-line error: "r512ctl: what".
void ReportError(Io io, const std::string& what);
// An interrupt by `signal` before the command was done: says so, and returns its exit status.
int Interrupted(int signal, Io io);
// The port failed or the connection closed: says so, and returns its exit status.
int ConnectionLost(Io io);

std::chrono::milliseconds Timeout(const CommandLine& line);

}  // namespace r512::ctl
