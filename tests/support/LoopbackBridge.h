#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace r512::test {

// A bridge on the loopback address that can be made deaf: its accept queue (one connection
// long) is filled by a connection of its own, and the kernel then drops every further
// connection request unanswered, so a connect waits until it gives up, as with a bridge that
// is switched off or a host that drops packets.
class LoopbackBridge {
public:
    LoopbackBridge() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 0);
        socklen_t size = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        address_ = address;
        name_ = "socket://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
    ~LoopbackBridge() {
        for (int fd : open_) ::close(fd);
        ::close(listener_);
    }
    const std::string& Name() const { return name_; }

    // Takes the connection waiting in the accept queue; -1 when none comes within a second.
    int Accept() {
        timeval limit{1, 0};
        ::setsockopt(listener_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd >= 0) open_.push_back(fd);
        return fd;
    }
    // Fills the accept queue: from now on connection requests go unanswered.
    void GoDeaf() {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool filled =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address_), sizeof address_) == 0;
        open_.push_back(fd);
        EXPECT_TRUE(filled);
    }

private:
    int listener_;
    sockaddr_in address_{};
    std::string name_;
    std::vector<int> open_;
};

}  // namespace r512::test
