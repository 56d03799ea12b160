// The names transfer of the device link over a port whose completions the test decides: what
// is sent in which order, where the download lands, the upload's pauses, and the flag.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "device/DeviceLink.h"
#include "device/NamesDownloadCheck.h"
#include "device/NamesFields.h"
#include "support/FakePortChannel.h"
#include "support/NamesPumps.h"

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
        ASSERT_EQ(link.OpenPort("COM1", "baud=11520 parity=N data=8 stop=1", &notices),
                  SerialLink::OpenResult::Opened);
        ASSERT_TRUE(fake.WaitForReads(1, kWait));
    }

    // The pump plays the device for every download: it ends the ordinary read that the purge
    // aborted (the first with `abortedBytes`, later ones empty), then answers the download
    // read with `reply(attempt)` (attempt 0, 1, ...), cut to what the read asks for.
    void AnswerEveryDownload(std::vector<std::uint8_t> abortedBytes,
                             std::function<std::vector<std::uint8_t>(int attempt)> reply) {
        downloads = 0;
        pump.beforeEachWait = [this, abortedBytes, reply, answered = fake.ReadsStarted() - 1,
                               first = true]() mutable {
            const std::size_t started = fake.ReadsStarted();
            if (started == answered || fake.LastRead().length > 3) return;
            fake.CompleteRead(first ? abortedBytes : std::vector<std::uint8_t>{});
            first = false;
            ASSERT_TRUE(fake.WaitForReads(started + 1, kWait));
            const auto read = fake.LastRead();
            ASSERT_GT(read.length, 3u);
            auto bytes = reply(downloads++);
            if (bytes.size() > read.length) bytes.resize(read.length);
            fake.CompleteRead(bytes);
            answered = started + 1;
        };
    }
    void AnswerDownloadWith(std::vector<std::uint8_t> abortedBytes,
                            std::vector<std::uint8_t> reply) {
        AnswerEveryDownload(std::move(abortedBytes), [reply](int) { return reply; });
    }

    std::vector<std::vector<std::uint8_t>> WritesSoFar() {
        std::lock_guard<std::mutex> guard(shared.lock);
        std::vector<std::vector<std::uint8_t>> writes;
        for (const auto& w : shared.writesStarted) writes.push_back(w.bytes);
        return writes;
    }

    FakePortChannel::Shared shared;
    BlockingNoticeQueue notices;
    Link link;
    FakePortChannel fake;
    NoticePump pump{link, notices};
    int downloads = 0;  // download reads answered
};

TEST_F(NamesTransfer, DownloadWithNoPortOpenSendsNothingAndLeavesTheFlagClear) {
    EXPECT_FALSE(link.ReadNames(pump));
    EXPECT_FALSE(link.NamesPending());
    EXPECT_EQ(shared.purges, 0);
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
    EXPECT_EQ(shared.readsStarted[1].length, names_download::kReadSize);
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

TEST_F(NamesTransfer, ReplyThatIsNotTheWholeMemoryFailsAndLeavesTheImageAsItWas) {
    Open();
    const auto memory = DeviceMemory();
    AnswerDownloadWith({}, memory);
    ASSERT_TRUE(link.ReadNames(pump));
    const auto accepted = link.NamesImage();

    // Each reply below ends the read by silence; none is the whole memory in place, so none
    // reaches the image, however good the earlier bytes it would leave there. A short or moved
    // reply is asked for again, up to the limit; silence and bad memory are not.
    auto longer = memory;
    longer.insert(longer.begin(), {0xE1, 0x30, 0xFF});
    struct Case {
        const char* what;
        std::vector<std::uint8_t> reply;
        int downloads;
    };
    const Case cases[] = {
        {"no reply", {}, 1},
        {"short reply", std::vector<std::uint8_t>(300, 'Z'), DeviceLink::kNamesDownloadAttempts},
        {"a report ahead", longer, DeviceLink::kNamesDownloadAttempts},
        {"one byte short", {memory.begin(), memory.end() - 1}, DeviceLink::kNamesDownloadAttempts},
    };
    for (const Case& c : cases) {
        AnswerDownloadWith({}, c.reply);
        EXPECT_FALSE(link.ReadNames(pump)) << c.what;
        EXPECT_EQ(downloads, c.downloads) << c.what;
        EXPECT_EQ(link.NamesImage(), accepted) << c.what;
        EXPECT_FALSE(link.NamesPending()) << c.what;
    }
}

// A register report that comes with the reply, wherever it comes, moves bytes of the image; the
// texts mostly stay printable. Even with such a report at the same place in every download,
// no download may be taken: the result is false and the image keeps the earlier download.
TEST_F(NamesTransfer, AReportAnywhereInTheReplyIsNeverTaken) {
    Open();
    const auto memory = DeviceMemory();
    AnswerDownloadWith({}, memory);
    ASSERT_TRUE(link.ReadNames(pump));
    const std::vector<std::uint8_t> report = {0xE1, 0x42, 0xFF};
    int accepted = 0;
    for (std::size_t at = 0; at <= memory.size(); ++at) {
        auto disturbed = memory;
        disturbed.insert(disturbed.begin() + static_cast<std::ptrdiff_t>(at), report.begin(),
                         report.end());
        AnswerDownloadWith({}, disturbed);
        if (link.ReadNames(pump)) {
            ++accepted;
            ADD_FAILURE() << "a download with a report at " << at << " was taken";
        }
        ASSERT_TRUE(std::equal(memory.begin(), memory.end(), link.NamesImage().begin())) << at;
        ASSERT_EQ(downloads, DeviceLink::kNamesDownloadAttempts) << at;
    }
    EXPECT_EQ(accepted, 0);
}

// Only the first download is disturbed: the next one brings the memory.
TEST_F(NamesTransfer, ADisturbedDownloadIsAskedForAgain) {
    Open();
    const auto memory = DeviceMemory();
    auto disturbed = memory;
    disturbed.insert(disturbed.begin(), {0xE1, 0x42, 0xFF});
    AnswerEveryDownload({}, [&](int attempt) { return attempt == 0 ? disturbed : memory; });
    EXPECT_TRUE(link.ReadNames(pump));
    EXPECT_EQ(downloads, 2);
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), link.NamesImage().begin()));
}

// The property: reports come at random moments around 1,000 downloads of random memories
// (ahead of the reply, inside it, just after it, after the line went quiet, or only the tail of
// one that began before the request). Every download either brings the device's names exactly
// or fails and leaves the image as it was: never a moved name.
TEST_F(NamesTransfer, ReportsAtRandomMomentsNeverYieldAMovedName) {
    Open();
    std::vector<std::uint8_t> memory;
    std::mt19937 random;
    const std::vector<std::uint8_t> report = {0xE9, 0x33, 0xFF};
    // What the download read gets when the device answers with `memory` and reports come.
    auto disturbedReply = [&](int) {
        std::vector<std::uint8_t> arrived = memory;
        const int reports = std::uniform_int_distribution<int>(0, 2)(random);
        for (int r = 0; r < reports; ++r) {
            // In byte times from the reply's first byte: up to 1024 inside or ahead, a little
            // later still within the read's quiet time, later than that after the read.
            const int moment = std::uniform_int_distribution<int>(0, 1150)(random);
            if (moment > 1100) continue;  // after the line went quiet: ordinary reading takes it
            const std::size_t at =
                std::min<std::size_t>(static_cast<std::size_t>(moment), arrived.size());
            arrived.insert(arrived.begin() + static_cast<std::ptrdiff_t>(at), report.begin(),
                           report.end());
        }
        if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
            // The tail of a report that had begun before the purge.
            const int tail = std::uniform_int_distribution<int>(1, 2)(random);
            arrived.insert(arrived.begin(), report.end() - tail, report.end());
        }
        return arrived;
    };
    int got = 0;
    int failed = 0;
    for (std::uint32_t seed = 1; seed <= 1000; ++seed) {
        random.seed(seed);
        memory.assign(names_download::kImageSize, 0);
        for (auto& byte : memory)
            byte =
                static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0x20, 0x7E)(random));
        const auto before = link.NamesImage();
        AnswerEveryDownload({}, disturbedReply);
        if (link.ReadNames(pump)) {
            ++got;
            ASSERT_TRUE(std::equal(memory.begin(), memory.end(), link.NamesImage().begin()))
                << "seed " << seed;
        } else {
            ++failed;
            ASSERT_EQ(link.NamesImage(), before) << "seed " << seed;
        }
        ASSERT_LE(downloads, DeviceLink::kNamesDownloadAttempts) << "seed " << seed;
    }
    // Both outcomes happened: the runs did disturb downloads and did let whole ones through.
    EXPECT_GT(got, 0);
    EXPECT_GT(failed, 0);
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
    EXPECT_FALSE(link.ProcessReceived(names_download::kReadSize, 17).Taken());
    EXPECT_FALSE(link.NamesPending());
    ASSERT_TRUE(fake.WaitForReads(before + 1, kWait));
    EXPECT_EQ(fake.LastRead().length, 3u);
}

}  // namespace
}  // namespace r512::test

namespace r512::test {
namespace {

// The window's loop, as if the given limit passed with no event at all.
class LimitReachedPump final : public MessagePump {
public:
    void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        limits.push_back(limit);
        static_cast<void>(done());  // tested once, as the loop does before its first event
    }
    std::vector<std::chrono::milliseconds> limits;
};

// A download read that never ends (on Windows, a port removed under a read that never
// started): the wait ends after the read's own time-out, the link counts the port as failed
// and tells the window, and the download reports failure.
TEST_F(NamesTransfer, ADownloadReadThatNeverEndsIsGivenUpAfterItsOwnTimeOut) {
    Open();
    LimitReachedPump stuck;
    EXPECT_FALSE(link.ReadNames(stuck));
    ASSERT_EQ(stuck.limits.size(), 1u);
    EXPECT_GE(stuck.limits[0],
              std::chrono::milliseconds(DeviceLink::kTimeouts.ReadTotalTimeoutConstant));
    EXPECT_LE(stuck.limits[0], 7000ms);
    EXPECT_FALSE(link.NamesPending());
    EXPECT_TRUE(link.PortFailed());
    EXPECT_FALSE(link.IsOpen());
    const auto notice = notices.Take(kWait);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, WM_PORT_FAILED);
}

TEST_F(NamesTransfer, APortFailureDuringTheDownloadEndsIt) {
    Open();
    pump.beforeEachWait = [this] { fake.Push({Kind::Failed, 0}); };
    EXPECT_FALSE(link.ReadNames(pump));
    EXPECT_FALSE(link.NamesPending());
    EXPECT_TRUE(link.PortFailed());
    EXPECT_LE(pump.rounds, 2);
}

}  // namespace
}  // namespace r512::test
