// Random byte streams, cut into reads at random places: the receiving side must never fail,
// must change only what the frames it took say, and must line up again after any garbage.
#include <gtest/gtest.h>

#include <random>

#include "core/device/LinkHarness.h"

namespace r512::test {
namespace {

// Feeds the stream through reads that each receive a random number of the bytes they asked
// for (fewer means the read ended early, as after the interval time-out). Returns the frames.
std::vector<RegisterFrame> FeedCut(LinkHarness& h, const std::vector<std::uint8_t>& stream,
                                   std::mt19937& random) {
    std::vector<RegisterFrame> frames;
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t want = h.NextReadLength();
        std::size_t take = std::uniform_int_distribution<std::size_t>(0, want)(random);
        take = std::min(take, stream.size() - at);
        const RegisterFrame frame = h.Complete({stream.begin() + static_cast<long>(at),
                                                stream.begin() + static_cast<long>(at + take)});
        if (frame.Taken()) frames.push_back(frame);
        at += take;
    }
    return frames;
}

TEST(ReceiveStreamProperty, GarbageNeverBreaksTheReceiverAndTheNextFrameIsTaken) {
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        LinkHarness h;
        RegisterMirror replay;  // the mirror as the taken frames alone would make it
        std::uniform_int_distribution<int> byte(0, 255);

        for (int round = 0; round < 6; ++round) {
            // Garbage rich in the bytes that matter: frame ends, filler starts, register codes.
            std::vector<std::uint8_t> garbage(
                std::uniform_int_distribution<std::size_t>(0, 40)(random));
            for (auto& b : garbage) {
                const int pick = byte(random);
                b = pick < 40 ? 0xFF : pick < 60 ? 0xDF : static_cast<std::uint8_t>(byte(random));
            }
            for (const RegisterFrame& f : FeedCut(h, garbage, random)) {
                EXPECT_EQ(f.end, 0xFF);
                if (IsRegisterCode(f.code)) replay.ApplyReport(f.code, f.value);
            }

            // Then a well-formed report that arrives in time (reads take all they ask for).
            const auto code = static_cast<std::uint8_t>(
                std::uniform_int_distribution<int>(kFirstRegister, kLastRegister)(random));
            const auto value = static_cast<std::uint8_t>(byte(random) % 0xFF);
            const auto frames = h.Feed({code, value, 0xFF});
            ASSERT_FALSE(frames.empty());
            for (const RegisterFrame& f : frames) {
                if (IsRegisterCode(f.code)) replay.ApplyReport(f.code, f.value);
            }
            EXPECT_EQ(frames.back().code, code);
            EXPECT_EQ(frames.back().value, value);
            EXPECT_EQ(h.link.Mirror().Value(code), value);
        }

        for (int i = 0; i < kRegisterCount; ++i) {
            const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
            EXPECT_EQ(h.link.Mirror().Value(code), replay.Value(code)) << RegisterName(code);
            EXPECT_EQ(h.link.Mirror().State(code), replay.State(code)) << RegisterName(code);
        }
    }
}

}  // namespace
}  // namespace r512::test
