#include "daemon/DaemonHarness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace r512::test {

bool WaitFor(const std::function<bool()>& condition, Millis timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(Millis(5));
    }
}

DaemonProcess::DaemonProcess(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
    std::vector<std::string> all = {R512D_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(pipeFds[1], 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    stderrFd_ = pipeFds[0];
    reader_ = std::thread([this] {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(stderrFd_, buffer, sizeof buffer);
            if (n <= 0) break;
            std::lock_guard<std::mutex> guard(lock_);
            log_.append(buffer, static_cast<std::size_t>(n));
        }
    });
}

DaemonProcess::~DaemonProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        if (Wait(Millis(3000)) == -1) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    if (reader_.joinable()) reader_.join();
    if (stderrFd_ >= 0) ::close(stderrFd_);
}

std::string DaemonProcess::Log() const {
    std::lock_guard<std::mutex> guard(lock_);
    return log_;
}

bool DaemonProcess::LogHas(const std::string& text, Millis timeout) {
    return WaitFor([&] { return Log().find(text) != std::string::npos; }, timeout);
}

int DaemonProcess::PortOf(const std::string& kind, Millis timeout) {
    const std::string marker = kind + " clients on 127.0.0.1:";
    int port = 0;
    WaitFor(
        [&] {
            const std::string log = Log();
            const std::size_t at = log.find(marker);
            if (at == std::string::npos) return false;
            port = std::atoi(log.c_str() + at + marker.size());
            return true;
        },
        timeout);
    return port;
}

void DaemonProcess::Signal(int number) {
    if (pid_ > 0) ::kill(pid_, number);
}

int DaemonProcess::Wait(Millis timeout) {
    if (pid_ <= 0) return -1;
    int status = 0;
    int result = -1;
    const bool ended = WaitFor(
        [&] {
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return true;
            }
            return false;
        },
        timeout);
    if (!ended) return -1;
    pid_ = -1;
    return result;
}

namespace {

int ConnectLoopback(int port, const char* source, int receiveBuffer) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (receiveBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    if (source) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, source, &local.sin_addr);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            ::close(fd);
            return -1;
        }
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(fd);
        return -1;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// Reads what is there, waiting at most `timeout` for the first bytes; -1 at the end of the
// stream.
ssize_t ReadSome(int fd, std::vector<std::uint8_t>& into, Millis timeout) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return 0;
    std::uint8_t buffer[65536];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n <= 0) return -1;
    into.insert(into.end(), buffer, buffer + n);
    return n;
}

}  // namespace

RawPeer::RawPeer(int port, const char* source, int receiveBuffer)
    : fd_(ConnectLoopback(port, source, receiveBuffer)) {}

RawPeer::~RawPeer() {
    if (fd_ >= 0) ::close(fd_);
}

bool RawPeer::Send(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool RawPeer::SendCommand(std::uint8_t code) { return Send({0xE0, 0x52, 0x53, 0x21, code}); }

void RawPeer::Pump(Millis timeout) {
    if (closed_) return;
    if (ReadSome(fd_, received_, timeout) < 0) closed_ = true;
}

bool RawPeer::WaitForBytes(std::size_t count, Millis timeout) {
    return WaitFor(
               [&] {
                   Pump(Millis(5));
                   return received_.size() >= count || closed_;
               },
               timeout) &&
           received_.size() >= count;
}

bool RawPeer::WaitForClose(Millis timeout) {
    return WaitFor(
        [&] {
            Pump(Millis(5));
            return closed_;
        },
        timeout);
}

JsonPeer::JsonPeer(int port) : fd_(ConnectLoopback(port, nullptr, 0)) {}

JsonPeer::~JsonPeer() {
    if (fd_ >= 0) ::close(fd_);
}

bool JsonPeer::Send(const std::string& line) {
    const std::string all = line + "\n";
    return ::send(fd_, all.data(), all.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(all.size());
}

std::string JsonPeer::WaitForLine(const std::string& text, Millis timeout) {
    std::string found;
    WaitFor(
        [&] {
            for (; searched_ < lines_.size(); ++searched_) {
                if (lines_[searched_].find(text) != std::string::npos) {
                    found = lines_[searched_++];
                    return true;
                }
            }
            std::vector<std::uint8_t> bytes;
            if (ReadSome(fd_, bytes, Millis(5)) <= 0) return false;
            partial_.append(bytes.begin(), bytes.end());
            for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
                lines_.push_back(partial_.substr(0, end));
                partial_.erase(0, end + 1);
            }
            return false;
        },
        timeout);
    return found;
}

bool AllFrames(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() % 3 != 0) return false;
    for (std::size_t i = 0; i < bytes.size(); i += 3)
        if (bytes[i] < 0xE1 || bytes[i] > 0xFA || bytes[i + 2] != 0xFF) return false;
    return true;
}

}  // namespace r512::test
