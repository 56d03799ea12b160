// The trace file on Windows: opening a file never waits there; "-" is a copy of standard error.
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ctl/TraceFile.h"

namespace r512::ctl {

std::unique_ptr<ProtocolTrace> OpenTraceFile(const std::string& path, std::string* error) {
    if (path != "-") {
        ProtocolTrace::Opened opened = ProtocolTrace::Open(path);
        if (!opened.trace && error) *error = path + ": " + opened.error.message();
        return std::move(opened.trace);
    }
    const int fd = ::_dup(2);
    std::FILE* file = fd >= 0 ? ::_fdopen(fd, "a") : nullptr;
    if (file == nullptr) {
        if (error) *error = std::string("standard error: ") + std::strerror(errno);
        if (fd >= 0) ::_close(fd);
        return nullptr;
    }
    return ProtocolTrace::OnFile(file);
}

}  // namespace r512::ctl
