// The serial link on real COM ports of the system, as the program runs it on Windows. The far
// end of each port is the device simulator, running on the other side of a pseudo-terminal
// (run-with-simulator.sh maps the ports and says which is which through the environment):
//   R512_COM_DEVICE      the simulated device, logging every byte it receives
//   R512_COM_DEVICE_LOG  that log, as a Windows path
//   R512_COM_SPLIT       a simulated device that sends each byte on its own,
//                        R512_COM_SPLIT_MS apart
//   R512_COM_HANGUP      a simulated device that hangs up its line once the file
//                        R512_COM_HANGUP_REQUEST has been made
//   R512_COM_REPLUG      a simulated device whose adapter is pulled out once the file
//                        R512_COM_REPLUG_REQUEST has been made, and plugged in again (a new
//                        pseudo-terminal behind the same COMn) R512_COM_REPLUG_AFTER_MS later
//   R512_COM_MISSING     a COM port name that nothing answers to
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "base/Messages.h"
#include "device/DeviceLink.h"
#include "device/Protocol.h"
#include "serial/PortChannelWin32.h"
#include "serial/SerialLink.h"
#include "support/LiveWindow.h"
#include "support/SimulatorByteLog.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Kind = PortChannel::Completion::Kind;

constexpr const char* kFastLine = "baud=11520 parity=N data=8 stop=1";
constexpr const char* kSlowLine = "baud=9600 parity=N data=8 stop=1";
constexpr std::uint32_t kWriteNotice = 77;

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Wine's ntdll exports its version; Windows' doesn't.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::vector<std::uint8_t> FrameBytes(std::uint8_t code) {
    const CommandFrame frame = MakeCommandFrame(code);
    return {frame.begin(), frame.end()};
}

// What the simulated device has received so far, read back from its log: every
// "received 0x.. 0x.." line, in order.
class DeviceLog {
public:
    explicit DeviceLog(std::string path) : path_(std::move(path)) {}

    std::vector<std::uint8_t> Received() const { return test::ReceivedBytesInLog(path_); }

    // The bytes received after the first `from`, once there are at least `count` of them or
    // the time is up.
    std::vector<std::uint8_t> BytesAfter(std::size_t from, std::size_t count,
                                         std::chrono::milliseconds timeout) const {
        const Clock::time_point until = Clock::now() + timeout;
        for (;;) {
            const std::vector<std::uint8_t> all = Received();
            const bool enough = all.size() >= from + count;
            if (enough || Clock::now() >= until) {
                if (all.size() <= from) return {};
                return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
            }
            std::this_thread::sleep_for(20ms);
        }
    }

private:
    std::string path_;
};

// The device-control block that the port gets: the definition string's line, the link's own
// flow control.
TEST(LinkDcb, TheDevicesLinesAsTheSystemParsesThem) {
    DCB fast{};
    fast.DCBlength = sizeof(DCB);
    ASSERT_TRUE(BuildCommDCBA("baud=11520 parity=N data=8 stop=1", &fast));
    EXPECT_EQ(fast.BaudRate, 11520u);
    EXPECT_EQ(fast.ByteSize, 8);
    EXPECT_EQ(fast.Parity, NOPARITY);
    EXPECT_EQ(fast.StopBits, ONESTOPBIT);

    DCB slow{};
    slow.DCBlength = sizeof(DCB);
    ASSERT_TRUE(BuildCommDCBA("baud=9600 parity=N data=8 stop=1", &slow));
    EXPECT_EQ(slow.BaudRate, 9600u);
    EXPECT_EQ(slow.ByteSize, 8);
}

TEST(LinkDcb, FlowControlIsOverwrittenAndNothingElse) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    // Every flag set, as no definition string would leave them.
    dcb.fBinary = dcb.fParity = dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = 1;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fDsrSensitivity = dcb.fTXContinueOnXoff = dcb.fOutX = dcb.fInX = 1;
    dcb.fErrorChar = dcb.fNull = 1;
    dcb.fRtsControl = RTS_CONTROL_TOGGLE;
    dcb.fAbortOnError = 1;
    dcb.BaudRate = 11520;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;

    PortChannelWin32::ApplyLinkFlowControl(dcb);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fAbortOnError, 0u);
    // Untouched.
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 1u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 1u);
    EXPECT_EQ(dcb.fErrorChar, 1u);
    EXPECT_EQ(dcb.fNull, 1u);
    EXPECT_EQ(dcb.BaudRate, 11520u);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
}

class ComPort : public ::testing::Test {
protected:
    void SetUp() override {
        devicePort = Setting("R512_COM_DEVICE");
        splitPort = Setting("R512_COM_SPLIT");
        missingPort = Setting("R512_COM_MISSING");
        hangupPort = Setting("R512_COM_HANGUP");
        hangupRequest = Setting("R512_COM_HANGUP_REQUEST");
        replugPort = Setting("R512_COM_REPLUG");
        replugRequest = Setting("R512_COM_REPLUG_REQUEST");
        replugAfter =
            std::chrono::milliseconds(std::atoi(Setting("R512_COM_REPLUG_AFTER_MS").c_str()));
        splitMs = std::atoi(Setting("R512_COM_SPLIT_MS").c_str());
        ASSERT_FALSE(devicePort.empty() || splitPort.empty() || missingPort.empty() ||
                     hangupPort.empty() || hangupRequest.empty() || replugPort.empty() ||
                     replugRequest.empty() || replugAfter.count() <= 0 ||
                     Setting("R512_COM_DEVICE_LOG").empty() || splitMs <= 0)
            << "run through run-with-simulator.sh, which maps the COM ports";
        SetMessageSink([this](int id, const std::string&) { messages.push_back(id); });
    }
    void TearDown() override { SetMessageSink(nullptr); }

    // Asks for a full report and takes the notices as the window would, until no register
    // is awaited any more or 10 s have passed. Returns the number of register frames taken.
    int Refresh(DeviceLink& link) {
        int frames = 0;
        if (!link.RequestRefresh()) return frames;
        const Clock::time_point until = Clock::now() + 10s;
        while (AnyPending(link.Mirror()) && Clock::now() < until) {
            const auto notice = notices.Take(
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()));
            if (!notice) break;
            EXPECT_EQ(notice->message, WM_DEVICE_DATA);
            const RegisterFrame frame = link.ProcessReceived(notice->requested, notice->received);
            if (frame.Taken() && IsRegisterCode(frame.code)) ++frames;
        }
        return frames;
    }

    static bool AnyPending(const RegisterMirror& mirror) {
        for (int i = 0; i < kRegisterCount; ++i) {
            if (mirror.State(static_cast<std::uint8_t>(kFirstRegister + i)) ==
                RegisterState::Pending)
                return true;
        }
        return false;
    }

    static int CountKnown(const RegisterMirror& mirror) {
        int known = 0;
        for (int i = 0; i < kRegisterCount; ++i) {
            if (mirror.State(static_cast<std::uint8_t>(kFirstRegister + i)) == RegisterState::Known)
                ++known;
        }
        return known;
    }

    // The settings the port really has, as the system reports them.
    static void ExpectLine(HANDLE port, DWORD baud) {
        DCB dcb{};
        dcb.DCBlength = sizeof(DCB);
        ASSERT_TRUE(GetCommState(port, &dcb));
        // Wine sets a speed that the terminal has no constant for as 38400 with a custom
        // divisor, and reports 38400 (a pseudo-terminal has no divisor at all).
        EXPECT_EQ(dcb.BaudRate, UnderWine() && baud == 11520 ? 38400 : baud);
        EXPECT_EQ(dcb.ByteSize, 8);
        EXPECT_EQ(dcb.Parity, NOPARITY);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
        EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
        EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
        EXPECT_EQ(dcb.fOutX, 0u);
        EXPECT_EQ(dcb.fInX, 0u);
        EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));

        COMMTIMEOUTS timeouts{};
        ASSERT_TRUE(GetCommTimeouts(port, &timeouts));
        EXPECT_EQ(timeouts.ReadIntervalTimeout, 100u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 5000u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 1000u);
    }

    std::string devicePort, splitPort, missingPort, hangupPort, hangupRequest, replugPort,
        replugRequest;
    std::chrono::milliseconds replugAfter{};
    int splitMs = 0;
    DeviceLog log{Setting("R512_COM_DEVICE_LOG")};
    BlockingNoticeQueue notices;
    std::vector<int> messages;
};

TEST_F(ComPort, FastLineOpensAndARefreshBringsAllRegisters) {
    auto channel = std::make_unique<PortChannelWin32>();
    PortChannelWin32& port = *channel;
    DeviceLink link(std::move(channel));
    const std::size_t before = log.Received().size();
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
    ExpectLine(port.NativeHandle(), 11520);

    EXPECT_EQ(Refresh(link), kRegisterCount);
    EXPECT_EQ(CountKnown(link.Mirror()), kRegisterCount);
    EXPECT_EQ(log.BytesAfter(before, 5, 2000ms), FrameBytes(cmd::kRefresh));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ComPort, SlowLineOpensAndARefreshBringsAllRegisters) {
    auto channel = std::make_unique<PortChannelWin32>();
    PortChannelWin32& port = *channel;
    DeviceLink link(std::move(channel));
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kSlowLine, &notices),
              SerialLink::OpenResult::Opened);
    ExpectLine(port.NativeHandle(), 9600);

    EXPECT_EQ(Refresh(link), kRegisterCount);
    EXPECT_EQ(CountKnown(link.Mirror()), kRegisterCount);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ComPort, CommandsArriveInOrderAndByteExact) {
    DeviceLink link;
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
    const std::size_t before = log.Received().size();
    // Queued all at once, so that they wait behind one another. 0x0D, 0x11 and 0x13 are what a
    // terminal would take for a carriage return, XON and XOFF.
    const std::uint8_t codes[] = {cmd::kVideo1,     cmd::kVideo5,   cmd::kCd,    cmd::kMuteToggle,
                                  cmd::kVolumeUp,   cmd::kVolumeUp, cmd::kTuner, cmd::kMuteToggle,
                                  cmd::kVolumeDown, cmd::kRefresh};
    std::vector<std::uint8_t> expected;
    for (std::uint8_t code : codes) {
        ASSERT_TRUE(link.SendCommand(code));
        const std::vector<std::uint8_t> frame = FrameBytes(code);
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(log.BytesAfter(before, expected.size(), 5000ms), expected);
    // Commands post no notices; only the reads of the device's answers do.
    while (const auto notice = notices.Take(300ms)) EXPECT_EQ(notice->message, WM_DEVICE_DATA);
}

TEST_F(ComPort, EveryByteValueGoesOutUnchanged) {
    SerialLink link;
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &DeviceLink::kTimeouts, &notices),
              SerialLink::OpenResult::Opened);
    const std::size_t before = log.Received().size();
    std::vector<std::uint8_t> bytes(256);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(link.QueueWrite(bytes.data(), 256, kWriteNotice));
    const auto notice = notices.Take(5000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, kWriteNotice);
    EXPECT_EQ(notice->requested, 256u);
    EXPECT_EQ(notice->received, 256u);
    EXPECT_EQ(log.BytesAfter(before, 256, 5000ms), bytes);
}

TEST_F(ComPort, AReadWithNothingToReadEndsAtTheTotalTimeOutWithZeroBytes) {
    SerialLink link;
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &DeviceLink::kTimeouts, &notices),
              SerialLink::OpenResult::Opened);
    std::uint8_t buffer[3] = {0xAA, 0xAA, 0xAA};
    const Clock::time_point started = Clock::now();
    ASSERT_TRUE(link.QueueRead(buffer, 3, WM_DEVICE_DATA));
    const auto notice = notices.Take(15s);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, WM_DEVICE_DATA);
    EXPECT_EQ(notice->requested, 3u);
    EXPECT_EQ(notice->received, 0u);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(notice->at - started);
    EXPECT_GE(took.count(), 4900);
    EXPECT_LE(took.count(), 6500);
}

TEST_F(ComPort, APartialFrameEndsAtTheIntervalTimeOut) {
    // This device sends every byte on its own, splitMs apart: a three-byte read gets the first
    // byte of a report and then nothing for longer than the 100 ms interval.
    SerialLink link;
    ASSERT_EQ(link.OpenPort(splitPort.c_str(), kFastLine, &DeviceLink::kTimeouts, &notices),
              SerialLink::OpenResult::Opened);
    std::uint8_t buffer[3] = {};
    ASSERT_TRUE(link.QueueRead(buffer, 3, WM_DEVICE_DATA));
    const std::vector<std::uint8_t> refresh = FrameBytes(cmd::kRefresh);
    ASSERT_TRUE(link.QueueWrite(refresh.data(), 5, kWriteNotice));

    const auto written = notices.Take(2000ms);
    ASSERT_TRUE(written);
    ASSERT_EQ(written->message, kWriteNotice);
    const auto read = notices.Take(std::chrono::milliseconds(splitMs) + 6000ms);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->message, WM_DEVICE_DATA);
    EXPECT_EQ(read->requested, 3u);
    EXPECT_EQ(read->received, 1u);
    EXPECT_TRUE(IsRegisterCode(buffer[0]));
    // The first byte comes splitMs after the command, the second one splitMs later: the read
    // ends 100 ms after the first, well before the second and far from the 5 s total time.
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(read->at - written->at);
    EXPECT_GE(took.count(), splitMs + 100 - 50);
    EXPECT_LT(took.count(), 2 * splitMs);
}

TEST_F(ComPort, ClosingWithQueuedRequestsPostsNothing) {
    SerialLink link;
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &DeviceLink::kTimeouts, &notices),
              SerialLink::OpenResult::Opened);
    // Three reads wait on a device that says nothing: the first is outstanding on the port,
    // the other two have not been started.
    std::uint8_t a[3] = {0xAA, 0xAA, 0xAA}, b[3] = {0xBB, 0xBB, 0xBB}, c[3] = {0xCC, 0xCC, 0xCC};
    ASSERT_TRUE(link.QueueRead(a, 3, WM_DEVICE_DATA));
    ASSERT_TRUE(link.QueueRead(b, 3, WM_DEVICE_DATA));
    ASSERT_TRUE(link.QueueRead(c, 3, WM_DEVICE_DATA));
    const Clock::time_point closing = Clock::now();
    EXPECT_TRUE(link.ClosePort());
    // The stop is seen at once, not after the outstanding read's 5 s.
    EXPECT_LT(Clock::now() - closing, 2000ms);
    EXPECT_FALSE(link.IsOpen());
    // The I/O thread has ended: nothing can be posted any more, and nothing was.
    EXPECT_EQ(notices.Count(), 0u);
    EXPECT_EQ(b[0], 0xBB);
    EXPECT_EQ(c[2], 0xCC);
}

TEST_F(ComPort, OpensAgainAfterClose) {
    DeviceLink link;
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
    EXPECT_EQ(Refresh(link), kRegisterCount);
    EXPECT_TRUE(link.ClosePort());
    // Notices of reads that had completed before the close are stale now.
    while (notices.Take(0ms)) {
    }

    const std::size_t before = log.Received().size();
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kSlowLine, &notices),
              SerialLink::OpenResult::Opened);
    EXPECT_EQ(Refresh(link), kRegisterCount);
    EXPECT_EQ(CountKnown(link.Mirror()), kRegisterCount);
    EXPECT_EQ(log.BytesAfter(before, 5, 2000ms), FrameBytes(cmd::kRefresh));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ComPort, APortThatDoesNotExistCannotBeOpened) {
    DeviceLink link;
    EXPECT_EQ(link.OpenPort(missingPort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::OpenFailed);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(ComPort, APortInUseCannotBeOpened) {
    if (UnderWine()) GTEST_SKIP() << "Wine lets a second CreateFileA open a COM port";
    DeviceLink first, second;
    ASSERT_EQ(first.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
    EXPECT_EQ(second.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::OpenFailed);
    first.ClosePort();
    EXPECT_EQ(second.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
}

TEST_F(ComPort, ALineDefinitionThePortCannotTakeCannotBeConfigured) {
    DeviceLink link;
    EXPECT_EQ(link.OpenPort(devicePort.c_str(), "baud=fast", &notices),
              SerialLink::OpenResult::ConfigureFailed);
    EXPECT_FALSE(link.IsOpen());
    // The failed configuration closed the port: it opens at once.
    EXPECT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
}

// CPU time this process has used so far.
std::chrono::milliseconds ProcessCpuTime() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) {
        return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
    };
    return std::chrono::milliseconds((ticks(kernel) + ticks(user)) / 10000);
}

TEST_F(ComPort, AHungUpLineClosesTheLinkWithOneFailureNoticeAndNothingRuns) {
    DeviceLink link;
    ASSERT_EQ(link.OpenPort(hangupPort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
    // The device link's first read is outstanding. Now the line goes.
    std::ofstream(hangupRequest) << "hang up\n";

    // The failure comes as one notice; the read does not end as a silent device's would, and
    // nothing is started on the failed port, so no notices follow and nothing spins.
    const auto failure = notices.Take(8s);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message, WM_PORT_FAILED);
    EXPECT_TRUE(link.AcceptNotice());
    EXPECT_FALSE(link.IsOpen());
    const std::chrono::milliseconds cpu = ProcessCpuTime();
    EXPECT_FALSE(notices.Take(1500ms));
    EXPECT_LT(ProcessCpuTime() - cpu, 300ms);

    // Commands are refused, not kept for later.
    EXPECT_FALSE(link.SendCommand(cmd::kMuteToggle));
    const Clock::time_point closing = Clock::now();
    EXPECT_TRUE(link.ClosePort());
    EXPECT_LT(Clock::now() - closing, 2000ms);

    // A port opened afterwards works as ever.
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &notices),
              SerialLink::OpenResult::Opened);
    EXPECT_EQ(Refresh(link), kRegisterCount);
}

// The adapter is pulled out and plugged in again behind the same COM port name: the window
// shows no connection meanwhile, without a message, and the display comes back by itself
// within 3 s of the replug.
TEST_F(ComPort, APulledAdapterIsOpenedAgainWhenItComesBack) {
    LiveWindow window(replugPort);
    int frames = 0;
    window.onFrame = [&](const RegisterFrame&) { ++frames; };
    window.controller.Connect();
    ASSERT_TRUE(window.RunUntil(
        [&] { return window.opensEnded > 0 && !AnyPending(window.link->Mirror()); }, 10s));

    // The simulator pulls it out as soon as it sees the request (within 50 ms) and plugs it
    // in again replugAfter later.
    std::ofstream(replugRequest) << "pull it out\n";
    const Clock::time_point replugged = Clock::now() + replugAfter;
    ASSERT_TRUE(window.RunUntil([&] { return window.failures > 0; }, 10s));
    ASSERT_TRUE(window.RunUntil([&] { return window.ShowsNoConnection(); }, 3s));
    EXPECT_FALSE(window.link->IsOpen());
    EXPECT_TRUE(messages.empty());

    frames = 0;
    ASSERT_TRUE(window.RunUntil(
        [&] { return window.link->IsOpen() && frames > 0 && !window.link->Mirror().AllPending(); },
        replugAfter + 8s));
    const auto back =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - replugged);
    std::printf("display back %lld ms after the replug\n", static_cast<long long>(back.count()));
    EXPECT_LT(back, 3s);
    ASSERT_TRUE(window.RunUntil([&] { return !AnyPending(window.link->Mirror()); }, 5s));
    EXPECT_FALSE(window.ShowsNoConnection());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(window.failures, 1);
}

// The channel alone, without the link's thread: what a single wait reports when several
// things are due together.
TEST_F(ComPort, StopIsReportedBeforeAReadAndAReadBeforeAWrite) {
    PortChannelWin32 channel;
    ASSERT_EQ(channel.Open(devicePort.c_str(), kFastLine, DeviceLink::kTimeouts),
              PortChannel::OpenStatus::Opened);
    ASSERT_TRUE(channel.CreateEvents());

    // Have the device answer a refresh, and let its 78 bytes reach the port's input queue.
    std::vector<std::uint8_t> refresh = FrameBytes(cmd::kRefresh);
    IoRequest ask{refresh.data(), 5, 0, 0, nullptr};
    channel.StartWrite(ask);
    const PortChannel::Completion asked = channel.WaitForCompletion();
    ASSERT_EQ(asked.kind, Kind::WriteDone);
    EXPECT_EQ(asked.count, 5u);
    COMSTAT status{};
    DWORD errors = 0;
    for (const Clock::time_point until = Clock::now() + 5s; Clock::now() < until;) {
        ASSERT_TRUE(ClearCommError(channel.NativeHandle(), &errors, &status));
        if (status.cbInQue >= 3 * kRegisterCount) break;
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_GE(status.cbInQue, 3u * kRegisterCount);

    // The read completes with the input waiting; its event stays signalled until the wait
    // that reports it.
    std::uint8_t in[3] = {};
    IoRequest read{in, 3, 0, 0, nullptr};
    channel.StartRead(read);
    ASSERT_EQ(WaitForSingleObject(channel.ReadEvent(), 2000), WAIT_OBJECT_0);
    channel.RequestStop();
    EXPECT_EQ(channel.WaitForCompletion().kind, Kind::Stop);
    const PortChannel::Completion first = channel.WaitForCompletion();
    EXPECT_EQ(first.kind, Kind::ReadDone);
    EXPECT_EQ(first.count, 3u);
    EXPECT_EQ(in[2], kFrameEnd);

    // A write and a read both done before the wait: the read is reported first.
    std::vector<std::uint8_t> mute = FrameBytes(cmd::kMuteToggle);
    IoRequest write{mute.data(), 5, 0, 0, nullptr};
    channel.StartWrite(write);
    ASSERT_EQ(WaitForSingleObject(channel.WriteEvent(), 2000), WAIT_OBJECT_0);
    IoRequest next{in, 3, 0, 0, nullptr};
    channel.StartRead(next);
    ASSERT_EQ(WaitForSingleObject(channel.ReadEvent(), 2000), WAIT_OBJECT_0);
    const PortChannel::Completion second = channel.WaitForCompletion();
    EXPECT_EQ(second.kind, Kind::ReadDone);
    const PortChannel::Completion third = channel.WaitForCompletion();
    EXPECT_EQ(third.kind, Kind::WriteDone);
    EXPECT_EQ(third.count, 5u);

    // Releasing the events closes them (as after a thread that could not be started).
    const HANDLE readEvent = channel.ReadEvent();
    const HANDLE writeEvent = channel.WriteEvent();
    channel.ReleaseEvents();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(readEvent, &flags));
    EXPECT_FALSE(GetHandleInformation(writeEvent, &flags));
    EXPECT_EQ(channel.ReadEvent(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(channel.WriteEvent(), INVALID_HANDLE_VALUE);
    channel.Close();
    EXPECT_FALSE(channel.IsOpen());
}

// The purge of the names download: it aborts the outstanding read, which then completes with
// what had arrived, and drops the input not yet read.
class PurgingLink : public SerialLink {
public:
    using SerialLink::PurgeReceive;
    using SerialLink::SerialLink;
};

TEST_F(ComPort, PurgeDropsTheInputNotYetRead) {
    auto owned = std::make_unique<PortChannelWin32>();
    PortChannelWin32& channel = *owned;
    PurgingLink link(std::move(owned));
    EXPECT_FALSE(link.PurgeReceive());  // no port open
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &DeviceLink::kTimeouts, &notices),
              SerialLink::OpenResult::Opened);

    // A full report waits in the port's input queue, with no read to take it.
    const std::vector<std::uint8_t> refresh = FrameBytes(cmd::kRefresh);
    ASSERT_TRUE(link.QueueWrite(refresh.data(), 5, 0));
    COMSTAT status{};
    DWORD errors = 0;
    for (const Clock::time_point until = Clock::now() + 5s; Clock::now() < until;) {
        ASSERT_TRUE(ClearCommError(channel.NativeHandle(), &errors, &status));
        if (status.cbInQue >= 3 * kRegisterCount) break;
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(status.cbInQue, 3u * kRegisterCount);

    EXPECT_TRUE(link.PurgeReceive());
    ASSERT_TRUE(ClearCommError(channel.NativeHandle(), &errors, &status));
    EXPECT_EQ(status.cbInQue, 0u);

    // What comes next is the answer to the next command, not the rest of the report.
    std::uint8_t frame[3] = {};
    ASSERT_TRUE(link.QueueRead(frame, 3, WM_DEVICE_DATA));
    const std::vector<std::uint8_t> mute = FrameBytes(cmd::kMuteToggle);
    ASSERT_TRUE(link.QueueWrite(mute.data(), 5, 0));
    const auto notice = notices.Take(5000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->received, 3u);
    EXPECT_EQ(frame[0], RS_MUTE);
    EXPECT_EQ(frame[2], kFrameEnd);
}

TEST_F(ComPort, PurgeAbortsTheOutstandingRead) {
    PurgingLink link;
    ASSERT_EQ(link.OpenPort(devicePort.c_str(), kFastLine, &DeviceLink::kTimeouts, &notices),
              SerialLink::OpenResult::Opened);
    std::uint8_t buffer[3] = {};
    ASSERT_TRUE(link.QueueRead(buffer, 3, WM_DEVICE_DATA));
    const Clock::time_point purged = Clock::now();
    ASSERT_TRUE(link.PurgeReceive());
    const auto notice = notices.Take(10s);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->requested, 3u);
    EXPECT_EQ(notice->received, 0u);
    // Aborted, not ended by its 5 s time-out.
    EXPECT_LT(notice->at - purged, 2000ms);
}

}  // namespace
}  // namespace r512::test
