#include "simulator/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace r512::sim {

PseudoTerminal::PseudoTerminal() {
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!master) {
        error_ = std::string("posix_openpt: ") + std::strerror(errno);
        return;
    }
    char name[128];
    if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0 ||
        ::ptsname_r(master.Get(), name, sizeof name) != 0) {
        error_ = std::string("pseudo-terminal set-up: ") + std::strerror(errno);
        return;
    }
    UniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave) {
        error_ = std::string("open ") + name + ": " + std::strerror(errno);
        return;
    }
    termios tio{};
    ::tcgetattr(slave.Get(), &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave.Get(), TCSANOW, &tio);
    master_ = std::move(master);
    slave_ = std::move(slave);
    path_ = name;
}

bool PseudoTerminal::Write(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_.Get(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        pollfd fd{master_.Get(), POLLOUT, 0};
        if (::poll(&fd, 1, 1000) <= 0) return false;
    }
    return true;
}

std::vector<std::uint8_t> PseudoTerminal::Read(std::size_t count,
                                               std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> bytes;
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count && master_) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd fd{master_.Get(), POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
        std::uint8_t buffer[256];
        const ssize_t n =
            ::read(master_.Get(), buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

void PseudoTerminal::HangUp() {
    master_.Reset();
    slave_.Reset();
}

}  // namespace r512::sim
