#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "device/DeviceLink.h"
#include "support/FakePortChannel.h"

namespace r512::test {

// The receive path's property, for the fuzzer and for the seeded run of the test suite alike.
// The input is a byte stream cut into reads: each read takes one control byte c and then
// receives c mod (asked + 1) bytes of the input (fewer than it asked for means it ended early;
// none, that it timed out). The reads go through the link's own I/O thread and notices to
// ProcessReceived and the mirror, as in the program. Checked:
//   - every read asks for 1 to 3 bytes into the receive window, ending at its end;
//   - the frames taken are those of the stream itself, whatever the cuts: no byte that came
//     is lost or judged twice (the stream's frames: at each position a filler unit 0xDF 0xFF
//     is passed over, three bytes ending in 0xFF are a frame, anything else moves one on);
//   - every register frame (code 0xE1 to 0xFA, a value other than 0xFF, 0xFF) in the stream is
//     taken, whatever garbage comes before it: garbage is passed over within three bytes;
//   - the mirror is what the frames taken make of it: registers change through frames alone.
// Returns an empty string when all hold, else what failed. Memory faults are the
// sanitizers' to find.
class ReceiveStreamCheck {
public:
    static std::string Run(const std::uint8_t* input, std::size_t size) {
        ReceiveStreamCheck check;
        return check.Feed(input, size);
    }

private:
    struct Frame {
        std::uint8_t code, value;
        bool operator==(const Frame&) const = default;
    };

    ReceiveStreamCheck() : link_(std::make_unique<FakePortChannel>(shared_)), fake_(shared_) {}
    ~ReceiveStreamCheck() { link_.ClosePort(); }

    std::string Feed(const std::uint8_t* input, std::size_t size) {
        if (link_.OpenPort("COM1", "baud=11520 parity=N data=8 stop=1", &notices_) !=
            SerialLink::OpenResult::Opened)
            return "the port did not open";
        if (!fake_.WaitForReads(1, kWait)) return "no first read";
        std::uint8_t* const windowEnd = fake_.LastRead().data + fake_.LastRead().length;

        std::vector<std::uint8_t> stream;
        std::vector<Frame> taken;
        RegisterMirror replay;
        std::size_t at = 0;
        while (at < size) {
            const auto read = fake_.LastRead();
            if (read.length < 1 || read.length > 3 || read.data + read.length != windowEnd)
                return Say("read ", stream.size(), ": asked ", read.length,
                           " bytes not at the window's end");
            const std::uint8_t control = input[at++];
            const std::size_t count = std::min<std::size_t>(control % (read.length + 1), size - at);
            const std::vector<std::uint8_t> bytes(input + at, input + at + count);
            at += count;
            stream.insert(stream.end(), bytes.begin(), bytes.end());

            const std::size_t started = fake_.ReadsStarted();
            fake_.CompleteRead(bytes);
            const auto notice = notices_.Take(kWait);
            if (!notice) return "no notice";
            const RegisterFrame frame = link_.ProcessReceived(notice->requested, notice->received);
            if (frame.Taken()) {
                if (frame.end != kFrameEnd) return "a frame without its end byte";
                taken.push_back({frame.code, frame.value});
                if (IsRegisterCode(frame.code)) replay.ApplyReport(frame.code, frame.value);
            }
            if (!fake_.WaitForReads(started + 1, kWait)) return "reading stopped";
        }

        const std::vector<Frame> expected = StreamFrames(stream);
        if (taken != expected)
            return Say("took ", taken.size(), " frames where the stream holds ", expected.size());
        for (std::size_t p = 0; p + 2 < stream.size(); ++p) {
            if (IsRegisterCode(stream[p]) && stream[p + 1] != kFrameEnd &&
                stream[p + 2] == kFrameEnd && !framePositions_.count(p))
                return Say("the register frame at byte ", p, " was not taken");
        }
        for (int i = 0; i < kRegisterCount; ++i) {
            const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
            if (link_.Mirror().Value(code) != replay.Value(code) ||
                link_.Mirror().State(code) != replay.State(code))
                return Say("register ", RegisterName(code), " changed without a frame");
        }
        return {};
    }

    // The frames of a whole stream, read as one.
    std::vector<Frame> StreamFrames(const std::vector<std::uint8_t>& s) {
        std::vector<Frame> frames;
        std::size_t p = 0;
        while (p + 1 < s.size()) {
            if (s[p] == kFillerFirst && s[p + 1] == kFrameEnd) {
                p += 2;
            } else if (p + 2 >= s.size()) {
                break;
            } else if (s[p + 2] == kFrameEnd) {
                frames.push_back({s[p], s[p + 1]});
                framePositions_.insert(p);
                p += 3;
            } else {
                ++p;
            }
        }
        return frames;
    }

    template <typename... Parts>
    static std::string Say(const Parts&... parts) {
        std::ostringstream text;
        (text << ... << parts);
        return text.str();
    }

    static constexpr std::chrono::milliseconds kWait{5000};

    FakePortChannel::Shared shared_;
    BlockingNoticeQueue notices_;
    DeviceLink link_;
    FakePortChannel fake_;
    std::set<std::size_t> framePositions_;
};

}  // namespace r512::test
