// The socket port channel's platform part on POSIX systems: a non-blocking TCP socket, poll(),
// and a pipe that wakes the I/O thread.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "serial/BoundedCall.h"
#include "serial/SocketConnection.h"

namespace r512 {

namespace {

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;  // a closed connection must not kill the program
#else
constexpr int kSendFlags = 0;
#endif

class SocketConnectionPosix final : public SocketConnection {
public:
    explicit SocketConnectionPosix(int fd) : fd_(fd) {}
    ~SocketConnectionPosix() override {
        ReleaseWake();
        ::close(fd_);
    }

    bool CreateWake() override {
        ReleaseWake();
        int fds[2];
        if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return false;
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
        return true;
    }

    void ReleaseWake() override {
        if (wakeRead_ >= 0) ::close(wakeRead_);
        if (wakeWrite_ >= 0) ::close(wakeWrite_);
        wakeRead_ = wakeWrite_ = -1;
    }

    void Wake() override {
        if (wakeWrite_ < 0) return;
        const char byte = 1;
        // A full pipe already holds a wake-up.
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
    }

    Transfer Receive(std::uint8_t* data, std::uint32_t length) override {
        for (;;) {
            const ssize_t n = ::recv(fd_, data, length, 0);
            if (n > 0) return {static_cast<std::uint32_t>(n), false};
            if (n == 0) return {0, length > 0};  // the other end has closed
            if (errno == EINTR) continue;
            return {0, errno != EAGAIN && errno != EWOULDBLOCK};
        }
    }

    Transfer Send(const std::uint8_t* data, std::uint32_t length) override {
        for (;;) {
            const ssize_t n = ::send(fd_, data, length, kSendFlags);
            if (n >= 0) return {static_cast<std::uint32_t>(n), false};
            if (errno == EINTR) continue;
            return {0, errno != EAGAIN && errno != EWOULDBLOCK};
        }
    }

    void Discard() override {
        std::uint8_t buffer[256];
        while (::recv(fd_, buffer, sizeof buffer, 0) > 0) {
        }
    }

    WaitResult Wait(bool wantRead, bool wantWrite, int timeoutMs) override {
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {fd_, 0, 0}};
        if (wantRead) fds[1].events |= POLLIN;
        if (wantWrite) fds[1].events |= POLLOUT;
        const nfds_t count = fds[1].events != 0 ? 2 : 1;
        WaitResult result;
        if (::poll(fds, count, timeoutMs) <= 0) return result;
        if (fds[0].revents & POLLIN) {
            char buffer[64];
            while (::read(wakeRead_, buffer, sizeof buffer) > 0) {
            }
            result.woken = true;
        }
        result.ready = count == 2 && fds[1].revents != 0;
        return result;
    }

private:
    int fd_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
};

using Clock = std::chrono::steady_clock;

bool Cancelled(const std::atomic<bool>* cancelled) {
    return cancelled != nullptr && cancelled->load();
}

// Waits for a non-blocking connect to end, until `deadline` or a cancel: 0 when it succeeded,
// else the error (ETIMEDOUT at the deadline, ECANCELED on a cancel). The wait is cut into
// short slices so that a cancel is seen soon; a signal does not start it afresh.
int FinishConnect(int fd, Clock::time_point deadline, const std::atomic<bool>* cancelled) {
    for (;;) {
        if (Cancelled(cancelled)) return ECANCELED;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return ETIMEDOUT;
        const auto slice = std::min<Clock::duration>(deadline - now, kCancelPollPeriod);
        pollfd pending{fd, POLLOUT, 0};
        const int ready =
            ::poll(&pending, 1,
                   static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()));
        if (ready < 0 && errno != EINTR) return errno;
        if (ready > 0) break;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
}

struct Lookup {
    int error = EAI_FAIL;
    int systemError = 0;  // errno, for EAI_SYSTEM
    addrinfo* found = nullptr;
};

}  // namespace

SocketConnection::Connected SocketConnection::Connect(const SocketAddress& address, int timeoutMs,
                                                      const std::atomic<bool>* cancelled) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::optional<Lookup> lookup = CallWithin<Lookup>(
        [host = address.host, port = address.port] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            Lookup result;
            result.error = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &result.found);
            if (result.error == EAI_SYSTEM) result.systemError = errno;
            return result;
        },
        [](Lookup& late) {
            if (late.error == 0) ::freeaddrinfo(late.found);
        },
        deadline, cancelled);
    if (!lookup) {
        return {nullptr, Cancelled(cancelled) ? "cancelled" : "the name lookup took too long"};
    }
    if (lookup->error != 0) {
        return {nullptr, lookup->error == EAI_SYSTEM ? std::strerror(lookup->systemError)
                                                     : ::gai_strerror(lookup->error)};
    }
    addrinfo* const found = lookup->found;
    int connected = -1;
    int lastError = 0;
    for (addrinfo* candidate = found; candidate != nullptr && connected < 0;
         candidate = candidate->ai_next) {
        const int fd =
            ::socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                     candidate->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        const int result = ::connect(fd, candidate->ai_addr, candidate->ai_addrlen);
        lastError = result == 0            ? 0
                    : errno == EINPROGRESS ? FinishConnect(fd, deadline, cancelled)
                                           : errno;
        if (lastError == 0) {
            connected = fd;
        } else {
            ::close(fd);
        }
    }
    ::freeaddrinfo(found);
    if (connected < 0) return {nullptr, std::strerror(lastError != 0 ? lastError : EADDRNOTAVAIL)};
    // Frames are a few bytes each and must not wait for more to fill a segment.
    const int on = 1;
    ::setsockopt(connected, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return {std::make_unique<SocketConnectionPosix>(connected), {}};
}

}  // namespace r512
