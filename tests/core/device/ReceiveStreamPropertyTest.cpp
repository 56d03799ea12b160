// The receive path's property (ReceiveStreamCheck) over seeded random streams cut into random
// reads, and over the fuzzer's corpus kept in the tree: the same check the fuzzer runs, bounded
// and deterministic here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/device/ReceiveStreamCheck.h"

namespace r512::test {
namespace {

// Streams rich in the bytes that matter: frame ends, filler starts, register codes, and
// well-formed reports; control bytes that often cut reads short.
std::vector<std::uint8_t> RandomInput(std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> input;
    const int pieces = std::uniform_int_distribution<int>(1, 40)(random);
    for (int i = 0; i < pieces; ++i) {
        const int pick = byte(random);
        input.push_back(static_cast<std::uint8_t>(byte(random)));  // a control byte
        if (pick < 80) {
            input.push_back(static_cast<std::uint8_t>(
                std::uniform_int_distribution<int>(kFirstRegister, kLastRegister)(random)));
            input.push_back(static_cast<std::uint8_t>(byte(random)));
            input.push_back(kFrameEnd);
        } else if (pick < 110) {
            input.push_back(kFillerFirst);
            input.push_back(kFrameEnd);
        } else {
            input.push_back(pick < 160 ? kFrameEnd : static_cast<std::uint8_t>(byte(random)));
        }
    }
    return input;
}

TEST(ReceiveStreamProperty, SeededStreamsCutAnywhere) {
    for (std::uint32_t seed = 1; seed <= 500; ++seed) {
        std::mt19937 random(seed);
        const auto input = RandomInput(random);
        EXPECT_EQ(ReceiveStreamCheck::Run(input.data(), input.size()), "") << "seed " << seed;
    }
}

TEST(ReceiveStreamProperty, TheFuzzCorpus) {
    const std::filesystem::path corpus = R512_RECEIVE_CORPUS;
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> input{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(ReceiveStreamCheck::Run(input.data(), input.size()), "") << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace r512::test
