// The serial link on a real (pseudo-)terminal: the POSIX port code as the program runs it.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "base/BlockingNoticeQueue.h"
#include "device/DeviceLink.h"
#include "serial/PortChannelPosix.h"
#include "serial/PortSpeedPosix.h"
#include "serial/SerialLink.h"
#include "simulator/PseudoTerminal.h"

namespace r512::test {
namespace {

using sim::PseudoTerminal;

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kNotice = 1124;
constexpr const char* kLine = "baud=11520 parity=N data=8 stop=1";

class PurgingLink : public SerialLink {
public:
    using SerialLink::PurgeReceive;
};

class PosixPort : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.Valid()); }

    bool Open(SerialLink& link, CommTimeouts timeouts = {100, 0, 5000, 0, 1000}) {
        applied = timeouts;
        return link.OpenPort(pty.Path().c_str(), kLine, &applied, &notices) ==
               SerialLink::OpenResult::Opened;
    }

    static std::chrono::milliseconds CpuTime() {
        timespec t{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return std::chrono::milliseconds(t.tv_sec * 1000 + t.tv_nsec / 1000000);
    }

    PseudoTerminal pty;
    BlockingNoticeQueue notices;
    CommTimeouts applied{};
};

TEST_F(PosixPort, WritesGoOutInQueueOrder) {
    SerialLink link;
    ASSERT_TRUE(Open(link));
    const std::uint8_t a[] = {0xE0, 0x52, 0x53, 0x21, 0x31};
    const std::uint8_t b[] = {0xE0, 0x52, 0x53, 0x21, 0x32};
    const std::uint8_t c[] = {0xDC};
    ASSERT_TRUE(link.QueueWrite(a, 5, 0));
    ASSERT_TRUE(link.QueueWrite(b, 5, 0));
    ASSERT_TRUE(link.QueueWrite(c, 1, 0));
    EXPECT_EQ(pty.Read(11, 2000ms), (std::vector<std::uint8_t>{0xE0, 0x52, 0x53, 0x21, 0x31, 0xE0,
                                                               0x52, 0x53, 0x21, 0x32, 0xDC}));
    EXPECT_EQ(notices.Count(), 0u);
}

TEST_F(PosixPort, ReadNoticesCarryRequestedAndReceivedLengths) {
    SerialLink link;
    ASSERT_TRUE(Open(link));
    std::uint8_t first[3] = {}, second[5] = {};
    ASSERT_TRUE(link.QueueRead(first, 3, kNotice));
    ASSERT_TRUE(link.QueueRead(second, 5, kNotice));
    pty.Write({1, 2, 3, 4, 5, 6, 7, 8});
    const auto n1 = notices.Take(2000ms);
    const auto n2 = notices.Take(2000ms);
    ASSERT_TRUE(n1 && n2);
    EXPECT_EQ(n1->requested, 3u);
    EXPECT_EQ(n1->received, 3u);
    EXPECT_EQ(n2->requested, 5u);
    EXPECT_EQ(n2->received, 5u);
    EXPECT_EQ(first[2], 3);
    EXPECT_EQ(second[0], 4);
    EXPECT_EQ(second[4], 8);
}

TEST_F(PosixPort, ReadEndsOneIntervalAfterTheLastByte) {
    SerialLink link;
    ASSERT_TRUE(Open(link));
    std::uint8_t buffer[10] = {};
    ASSERT_TRUE(link.QueueRead(buffer, 10, kNotice));
    const auto sent = Clock::now();
    pty.Write({0xE1, 0x50, 0xFF, 0xE2});
    const auto notice = notices.Take(3000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->requested, 10u);
    EXPECT_EQ(notice->received, 4u);
    const auto after = notice->at - sent;
    EXPECT_GE(after, 95ms);
    EXPECT_LT(after, 600ms);
}

TEST_F(PosixPort, ReadWithNothingEndsAtTheTotalTimeWithZero) {
    SerialLink link;
    ASSERT_TRUE(Open(link, {100, 0, 400, 0, 1000}));
    std::uint8_t buffer[3] = {};
    const auto queued = Clock::now();
    ASSERT_TRUE(link.QueueRead(buffer, 3, kNotice));
    const auto notice = notices.Take(3000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->requested, 3u);
    EXPECT_EQ(notice->received, 0u);
    EXPECT_GE(notice->at - queued, 395ms);
    EXPECT_LT(notice->at - queued, 1500ms);
}

TEST_F(PosixPort, ClosePortDiscardsQueuedReadsWithoutNoticesOrWrites) {
    SerialLink link;
    ASSERT_TRUE(Open(link));
    std::uint8_t buffers[3][3] = {{7, 7, 7}, {8, 8, 8}, {9, 9, 9}};
    for (auto& buffer : buffers) ASSERT_TRUE(link.QueueRead(buffer, 3, kNotice));
    EXPECT_TRUE(link.ClosePort());
    pty.Write({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_FALSE(notices.Take(300ms));
    for (int i = 0; i < 3; ++i)
        for (std::uint8_t b : buffers[i]) EXPECT_EQ(b, 7 + i);
}

TEST_F(PosixPort, OpensAgainAfterClose) {
    SerialLink link;
    ASSERT_TRUE(Open(link));
    EXPECT_TRUE(link.ClosePort());
    EXPECT_TRUE(link.ClosePort());  // harmless twice
    ASSERT_TRUE(Open(link));
    std::uint8_t buffer[3] = {};
    ASSERT_TRUE(link.QueueRead(buffer, 3, kNotice));
    pty.Write({4, 5, 6});
    const auto notice = notices.Take(2000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->received, 3u);
    EXPECT_EQ(buffer[2], 6);
}

TEST_F(PosixPort, ChannelReportsStopFirstThenReadThenWrite) {
    PortChannelPosix channel;
    ASSERT_EQ(channel.Open(pty.Path().c_str(), kLine, {0, 0, 0, 0, 0}),
              PortChannel::OpenStatus::Opened);
    ASSERT_TRUE(channel.CreateEvents());
    std::uint8_t in[2] = {}, out[1] = {0x42};
    IoRequest read{in, 2, 0, 1, nullptr};
    IoRequest write{out, 1, 0, 0, nullptr};
    pty.Write({0x10, 0x20});
    // Let the bytes reach the port's input queue before anything is started.
    for (int i = 0; i < 200; ++i) {
        int queued = 0;
        ::ioctl(pty.Slave(), FIONREAD, &queued);
        if (queued == 2) break;
        std::this_thread::sleep_for(5ms);
    }
    channel.StartWrite(write);
    channel.StartRead(read);
    channel.RequestStop();
    using Kind = PortChannel::Completion::Kind;
    EXPECT_EQ(channel.WaitForCompletion().kind, Kind::Stop);
    const auto first = channel.WaitForCompletion();
    EXPECT_EQ(first.kind, Kind::ReadDone);
    EXPECT_EQ(first.count, 2u);
    const auto second = channel.WaitForCompletion();
    EXPECT_EQ(second.kind, Kind::WriteDone);
    EXPECT_EQ(second.count, 1u);
    EXPECT_EQ(in[1], 0x20);
    EXPECT_EQ(pty.Read(1, 1000ms), std::vector<std::uint8_t>{0x42});
    channel.ReleaseEvents();
    channel.Close();
}

TEST_F(PosixPort, PurgeAbortsTheOutstandingReadAndDropsUnreadInput) {
    PurgingLink link;
    EXPECT_FALSE(link.PurgeReceive());         // no port open
    ASSERT_TRUE(Open(link, {0, 0, 0, 0, 0}));  // reads wait for all their bytes
    std::uint8_t buffer[10] = {};
    ASSERT_TRUE(link.QueueRead(buffer, 10, kNotice));
    pty.Write({1, 2});
    // Wait until the link has taken the two bytes off the line (the buffer itself belongs to
    // the I/O thread until the notice).
    for (int i = 0; i < 400; ++i) {
        int queued = -1;
        ::ioctl(pty.Slave(), FIONREAD, &queued);
        if (queued == 0) break;
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_FALSE(notices.Take(50ms));
    ASSERT_TRUE(link.PurgeReceive());
    const auto notice = notices.Take(2000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->requested, 10u);
    EXPECT_EQ(notice->received, 2u);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 2);

    // Input that is on the line but not yet read is dropped by the purge.
    std::uint8_t next[3] = {};
    pty.Write({7, 8, 9});
    int queued = 0;
    for (int i = 0; i < 200 && queued < 3; ++i) {
        ::ioctl(pty.Slave(), FIONREAD, &queued);
        if (queued < 3) std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(link.PurgeReceive());
    ASSERT_TRUE(link.QueueRead(next, 3, kNotice));
    pty.Write({4, 5, 6});
    const auto fresh = notices.Take(2000ms);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(next[0], 4);
    EXPECT_EQ(next[2], 6);
}

// The purge names the read it aborts. When that read has completed just before (its completion
// taken by the I/O thread, not yet handed on) and the next read starts in the same memory, the
// abort must not hit the next read: it is the names download's.
TEST_F(PosixPort, AnAbortMeantForACompletedReadSparesTheNextReadInTheSameMemory) {
    PortChannelPosix channel;
    ASSERT_EQ(channel.Open(pty.Path().c_str(), kLine, {0, 0, 0, 0, 0}),
              PortChannel::OpenStatus::Opened);
    ASSERT_TRUE(channel.CreateEvents());
    using Kind = PortChannel::Completion::Kind;
    std::uint8_t in[3] = {};
    IoRequest request{in, 1, 0, 1, nullptr, 41};
    channel.StartRead(request);
    pty.Write({0x10});
    ASSERT_EQ(channel.WaitForCompletion().kind, Kind::ReadDone);

    // The purge aims at the read it saw at the head of the queue; the record is then reused
    // for the next read, as the allocator may do.
    ASSERT_TRUE(channel.PurgeReceive(request.serial));
    request = IoRequest{in, 3, 0, 1, nullptr, 42};
    channel.StartRead(request);
    pty.Write({0x20, 0x30, 0x40});
    const auto next = channel.WaitForCompletion();
    EXPECT_EQ(next.kind, Kind::ReadDone);
    EXPECT_EQ(next.count, 3u) << "the next read was aborted";
    channel.ReleaseEvents();
    channel.Close();
}

TEST_F(PosixPort, BadPortsTellWhyTheyCannotBeUsed) {
    const std::string file = ::testing::TempDir() + "r512-not-a-port";
    std::ofstream(file) << "x";
    const struct {
        std::string port;
        const char* line;
        SerialLink::OpenResult result;
    } cases[] = {
        {"/dev/no-such-port-r512", kLine, SerialLink::OpenResult::OpenFailed},
        {"", kLine, SerialLink::OpenResult::OpenFailed},
        {"/dev/null", kLine, SerialLink::OpenResult::ConfigureFailed},  // no terminal
        {file, kLine, SerialLink::OpenResult::ConfigureFailed},
        {pty.Path(), "baud=fast", SerialLink::OpenResult::ConfigureFailed},
    };
    SerialLink link;
    const CommTimeouts t{100, 0, 5000, 0, 1000};
    for (const auto& c : cases) {
        EXPECT_EQ(link.OpenPort(c.port.c_str(), c.line, &t, &notices), c.result) << c.port;
        EXPECT_FALSE(link.IsOpen()) << c.port;
    }
    std::remove(file.c_str());
}

TEST_F(PosixPort, APortInUseCannotBeOpenedTwice) {
    SerialLink first, second;
    ASSERT_TRUE(Open(first));
    const CommTimeouts t{100, 0, 5000, 0, 1000};
    EXPECT_EQ(second.OpenPort(pty.Path().c_str(), kLine, &t, &notices),
              SerialLink::OpenResult::OpenFailed);
    first.ClosePort();
    EXPECT_EQ(second.OpenPort(pty.Path().c_str(), kLine, &t, &notices),
              SerialLink::OpenResult::Opened);
}

TEST(PortNames, ComNumbersAreTheBuiltInPorts) {
    EXPECT_EQ(PortChannelPosix::DevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(PortChannelPosix::DevicePath("COM4"), "/dev/ttyS3");
    EXPECT_EQ(PortChannelPosix::DevicePath("com2"), "/dev/ttyS1");
    EXPECT_EQ(PortChannelPosix::DevicePath("COM12"), "/dev/ttyS11");
    EXPECT_EQ(PortChannelPosix::DevicePath("COM0"), "COM0");
    EXPECT_EQ(PortChannelPosix::DevicePath("COM"), "COM");
    EXPECT_EQ(PortChannelPosix::DevicePath("COM1X"), "COM1X");
    EXPECT_EQ(PortChannelPosix::DevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

TEST_F(PosixPort, LineSpeedIsReallySet) {
    for (const auto& [line, baud] :
         {std::pair<const char*, std::uint32_t>{"baud=11520 parity=N data=8 stop=1", 11520},
          {"baud=9600 parity=N data=8 stop=1", 9600}}) {
        DeviceLink link;
        ASSERT_EQ(link.OpenPort(pty.Path().c_str(), line, &notices),
                  SerialLink::OpenResult::Opened);
        std::uint32_t out = 0, in = 0;
        ASSERT_TRUE(posix::ReadLineSpeed(pty.Slave(), out, in));
        EXPECT_EQ(out, baud);
        EXPECT_EQ(in, baud);
        termios tio{};
        ASSERT_EQ(::tcgetattr(pty.Slave(), &tio), 0);
        EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
    }
}

TEST_F(PosixPort, AHungUpLineClosesTheLinkWithOneFailureNoticeAndNeverSpins) {
    SerialLink link;
    ASSERT_TRUE(Open(link, {100, 0, 300, 0, 1000}));
    std::uint8_t buffer[3] = {};
    ASSERT_TRUE(link.QueueRead(buffer, 3, kNotice));
    const auto cpuBefore = CpuTime();
    pty.HangUp();
    // The read does not end as if the device were silent: the port has gone.
    const auto notice = notices.Take(3000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, WM_PORT_FAILED);
    EXPECT_TRUE(link.AcceptNotice());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(link.PortFailed());
    // Nothing more is taken, and a second of watching finds no spinning thread and no notice.
    const std::uint8_t frame[5] = {0xE0, 0x52, 0x53, 0x21, 0xE3};
    EXPECT_FALSE(link.QueueWrite(frame, 5, kNotice + 1));
    EXPECT_FALSE(link.QueueRead(buffer, 3, kNotice));
    EXPECT_FALSE(notices.Take(1000ms));
    EXPECT_LT((CpuTime() - cpuBefore).count(), 150);
    EXPECT_TRUE(link.ClosePort());
    EXPECT_FALSE(link.PortFailed());
}

}  // namespace
}  // namespace r512::test
