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
#include <limits>

#include "serial/LineDefinition.h"
#include "serial/PosixPortSpeed.h"

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
    const std::string path = DevicePath(portName);
    if (path.empty()) return OpenStatus::OpenFailed;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return OpenStatus::OpenFailed;
    // The port is for this program alone, as an exclusive open of a COM port would be: another
    // program of ours holding it counts as a port that can't be opened.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return OpenStatus::OpenFailed;
    }

    LineSettings settings;
    if (!::isatty(fd) || !ParseLineDefinition(lineDefinition, settings) ||
        !posix::ApplyLineSettings(fd, settings)) {
        ::close(fd);
        return OpenStatus::ConfigureFailed;
    }
    ::ioctl(fd, TIOCEXCL);
    // DTR on, RTS off. A pseudo-terminal has no modem lines: that is not an error.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &dtr);
    ::ioctl(fd, TIOCMBIC, &rts);

    fd_ = fd;
    timeouts_ = timeouts;
    portDead_ = false;
    return OpenStatus::Opened;
}

void PortChannelPosix::Close() {
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }
    fd_ = -1;
}

bool PortChannelPosix::IsOpen() const { return fd_ >= 0; }

bool PortChannelPosix::CreateEvents() {
    ReleaseEvents();
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
    startedRead_.store(nullptr);
    startedWrite_.store(nullptr);
    stopRequested_.store(false);
    abortRead_.store(nullptr);
    read_ = ActiveRead{};
    write_ = ActiveWrite{};
    return true;
}

void PortChannelPosix::ReleaseEvents() {
    if (wakeRead_ >= 0) ::close(wakeRead_);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);
    wakeRead_ = wakeWrite_ = -1;
    startedRead_.store(nullptr);
    startedWrite_.store(nullptr);
    abortRead_.store(nullptr);
    read_ = ActiveRead{};
    write_ = ActiveWrite{};
}

void PortChannelPosix::Wake() {
    if (wakeWrite_ < 0) return;
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost when this write fails.
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
}

void PortChannelPosix::DrainWakePipe() {
    char buffer[64];
    while (::read(wakeRead_, buffer, sizeof buffer) > 0) {
    }
}

void PortChannelPosix::StartRead(IoRequest& request) {
    // On a closed port the start fails, as a read on an invalid handle would: the request
    // stays queued and unsent.
    if (fd_ < 0 || wakeWrite_ < 0) return;
    startedRead_.store(&request);
    Wake();
}

void PortChannelPosix::StartWrite(IoRequest& request) {
    if (fd_ < 0 || wakeWrite_ < 0) return;
    startedWrite_.store(&request);
    Wake();
}

void PortChannelPosix::RequestStop() {
    stopRequested_.store(true);
    Wake();
}

bool PortChannelPosix::PurgeReceive(IoRequest* outstandingRead) {
    if (fd_ < 0) return false;
    ::tcflush(fd_, TCIFLUSH);
    if (outstandingRead != nullptr) {
        abortRead_.store(outstandingRead);
        Wake();
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
    if (IoRequest* target = abortRead_.exchange(nullptr)) {
        if (read_.request == target) read_.done = true;
    }
}

bool PortChannelPosix::ReadIsImmediate() const {
    return timeouts_.ReadIntervalTimeout == kMaxDword &&
           timeouts_.ReadTotalTimeoutMultiplier == 0 && timeouts_.ReadTotalTimeoutConstant == 0;
}

void PortChannelPosix::TransferRead(Clock::time_point now) {
    if (read_.request == nullptr || read_.done || portDead_) return;
    IoRequest& request = *read_.request;
    while (read_.received < request.length) {
        const ssize_t n =
            ::read(fd_, request.data + read_.received, request.length - read_.received);
        if (n > 0) {
            read_.received += static_cast<std::uint32_t>(n);
            read_.lastByte = now;
            continue;
        }
        // A terminal without data answers 0 (or EAGAIN): nothing to take yet. A hang-up
        // shows in poll's result instead.
        if (n == 0 || (n < 0 && errno == EAGAIN)) break;
        if (n < 0 && errno == EINTR) continue;
        portDead_ = true;  // an error: the other end has gone
        break;
    }
    request.bytesDone = read_.received;
    if (read_.received == request.length || ReadIsImmediate()) read_.done = true;
}

void PortChannelPosix::TransferWrite(Clock::time_point) {
    if (write_.request == nullptr || write_.done) return;
    IoRequest& request = *write_.request;
    while (!portDead_ && write_.sent < request.length) {
        const ssize_t n = ::write(fd_, request.data + write_.sent, request.length - write_.sent);
        if (n > 0) {
            write_.sent += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        portDead_ = true;
    }
    request.bytesDone = write_.sent;
    // A write on a port that has gone ends at once with what went out.
    if (write_.sent == request.length || portDead_) write_.done = true;
}

void PortChannelPosix::ApplyTimeouts(Clock::time_point now) {
    if (read_.request != nullptr && !read_.done) {
        const std::uint64_t total =
            std::uint64_t{timeouts_.ReadTotalTimeoutMultiplier} * read_.request->length +
            timeouts_.ReadTotalTimeoutConstant;
        const std::uint32_t interval = timeouts_.ReadIntervalTimeout;
        if (total > 0 && now - read_.started >= Ms(total)) read_.done = true;
        if (interval > 0 && interval != kMaxDword && read_.received > 0 &&
            now - read_.lastByte >= Ms(interval))
            read_.done = true;
    }
    if (write_.request != nullptr && !write_.done) {
        const std::uint64_t total =
            std::uint64_t{timeouts_.WriteTotalTimeoutMultiplier} * write_.request->length +
            timeouts_.WriteTotalTimeoutConstant;
        if (total > 0 && now - write_.started >= Ms(total)) write_.done = true;
    }
}

int PortChannelPosix::PollTimeoutMs(Clock::time_point now) const {
    Clock::time_point earliest = Clock::time_point::max();
    auto consider = [&](Clock::time_point deadline) {
        if (deadline < earliest) earliest = deadline;
    };
    if (read_.request != nullptr && !read_.done) {
        const std::uint64_t total =
            std::uint64_t{timeouts_.ReadTotalTimeoutMultiplier} * read_.request->length +
            timeouts_.ReadTotalTimeoutConstant;
        const std::uint32_t interval = timeouts_.ReadIntervalTimeout;
        if (total > 0) consider(read_.started + Ms(total));
        if (interval > 0 && interval != kMaxDword && read_.received > 0)
            consider(read_.lastByte + Ms(interval));
    }
    if (write_.request != nullptr && !write_.done) {
        const std::uint64_t total =
            std::uint64_t{timeouts_.WriteTotalTimeoutMultiplier} * write_.request->length +
            timeouts_.WriteTotalTimeoutConstant;
        if (total > 0) consider(write_.started + Ms(total));
    }
    if (earliest == Clock::time_point::max()) return -1;
    if (earliest <= now) return 0;
    // Round up, so that the wake-up never comes before the deadline and spins.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(earliest - now).count();
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

        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {fd_, 0, 0}};
        nfds_t count = 1;
        if (!portDead_ && fd_ >= 0) {
            if (read_.request != nullptr) fds[1].events |= POLLIN;
            if (write_.request != nullptr) fds[1].events |= POLLOUT;
            if (fds[1].events != 0) count = 2;
        }
        const int ready = ::poll(fds, count, PollTimeoutMs(now));
        if (ready < 0) {
            if (errno == EINTR) continue;
            return {Kind::Nothing, 0};
        }
        if (fds[0].revents & POLLIN) DrainWakePipe();
        if (count == 2 && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            // Take what is still buffered, then stop watching the port: a hung-up terminal
            // reports itself ready for ever.
            TransferRead(Clock::now());
            portDead_ = true;
        }
    }
}

}  // namespace r512
