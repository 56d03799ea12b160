#include "simulator/DeviceLine.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial/LineDefinition.h"
#include "serial/PortSpeedPosix.h"
#include "simulator/PseudoTerminal.h"

namespace r512::sim {

namespace {

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text + ": " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<DeviceLine> DeviceLine::OpenPseudoTerminal(std::string* error) {
    PseudoTerminal line;
    if (!line.Valid()) {
        if (error) *error = line.Error();
        return nullptr;
    }
    const std::string path = line.Path();
    return std::unique_ptr<DeviceLine>(new DeviceLine(line.TakeMaster(), line.TakeSlave(), path));
}

std::unique_ptr<DeviceLine> DeviceLine::ListenTcp(const std::string& hostPort, std::string* error) {
    const std::size_t colon = hostPort.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == hostPort.size()) {
        if (error) *error = "--tcp needs HOST:PORT, e.g. 127.0.0.1:4001";
        return nullptr;
    }
    std::string host = hostPort.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string port = hostPort.substr(colon + 1);
    // getaddrinfo would take 65536 as port 0 (any free port) and a name as a service.
    if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
        std::stol(port) > 65535) {
        if (error) *error = hostPort + ": the port must be a number from 0 to 65535";
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (const int failed = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found)) {
        if (error) *error = hostPort + ": " + ::gai_strerror(failed);
        return nullptr;
    }
    UniqueFd listener;
    for (addrinfo* candidate = found; candidate != nullptr && !listener;
         candidate = candidate->ai_next) {
        UniqueFd fd(::socket(candidate->ai_family,
                             candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!fd) continue;
        const int on = 1;
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd.Get(), candidate->ai_addr, candidate->ai_addrlen) == 0 &&
            ::listen(fd.Get(), 4) == 0) {
            listener = std::move(fd);
        } else {
            SetError(error, "listen on " + hostPort);
        }
    }
    ::freeaddrinfo(found);
    if (!listener) return nullptr;

    // The port name the program uses, with the port that was actually bound.
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    ::getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&bound), &size);
    char address[INET6_ADDRSTRLEN] = "";
    unsigned boundPort = 0;
    std::string name;
    if (bound.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(bound);
        ::inet_ntop(AF_INET6, &v6.sin6_addr, address, sizeof address);
        boundPort = ntohs(v6.sin6_port);
        name = std::string("socket://[") + address + "]:" + std::to_string(boundPort);
    } else {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(bound);
        ::inet_ntop(AF_INET, &v4.sin_addr, address, sizeof address);
        boundPort = ntohs(v4.sin_port);
        name = std::string("socket://") + address + ":" + std::to_string(boundPort);
    }
    return std::unique_ptr<DeviceLine>(
        new DeviceLine(UniqueFd(), UniqueFd(), name, std::move(listener)));
}

std::unique_ptr<DeviceLine> DeviceLine::OpenDevice(const std::string& path, std::uint32_t baud,
                                                   std::string* error) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        SetError(error, "open " + path);
        return nullptr;
    }
    LineSettings line;
    line.baud = baud;
    if (!posix::ApplyLineSettings(fd.Get(), line)) {
        SetError(error, "configure " + path);
        return nullptr;
    }
    return std::unique_ptr<DeviceLine>(new DeviceLine(std::move(fd), UniqueFd(), path));
}

DeviceLine::DeviceLine(UniqueFd fd, UniqueFd slave, std::string path, UniqueFd listener)
    : fd_(std::move(fd)),
      slave_(std::move(slave)),
      listener_(std::move(listener)),
      path_(std::move(path)) {}

DeviceLine::~DeviceLine() {
    Close();
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
}

ssize_t DeviceLine::Read(std::uint8_t* buffer, std::size_t size) {
    return ::read(fd_.Get(), buffer, size);
}

ssize_t DeviceLine::Write(const std::uint8_t* bytes, std::size_t count) {
    // A client that has gone must not end the simulator with SIGPIPE.
    if (IsTcp()) return ::send(fd_.Get(), bytes, count, MSG_NOSIGNAL);
    return ::write(fd_.Get(), bytes, count);
}

void DeviceLine::Close() {
    fd_.Reset();
    slave_.Reset();
}

DeviceLine::Accepted DeviceLine::Accept() {
    UniqueFd client(::accept4(listener_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!client) return Accepted::Nothing;
    // Nothing at the other end of the cable: the connection is closed at once, as a bridge
    // with no device would.
    if (unplugged_) return Accepted::Refused;
    // One client at a time, as a serial line has one other end: the newest takes the line.
    // (An earlier client that has just closed its end may not have been noticed yet.)
    const bool replaced = fd_.Valid();
    const int on = 1;
    ::setsockopt(client.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    fd_ = std::move(client);
    return replaced ? Accepted::Replaced : Accepted::Connected;
}

bool DeviceLine::PointLink(std::string* error) {
    ::unlink(linkPath_.c_str());
    if (::symlink(path_.c_str(), linkPath_.c_str()) == 0) return true;
    SetError(error, "cannot link " + linkPath_);
    return false;
}

bool DeviceLine::LinkAs(const std::string& linkPath, std::string* error) {
    linkPath_ = linkPath;
    return PointLink(error);
}

bool DeviceLine::Relink(std::string* error) { return linkPath_.empty() || PointLink(error); }

void DeviceLine::RemoveLink() {
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
    linkPath_.clear();
}

void DeviceLine::Unplug() {
    Close();
    unplugged_ = true;
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
}

bool DeviceLine::Replug(std::string* error) {
    if (IsTcp()) {
        // The server has listened all along: the next client takes the line.
        unplugged_ = false;
        return true;
    }
    PseudoTerminal line;
    if (!line.Valid()) {
        if (error) *error = line.Error();
        return false;
    }
    Close();
    fd_ = line.TakeMaster();
    slave_ = line.TakeSlave();
    path_ = line.Path();
    return true;
}

}  // namespace r512::sim
