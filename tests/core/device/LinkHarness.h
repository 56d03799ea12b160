#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "device/DeviceLink.h"
#include "support/FakePortChannel.h"

namespace r512::test {

// A DeviceLink on a port whose reads the test completes byte by byte, with the link's own
// I/O thread delivering the notices; the test thread plays the window that hands each notice
// to ProcessReceived.
class LinkHarness {
public:
    // Exposes the names-download flag, which only the names transfer sets.
    class Link : public DeviceLink {
    public:
        using DeviceLink::DeviceLink;
        void SetNamesPending(bool pending) { namesPending_ = pending; }
    };

    LinkHarness() : link(std::make_unique<FakePortChannel>(shared)), fake(shared) {
        EXPECT_EQ(link.OpenPort("COM1", "baud=11520 parity=N data=8 stop=1", &notices),
                  SerialLink::OpenResult::Opened);
        EXPECT_TRUE(fake.WaitForReads(1, kWait));
        windowEnd = fake.LastRead().data + fake.LastRead().length;
    }

    // Completes the outstanding read with `bytes` (fewer than asked for: the read ended
    // early), hands the notice to ProcessReceived and returns its result.
    RegisterFrame Complete(const std::vector<std::uint8_t>& bytes) {
        const std::size_t startedBefore = fake.ReadsStarted();
        const auto read = fake.LastRead();
        EXPECT_LE(bytes.size(), read.length);
        fake.CompleteRead(bytes);
        const auto notice = notices.Take(kWait);
        EXPECT_TRUE(notice.has_value());
        if (!notice) return {};
        EXPECT_EQ(notice->message, WM_DEVICE_DATA);
        EXPECT_EQ(notice->requested, read.length);
        EXPECT_EQ(notice->received, bytes.size());
        const RegisterFrame frame = link.ProcessReceived(notice->requested, notice->received);
        if (!link.NamesPending()) {
            // Every completion queues exactly one new read, into the window's tail.
            EXPECT_EQ(fake.ReadsStarted(), startedBefore + 1);
            const auto next = fake.LastRead();
            EXPECT_GE(next.length, 1u);
            EXPECT_LE(next.length, 3u);
            EXPECT_EQ(next.data + next.length, windowEnd);
        }
        return frame;
    }

    // Feeds a stream through reads that each take all they asked for.
    std::vector<RegisterFrame> Feed(const std::vector<std::uint8_t>& stream) {
        std::vector<RegisterFrame> frames;
        std::size_t at = 0;
        while (at < stream.size()) {
            const std::size_t want = fake.LastRead().length;
            const std::size_t take = std::min(want, stream.size() - at);
            const RegisterFrame frame = Complete({stream.begin() + static_cast<long>(at),
                                                  stream.begin() + static_cast<long>(at + take)});
            if (frame.Taken()) frames.push_back(frame);
            at += take;
        }
        return frames;
    }

    std::uint32_t NextReadLength() { return fake.LastRead().length; }

    static constexpr std::chrono::milliseconds kWait{5000};

    FakePortChannel::Shared shared;
    BlockingNoticeQueue notices;
    Link link;
    FakePortChannel fake;
    std::uint8_t* windowEnd = nullptr;
};

}  // namespace r512::test
