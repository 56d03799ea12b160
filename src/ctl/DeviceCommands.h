#pragma once

#include <chrono>
#include <string>

#include "ctl/CommandLine.h"
#include "ctl/Ctl.h"
#include "ctl/Session.h"

namespace r512::ctl {

// The commands that talk to the device, each on a session whose device has answered a full
// report. Each returns the exit status; an error goes to io.err in one line.
int RunStatus(Session& session, const CommandLine& line, Io io);
int RunWatch(Session& session, const CommandLine& line, Io io);
int RunKey(Session& session, const CommandLine& line, Io io);
int RunSet(Session& session, const CommandLine& line, Io io);
int RunNamesGet(Session& session, const CommandLine& line, Io io);
int RunNamesSet(Session& session, const std::string& namesFile, Io io);

// The one-line error: "r512ctl: what".
void ReportError(Io io, const std::string& what);

std::chrono::milliseconds Timeout(const CommandLine& line);

}  // namespace r512::ctl
