// The names transfer of the device link over a port whose completions the test decides: what
// is sent in which order, where the download lands, the upload's pauses, and the flag.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "device/DeviceLink.h"
#include "device/NamesFields.h"
#include "support/FakePortChannel.h"
#include "support/NamesPumps.h"
#include "support/NoticeRecorder.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using Kind = PortChannel::Completion::Kind;
constexpr auto kWait = 3000ms;

const std::vector<std::uint8_t> kNamesDone = {0xE0, 0x52, 0x53, 0x21, 0x01};

// A device memory with valid bytes everywhere, each telling its place.
std::vector<std::uint8_t> DeviceMemory() {
    std::vector<std::uint8_t> memory(1024);
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(0x21 + (i * 5) % 0x5E);
    return memory;
}

class NamesTransfer : public ::testing::Test {
protected:
    class Link : public DeviceLink {
    public:
        using DeviceLink::DeviceLink;
        void SetNamesPending(bool pending) { namesPending_ = pending; }
    };

    NamesTransfer() : link(std::make_unique<FakePortChannel>(shared)), fake(shared) {}

    void Open() {
        ASSERT_TRUE(link.OpenPort("COM1", "baud=11520 parity=N data=8 stop=1", &notices));
        ASSERT_TRUE(fake.WaitForReads(1, kWait));
    }

    // The pump plays the device: it ends the aborted ordinary read with `abortedBytes`, then
    // answers the download read with `reply`.
    void AnswerDownloadWith(std::vector<std::uint8_t> abortedBytes,
                            std::vector<std::uint8_t> reply) {
        pump.beforeEachWait = [this, abortedBytes, reply, step = 0]() mutable {
            if (step == 0) {
                const std::size_t before = fake.ReadsStarted();
                fake.CompleteRead(abortedBytes);  // the purge ended the ordinary read
                ASSERT_TRUE(fake.WaitForReads(before + 1, kWait));
                step = 1;
            } else if (step == 1) {
                ASSERT_EQ(fake.LastRead().length, 1024u);
                fake.CompleteRead(reply);
                step = 2;
            }
        };
    }

    std::vector<std::vector<std::uint8_t>> WritesSoFar() {
        std::lock_guard<std::mutex> guard(shared.lock);
        std::vector<std::vector<std::uint8_t>> writes;
        for (const auto& w : shared.writesStarted) writes.push_back(w.bytes);
        return writes;
    }

    FakePortChannel::Shared shared;
    NoticeRecorder notices;
    Link link;
    FakePortChannel fake;
    NoticePump pump{link, notices};
};

TEST_F(NamesTransfer, DownloadWithNoPortOpenSendsNothingAndLeavesTheFlagClear) {
    EXPECT_FALSE(link.ReadNames(pump));
    EXPECT_FALSE(link.NamesPending());
    EXPECT_EQ(shared.purges, 1);
    EXPECT_EQ(fake.WritesStarted(), 0u);
    EXPECT_EQ(fake.ReadsStarted(), 0u);
    EXPECT_EQ(pump.rounds, 0);

    // A port opened afterwards reads and takes frames as usual.
    Open();
    const auto first = fake.LastRead();
    EXPECT_EQ(first.length, 3u);
    fake.CompleteRead({0xE5, 0x01, 0xFF});
    const auto notice = notices.Take(kWait);
    ASSERT_TRUE(notice);
    const RegisterFrame frame = link.ProcessReceived(notice->requested, notice->received);
    EXPECT_TRUE(frame.Taken());
    EXPECT_EQ(link.Mirror().Value(RS_OPER_MODE), 1);
    EXPECT_TRUE(fake.WaitForReads(2, kWait));
}

TEST_F(NamesTransfer, DownloadPurgesRequestsReadsIntoTheImageAndEndsWith0x01) {
    Open();
    const auto memory = DeviceMemory();
    // The aborted read had caught two bytes of a report: they are dropped, not parsed.
    AnswerDownloadWith({0xE1, 0x30}, memory);
    EXPECT_TRUE(link.ReadNames(pump));
    EXPECT_FALSE(link.NamesPending());
    EXPECT_EQ(shared.purges, 1);

    // The request byte, then the command frame once the reply has come.
    ASSERT_TRUE(fake.WaitForWrites(1, kWait));
    EXPECT_EQ(WritesSoFar().front(), std::vector<std::uint8_t>{0xDC});
    {
        std::lock_guard<std::mutex> guard(shared.lock);
        EXPECT_EQ(shared.writesStarted.front().noticeMessage, 0u);
    }
    fake.Push({Kind::WriteDone, 1});
    ASSERT_TRUE(fake.WaitForWrites(2, kWait));
    EXPECT_EQ(WritesSoFar().back(), kNamesDone);

    // Reads: the ordinary one, the download into the image, the ordinary one again.
    std::lock_guard<std::mutex> guard(shared.lock);
    ASSERT_EQ(shared.readsStarted.size(), 3u);
    EXPECT_EQ(shared.readsStarted[1].length, 1024u);
    EXPECT_EQ(shared.readsStarted[1].data, link.NamesImage().data());
    EXPECT_EQ(shared.readsStarted[1].noticeMessage, WM_DEVICE_DATA);
    EXPECT_EQ(shared.readsStarted[2].length, 3u);
    EXPECT_EQ(shared.readsStarted[2].data, shared.readsStarted[0].data);
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), link.NamesImage().begin()));
    EXPECT_EQ(link.Mirror().Value(RS_VOLUME), 0);  // the caught bytes changed nothing
    EXPECT_EQ(pump.noticesHanded, 2);
}

TEST_F(NamesTransfer, InvalidByteInTheDownloadFailsButStillEndsWith0x01) {
    Open();
    auto memory = DeviceMemory();
    memory[758] = 0x13;
    AnswerDownloadWith({}, memory);
    EXPECT_FALSE(link.ReadNames(pump));
    EXPECT_FALSE(link.NamesPending());
    fake.Push({Kind::WriteDone, 1});
    ASSERT_TRUE(fake.WaitForWrites(2, kWait));
    EXPECT_EQ(WritesSoFar().back(), kNamesDone);
}

TEST_F(NamesTransfer, ShortReplyKeepsTheRestOfTheEarlierImageAndTheCheckDecides) {
    Open();
    // Nothing downloaded yet: the image is all zero, so a reply of 300 bytes fails.
    const auto memory = DeviceMemory();
    AnswerDownloadWith({}, std::vector<std::uint8_t>(memory.begin(), memory.begin() + 300));
    EXPECT_FALSE(link.ReadNames(pump));
    EXPECT_EQ(link.NamesImage()[400], 0);
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 300, link.NamesImage().begin()));

    // After a full download, a short reply leaves the earlier bytes, which pass.
    fake.Push({Kind::WriteDone, 1});
    ASSERT_TRUE(fake.WaitForWrites(2, kWait));
    fake.Push({Kind::WriteDone, 5});
    ASSERT_TRUE(fake.WaitIdle(kWait));
    AnswerDownloadWith({}, memory);
    EXPECT_TRUE(link.ReadNames(pump));
    std::vector<std::uint8_t> other(300, 'Z');
    AnswerDownloadWith({}, other);
    EXPECT_TRUE(link.ReadNames(pump));
    EXPECT_EQ(link.NamesImage()[299], 'Z');
    EXPECT_TRUE(std::equal(memory.begin() + 300, memory.end(), link.NamesImage().begin() + 300));
}

TEST_F(NamesTransfer, ClosingThePortDuringTheDownloadEndsIt) {
    Open();
    pump.beforeEachWait = [this] { link.ClosePort(); };
    EXPECT_FALSE(link.ReadNames(pump));
    EXPECT_FALSE(link.NamesPending());
    EXPECT_EQ(pump.rounds, 1);
}

TEST_F(NamesTransfer, UploadSendsHeaderThenEveryByteAloneAfterItsPauseAndEndsWith0x01) {
    Open();
    auto& image = link.NamesImage();
    const auto memory = DeviceMemory();
    std::copy(memory.begin(), memory.end(), image.begin());

    // Each pause completes the write before it, as the port would, and notes how many writes
    // had been queued when it began.
    struct Pause {
        std::chrono::milliseconds length;
        std::size_t writesBefore;
    };
    std::vector<Pause> pauses;
    link.SetPause([&](std::chrono::milliseconds length) {
        const std::size_t queued = pauses.size() + 1;
        ASSERT_TRUE(fake.WaitForWrites(queued, kWait));
        pauses.push_back({length, fake.WritesStarted()});
        fake.Push({Kind::WriteDone, 1});
        ASSERT_TRUE(fake.WaitIdle(kWait));
    });
    EXPECT_TRUE(link.WriteNames());
    ASSERT_TRUE(fake.WaitForWrites(198, kWait));

    // 196 pauses of 10 ms, one before each single-byte write, and 100 ms before the command.
    ASSERT_EQ(pauses.size(), 197u);
    for (std::size_t i = 0; i < 196; ++i) {
        EXPECT_EQ(pauses[i].length, 10ms) << i;
        EXPECT_EQ(pauses[i].writesBefore, i + 1) << i;
    }
    EXPECT_EQ(pauses[196].length, 100ms);
    EXPECT_EQ(pauses[196].writesBefore, 197u);

    std::vector<std::vector<std::uint8_t>> expected;
    expected.push_back({0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C});
    auto section = [&](std::uint8_t announce, int offset, int length) {
        expected.push_back({announce});
        for (int i = offset; i < offset + length; ++i)
            expected.push_back({memory[static_cast<std::size_t>(i)]});
    };
    section(0xCF, 702, 112);
    section(0xCA, 400, 40);
    section(0xCB, 440, 40);
    expected.push_back({0xD4});
    expected.push_back(kNamesDone);
    EXPECT_EQ(WritesSoFar(), expected);

    // The image's bytes go from the image itself; none asks for a notice.
    std::lock_guard<std::mutex> guard(shared.lock);
    EXPECT_EQ(shared.writesStarted[2].data, image.data() + 702);
    EXPECT_EQ(shared.writesStarted[196 - 1].data, image.data() + 479);
    for (const auto& w : shared.writesStarted) EXPECT_EQ(w.noticeMessage, 0u);
}

TEST_F(NamesTransfer, ValidateNamesJudgesTheImageInPlace) {
    auto& image = link.NamesImage();
    EXPECT_FALSE(link.ValidateNames());  // all zero before any download
    const auto memory = DeviceMemory();
    std::copy(memory.begin(), memory.end(), image.begin());
    EXPECT_TRUE(link.ValidateNames());
    image[813] = 0x7F;
    EXPECT_TRUE(link.ValidateNames());
    image[813] = 0x80;
    EXPECT_FALSE(link.ValidateNames());
    image[813] = 0x14;
    image[0] = image[399] = image[480] = image[701] = image[814] = image[1023] = 0;
    EXPECT_TRUE(link.ValidateNames());
}

TEST_F(NamesTransfer, DroppedReadsWhileTheDownloadIsOutstandingQueueNothing) {
    Open();
    link.SetNamesPending(true);
    const std::size_t before = fake.ReadsStarted();
    fake.CompleteRead({0xE1, 0x10, 0xFF});  // a whole frame, yet dropped
    const auto notice = notices.Take(kWait);
    ASSERT_TRUE(notice);
    EXPECT_FALSE(link.ProcessReceived(notice->requested, notice->received).Taken());
    EXPECT_TRUE(link.NamesPending());
    EXPECT_EQ(link.Mirror().Value(RS_VOLUME), 0);
    EXPECT_FALSE(fake.WaitForReads(before + 1, 100ms));  // no read took its place
    // The download's completion, however short, clears the flag and reading resumes.
    EXPECT_FALSE(link.ProcessReceived(1024, 17).Taken());
    EXPECT_FALSE(link.NamesPending());
    ASSERT_TRUE(fake.WaitForReads(before + 1, kWait));
    EXPECT_EQ(fake.LastRead().length, 3u);
}

}  // namespace
}  // namespace r512::test
