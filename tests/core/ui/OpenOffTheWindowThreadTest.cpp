// Opening a port never holds the window's thread: a network bridge that doesn't answer, at the
// first open and while the retry opens it again, and a close while an open is under way. The
// window's thread is the test's (LiveWindow), and every timer expiry and notice it handles is
// timed.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "support/LiveWindow.h"
#include "support/LoopbackBridge.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What a frozen window would be: longer than this in one handling is a failure.
constexpr Clock::duration kLongestAllowed = 50ms;

class OpenOffTheWindowThread : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSink([this](int id, const std::string&) { messages.push_back(id); });
        // An attempt that held the window would hold it this long; a second keeps the test short.
        window.link->SetOpenTimeLimit(1000ms);
    }
    void TearDown() override { SetMessageSink(nullptr); }

    LoopbackBridge bridge;
    LiveWindow window{bridge.Name()};
    std::vector<int> messages;
};

TEST_F(OpenOffTheWindowThread, RetryingADeadBridgeNeverHoldsTheWindowThread) {
    window.controller.Connect();
    ASSERT_TRUE(window.RunUntil([&] { return window.link->IsOpen(); }, 5000ms));
    const int device = bridge.Accept();
    ASSERT_GE(device, 0);

    // The bridge goes deaf and drops the connection: the link fails and the retry begins.
    bridge.GoDeaf();
    ::shutdown(device, SHUT_RDWR);
    ASSERT_TRUE(window.RunUntil([&] { return window.failures == 1; }, 5000ms));
    window.longestHandling = {};
    const int opensBefore = window.opensEnded;
    window.RunUntil([] { return false; }, 4500ms);

    // At least two attempts ran out their second, and not one handling came near it.
    RecordProperty(
        "longest_handling_us",
        static_cast<int>(
            std::chrono::duration_cast<std::chrono::microseconds>(window.longestHandling).count()));
    EXPECT_GE(window.opensEnded - opensBefore, 2);
    EXPECT_LT(window.longestHandling, kLongestAllowed)
        << std::chrono::duration_cast<std::chrono::microseconds>(window.longestHandling).count()
        << " us";
    EXPECT_TRUE(window.controller.AwaitingPort());
    EXPECT_TRUE(window.ShowsNoConnection());
    EXPECT_TRUE(messages.empty());  // the retry stays silent
}

TEST_F(OpenOffTheWindowThread, AFirstOpenThatTimesOutIsReportedWhenItsNoticeComes) {
    bridge.GoDeaf();
    window.controller.Connect();
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(window.RunUntil([&] { return !messages.empty(); }, 5000ms));
    EXPECT_EQ(messages, std::vector<int>{IDS_PORT_OPEN_FAILED});
    EXPECT_LT(window.longestHandling, kLongestAllowed);
    // Not retried: the user has to act.
    window.RunUntil([] { return false; }, 2500ms);
    EXPECT_EQ(window.opensEnded, 1);
    EXPECT_FALSE(window.controller.AwaitingPort());
}

// Configure while the bridge doesn't answer: the close cuts the open short at once, and the
// open that was cut short tells nothing.
TEST_F(OpenOffTheWindowThread, ClosingDuringAnOpenReturnsAtOnceAndTheOpenStaysQuiet) {
    bridge.GoDeaf();
    window.controller.Connect();
    window.RunUntil([] { return false; }, 200ms);
    ASSERT_TRUE(window.link->Opening());
    const Clock::time_point began = Clock::now();
    window.link->ClosePort();
    EXPECT_LT(Clock::now() - began, kLongestAllowed);
    window.RunUntil([] { return false; }, 1500ms);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(window.link->IsOpen());
}

}  // namespace
}  // namespace r512::test
