// The trace file on POSIX: opened non-blocking (a FIFO without a reader fails with ENXIO
// instead of waiting forever), then switched back to blocking writes so that no trace line is
// cut short.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ctl/TraceFile.h"

namespace r512::ctl {

std::unique_ptr<ProtocolTrace> OpenTraceFile(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& name) -> std::unique_ptr<ProtocolTrace> {
        if (error) *error = name + ": " + std::strerror(errno);
        return nullptr;
    };
    const bool standardError = path == "-";
    const int fd =
        standardError
            ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0)
            : ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    const std::string name = standardError ? "standard error" : path;
    if (fd < 0) {
        if (errno == ENXIO) {
            if (error) *error = name + ": a FIFO that nobody reads";
            return nullptr;
        }
        return fail(name);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (!standardError && flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "a");
    if (file == nullptr) {
        const int cause = errno;
        ::close(fd);
        errno = cause;
        return fail(name);
    }
    return ProtocolTrace::OnFile(file);
}

}  // namespace r512::ctl
