// Reads that end early, and notices that outlive the port they came from: no byte that arrived
// is lost or used twice, and a notice from before a reopen changes nothing.
#include <gtest/gtest.h>

#include <vector>

#include "core/device/LinkHarness.h"

namespace r512::test {
namespace {

struct SplitCase {
    const char* name;
    std::vector<std::vector<std::uint8_t>> reads;  // what each read brought, in order
    std::uint8_t code;                             // the report that must be taken
    std::uint8_t value;
};

// A report that reaches the link in pieces, however the reads are cut, is taken whole and
// changes nothing but its own register.
TEST(ShortReads, AReportSplitAcrossReadsIsTakenWhole) {
    const SplitCase cases[] = {
        {"one byte, then two", {{0xE1}, {0x50, 0xFF}}, RS_VOLUME, 0x50},
        {"two bytes, then one", {{0xE1, 0x50}, {0xFF}}, RS_VOLUME, 0x50},
        {"value that is a register code", {{0xE1, 0xE9}, {0xFF}}, RS_VOLUME, 0xE9},
        {"a byte at a time", {{0xE2}, {0x01}, {0xFF}}, RS_MUTE, 0x01},
        {"across an empty read (the 5 s time-out)", {{0xE1}, {}, {0x50, 0xFF}}, RS_VOLUME, 0x50},
        {"after a frame", {{0xE2, 0x01, 0xFF}, {0xE1, 0x50}, {0xFF}}, RS_VOLUME, 0x50},
        {"after garbage", {{0x07}, {0x00, 0xE1}, {0x50}, {0xFF}}, RS_VOLUME, 0x50},
        {"filler cut in two", {{0xDF}, {0xFF, 0xE1}, {0x50, 0xFF}}, RS_VOLUME, 0x50},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        LinkHarness h;
        std::vector<RegisterFrame> frames;
        for (const auto& read : c.reads) {
            const RegisterFrame frame = h.Complete(read);
            if (frame.Taken()) frames.push_back(frame);
        }
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames.back().code, c.code);
        EXPECT_EQ(frames.back().value, c.value);
        for (const RegisterFrame& f : frames) EXPECT_NE(f.code, 0x00) << "a frame of stale bytes";
        for (int i = 0; i < kRegisterCount; ++i) {
            const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
            const bool reported = code == c.code || (code == RS_MUTE && frames.size() > 1);
            if (!reported) {
                EXPECT_EQ(h.link.Mirror().Value(code), 0) << RegisterName(code);
            }
        }
        EXPECT_EQ(h.link.Mirror().Value(c.code), c.value);
    }
}

// The port is closed and opened again (the Configure command) while the notice of a read of
// the old port still waits in the window's queue.
TEST(Reopen, ANoticeFromBeforeTheReopenIsIgnored) {
    LinkHarness h;
    h.fake.CompleteRead({});  // the old port's read ends; its notice is not handled yet
    ASSERT_TRUE(h.fake.WaitIdle(LinkHarness::kWait));
    h.link.ClosePort();
    ASSERT_EQ(h.link.OpenPort("COM2", "baud=11520 parity=N data=8 stop=1", &h.notices),
              SerialLink::OpenResult::Opened);
    const std::size_t started = h.fake.ReadsStarted();

    const auto stale = h.notices.Take(LinkHarness::kWait);
    ASSERT_TRUE(stale.has_value());
    EXPECT_FALSE(h.link.ProcessReceived(stale->requested, stale->received).Taken());

    // One read is outstanding, no more: when it ends nothing else starts before its notice
    // has been handled, and its bytes are the frame.
    h.fake.CompleteRead({0xE5, 0x01, 0xFF});
    ASSERT_TRUE(h.fake.WaitIdle(LinkHarness::kWait));
    EXPECT_EQ(h.fake.ReadsStarted(), started) << "a second read into the window was queued";
    const auto notice = h.notices.Take(LinkHarness::kWait);
    ASSERT_TRUE(notice.has_value());
    const RegisterFrame frame = h.link.ProcessReceived(notice->requested, notice->received);
    EXPECT_EQ(frame.code, RS_OPER_MODE);
    EXPECT_EQ(h.link.Mirror().Value(RS_OPER_MODE), 1);
    EXPECT_EQ(h.fake.ReadsStarted(), started + 1);
}

}  // namespace
}  // namespace r512::test
