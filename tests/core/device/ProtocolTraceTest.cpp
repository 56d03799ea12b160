// The protocol trace of a link through a port's failure, reopens and a purge: each is told, and
// the bytes after it are read afresh, not as the rest of what came before.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/device/LinkHarness.h"
#include "device/ProtocolTrace.h"

namespace r512::test {
namespace {

namespace fs = std::filesystem;
using Kind = PortChannel::Completion::Kind;

// The trace's lines without their time stamps.
std::vector<std::string> TraceLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line.size() > 13 ? line.substr(13) : line);
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ProtocolTrace, FailuresAndReopensAreToldAndTheDecoderStartsAfresh) {
    const fs::path path =
        fs::temp_directory_path() / ("r512-trace-test-" + std::to_string(::getpid()) + ".txt");
    std::error_code ignored;
    fs::remove(path, ignored);
    std::vector<std::string> lines;
    {  // the link holds the trace file open until it goes
        FakePortChannel::Shared shared;
        BlockingNoticeQueue notices;
        DeviceLink link(std::make_unique<FakePortChannel>(shared));
        FakePortChannel fake(shared);
        ASSERT_TRUE(link.TraceTo(path.string()));
        const char* line = "baud=11520 parity=N data=8 stop=1";
        ASSERT_EQ(link.OpenPort("COM1", line, &notices), SerialLink::OpenResult::Opened);
        ASSERT_TRUE(fake.WaitForReads(1, LinkHarness::kWait));

        // Two bytes of a frame, then the port fails.
        fake.CompleteRead({0xE1, 0x41});
        ASSERT_TRUE(fake.WaitIdle(LinkHarness::kWait));
        fake.Push({Kind::Failed, 0});
        auto until = std::chrono::steady_clock::now() + LinkHarness::kWait;
        while (!link.PortFailed() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(link.PortFailed());
        link.ClosePort();

        // Reopening fails twice (told once), then succeeds; a whole frame follows.
        shared.openResult = PortChannel::OpenStatus::OpenFailed;
        EXPECT_FALSE(link.ReopenPort("COM1", line, &notices));
        EXPECT_FALSE(link.ReopenPort("COM1", line, &notices));
        shared.openResult = PortChannel::OpenStatus::Opened;
        const std::size_t reads = fake.ReadsStarted();
        ASSERT_TRUE(link.ReopenPort("COM1", line, &notices));
        ASSERT_TRUE(fake.WaitForReads(reads + 1, LinkHarness::kWait));
        fake.CompleteRead({0xE2, 0x01, 0xFF});
        ASSERT_TRUE(fake.WaitIdle(LinkHarness::kWait));
        link.ClosePort();
        lines = TraceLines(path);
    }
    fs::remove(path, ignored);
    EXPECT_TRUE(Has(lines, "-- open COM1 (baud=11520 parity=N data=8 stop=1)"));
    EXPECT_TRUE(Has(lines, "-- port failed"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "-- reopen COM1 failed"), 1);
    EXPECT_TRUE(Has(lines, "-- reopen COM1"));
    // Not "stray 0xE1; stray 0x41; RS_MUTE = 1 (on)": the frame is read on its own.
    EXPECT_TRUE(Has(lines, "\xE2\x86\x90 E2 01 FF  RS_MUTE = 1 (on)"));
    for (const auto& l : lines) EXPECT_EQ(l.find("stray"), std::string::npos) << l;
}

}  // namespace
}  // namespace r512::test
