// The simulator over TCP, unplugged: a connection that comes meanwhile is closed at once, so a
// client's recovery is really tested; plugged in again, it is served as before.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/UniqueFdPosix.h"
#include "simulator/Simulator.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;

// A connection to the simulator's loopback port.
UniqueFd Connect(const std::string& portName) {
    const std::size_t colon = portName.rfind(':');
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(portName.substr(colon + 1))));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM, 0));
    if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return UniqueFd();
    return fd;
}

// What the connection brings within `limit`: bytes, or -1 for closed (end or error), or 0 for
// nothing yet.
int Receive(const UniqueFd& fd, std::vector<std::uint8_t>& bytes, std::chrono::milliseconds limit) {
    pollfd p{fd.Get(), POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(limit.count())) <= 0) return 0;
    std::uint8_t buffer[256];
    const ssize_t n = ::recv(fd.Get(), buffer, sizeof buffer, 0);
    if (n <= 0) return -1;
    bytes.insert(bytes.end(), buffer, buffer + n);
    return static_cast<int>(n);
}

TEST(SimulatorTcp, UnpluggedClosesConnectionsAndReplugServesAgain) {
    std::string error;
    auto device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    ASSERT_TRUE(device) << error;
    const std::vector<std::uint8_t> refresh = {0xE0, 0x52, 0x53, 0x21, 0xE3};

    device->Unplug();
    for (int attempt = 0; attempt < 3; ++attempt) {
        UniqueFd client = Connect(device->PortPath());
        if (!client) continue;  // refused: as good as closed
        ::send(client.Get(), refresh.data(), refresh.size(), MSG_NOSIGNAL);
        std::vector<std::uint8_t> bytes;
        int got = 0;
        const auto until = std::chrono::steady_clock::now() + 3s;
        while ((got = Receive(client, bytes, 100ms)) > 0 ||
               (got == 0 && std::chrono::steady_clock::now() < until)) {
        }
        EXPECT_EQ(got, -1) << "an unplugged device kept a connection";
        EXPECT_TRUE(bytes.empty()) << "an unplugged device answered";
    }

    ASSERT_TRUE(device->Replug(&error)) << error;
    UniqueFd client = Connect(device->PortPath());
    ASSERT_TRUE(client);
    ::send(client.Get(), refresh.data(), refresh.size(), MSG_NOSIGNAL);
    std::vector<std::uint8_t> bytes;
    const auto until = std::chrono::steady_clock::now() + 3s;
    while (bytes.size() < 26 * 3 && std::chrono::steady_clock::now() < until)
        ASSERT_GE(Receive(client, bytes, 100ms), 0);
    EXPECT_EQ(bytes.size(), 26u * 3);  // the whole report
}

}  // namespace
}  // namespace r512::test
