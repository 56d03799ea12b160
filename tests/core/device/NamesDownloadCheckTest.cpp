// When a names download counts as the device's names memory, and when it is worth asking again.
#include <gtest/gtest.h>

#include <vector>

#include "device/NamesDownloadCheck.h"

namespace r512::test {
namespace {

using names_download::Verdict;

std::vector<std::uint8_t> Memory() {
    std::vector<std::uint8_t> memory(names_download::kImageSize);
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(0x21 + (i * 7) % 0x5E);
    return memory;
}

TEST(NamesDownloadCheck, OnlyTheWholeMemoryFollowedBySilenceIsTaken) {
    const auto memory = Memory();
    auto withReport = memory;
    withReport.insert(withReport.begin(), {0xE1, 0x42, 0xFF});
    auto withTrailingByte = memory;
    withTrailingByte.push_back(0x20);
    auto badName = memory;
    badName[758] = 0x13;
    auto badUnusedByte = memory;  // outside the names and messages: not the check's business
    badUnusedByte[0] = 0x00;
    badUnusedByte[1023] = 0xFF;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> arrived;
        bool quiet;
        Verdict verdict;
        bool tryAgain;
    };
    const Case cases[] = {
        {"the memory", memory, true, Verdict::Accepted, false},
        {"the memory, the read cut", memory, false, Verdict::NotQuiet, true},
        {"nothing", {}, true, Verdict::NoReply, false},
        {"one byte short", {memory.begin(), memory.end() - 1}, true, Verdict::Short, true},
        {"a report ahead", withReport, true, Verdict::Overlong, true},
        {"a report ahead, the read cut", withReport, false, Verdict::Overlong, true},
        {"one byte after", withTrailingByte, true, Verdict::Overlong, true},
        {"a name the device can't store", badName, true, Verdict::InvalidBytes, false},
        {"odd bytes outside the texts", badUnusedByte, true, Verdict::Accepted, false},
    };
    for (const Case& c : cases) {
        const Verdict verdict = names_download::Check(c.arrived, c.quiet);
        EXPECT_EQ(verdict, c.verdict) << c.what;
        EXPECT_EQ(names_download::ShouldTryAgain(verdict), c.tryAgain) << c.what;
        EXPECT_STRNE(names_download::Describe(verdict), "?") << c.what;
    }
}

// A three-byte report at any place of the reply, or just after it, and a report's tail (its
// first bytes went before the purge) ahead of it: whatever the report's bytes, never taken.
TEST(NamesDownloadCheck, ExtraBytesAnywhereAreNeverTaken) {
    const auto memory = Memory();
    const std::vector<std::vector<std::uint8_t>> extras = {
        {0xE1, 0x42, 0xFF}, {0xE5, 0x20, 0xFF}, {0x42, 0xFF}, {0xFF}, {0xDF, 0xFF}};
    for (const auto& extra : extras) {
        for (std::size_t at = 0; at <= memory.size(); ++at) {
            auto arrived = memory;
            arrived.insert(arrived.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(),
                           extra.end());
            ASSERT_NE(names_download::Check(arrived, true), Verdict::Accepted)
                << extra.size() << " bytes at " << at;
        }
    }
}

}  // namespace
}  // namespace r512::test
