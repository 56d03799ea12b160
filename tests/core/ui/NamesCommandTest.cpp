// The Names command's flow against the simulated R512 on a pseudo-terminal, with a front end
// that records what the command asks of it and plays the user in the dialog.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "base/Messages.h"
#include "device/DeviceLink.h"
#include "simulator/Simulator.h"
#include "support/NamesPumps.h"
#include "ui/NamesCommand.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using names_fields::Texts;
using Bytes = std::vector<std::uint8_t>;
using Calls = std::vector<std::string>;

class RecordingFrontEnd final : public NamesCommandFrontEnd {
public:
    std::function<bool(Texts&)> user;  // edits and says OK (true) or Cancel; null: no dialog
    Calls calls;
    Texts offered;   // what the dialog was given
    Texts returned;  // what it handed back on OK

    void BlockInput(bool blocked) override {
        calls.push_back(blocked ? "block" : "unblock");
        blocked_ = blocked;
    }
    void ShowBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
    bool EditNames(Texts& texts) override {
        calls.push_back("edit");
        EXPECT_TRUE(blocked_ && user) << "a dialog on windows that take input, or at all";
        offered = texts;
        if (!user || !user(texts)) return false;
        returned = texts;
        return true;
    }
    void ShowMessage(int messageId) override {
        EXPECT_TRUE(blocked_) << "a message on windows that take input";
        calls.push_back("message " + std::to_string(messageId));
    }

private:
    bool blocked_ = false;
};

// One simulated device and one link, on which the command runs.
struct Bench {
    Bench() : device(sim::Simulator::OpenPseudoTerminal()) {
        link.SetPause([](std::chrono::milliseconds) {});  // the simulator needs no pacing
    }
    bool Connect() {
        return link.OpenPort(device->PortPath().c_str(), "baud=11520 parity=N data=8 stop=1",
                             &notices) == SerialLink::OpenResult::Opened;
    }
    // What the device received, once exactly `count` bytes have come and no more follow.
    Bytes Received(std::size_t count) const {
        EXPECT_TRUE(count == 0 || device->WaitForReceived(count, 3000ms));
        EXPECT_FALSE(device->WaitForReceived(count + 1, 200ms)) << "more was sent";
        Bytes bytes;
        for (const auto& r : device->Received()) bytes.push_back(r.byte);
        return bytes;
    }

    std::unique_ptr<sim::Simulator> device;
    BlockingNoticeQueue notices;
    DeviceLink link;
    NoticePump pump{link, notices};
    RecordingFrontEnd frontEnd;
};

TEST(NamesCommand, EachOutcomeAsksTheFrontEndAndTheLineForExactlyWhatItNeeds) {
    const Bytes kRequestAndDone = {0xDC, 0xE0, 0x52, 0x53, 0x21, 0x01};
    const std::size_t kUpload = 204;  // header, sections and end byte
    const Calls kQuiet = {"block", "busy", "idle", "edit", "unblock"};
    const Calls kUnread = {"block", "busy", "idle", "message 1041", "unblock"};
    auto told = [](int message) {
        return Calls{"block",  "busy", "idle", "edit", "message " + std::to_string(message),
                     "unblock"};
    };
    sim::Faults reportAhead;
    reportAhead.namesReportAt = 0;
    const struct {
        const char* what;
        bool open;
        sim::Faults faults;
        int unstorableAt;  // a byte of the device's memory it can't hold there (negative: none)
        std::function<bool(Texts&, Bench&)> user;  // null: no dialog
        Calls calls;
        int downloads;
        bool uploaded;
    } kRows[] = {
        {"no port open", false, {}, -1, nullptr, kUnread, 0, false},
        {"a memory the device can't hold", true, {}, 811, nullptr, kUnread, 1, false},
        {"a report in every reply", true, reportAhead, -1, nullptr, kUnread,
         DeviceLink::kNamesDownloadAttempts, false},
        {"Cancel",
         true,
         {},
         -1,
         [](Texts& t, Bench&) {
             t[0] = "Typed";
             return false;
         },
         kQuiet,
         1,
         false},
        {"OK",
         true,
         {},
         -1,
         [](Texts& t, Bench&) {
             t[0] = "Seven78";
             t[1] = "";
             t[9] = "  Hello";
             t[12] = "bye\x7F";
             return true;
         },
         kQuiet,
         1,
         true},
        {"OK on a text the device can't store",
         true,
         {},
         -1,
         [](Texts& t, Bench&) {
             t[10] = "Caf\xE9";
             return true;
         },
         told(IDS_NAMES_WRITE_FAILED),
         1,
         false},
        {"OK after the port was closed",
         true,
         {},
         -1,
         [](Texts&, Bench& bench) {
             // As a failure handled while the dialog is open, once the download's 0x01 is out.
             EXPECT_TRUE(bench.device->WaitForReceived(6, 3000ms));
             bench.link.ClosePort();
             return true;
         },
         told(IDS_NAMES_CONNECTION_LOST),
         1,
         false},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        Bench bench;
        ASSERT_TRUE(bench.device);
        Bytes original = bench.device->NamesMemory();  // the factory texts, padded
        if (row.unstorableAt >= 0) original[static_cast<std::size_t>(row.unstorableAt)] = 0x05;
        bench.device->SetNamesMemory(original);
        bench.device->SetFaults(row.faults);
        if (row.open) {
            ASSERT_TRUE(bench.Connect());
        }
        if (row.user) bench.frontEnd.user = [&](Texts& texts) { return row.user(texts, bench); };

        RunNamesCommand(bench.link, bench.pump, bench.frontEnd);

        EXPECT_EQ(bench.frontEnd.calls, row.calls);
        // Each download's request and 0x01, then the upload and 0x01 again.
        const std::size_t sent = 6 * static_cast<std::size_t>(row.downloads);
        const Bytes received = bench.Received(sent + (row.uploaded ? kUpload + 5 : 0));
        for (std::size_t at = 0; at + 6 <= sent; at += 6)
            EXPECT_EQ(Bytes(received.begin() + static_cast<long>(at),
                            received.begin() + static_cast<long>(at + 6)),
                      kRequestAndDone);
        EXPECT_EQ(bench.device->UploadsAccepted(), row.uploaded ? 1 : 0);
        if (row.user) {
            // Shown without trailing blanks, leading ones kept.
            EXPECT_EQ(bench.frontEnd.offered[6], "CD");
            EXPECT_EQ(bench.frontEnd.offered[9], "   ZEL R-512");
        }
        if (!row.uploaded) {
            EXPECT_EQ(bench.device->NamesMemory(), original);
            continue;
        }
        EXPECT_EQ(Bytes(received.end() - 5, received.end()),
                  Bytes(kRequestAndDone.begin() + 1, kRequestAndDone.end()));
        // The device holds the texts as the user left them, padded.
        const Bytes stored = bench.device->NamesMemory();
        for (std::size_t i = 0; i < names_fields::kCount; ++i) {
            const auto [offset, width] = names_fields::kFields[i];
            std::string expected = bench.frontEnd.returned[i];
            expected.resize(static_cast<std::size_t>(width), ' ');
            EXPECT_EQ(std::string(stored.begin() + offset, stored.begin() + offset + width),
                      expected);
        }
    }
}

}  // namespace
}  // namespace r512::test
