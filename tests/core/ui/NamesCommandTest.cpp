// The Names command's flow against the simulated R512 on a pseudo-terminal, with a front end
// that records what the command asks of it and plays the user in the dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "base/Messages.h"
#include "device/DeviceLink.h"
#include "device/NamesFields.h"
#include "simulator/Simulator.h"
#include "support/NamesPumps.h"
#include "ui/NamesCommand.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using names_fields::Texts;
using Bytes = std::vector<std::uint8_t>;

const Bytes kNamesDone = {0xE0, 0x52, 0x53, 0x21, 0x01};

class RecordingFrontEnd final : public NamesCommandFrontEnd {
public:
    // The user in the dialog: edits the texts and says OK (true) or Cancel. Null: the dialog
    // must not open.
    std::function<bool(Texts&)> user;
    std::vector<std::string> calls;
    Texts offered;   // what the dialog was given
    Texts returned;  // what it handed back on OK

    void BlockInput(bool blocked) override {
        calls.push_back(blocked ? "block" : "unblock");
        blocked_ = blocked;
    }
    void ShowBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
    bool EditNames(Texts& texts) override {
        calls.push_back("edit");
        EXPECT_TRUE(blocked_) << "the windows take input while the dialog is open";
        if (!user) {
            ADD_FAILURE() << "the dialog opened";
            return false;
        }
        offered = texts;
        Texts edited = texts;
        if (!user(edited)) return false;
        returned = texts = edited;
        return true;
    }
    void ShowMessage(int messageId) override {
        EXPECT_TRUE(blocked_) << "the windows take input while a message is shown";
        calls.push_back("message " + std::to_string(messageId));
    }

private:
    bool blocked_ = false;
};

// One simulated device and one link, the command run on them.
struct Bench {
    Bench() {
        std::string error;
        device = sim::Simulator::OpenPseudoTerminal(&error);
        EXPECT_TRUE(device) << error;
        link.SetPause([](std::chrono::milliseconds) {});  // the simulator needs no pacing
    }
    bool Connect() {
        return link.OpenPort(device->PortPath().c_str(), "baud=11520 parity=N data=8 stop=1",
                             &notices);
    }
    void Run() {
        RunNamesCommand(link, pump, frontEnd);
        EXPECT_FALSE(link.NamesPending());
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

// The downloads' requests, each followed by 0x01, then the upload of `stored` (its two ranges
// in the device's order) followed by 0x01 again.
Bytes OnTheLine(int downloads, const Bytes* stored) {
    Bytes all;
    for (int i = 0; i < downloads; ++i) {
        all.push_back(0xDC);
        all.insert(all.end(), kNamesDone.begin(), kNamesDone.end());
    }
    if (!stored) return all;
    const Bytes header = {0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C, 0xCF};
    all.insert(all.end(), header.begin(), header.end());
    all.insert(all.end(), stored->begin() + 702, stored->begin() + 814);
    all.push_back(0xCA);
    all.insert(all.end(), stored->begin() + 400, stored->begin() + 440);
    all.push_back(0xCB);
    all.insert(all.end(), stored->begin() + 440, stored->begin() + 480);
    all.push_back(0xD4);
    all.insert(all.end(), kNamesDone.begin(), kNamesDone.end());
    return all;
}

std::string Padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

TEST(NamesCommand, EachOutcomeAsksTheFrontEndAndTheLineForExactlyWhatItNeeds) {
    const std::vector<std::string> kQuiet = {"block", "busy", "idle", "edit", "unblock"};
    const std::vector<std::string> kUnread = {"block", "busy", "idle", "message 1041", "unblock"};
    auto told = [](int message) {
        return std::vector<std::string>{
            "block", "busy", "idle", "edit", "message " + std::to_string(message), "unblock"};
    };
    sim::Faults reportAhead;
    reportAhead.namesReportAt = 0;
    const struct {
        const char* what;
        bool open;
        sim::Faults faults;
        int unstorableAt;  // a byte of the device's memory it can't hold there (negative: none)
        std::function<bool(Texts&, Bench&)> user;  // null: no dialog
        std::vector<std::string> calls;
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
        Bytes original = bench.device->NamesMemory();
        if (row.unstorableAt >= 0) original[static_cast<std::size_t>(row.unstorableAt)] = 0x05;
        bench.device->SetNamesMemory(original);
        bench.device->SetFaults(row.faults);
        if (row.open) {
            ASSERT_TRUE(bench.Connect());
        }
        if (row.user) bench.frontEnd.user = [&](Texts& texts) { return row.user(texts, bench); };

        bench.Run();

        EXPECT_EQ(bench.frontEnd.calls, row.calls);
        const Bytes image(bench.link.NamesImage().begin(), bench.link.NamesImage().end());
        const Bytes expected = OnTheLine(row.downloads, row.uploaded ? &image : nullptr);
        EXPECT_EQ(bench.Received(expected.size()), expected);
        EXPECT_EQ(bench.device->UploadsAccepted(), row.uploaded ? 1 : 0);
        if (!row.uploaded) {
            EXPECT_EQ(bench.device->NamesMemory(), original);
            continue;
        }
        // The device holds the texts the user left, padded; every other byte as it was.
        const Texts now = names_fields::FromImage(bench.link.NamesImage());
        for (std::size_t i = 0; i < now.size(); ++i) {
            const auto width = static_cast<std::size_t>(names_fields::kFields[i].width);
            EXPECT_EQ(now[i], Padded(bench.frontEnd.returned[i], width)) << i;
        }
        const Bytes stored = bench.device->NamesMemory();
        EXPECT_EQ(stored, image);
        for (std::size_t i = 0; i < stored.size(); ++i) {
            if ((i >= 400 && i < 480) || (i >= 702 && i < 765)) continue;
            ASSERT_EQ(stored[i], original[i]) << i;
        }
    }
}

// The dialog shows each text without its trailing blanks and keeps its leading ones; OK on
// texts left as they came stores the very bytes that were read.
TEST(NamesCommand, TheDialogGetsTheTextsWithoutTrailingBlanks) {
    Bench bench;
    ASSERT_TRUE(bench.device);
    Bytes memory = bench.device->NamesMemory();
    auto put = [&](int offset, const std::string& text) {
        std::copy(text.begin(), text.end(), memory.begin() + offset);
    };
    put(702, "CD     ");
    put(709, "       ");
    put(716, " Aux 2 ");
    put(400, "   ZEL R-512        ");
    put(460, "\x7F                   ");
    bench.device->SetNamesMemory(memory);
    ASSERT_TRUE(bench.Connect());
    bench.frontEnd.user = [](Texts&) { return true; };

    bench.Run();

    const Texts& offered = bench.frontEnd.offered;
    EXPECT_EQ(offered[0], "CD");
    EXPECT_EQ(offered[1], "");
    EXPECT_EQ(offered[2], " Aux 2");
    EXPECT_EQ(offered[9], "   ZEL R-512");
    EXPECT_EQ(offered[12], "\x7F");
    EXPECT_EQ(bench.Received(OnTheLine(1, &memory).size()), OnTheLine(1, &memory));
    EXPECT_EQ(bench.device->NamesMemory(), memory);
}

}  // namespace
}  // namespace r512::test
