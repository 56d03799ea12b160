#include "serial/PortChannelPosix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "serial/LineDefinition.h"
#include "serial/PortSpeedPosix.h"

namespace r512 {

namespace {

constexpr std::uint32_t kMaxDword = std::numeric_limits<std::uint32_t>::max();

std::chrono::milliseconds Ms(std::uint64_t value) { return std::chrono::milliseconds(value); }

}  // namespace

std::unique_ptr<PortChannel> PortChannel::CreateForPlatform() {
    return std::make_unique<PortChannelPosix>();
}

PortChannelPosix::PortChannelPosix() = default;

PortChannelPosix::~PortChannelPosix() {
    ReleaseEvents();
    Close();
}

std::string PortChannelPosix::DevicePath(const std::string& portName) {
    // "COM1" to "COM256", in any letter case, are the PC's built-in ports.
    if (portName.size() > 3 && portName.size() <= 6) {
        const bool com = std::toupper(static_cast<unsigned char>(portName[0])) == 'C' &&
                         std::toupper(static_cast<unsigned char>(portName[1])) == 'O' &&
                         std::toupper(static_cast<unsigned char>(portName[2])) == 'M';
        bool digits = com;
        for (std::size_t i = 3; digits && i < portName.size(); ++i)
            digits = std::isdigit(static_cast<unsigned char>(portName[i])) != 0;
        if (digits) {
            const long number = std::strtol(portName.c_str() + 3, nullptr, 10);
            if (number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
        }
    }
    return portName;
}

PortChannel::OpenStatus PortChannelPosix::Open(const char* portName, const char* lineDefinition,
                                               const CommTimeouts& timeouts) {
    Close();
    openFailure_.clear();
    auto failed = [this](OpenStatus status, std::string cause) {
        openFailure_ = std::move(cause);
        return status;
    };
    const std::string path = DevicePath(portName);
    if (path.empty()) return failed(OpenStatus::OpenFailed, "no port name");
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) return failed(OpenStatus::OpenFailed, std::strerror(errno));
    // The port is for this program alone, as an exclusive open of a COM port would be: another
    // program of ours holding it counts as a port that can't be opened.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return failed(OpenStatus::OpenFailed, "in use by another program");

    LineSettings settings;
    if (!::isatty(fd.Get())) return failed(OpenStatus::ConfigureFailed, "not a serial port");
    if (!ParseLineDefinition(lineDefinition, settings))
        return failed(OpenStatus::ConfigureFailed, "no line settings for this speed");
    if (!posix::ApplyLineSettings(fd.Get(), settings))
        return failed(OpenStatus::ConfigureFailed, std::strerror(errno));
    ::ioctl(fd.Get(), TIOCEXCL);
    // DTR on, RTS off. A pseudo-terminal has no modem lines: that is not an error.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ::ioctl(fd.Get(), TIOCMBIS, &dtr);
    ::ioctl(fd.Get(), TIOCMBIC, &rts);

    fd_ = std::move(fd);
    timeouts_ = timeouts;
    portFailed_ = false;
    failureReported_ = false;
    return OpenStatus::Opened;
}

void PortChannelPosix::Close() {
    if (fd_) ::ioctl(fd_.Get(), TIOCNXCL);
    fd_.Reset();
}

bool PortChannelPosix::IsOpen() const { return fd_.Valid(); }

bool PortChannelPosix::CreateEvents() {
    ReleaseEvents();
    if (!wake_.Create()) return false;
    stopRequested_.store(false);
    return true;
}

void PortChannelPosix::ReleaseEvents() {
    wake_.Release();
    startedRead_.store(nullptr);
    startedWrite_.store(nullptr);
    abortRead_.store(0);
    read_ = ActiveRead{};
    write_ = ActiveWrite{};
}

void PortChannelPosix::StartRead(IoRequest& request) {
    // On a closed port the start fails, as a read on an invalid handle would: the request
    // stays queued and unsent.
    if (!fd_ || !wake_.Valid()) return;
    startedRead_.store(&request);
    wake_.Wake();
}

void PortChannelPosix::StartWrite(IoRequest& request) {
    if (!fd_ || !wake_.Valid()) return;
    startedWrite_.store(&request);
    wake_.Wake();
}

void PortChannelPosix::RequestStop() {
    stopRequested_.store(true);
    wake_.Wake();
}

bool PortChannelPosix::PurgeReceive(std::uint64_t outstandingRead) {
    if (!fd_) return false;
    ::tcflush(fd_.Get(), TCIFLUSH);
    if (outstandingRead != 0) {
        abortRead_.store(outstandingRead);
        wake_.Wake();
    }
    return true;
}

void PortChannelPosix::AdoptStartedRequests(Clock::time_point now) {
    if (IoRequest* request = startedRead_.exchange(nullptr)) {
        read_ = ActiveRead{request, 0, now, now, request->length == 0};
    }
    if (IoRequest* request = startedWrite_.exchange(nullptr)) {
        write_ = ActiveWrite{request, 0, now, request->length == 0};
    }
    // An abort meant for a read that has completed meanwhile finds another serial here (or
    // none) and is dropped.
    if (const std::uint64_t target = abortRead_.exchange(0)) {
        if (read_.request != nullptr && read_.request->serial == target) read_.done = true;
    }
}

bool PortChannelPosix::ReadIsImmediate() const {
    return timeouts_.ReadIntervalTimeout == kMaxDword &&
           timeouts_.ReadTotalTimeoutMultiplier == 0 && timeouts_.ReadTotalTimeoutConstant == 0;
}

void PortChannelPosix::TransferRead(Clock::time_point now) {
    if (read_.request == nullptr || read_.done || portFailed_) return;
    IoRequest& request = *read_.request;
    while (read_.received < request.length) {
        const ssize_t n =
            ::read(fd_.Get(), request.data + read_.received, request.length - read_.received);
        if (n > 0) {
            read_.received += static_cast<std::uint32_t>(n);
            read_.lastByte = now;
            continue;
        }
        // A terminal without data answers 0 (or EAGAIN): nothing to take yet.
        if (n == 0 || (n < 0 && errno == EAGAIN)) break;
        if (n < 0 && errno == EINTR) continue;
        portFailed_ = true;  // EIO, ENXIO, ...: the other end or the device has gone
        break;
    }
    request.bytesDone = read_.received;
    if (read_.received == request.length || ReadIsImmediate()) read_.done = true;
}

void PortChannelPosix::TransferWrite(Clock::time_point) {
    if (write_.request == nullptr || write_.done || portFailed_) return;
    IoRequest& request = *write_.request;
    while (write_.sent < request.length) {
        const ssize_t n =
            ::write(fd_.Get(), request.data + write_.sent, request.length - write_.sent);
        if (n > 0) {
            write_.sent += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        portFailed_ = true;
        break;
    }
    request.bytesDone = write_.sent;
    if (write_.sent == request.length) write_.done = true;
}

namespace {

// The total time-out of a request started at `started`: multiplier x length + constant after
// its start; none when both are 0.
std::optional<std::chrono::steady_clock::time_point> TotalDeadline(
    std::chrono::steady_clock::time_point started, std::uint32_t multiplier, std::uint32_t constant,
    std::uint32_t length) {
    const std::uint64_t total = std::uint64_t{multiplier} * length + constant;
    if (total == 0) return std::nullopt;
    return started + Ms(total);
}

}  // namespace

std::optional<PortChannelPosix::Clock::time_point> PortChannelPosix::ReadDeadline() const {
    if (read_.request == nullptr || read_.done) return std::nullopt;
    std::optional<Clock::time_point> deadline =
        TotalDeadline(read_.started, timeouts_.ReadTotalTimeoutMultiplier,
                      timeouts_.ReadTotalTimeoutConstant, read_.request->length);
    // The interval rule counts from the last byte, once one has come.
    const std::uint32_t interval = timeouts_.ReadIntervalTimeout;
    if (interval > 0 && interval != kMaxDword && read_.received > 0) {
        const Clock::time_point afterByte = read_.lastByte + Ms(interval);
        if (!deadline || afterByte < *deadline) deadline = afterByte;
    }
    return deadline;
}

std::optional<PortChannelPosix::Clock::time_point> PortChannelPosix::WriteDeadline() const {
    if (write_.request == nullptr || write_.done) return std::nullopt;
    return TotalDeadline(write_.started, timeouts_.WriteTotalTimeoutMultiplier,
                         timeouts_.WriteTotalTimeoutConstant, write_.request->length);
}

void PortChannelPosix::ApplyTimeouts(Clock::time_point now) {
    if (const auto deadline = ReadDeadline(); deadline && now >= *deadline) read_.done = true;
    if (const auto deadline = WriteDeadline(); deadline && now >= *deadline) write_.done = true;
}

int PortChannelPosix::PollTimeoutMs(Clock::time_point now) const {
    std::optional<Clock::time_point> earliest = ReadDeadline();
    if (const auto write = WriteDeadline(); write && (!earliest || *write < *earliest))
        earliest = write;
    if (!earliest) return -1;
    if (*earliest <= now) return 0;
    // Round up, so that the wake-up never comes before the deadline and spins.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*earliest - now).count();
    return wait > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                  : static_cast<int>(wait);
}

PortChannel::Completion PortChannelPosix::WaitForCompletion() {
    using Kind = Completion::Kind;
    for (;;) {
        if (stopRequested_.exchange(false)) return {Kind::Stop, 0};

        Clock::time_point now = Clock::now();
        AdoptStartedRequests(now);
        TransferRead(now);
        TransferWrite(now);

        // The port has gone: nothing on it completes any more. Told once; after that the
        // thread only waits for its stop.
        if (portFailed_ && !failureReported_) {
            failureReported_ = true;
            return {Kind::Failed, 0};
        }
        ApplyTimeouts(now);

        // A read completion is reported before a write completion that is due with it.
        if (read_.request != nullptr && read_.done) {
            const std::uint32_t count = read_.received;
            read_ = ActiveRead{};
            return {Kind::ReadDone, count};
        }
        if (write_.request != nullptr && write_.done) {
            const std::uint32_t count = write_.sent;
            write_ = ActiveWrite{};
            return {Kind::WriteDone, count};
        }

        pollfd fds[2] = {{wake_.ReadEnd(), POLLIN, 0}, {fd_.Get(), 0, 0}};
        nfds_t count = 1;
        if (!portFailed_ && fd_) {
            if (read_.request != nullptr) fds[1].events |= POLLIN;
            if (write_.request != nullptr) fds[1].events |= POLLOUT;
            if (fds[1].events != 0) count = 2;
        }
        const int ready = ::poll(fds, count, portFailed_ ? -1 : PollTimeoutMs(now));
        if (ready < 0) {
            if (errno == EINTR) continue;
            return {Kind::Nothing, 0};
        }
        if (fds[0].revents & POLLIN) wake_.Drain();
        if (count == 2 && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            // A hung-up line, or a device that has gone. Stop watching it: it would report
            // itself ready for ever.
            portFailed_ = true;
        }
    }
}

}  // namespace r512
