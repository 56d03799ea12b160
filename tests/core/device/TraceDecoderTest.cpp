// What the protocol trace says of the bytes on the wire.
#include <gtest/gtest.h>

#include <vector>

#include "device/NamesDownloadCheck.h"
#include "device/ProtocolTrace.h"

namespace r512::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TraceDecoder, ReceivedStreamIsCutIntoTheDevicesUnits) {
    struct Step {
        Bytes bytes;
        const char* meaning;
    };
    // One stream, read as the link reads it: three bytes at a time, or fewer.
    const Step steps[] = {
        {{0xE1, 0x41, 0xFF}, "RS_VOLUME = 65 (vol: -35)"},
        {{0xDF, 0xFF, 0xED}, "filler; ..."},
        {{0x03, 0xFF}, "RS_SIGNAL_TYPE = 3 (Dolby Digit.)"},
        {{0x00, 0xE2, 0x01}, "stray 0x00; ..."},
        {{0xFF}, "RS_MUTE = 1 (on)"},
        {{0x05, 0x10, 0xFF}, "frame of no register 0x05"},
        {{0xEC, 0x01, 0xFF}, "RS_STEREO_MODE = 1 (DD PL)"},
    };
    TraceDecoder decoder;
    for (const Step& step : steps) {
        EXPECT_EQ(decoder.DescribeReceived(step.bytes.data(),
                                           static_cast<std::uint32_t>(step.bytes.size()), 3),
                  step.meaning);
    }
    const Bytes names(1024, 0x20);
    EXPECT_EQ(decoder.DescribeReceived(names.data(), 300, names_download::kReadSize),
              "names memory, 300 of 1024 bytes");
}

// After a reopen, a purge or an upload cut short, bytes start afresh: the part of a frame that
// came before and an upload under way are forgotten.
TEST(TraceDecoder, ResetForgetsWhatEarlierBytesBegan) {
    TraceDecoder decoder;
    const Bytes part = {0xE1, 0x41};
    EXPECT_EQ(decoder.DescribeReceived(part.data(), 2, 3), "...");
    const Bytes header = {0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C};
    decoder.DescribeSent(header.data(), 8);
    const Bytes names = {0xCF};
    decoder.DescribeSent(names.data(), 1);
    decoder.Reset();
    const Bytes frame = {0xE2, 0x01, 0xFF};
    EXPECT_EQ(decoder.DescribeReceived(frame.data(), 3, 3), "RS_MUTE = 1 (on)");
    const Bytes request = {0xDC};
    EXPECT_EQ(decoder.DescribeSent(request.data(), 1), "names download request");
}

TEST(TraceDecoder, SentBytesAreNamed) {
    TraceDecoder decoder;
    const Bytes key = {0xE0, 0x52, 0x53, 0x21, 0x31};
    EXPECT_EQ(decoder.DescribeSent(key.data(), 5), "key volume-up");
    const Bytes done = {0xE0, 0x52, 0x53, 0x21, 0x01};
    EXPECT_EQ(decoder.DescribeSent(done.data(), 5), "command 0x01 (names transfer done)");
    const Bytes download = {0xDC};
    EXPECT_EQ(decoder.DescribeSent(download.data(), 1), "names download request");

    // The upload: header, a section and its bytes, the end.
    const Bytes header = {0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C};
    EXPECT_EQ(decoder.DescribeSent(header.data(), 8), "names upload header (write key)");
    const Bytes welcome = {0xCA};
    EXPECT_EQ(decoder.DescribeSent(welcome.data(), 1), "welcome message follow (40 bytes)");
    for (int i = 0; i < 40; ++i) {
        const std::uint8_t byte = i == 0 ? 'H' : i == 1 ? 0x7F : ' ';
        const std::string meaning = decoder.DescribeSent(&byte, 1);
        if (i == 0) {
            EXPECT_EQ(meaning, "welcome message byte 0 'H'");
        } else if (i == 1) {
            EXPECT_EQ(meaning, "welcome message byte 1 0x7F");
        }
    }
    const Bytes end = {0xD4};
    EXPECT_EQ(decoder.DescribeSent(end.data(), 1), "names upload end");
    // After the upload a lone byte means nothing of it.
    EXPECT_EQ(decoder.DescribeSent(end.data(), 1), "unframed bytes");
}

}  // namespace
}  // namespace r512::test
