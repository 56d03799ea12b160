// The simulated device's reading of the host's bytes, byte by byte, without a line.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "device/Protocol.h"
#include "simulator/HostByteParser.h"

namespace r512::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Frame(std::uint8_t code) {
    const CommandFrame frame = MakeCommandFrame(code);
    return Bytes(frame.begin(), frame.end());
}

// The upload's start byte and the write key.
Bytes Opening() {
    return Join({{names_bytes::kUploadStart},
                 Bytes(names_bytes::kWriteKey.begin(), names_bytes::kWriteKey.end())});
}

Bytes Section(std::uint8_t announce, std::size_t length, std::uint8_t fill) {
    Bytes bytes(length + 1, fill);
    bytes[0] = announce;
    return bytes;
}

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// What the parser made of the bytes, in words; an unbroken run of section bytes at consecutive
// places becomes one "bytes FIRST-LAST".
std::vector<std::string> Meanings(const Bytes& bytes) {
    using Kind = HostByte::Kind;
    HostByteParser parser;
    std::vector<std::string> meanings;
    int runFirst = -1;
    int runLast = -1;
    auto endRun = [&] {
        if (runFirst >= 0)
            meanings.push_back("bytes " + std::to_string(runFirst) + "-" + std::to_string(runLast));
        runFirst = -1;
    };
    for (std::uint8_t byte : bytes) {
        const HostByte meaning = parser.Take(byte);
        if (meaning.kind == Kind::UploadByte) {
            EXPECT_EQ(meaning.value, byte);
            if (runFirst >= 0 && meaning.offset == runLast + 1) {
                runLast = meaning.offset;
                continue;
            }
            endRun();
            runFirst = runLast = meaning.offset;
            continue;
        }
        endRun();
        std::string text = meaning.abandonsUpload ? "abandons upload, " : "";
        switch (meaning.kind) {
            case Kind::Pending:
                if (meaning.abandonsUpload) meanings.push_back("abandons upload");
                continue;
            case Kind::Command:
                text += "command " + Hex(meaning.value);
                break;
            case Kind::NamesRequest:
                text += "names request";
                break;
            case Kind::UploadOpened:
                text += "upload opened";
                break;
            case Kind::UploadEnd:
                text += "upload end";
                break;
            case Kind::WrongKey:
                text += "wrong key " + Hex(meaning.value);
                break;
            case Kind::Stray:
                text += "stray " + Hex(meaning.value);
                break;
            case Kind::UploadByte:
                break;
        }
        meanings.push_back(text);
    }
    endRun();
    return meanings;
}

struct Case {
    const char* what;
    Bytes bytes;
    std::vector<std::string> meanings;
};

TEST(HostByteParser, ReadsFramesRequestsAndUploads) {
    using names_bytes::kSourceNames, names_bytes::kStandbyMessage, names_bytes::kWelcomeMessage,
        names_bytes::kUploadEnd;
    const Case cases[] = {
        {"a command frame", Frame(0x31), {"command 0x31"}},
        {"two frames back to back",
         Join({Frame(0x15), Frame(0xE3)}),
         {"command 0x15", "command 0xE3"}},
        {"a code that looks like a start byte is a code",
         Join({Frame(0xE0), Frame(0xDC), {0x07}}),
         {"command 0xE0", "command 0xDC", "stray 0x07"}},
        {"a broken frame start is dropped and its byte read afresh",
         {0xE0, 'R', 'X'},
         {"stray 0x58"}},
        {"a start byte inside a frame starts the frame again",
         Join({{0xE0, 'R'}, Frame(0x07)}),
         {"command 0x07"}},
        {"a request inside a frame start is a request", {0xE0, 'R', 'S', 0xDC}, {"names request"}},
        {"the names request", {names_bytes::kDownloadRequest}, {"names request"}},
        {"bytes that start nothing", {0x00, 0xFF, 'R'}, {"stray 0x00", "stray 0xFF", "stray 0x52"}},
        {"an upload of the welcome message",
         Join({Opening(), Section(kWelcomeMessage, 40, 'H'), {kUploadEnd}}),
         {"upload opened", "bytes 400-439", "upload end"}},
        {"the three sections, each where it belongs",
         Join({Opening(),
               Section(kSourceNames, 112, ' '),
               Section(kWelcomeMessage, 40, ' '),
               Section(kStandbyMessage, 40, ' '),
               {kUploadEnd}}),
         {"upload opened", "bytes 702-813", "bytes 400-439", "bytes 440-479", "upload end"}},
        {"section bytes that look like starts are data",
         Join({Opening(),
               Section(kStandbyMessage, 40, 0xE0),
               Section(kWelcomeMessage, 40, 0xDC),
               {kUploadEnd}}),
         {"upload opened", "bytes 440-479", "bytes 400-439", "upload end"}},
        {"a wrong key byte is refused and taken; what follows is read afresh",
         {names_bytes::kUploadStart, names_bytes::kWriteKey[0], 0xE0, 'R', 0xDC},
         {"wrong key 0xE0", "stray 0x52", "names request"}},
        {"a byte between sections that announces none abandons the upload",
         Join({Opening(), Section(kWelcomeMessage, 40, 'x'), {0x41}}),
         {"upload opened", "bytes 400-439", "abandons upload, stray 0x41"}},
        {"and is read afresh: here it starts a frame",
         Join({Opening(), Frame(0x07)}),
         {"upload opened", "abandons upload", "command 0x07"}},
        {"an end byte with no upload is stray", {kUploadEnd}, {"stray 0xD4"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Meanings(c.bytes), c.meanings) << c.what;
}

TEST(HostByteParser, ResetForgetsAHalfReadFrame) {
    HostByteParser parser;
    for (std::uint8_t byte : Bytes{0xE0, 'R', 'S'}) parser.Take(byte);
    parser.Reset();
    EXPECT_EQ(parser.Take('!').kind, HostByte::Kind::Stray);
    EXPECT_EQ(parser.Take(0x31).kind, HostByte::Kind::Stray);
}

}  // namespace
}  // namespace r512::sim
