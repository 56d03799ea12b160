// How the device link takes register frames out of the byte stream and keeps the mirror.
#include <gtest/gtest.h>

#include "core/device/LinkHarness.h"

namespace r512::test {
namespace {

using State = RegisterState;

TEST(ProcessReceived, FrameAfterOpenChangesAKnownRegister) {
    LinkHarness h;
    EXPECT_EQ(h.NextReadLength(), 3u);
    const RegisterFrame frame = h.Complete({0xE5, 0x01, 0xFF});
    EXPECT_EQ(frame.code, 0xE5);
    EXPECT_EQ(frame.value, 1);
    EXPECT_EQ(frame.end, 0xFF);
    EXPECT_EQ(h.link.Mirror().Value(RS_OPER_MODE), 1);
    EXPECT_EQ(h.link.Mirror().State(RS_OPER_MODE), State::Changed);
    EXPECT_EQ(h.NextReadLength(), 3u);
}

TEST(ProcessReceived, FillerUnitIsDroppedAsTwoBytes) {
    LinkHarness h;
    // One burst: the read of three takes DF FF E2; the unit goes, E2 stays and two more come.
    EXPECT_FALSE(h.Complete({0xDF, 0xFF, 0xE2}).Taken());
    EXPECT_EQ(h.NextReadLength(), 2u);
    const RegisterFrame frame = h.Complete({0x01, 0xFF});
    EXPECT_TRUE(frame.Taken());
    EXPECT_EQ(frame.code, RS_MUTE);
    EXPECT_EQ(h.link.Mirror().Value(RS_MUTE), 1);
}

TEST(ProcessReceived, FillerBeforeVolumeReport) {
    LinkHarness h;
    const auto frames = h.Feed({0xDF, 0xFF, 0xE1, 0x64, 0xFF});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].code, RS_VOLUME);
    EXPECT_EQ(frames[0].value, 0x64);
    EXPECT_EQ(h.link.Mirror().Value(RS_VOLUME), 0x64);
}

TEST(ProcessReceived, StrayLeadingByteIsDroppedOneAtATime) {
    LinkHarness h;
    EXPECT_FALSE(h.Complete({0x00, 0xE2, 0x01}).Taken());
    EXPECT_EQ(h.NextReadLength(), 1u);
    const RegisterFrame frame = h.Complete({0xFF});
    EXPECT_EQ(frame.code, RS_MUTE);
    EXPECT_EQ(frame.value, 1);
}

TEST(ProcessReceived, FrameOfNoRegisterIsReturnedButChangesNothing) {
    LinkHarness h;
    const RegisterFrame frame = h.Complete({0x05, 0x10, 0xFF});
    EXPECT_TRUE(frame.Taken());
    EXPECT_EQ(frame.code, 0x05);
    for (int i = 0; i < kRegisterCount; ++i) {
        const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
        EXPECT_EQ(h.link.Mirror().Value(code), 0);
        EXPECT_EQ(h.link.Mirror().State(code), State::Known);
    }
}

TEST(ProcessReceived, ValueFFIsAnOrdinaryValue) {
    LinkHarness h;
    const RegisterFrame frame = h.Complete({0xE1, 0xFF, 0xFF});
    EXPECT_TRUE(frame.Taken());
    EXPECT_EQ(h.link.Mirror().Value(RS_VOLUME), 255);
}

TEST(ProcessReceived, ThirdByteNotEndShiftsByOneAndReadsOne) {
    LinkHarness h;
    EXPECT_FALSE(h.Complete({0xE1, 0x50, 0x00}).Taken());
    EXPECT_EQ(h.NextReadLength(), 1u);
    // The window now holds 50 00 and the new byte: a frame of no register.
    const RegisterFrame frame = h.Complete({0xFF});
    EXPECT_TRUE(frame.Taken());
    EXPECT_EQ(frame.code, 0x50);
    EXPECT_EQ(frame.value, 0x00);
    EXPECT_EQ(h.link.Mirror().Value(RS_VOLUME), 0);
}

TEST(ProcessReceived, EmptyReadOfThreeReadsThreeAgain) {
    LinkHarness h;
    EXPECT_FALSE(h.Complete({}).Taken());
    EXPECT_EQ(h.NextReadLength(), 3u);
    EXPECT_EQ(h.Complete({0xE3, 0x07, 0xFF}).code, RS_AUDIO_SOURCE);
}

TEST(ProcessReceived, SilenceAfterAShiftStillLinesUpOnTheNextFrame) {
    LinkHarness h;
    EXPECT_FALSE(h.Complete({0xE1, 0x50, 0x00}).Taken());  // window 50 00 _
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(h.Complete({}).Taken());  // silent device: one-byte reads end empty
        EXPECT_EQ(h.NextReadLength(), 1u);
    }
    const auto frames = h.Feed({0xE3, 0x07, 0xFF});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].code, RS_AUDIO_SOURCE);
    EXPECT_EQ(h.link.Mirror().Value(RS_AUDIO_SOURCE), 7);
    EXPECT_EQ(h.NextReadLength(), 3u);
}

TEST(ProcessReceived, ReadThatEndsEarlyDropsItsPartialFrame) {
    LinkHarness h;
    // Two bytes of a frame, then the interval time-out: the window slides by the missing one.
    EXPECT_FALSE(h.Complete({0xE1, 0x10}).Taken());
    EXPECT_EQ(h.NextReadLength(), 1u);
    // The rest of the stream lines up again at the next whole frame.
    const auto frames = h.Feed({0xFF, 0xE2, 0x01, 0xFF});
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().code, RS_MUTE);
    EXPECT_EQ(h.link.Mirror().Value(RS_MUTE), 1);
}

TEST(ProcessReceived, RefreshReportsEndKnownWithOrWithoutChange) {
    LinkHarness h;
    h.Feed({0xE1, 0x40, 0xFF, 0xE2, 0x01, 0xFF});
    ASSERT_TRUE(h.link.RequestRefresh());
    EXPECT_TRUE(h.link.Mirror().AllPending());
    EXPECT_EQ(h.link.Mirror().Value(RS_VOLUME), 0x40);  // values stay
    EXPECT_EQ(h.link.Mirror().Value(RS_MUTE), 1);
    h.Feed({0xE1, 0x40, 0xFF, 0xE2, 0x00, 0xFF});
    EXPECT_EQ(h.link.Mirror().State(RS_VOLUME), State::Known);  // same value
    EXPECT_EQ(h.link.Mirror().State(RS_MUTE), State::Known);    // new value, not announced
    EXPECT_EQ(h.link.Mirror().Value(RS_MUTE), 0);
    EXPECT_FALSE(h.link.Mirror().AllPending());
    EXPECT_EQ(h.link.Mirror().State(RS_BASS), State::Pending);
}

TEST(ProcessReceived, RefreshSendsItsCommandFrame) {
    LinkHarness h;
    ASSERT_TRUE(h.link.RequestRefresh());
    ASSERT_TRUE(h.fake.WaitForWrites(1, LinkHarness::kWait));
    std::lock_guard<std::mutex> guard(h.shared.lock);
    const auto& write = h.shared.writesStarted.back();
    EXPECT_EQ(write.bytes, (std::vector<std::uint8_t>{0xE0, 0x52, 0x53, 0x21, 0xE3}));
    EXPECT_EQ(write.noticeMessage, 0u);
}

TEST(ProcessReceived, WhileNamesPendingOrdinaryReadsAreDropped) {
    LinkHarness h;
    h.link.SetNamesPending(true);
    const std::size_t reads = h.fake.ReadsStarted();
    // The aborted ordinary read: nothing parsed, nothing queued.
    h.fake.CompleteRead({0xE1, 0x33, 0xFF});
    auto notice = h.notices.Take(LinkHarness::kWait);
    ASSERT_TRUE(notice);
    EXPECT_FALSE(h.link.ProcessReceived(notice->requested, notice->received).Taken());
    EXPECT_EQ(h.link.Mirror().Value(RS_VOLUME), 0);
    EXPECT_EQ(h.fake.ReadsStarted(), reads);
    EXPECT_TRUE(h.link.NamesPending());
    // The download's completion ends the wait and ordinary reading resumes with three bytes.
    EXPECT_FALSE(h.link.ProcessReceived(names_download::kReadSize, 1024).Taken());
    EXPECT_FALSE(h.link.NamesPending());
    ASSERT_EQ(h.fake.ReadsStarted(), reads + 1);
    EXPECT_EQ(h.fake.LastRead().length, 3u);
    EXPECT_EQ(h.fake.LastRead().data + 3, h.windowEnd);
}

TEST(ProcessReceived, ImpossibleNoticeFiguresNeverReachOutsideTheWindow) {
    LinkHarness h;
    // Figures no read of the link produces: the window starts again empty.
    for (auto [requested, received] : {std::pair<std::uint32_t, std::uint32_t>{7, 3},
                                       {3, 9},
                                       {0, 0},
                                       {1024, 1024},
                                       {0xFFFFFFFF, 0}}) {
        h.fake.CompleteRead({});
        ASSERT_TRUE(h.notices.Take(LinkHarness::kWait));
        EXPECT_FALSE(h.link.ProcessReceived(requested, received).Taken());
        EXPECT_EQ(h.fake.LastRead().length, 3u);
        EXPECT_EQ(h.fake.LastRead().data + 3, h.windowEnd);
    }
    const RegisterFrame frame = h.Complete({0xE4, 0x02, 0xFF});
    EXPECT_EQ(frame.code, RS_VIDEO_SOURCE);
}

TEST(SendCommand, FramesWaitingBehindEachOtherKeepTheirOwnBytes) {
    LinkHarness h;
    for (std::uint8_t code : {0x31, 0x32, 0x06}) ASSERT_TRUE(h.link.SendCommand(code));
    // Only the first write is started; the others wait with their frames intact.
    ASSERT_TRUE(h.fake.WaitForWrites(1, LinkHarness::kWait));
    EXPECT_EQ(h.fake.WritesStarted(), 1u);
    for (std::uint8_t code : {0x31, 0x32, 0x06}) {
        ASSERT_TRUE(h.fake.WaitForWrites(static_cast<std::size_t>(code == 0x31   ? 1
                                                                  : code == 0x32 ? 2
                                                                                 : 3),
                                         LinkHarness::kWait));
        {
            std::lock_guard<std::mutex> guard(h.shared.lock);
            EXPECT_EQ(h.shared.writesStarted.back().bytes,
                      (std::vector<std::uint8_t>{0xE0, 'R', 'S', '!', code}));
        }
        h.fake.Push({PortChannel::Completion::Kind::WriteDone, 5});
    }
    ASSERT_TRUE(h.fake.WaitIdle(LinkHarness::kWait));
    // Writes of the link are never announced.
    EXPECT_EQ(h.notices.Count(), 0u);
}

}  // namespace
}  // namespace r512::test
