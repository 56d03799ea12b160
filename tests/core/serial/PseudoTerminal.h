#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace r512::test {

// A raw pseudo-terminal pair: the slave is the "serial port" the link opens, the master is
// the far end, played by the test. The test keeps a slave descriptor of its own, which keeps
// the line up between the link's sessions and lets it read the line settings back.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::grantpt(master_);
        ::unlockpt(master_);
        char name[128] = {};
        ::ptsname_r(master_, name, sizeof name);
        path_ = name;
        slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios tio{};
        ::tcgetattr(slave_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    ~PseudoTerminal() { HangUp(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& Path() const { return path_; }
    int Slave() const { return slave_; }
    bool Valid() const { return master_ >= 0 && slave_ >= 0; }

    void Write(const std::vector<std::uint8_t>& bytes) {
        [[maybe_unused]] const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    }

    // Reads from the far end until `count` bytes have come or `timeout` has passed.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds timeout) {
        std::vector<std::uint8_t> bytes;
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd fd{master_, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
            std::uint8_t buffer[256];
            const ssize_t n =
                ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n <= 0) break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

    // The far end goes away: the link's side of the line is hung up.
    void HangUp() {
        if (master_ >= 0) ::close(master_);
        if (slave_ >= 0) ::close(slave_);
        master_ = slave_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace r512::test
