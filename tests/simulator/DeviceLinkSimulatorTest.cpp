// The device link against the simulated R512 on a pseudo-terminal: what the program sends
// arrives byte for byte, and what the device reports ends up in the mirror.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "device/DeviceLink.h"
#include "simulator/Simulator.h"
#include "support/SimulatedLinkTest.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using sim::Simulator;

class WithSimulator : public SimulatedLinkTest {
protected:
    // Plays the window: hands every notice to the link until `done` holds or time runs out.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            if (auto notice = notices.Take(std::min(left, 200ms)))
                frames += link.ProcessReceived(notice->requested, notice->received).Taken();
        }
        return true;
    }

    void ExpectMirrorMatchesDevice() {
        for (int i = 0; i < kRegisterCount; ++i) {
            const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
            EXPECT_EQ(link.Mirror().Value(code), device->Register(code)) << RegisterName(code);
            EXPECT_EQ(link.Mirror().State(code), RegisterState::Known) << RegisterName(code);
        }
    }

    int frames = 0;
};

TEST_F(WithSimulator, RefreshBringsAll26RegistersKnown) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(link.RequestRefresh());
    ASSERT_TRUE(PumpUntil([&] { return NonePending(); }, 5000ms));
    EXPECT_EQ(frames, 26);
    ExpectMirrorMatchesDevice();
    EXPECT_EQ(device->Commands(), std::vector<std::uint8_t>{0xE3});
}

TEST_F(WithSimulator, CommandArrivesAsItsFiveBytes) {
    ASSERT_TRUE(Connect());
    for (std::uint8_t code : {cmd::kVolumeUp, cmd::kBassUp, cmd::kZoneSourceNext})
        ASSERT_TRUE(link.SendCommand(code));
    ASSERT_TRUE(device->WaitForReceived(15, 3000ms));
    std::vector<std::uint8_t> bytes;
    for (const auto& r : device->Received()) bytes.push_back(r.byte);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xE0, 0x52, 0x53, 0x21, 0x31, 0xE0, 0x52, 0x53,
                                                0x21, 0x44, 0xE0, 0x52, 0x53, 0x21, 0x8D}));
    // Each changed register is reported and lands in the mirror as a change.
    ASSERT_TRUE(PumpUntil([&] { return frames == 3; }, 3000ms));
    EXPECT_EQ(link.Mirror().Value(RS_VOLUME), device->Register(RS_VOLUME));
    EXPECT_EQ(link.Mirror().State(RS_VOLUME), RegisterState::Changed);
    EXPECT_EQ(link.Mirror().State(RS_BASS), RegisterState::Changed);
    EXPECT_EQ(link.Mirror().Value(RS_ZONE_AUDIO_SOURCE), 1);  // Tuner steps on to Video 1
}

TEST_F(WithSimulator, ReportsSurviveFillerGarbageAndSlowBytes) {
    sim::Faults faults;
    faults.filler = true;
    faults.garbage = true;
    faults.splitDelayMs = 3;  // well inside the 100 ms the read allows between bytes
    device->SetFaults(faults);
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(link.RequestRefresh());
    ASSERT_TRUE(PumpUntil([&] { return NonePending(); }, 20000ms));
    ExpectMirrorMatchesDevice();
}

TEST_F(WithSimulator, AChangeAtTheDeviceIsAnnouncedAsChanged) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(link.RequestRefresh());
    ASSERT_TRUE(PumpUntil([&] { return NonePending(); }, 5000ms));
    device->PressKey(cmd::kBassUp);
    ASSERT_TRUE(PumpUntil([&] { return link.Mirror().Value(RS_BASS) == 13; }, 3000ms));
    EXPECT_EQ(link.Mirror().State(RS_BASS), RegisterState::Changed);
    EXPECT_EQ(link.Mirror().State(RS_TREBLE), RegisterState::Known);
}

TEST_F(WithSimulator, SilentDeviceLeavesEverythingPendingAndReadsEndEmptyAfterFiveSeconds) {
    sim::Faults faults;
    faults.silent = true;
    device->SetFaults(faults);
    ASSERT_TRUE(Connect());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(link.RequestRefresh());
    const auto notice = notices.Take(8000ms);
    ASSERT_TRUE(notice);
    const auto after = notice->at - start;
    EXPECT_EQ(notice->requested, 3u);
    EXPECT_EQ(notice->received, 0u);
    EXPECT_GE(after, 4900ms);
    EXPECT_LT(after, 6500ms);
    EXPECT_FALSE(link.ProcessReceived(notice->requested, notice->received).Taken());
    EXPECT_TRUE(link.Mirror().AllPending());
    EXPECT_EQ(device->Commands(), std::vector<std::uint8_t>{0xE3});
}

TEST_F(WithSimulator, HangUpClosesTheLinkAndCommandsAreRefused) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(link.RequestRefresh());
    ASSERT_TRUE(PumpUntil([&] { return NonePending(); }, 5000ms));
    device->HangUp();
    ASSERT_TRUE(PumpUntil([&] { return link.PortFailed(); }, 5000ms));
    // Commands on the dead line are refused: none piles up for a later open.
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(link.SendCommand(cmd::kVolumeUp));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(link.ClosePort());
}

TEST_F(WithSimulator, NamesMemoryIsServedAndAnUploadNeedsTheKey) {
    // The raw exchange, as the names transfer will drive it.
    class RawLink : public SerialLink {};
    RawLink raw;
    const CommTimeouts t = DeviceLink::kTimeouts;
    ASSERT_EQ(raw.OpenPort(device->PortPath().c_str(), "baud=11520", &t, &notices),
              SerialLink::OpenResult::Opened);
    std::vector<std::uint8_t> image(1024);
    const std::uint8_t request = names_bytes::kDownloadRequest;
    ASSERT_TRUE(raw.QueueWrite(&request, 1, 0));
    ASSERT_TRUE(raw.QueueRead(image.data(), 1024, WM_DEVICE_DATA));
    const auto notice = notices.Take(5000ms);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->received, 1024u);
    EXPECT_EQ(image, device->NamesMemory());

    // A wrong key is refused and changes nothing.
    std::vector<std::uint8_t> wrong = {names_bytes::kUploadStart, 1, 2, 3, 4, 5, 6, 7,
                                       names_bytes::kUploadEnd};
    // Each write announces its end, so that its bytes are known to be out before they go.
    constexpr std::uint32_t kWritten = 2000;
    ASSERT_TRUE(raw.QueueWrite(wrong.data(), static_cast<std::uint32_t>(wrong.size()), kWritten));
    // The right key, a new welcome message and the end byte store it.
    const std::string welcome = "Hello there         Second line here    ";
    std::vector<std::uint8_t> upload(1 + names_bytes::kWriteKey.size() + 1 + welcome.size() + 1);
    auto at = upload.begin();
    *at++ = names_bytes::kUploadStart;
    at = std::copy(names_bytes::kWriteKey.begin(), names_bytes::kWriteKey.end(), at);
    *at++ = names_bytes::kWelcomeMessage;
    at = std::copy(welcome.begin(), welcome.end(), at);
    *at = names_bytes::kUploadEnd;
    ASSERT_TRUE(raw.QueueWrite(upload.data(), static_cast<std::uint32_t>(upload.size()), kWritten));
    for (int i = 0; i < 2; ++i) {
        const auto written = notices.Take(3000ms);
        ASSERT_TRUE(written);
        EXPECT_EQ(written->message, kWritten);
    }
    ASSERT_TRUE(device->WaitForReceived(1 + wrong.size() + upload.size(), 3000ms));
    EXPECT_EQ(device->UploadsRefused(), 1);
    EXPECT_EQ(device->UploadsAccepted(), 1);
    const auto stored = device->NamesMemory();
    EXPECT_EQ(std::string(stored.begin() + 400, stored.begin() + 440), welcome);
    // Everything else is as it was.
    for (int i = 0; i < 1024; ++i) {
        if (i >= 400 && i < 440) continue;
        ASSERT_EQ(stored[static_cast<std::size_t>(i)], image[static_cast<std::size_t>(i)]) << i;
    }
}

}  // namespace
}  // namespace r512::test
