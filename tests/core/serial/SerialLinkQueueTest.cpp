// The link's queues over a port whose completions the test decides.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/BlockingNoticeQueue.h"
#include "serial/SerialLink.h"
#include "support/FakePortChannel.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using Kind = PortChannel::Completion::Kind;
constexpr auto kWait = 5000ms;
constexpr std::uint32_t kNotice = 1124;

class SerialLinkQueue : public ::testing::Test {
protected:
    SerialLink::OpenResult OpenOutcome() {
        return link.OpenPort("COM1", "baud=9600", &timeouts, &notices);
    }
    bool Open() { return OpenOutcome() == SerialLink::OpenResult::Opened; }

    FakePortChannel::Shared shared;
    BlockingNoticeQueue notices;
    SerialLink link{std::make_unique<FakePortChannel>(shared)};
    FakePortChannel fake{shared};
    CommTimeouts timeouts{};
};

TEST_F(SerialLinkQueue, WritesStartOneAtATimeInQueueOrder) {
    ASSERT_TRUE(Open());
    std::uint8_t a[] = {1}, b[] = {2, 2}, c[] = {3, 3, 3};
    ASSERT_TRUE(link.QueueWrite(a, 1, 0));
    ASSERT_TRUE(link.QueueWrite(b, 2, 0));
    ASSERT_TRUE(link.QueueWrite(c, 3, 77));
    ASSERT_TRUE(fake.WaitForWrites(1, kWait));
    EXPECT_EQ(fake.WritesStarted(), 1u);
    {
        std::lock_guard<std::mutex> guard(shared.lock);
        EXPECT_EQ(shared.writesStarted[0].data, a);
    }
    fake.Push({Kind::WriteDone, 1});
    ASSERT_TRUE(fake.WaitForWrites(2, kWait));
    EXPECT_EQ(fake.WritesStarted(), 2u);
    fake.Push({Kind::WriteDone, 2});
    ASSERT_TRUE(fake.WaitForWrites(3, kWait));
    {
        std::lock_guard<std::mutex> guard(shared.lock);
        EXPECT_EQ(shared.writesStarted[1].data, b);
        EXPECT_EQ(shared.writesStarted[2].data, c);
    }
    fake.Push({Kind::WriteDone, 3});
    // Only the write that asked for a notice gets one.
    const auto notice = notices.Take(kWait);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, 77u);
    EXPECT_EQ(notice->requested, 3u);
    EXPECT_EQ(notice->received, 3u);
    ASSERT_TRUE(fake.WaitIdle(kWait));
    EXPECT_EQ(notices.Count(), 0u);
}

TEST_F(SerialLinkQueue, EachReadPostsItsOwnRequestedAndReceivedLengths) {
    ASSERT_TRUE(Open());
    std::uint8_t first[3] = {}, second[8] = {};
    ASSERT_TRUE(link.QueueRead(first, 3, kNotice));
    ASSERT_TRUE(link.QueueRead(second, 8, kNotice + 1));
    ASSERT_TRUE(fake.WaitForReads(1, kWait));
    EXPECT_EQ(fake.ReadsStarted(), 1u);  // the second waits for the first
    fake.CompleteRead({9, 8, 7});
    ASSERT_TRUE(fake.WaitForReads(2, kWait));
    fake.CompleteRead({1, 2});  // ends early
    const auto n1 = notices.Take(kWait);
    const auto n2 = notices.Take(kWait);
    ASSERT_TRUE(n1 && n2);
    EXPECT_EQ(n1->message, kNotice);
    EXPECT_EQ(n1->requested, 3u);
    EXPECT_EQ(n1->received, 3u);
    EXPECT_EQ(n2->message, kNotice + 1);
    EXPECT_EQ(n2->requested, 8u);
    EXPECT_EQ(n2->received, 2u);
    EXPECT_EQ(first[0], 9);
    EXPECT_EQ(second[1], 2);
}

TEST_F(SerialLinkQueue, ReadsAndWritesProceedIndependently) {
    ASSERT_TRUE(Open());
    std::uint8_t in[3] = {}, out[2] = {5, 6};
    ASSERT_TRUE(link.QueueRead(in, 3, kNotice));
    ASSERT_TRUE(link.QueueWrite(out, 2, 0));
    // The write is started while the read is outstanding, and completes first.
    ASSERT_TRUE(fake.WaitForWrites(1, kWait));
    fake.Push({Kind::WriteDone, 2});
    ASSERT_TRUE(fake.WaitIdle(kWait));
    EXPECT_EQ(notices.Count(), 0u);
    fake.CompleteRead({1, 2, 3});
    EXPECT_TRUE(notices.Take(kWait));
}

TEST_F(SerialLinkQueue, ClosePortDiscardsQueuedRequestsSilently) {
    ASSERT_TRUE(Open());
    std::uint8_t buffers[3][4] = {
        {0xAA, 0xAA, 0xAA, 0xAA}, {0xBB, 0xBB, 0xBB, 0xBB}, {0xCC, 0xCC, 0xCC, 0xCC}};
    for (auto& buffer : buffers) ASSERT_TRUE(link.QueueRead(buffer, 4, kNotice));
    std::uint8_t out[1] = {1};
    ASSERT_TRUE(link.QueueWrite(out, 1, kNotice));
    ASSERT_TRUE(fake.WaitForReads(1, kWait));
    EXPECT_TRUE(link.ClosePort());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(notices.Count(), 0u);
    const std::uint8_t fill[3] = {0xAA, 0xBB, 0xCC};
    for (int i = 0; i < 3; ++i)
        for (std::uint8_t b : buffers[i]) EXPECT_EQ(b, fill[i]);  // untouched
}

TEST_F(SerialLinkQueue, StopSignalledWithACompletionEndsWithoutHandlingIt) {
    ASSERT_TRUE(Open());
    std::uint8_t in[3] = {};
    ASSERT_TRUE(link.QueueRead(in, 3, kNotice));
    ASSERT_TRUE(fake.WaitForReads(1, kWait));
    // The stop is seen first; the completion that came with it is never announced.
    {
        std::lock_guard<std::mutex> guard(shared.lock);
        shared.due.push_back({Kind::Stop, 0});
        shared.due.push_back({Kind::ReadDone, 3});
        shared.changed.notify_all();
    }
    EXPECT_TRUE(link.ClosePort());
    EXPECT_EQ(notices.Count(), 0u);
}

TEST_F(SerialLinkQueue, ClosePortOnANeverOpenedLinkReturnsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(link.ClosePort());
    EXPECT_TRUE(link.ClosePort());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

TEST_F(SerialLinkQueue, RequestsMadeOnAClosedLinkAreRefusedAndNeverSent) {
    std::uint8_t out[5] = {1, 2, 3, 4, 5}, in[3] = {};
    EXPECT_FALSE(link.QueueWrite(out, 5, 0));
    EXPECT_FALSE(link.QueueOwnedWrite(std::make_unique<std::uint8_t[]>(5), 5, 0));
    EXPECT_FALSE(link.QueueRead(in, 3, kNotice));
    EXPECT_EQ(fake.WritesStarted(), 0u);
    EXPECT_EQ(fake.ReadsStarted(), 0u);
    // The next open starts clean: only what is queued after it goes out.
    ASSERT_TRUE(Open());
    std::uint8_t fresh[1] = {9};
    ASSERT_TRUE(link.QueueWrite(fresh, 1, 0));
    ASSERT_TRUE(fake.WaitForWrites(1, kWait));
    std::lock_guard<std::mutex> guard(shared.lock);
    EXPECT_EQ(shared.writesStarted.size(), 1u);
    EXPECT_EQ(shared.writesStarted[0].data, fresh);
}

TEST_F(SerialLinkQueue, ReopensAfterClose) {
    ASSERT_TRUE(Open());
    EXPECT_TRUE(link.ClosePort());
    ASSERT_TRUE(Open());
    std::uint8_t in[3] = {};
    ASSERT_TRUE(link.QueueRead(in, 3, kNotice));
    ASSERT_TRUE(fake.WaitForReads(1, kWait));
    fake.CompleteRead({1, 2, 3});
    const auto notice = notices.Take(kWait);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->received, 3u);
}

TEST_F(SerialLinkQueue, OpenFailuresSayWhichAndLeaveTheLinkClosed) {
    shared.openResult = PortChannel::OpenStatus::OpenFailed;
    EXPECT_EQ(OpenOutcome(), SerialLink::OpenResult::OpenFailed);
    shared.openResult = PortChannel::OpenStatus::ConfigureFailed;
    EXPECT_EQ(OpenOutcome(), SerialLink::OpenResult::ConfigureFailed);
    shared.openResult = PortChannel::OpenStatus::Opened;
    shared.eventsResult = false;
    EXPECT_EQ(OpenOutcome(), SerialLink::OpenResult::ThreadFailed);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(shared.eventsCreated);  // what was made before the failure is released
    shared.eventsResult = true;
    EXPECT_EQ(OpenOutcome(), SerialLink::OpenResult::Opened);
    EXPECT_TRUE(link.IsOpen());
}

}  // namespace
}  // namespace r512::test
