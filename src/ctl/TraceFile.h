#pragma once

#include <memory>
#include <string>

#include "device/ProtocolTrace.h"

namespace r512::ctl {

// The file that --trace names, opened for appending without ever blocking the program: a FIFO
// that nobody reads is refused at once, not waited for. "-" is standard error (a copy of it,
// which the trace closes). nullptr, with `error` saying why, when it can't be opened.
// TraceFilePosix.cpp, TraceFileWin32.cpp.
std::unique_ptr<ProtocolTrace> OpenTraceFile(const std::string& path, std::string* error);

}  // namespace r512::ctl
