// The socket port channel: socket://HOST:PORT names, and a link over a TCP connection on the
// loopback address whose other end the test plays, read and time-out rules as on a serial port,
// and a lost connection that closes the link without making the I/O thread spin.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <chrono>

#include "base/BlockingNoticeQueue.h"
#include "serial/PortChannelSocket.h"
#include "serial/SerialLink.h"
#include "serial/SocketPortName.h"
#include "simulator/PseudoTerminal.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
constexpr std::uint32_t kNotice = 1124;

TEST(SocketPortName, SplitsHostAndPort) {
    struct Case {
        const char* name;
        bool valid;
        const char* host;
        const char* port;
    };
    const Case cases[] = {
        {"socket://127.0.0.1:4001", true, "127.0.0.1", "4001"},
        {"SOCKET://localhost:23", true, "localhost", "23"},
        {"socket://[::1]:4001", true, "::1", "4001"},
        {"socket://127.0.0.1:007", true, "127.0.0.1", "7"},
        {"socket://127.0.0.1", false, "", ""},
        {"socket://:4001", false, "", ""},
        {"socket://127.0.0.1:0", false, "", ""},
        {"socket://127.0.0.1:65536", false, "", ""},
        {"socket://127.0.0.1:40x1", false, "", ""},
        {"socket://::1:4001", false, "", ""},
        {"/dev/ttyUSB0", false, "", ""},
        {"COM1", false, "", ""},
    };
    for (const Case& c : cases) {
        SocketAddress address;
        EXPECT_EQ(ParseSocketPortName(c.name, address), c.valid) << c.name;
        if (!c.valid) continue;
        EXPECT_EQ(address.host, c.host) << c.name;
        EXPECT_EQ(address.port, c.port) << c.name;
    }
}

// The far end: a listening socket on the loopback address and the one connection it accepts.
class Bridge {
public:
    Bridge() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 1);
        socklen_t size = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        name_ = "socket://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
    ~Bridge() {
        Drop();
        ::close(listener_);
    }
    const std::string& Name() const { return name_; }
    void Accept() { client_ = ::accept(listener_, nullptr, nullptr); }
    void Send(std::initializer_list<std::uint8_t> bytes) {
        const std::vector<std::uint8_t> data(bytes);
        ASSERT_EQ(::send(client_, data.data(), data.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(data.size()));
    }
    std::vector<std::uint8_t> Receive(std::size_t count) {
        std::vector<std::uint8_t> data(count);
        std::size_t got = 0;
        while (got < count) {
            const ssize_t n = ::recv(client_, data.data() + got, count - got, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        data.resize(got);
        return data;
    }
    void Drop() {
        if (client_ >= 0) ::close(client_);
        client_ = -1;
    }

private:
    int listener_ = -1;
    int client_ = -1;
    std::string name_;
};

class SocketPort : public ::testing::Test {
protected:
    SerialLink::OpenResult OpenOutcome(SerialLink& link, const std::string& name) {
        return link.OpenPort(name.c_str(), "baud=11520 parity=N data=8 stop=1", &timeouts,
                             &notices);
    }
    bool Open(SerialLink& link, const std::string& name) {
        return OpenOutcome(link, name) == SerialLink::OpenResult::Opened;
    }

    static std::chrono::milliseconds CpuTime() {
        timespec t{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return std::chrono::milliseconds(t.tv_sec * 1000 + t.tv_nsec / 1000000);
    }

    CommTimeouts timeouts{100, 0, 300, 0, 1000};
    BlockingNoticeQueue notices;
};

TEST_F(SocketPort, BytesFlowBothWaysWithTheSerialReadRules) {
    Bridge bridge;
    auto* channel = new PortChannelSocket;
    SerialLink link{std::unique_ptr<PortChannel>(channel)};
    ASSERT_TRUE(Open(link, bridge.Name()));
    bridge.Accept();

    const std::uint8_t frame[] = {0xE0, 0x52, 0x53, 0x21, 0x31};
    ASSERT_TRUE(link.QueueWrite(frame, sizeof frame, 0));
    EXPECT_EQ(bridge.Receive(5), std::vector<std::uint8_t>(frame, frame + 5));

    // Two of three bytes, then silence: the read ends at the interval time-out with two.
    std::uint8_t window[3] = {};
    ASSERT_TRUE(link.QueueRead(window, 3, kNotice));
    bridge.Send({0xE1, 0x41});
    auto notice = notices.Take(2000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->requested, 3u);
    EXPECT_EQ(notice->received, 2u);
    EXPECT_EQ(window[0], 0xE1);
    EXPECT_EQ(window[1], 0x41);
    // Nothing at all: the read ends at its total time-out with none.
    ASSERT_TRUE(link.QueueRead(window, 3, kNotice));
    notice = notices.Take(2000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->received, 0u);
    EXPECT_FALSE(channel->ConnectionLost());
}

TEST_F(SocketPort, ALostConnectionClosesTheLinkWithOneFailureNoticeWithoutSpinning) {
    Bridge bridge;
    auto* channel = new PortChannelSocket;
    SerialLink link{std::unique_ptr<PortChannel>(channel)};
    ASSERT_TRUE(Open(link, bridge.Name()));
    bridge.Accept();
    std::uint8_t window[3] = {};
    ASSERT_TRUE(link.QueueRead(window, 3, kNotice));
    const auto cpuBefore = CpuTime();
    bridge.Drop();

    // The loss is a failure of the port, told once; the link then takes nothing more.
    auto notice = notices.Take(2000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, WM_PORT_FAILED);
    EXPECT_TRUE(channel->ConnectionLost());
    EXPECT_FALSE(link.IsOpen());
    const std::uint8_t frame[] = {0xE0, 0x52, 0x53, 0x21, 0x31};
    EXPECT_FALSE(link.QueueWrite(frame, sizeof frame, kNotice + 1));
    EXPECT_FALSE(notices.Take(1000ms));
    EXPECT_LT((CpuTime() - cpuBefore).count(), 200);
    EXPECT_TRUE(link.ClosePort());
}

TEST_F(SocketPort, RefusedConnectionIsAPortThatCannotBeOpened) {
    SerialLink link;
    EXPECT_EQ(OpenOutcome(link, "socket://127.0.0.1:1"), SerialLink::OpenResult::OpenFailed);
    EXPECT_EQ(OpenOutcome(link, "socket://127.0.0.1"), SerialLink::OpenResult::OpenFailed);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(SocketPort, OneLinkOpensASocketAndThenASerialPort) {
    Bridge bridge;
    sim::PseudoTerminal pty;
    ASSERT_TRUE(pty.Valid());
    SerialLink link;  // the default channel decides by the port name
    ASSERT_TRUE(Open(link, bridge.Name()));
    bridge.Accept();
    const std::uint8_t byte = 0xDC;
    ASSERT_TRUE(link.QueueWrite(&byte, 1, 0));
    EXPECT_EQ(bridge.Receive(1), std::vector<std::uint8_t>{0xDC});

    ASSERT_TRUE(link.ClosePort());
    ASSERT_TRUE(Open(link, pty.Path()));
    ASSERT_TRUE(link.QueueWrite(&byte, 1, kNotice));
    auto notice = notices.Take(2000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->received, 1u);
}

}  // namespace
}  // namespace r512::test
