// The real r512d between the simulated device (over TCP on the loopback address) and real
// clients: raw sockets, JSON lines and r512ctl processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <thread>

#include "daemon/DaemonHarness.h"
#include "simulator/Simulator.h"

namespace r512::test {
namespace {

constexpr Millis kWait{5000};
constexpr std::size_t kReport = 3 * kRegisterCount;

class DaemonServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
        ASSERT_TRUE(device) << error;
        scratch =
            std::filesystem::temp_directory_path() / ("r512d-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(scratch);
        // Neither r512d nor r512ctl may read the user's own settings.
        ::setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
    }
    void TearDown() override {
        // Every daemon ends cleanly on SIGTERM, whatever its clients did (under the sanitizers
        // also without a report).
        if (daemon && daemon->Running()) {
            daemon->Signal(SIGTERM);
            EXPECT_EQ(daemon->Wait(kWait), 0) << daemon->Log();
            EXPECT_EQ(daemon->Log().find("Sanitizer"), std::string::npos) << daemon->Log();
            EXPECT_EQ(daemon->Log().find("runtime error"), std::string::npos) << daemon->Log();
        }
        daemon.reset();
        std::filesystem::remove_all(scratch);
    }

    void Start(std::vector<std::string> extra = {}, const char* firstFrom = nullptr) {
        std::vector<std::string> args = {"--port",      device->PortPath(), "--listen",
                                         "127.0.0.1:0", "--json",           "127.0.0.1:0"};
        args.insert(args.end(), extra.begin(), extra.end());
        daemon = std::make_unique<DaemonProcess>(args);
        ASSERT_TRUE(daemon->Running());
        rawPort = daemon->PortOf("raw");
        jsonPort = daemon->PortOf("json");
        ASSERT_GT(rawPort, 0) << daemon->Log();
        ASSERT_GT(jsonPort, 0) << daemon->Log();
        // The daemon's own first report has come when the device has been asked once and a
        // client's refresh is answered at once.
        ASSERT_TRUE(device->WaitForCommands(1, kWait));
        auto first = Client(firstFrom);
        ASSERT_TRUE(first);
    }

    // A raw client that has had its full report.
    std::unique_ptr<RawPeer> Client(const char* source = nullptr) {
        auto peer = std::make_unique<RawPeer>(rawPort, source);
        if (!peer->Connected() || !peer->SendCommand(cmd::kRefresh) ||
            !peer->WaitForBytes(kReport, kWait))
            return nullptr;
        peer->WaitForBytes(std::size_t(1) << 30, Millis(50));  // any stragglers of the report
        peer->Received().clear();
        return peer;
    }

    // r512ctl with these arguments, through the daemon; its output goes to `out`.
    pid_t StartCtl(std::vector<std::string> args, const std::filesystem::path& out) {
        args.insert(args.begin(),
                    {R512CTL_PATH, "--port", "socket://127.0.0.1:" + std::to_string(rawPort)});
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::FILE* file = std::fopen(out.c_str(), "w");
            ::dup2(::fileno(file), 1);
            ::dup2(::fileno(file), 2);
            std::vector<char*> argv;
            for (std::string& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    }

    static int WaitExit(pid_t pid, Millis timeout) {
        int status = 0;
        int result = -1;
        WaitFor(
            [&] {
                if (::waitpid(pid, &status, WNOHANG) != pid) return false;
                result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return true;
            },
            timeout);
        if (result == -1) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        return result;
    }

    static std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream file(path);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::vector<std::uint8_t> NamesImage(const char* firstName) {
        std::vector<std::uint8_t> image(names_layout::kImageSize, 0x20);
        for (std::size_t i = 0; i < image.size(); ++i)
            image[i] = static_cast<std::uint8_t>(0x20 + (i * 7) % 90);
        std::copy(firstName, firstName + std::strlen(firstName),
                  image.begin() + names_layout::kSourceTableOffset);
        return image;
    }

    std::unique_ptr<sim::Simulator> device;
    std::unique_ptr<DaemonProcess> daemon;
    std::filesystem::path scratch;
    int rawPort = 0;
    int jsonPort = 0;
};

TEST_F(DaemonServiceTest, EveryReportReachesEveryClientAndRefreshesCostTheLineNothing) {
    Start();
    device->ClearRecord();
    std::vector<std::unique_ptr<RawPeer>> clients;
    for (int i = 0; i < 6; ++i) {
        clients.push_back(Client());
        ASSERT_TRUE(clients.back()) << "client " << i;
    }
    EXPECT_TRUE(device->Commands().empty())
        << "a current mirror answers the clients' refreshes; the device is not asked";
    JsonPeer watcher(jsonPort);
    ASSERT_TRUE(watcher.Send(R"({"cmd":"watch"})"));
    ASSERT_NE(watcher.WaitForLine(R"("reply":"watch")", kWait), "");

    const std::uint8_t start = device->Register(RS_VOLUME);
    for (int i = 0; i < 10; ++i) device->PressKey(cmd::kKnobDown);
    std::vector<std::uint8_t> expected;
    for (int i = 1; i <= 10; ++i)
        expected.insert(expected.end(),
                        {RS_VOLUME, static_cast<std::uint8_t>(start - i), kFrameEnd});
    for (auto& client : clients) {
        ASSERT_TRUE(client->WaitForBytes(expected.size(), kWait));
        client->Pump(Millis(30));
        EXPECT_EQ(client->Received(), expected);
    }
    const std::string last = "\"value\":" + std::to_string(start - 10);
    EXPECT_NE(watcher.WaitForLine(last, kWait), "");
    int events = 0;
    for (const std::string& line : watcher.Lines())
        events += line.find(R"("event":"register")") != std::string::npos;
    EXPECT_EQ(events, 10);
}

TEST_F(DaemonServiceTest, FramesFromManyClientsReachTheDeviceWholeAndInOrder) {
    Start();
    device->ClearRecord();
    const std::uint8_t codes[] = {cmd::kMuteToggle, cmd::kBrightness, cmd::kLateNightToggle,
                                  cmd::kTapeMonitorToggle};
    constexpr int kEach = 60;
    std::vector<std::thread> senders;
    for (std::uint8_t code : codes) {
        senders.emplace_back([this, code] {
            RawPeer peer(rawPort);
            // Each frame in pieces of one and two bytes, so that pieces of the clients meet.
            for (int i = 0; i < kEach; ++i) {
                const std::vector<std::uint8_t> frame = {0xE0, 0x52, 0x53, 0x21, code};
                peer.Send({frame[0]});
                peer.Send({frame[1], frame[2]});
                peer.Send({frame[3]});
                peer.Send({frame[4]});
            }
            peer.WaitForBytes(std::size_t(1) << 30, Millis(300));
        });
    }
    for (auto& sender : senders) sender.join();
    ASSERT_TRUE(device->WaitForCommands(4 * kEach, kWait));
    std::map<int, int> counts;
    for (std::uint8_t code : device->Commands()) ++counts[code];
    for (std::uint8_t code : codes) EXPECT_EQ(counts[code], kEach) << int{code};
    // The device saw whole frames and nothing else.
    const auto received = device->Received();
    ASSERT_EQ(received.size(), 5u * 4 * kEach);
    for (std::size_t i = 0; i < received.size(); i += 5) {
        ASSERT_EQ(received[i].byte, 0xE0) << "at byte " << i;
        ASSERT_EQ(received[i + 3].byte, 0x21) << "at byte " << i;
    }
}

TEST_F(DaemonServiceTest, NamesImageGoesWholeToTheAskingClientAloneAndHoldsOthersCommands) {
    Start();
    const std::vector<std::uint8_t> image = NamesImage("Beamer ");
    device->SetNamesMemory(image);
    auto asking = Client();
    auto other = Client();
    ASSERT_TRUE(asking && other);
    device->ClearRecord();
    ASSERT_TRUE(asking->Send({0xDC}));
    // Sent while the download holds the line: it waits and then goes.
    ASSERT_TRUE(device->WaitForReceived(1, kWait));
    ASSERT_TRUE(other->SendCommand(cmd::kKnobDown));
    ASSERT_TRUE(asking->WaitForBytes(names_layout::kImageSize, kWait));
    const std::vector<std::uint8_t> got(asking->Received().begin(),
                                        asking->Received().begin() + names_layout::kImageSize);
    EXPECT_EQ(got, image);
    ASSERT_TRUE(asking->WaitForBytes(names_layout::kImageSize + 3, kWait));
    const std::vector<std::uint8_t> after(asking->Received().begin() + names_layout::kImageSize,
                                          asking->Received().end());
    EXPECT_TRUE(AllFrames(after)) << "only reports after the image";
    ASSERT_TRUE(other->WaitForBytes(3, kWait));
    other->Pump(Millis(100));
    EXPECT_TRUE(AllFrames(other->Received())) << "no byte of the image at the other client";
    const auto commands = device->Commands();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[0], cmd::kNamesTransferDone) << "the download is closed first";
    EXPECT_EQ(commands[1], cmd::kKnobDown) << "the held command goes after it";
}

TEST_F(DaemonServiceTest, UploadOfAKilledClientStoresNothingAndAWholeOneIsStored) {
    Start();
    const std::vector<std::uint8_t> before = device->NamesMemory();
    const auto namesFile = scratch / "names.txt";
    std::ofstream(namesFile) << "source-1 = \"Killed\"\n";
    device->ClearRecord();
    const pid_t ctl = StartCtl({"names", "set", namesFile.string()}, scratch / "ctl.out");
    // r512ctl downloads first; its paced upload then takes about two seconds.
    ASSERT_TRUE(WaitFor(
        [&] {
            for (const auto& b : device->Received())
                if (b.byte == 0xDC) return true;
            return false;
        },
        kWait));
    std::this_thread::sleep_for(Millis(800));
    ::kill(ctl, SIGKILL);
    WaitExit(ctl, kWait);
    std::this_thread::sleep_for(Millis(300));
    for (const auto& b : device->Received()) ASSERT_NE(b.byte, 0xDD) << "no upload began";
    EXPECT_EQ(device->UploadsAccepted(), 0);
    EXPECT_EQ(device->NamesMemory(), before);

    // A whole upload, sent at once: the daemon paces it for the device.
    std::vector<std::uint8_t> upload = {0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C, 0xCF};
    std::vector<std::uint8_t> table(
        before.begin() + names_layout::kSourceTableOffset,
        before.begin() + names_layout::kSourceTableOffset + names_layout::kSourceTableLength);
    std::copy_n("Stored ", 7, table.begin());
    upload.insert(upload.end(), table.begin(), table.end());
    upload.push_back(0xCA);
    upload.insert(upload.end(), before.begin() + 400, before.begin() + 440);
    upload.push_back(0xCB);
    upload.insert(upload.end(), before.begin() + 440, before.begin() + 480);
    upload.push_back(0xD4);
    RawPeer uploader(rawPort);
    ASSERT_TRUE(uploader.Send(upload));
    ASSERT_TRUE(WaitFor([&] { return device->UploadsAccepted() == 1; }, kWait));
    const auto memory = device->NamesMemory();
    EXPECT_EQ(std::string(memory.begin() + 702, memory.begin() + 709), "Stored ");
    EXPECT_TRUE(std::equal(table.begin(), table.end(), memory.begin() + 702));
}

TEST_F(DaemonServiceTest, VolumeCapHoldsAgainstARawClientRaisingInALoop) {
    Start({"--max-volume", "-30"});  // the byte 70; the device starts at -35
    auto client = Client();
    ASSERT_TRUE(client);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::uint8_t> burst;
        for (int i = 0; i < 10; ++i) burst.insert(burst.end(), {0xE0, 0x52, 0x53, 0x21, 0x15});
        ASSERT_TRUE(client->Send(burst));
        client->Pump(Millis(10));
    }
    ASSERT_TRUE(WaitFor([&] { return device->Register(RS_VOLUME) == 70; }, kWait));
    std::this_thread::sleep_for(Millis(300));
    EXPECT_EQ(device->Register(RS_VOLUME), 70) << "at the cap, never above it";

    JsonPeer json(jsonPort);
    json.Send(R"({"cmd":"set","target":"volume","value":"-20","id":7})");
    const std::string refused = json.WaitForLine(R"("id":7)", kWait);
    EXPECT_NE(refused.find(R"("error":"capped")"), std::string::npos) << refused;
    json.Send(R"({"cmd":"key","key":"volume-up","id":8})");
    const std::string capped = json.WaitForLine(R"("id":8)", kWait);
    EXPECT_NE(capped.find(R"("error":"capped")"), std::string::npos) << capped;
    EXPECT_EQ(device->Register(RS_VOLUME), 70);
}

TEST_F(DaemonServiceTest, AClientThatStopsReadingIsDroppedWhileTheOthersKeepUp) {
    Start({"--client-queue", "16384"});
    auto fast = Client();
    ASSERT_TRUE(fast);
    RawPeer slow(rawPort, nullptr, 4096);
    ASSERT_TRUE(slow.Connected());
    // Each refresh is answered with 78 bytes from the mirror; this one never reads them.
    std::vector<std::uint8_t> refreshes;
    for (int i = 0; i < 3000; ++i)
        refreshes.insert(refreshes.end(), {0xE0, 0x52, 0x53, 0x21, 0xE3});
    ASSERT_TRUE(slow.Send(refreshes));
    ASSERT_TRUE(daemon->LogHas("does not read what it is sent", kWait)) << daemon->Log();
    const auto pressed = std::chrono::steady_clock::now();
    device->PressKey(cmd::kKnobDown);
    ASSERT_TRUE(fast->WaitForBytes(3, kWait));
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, Millis(1000));
    EXPECT_TRUE(slow.WaitForClose(kWait));
}

TEST_F(DaemonServiceTest, OnlyAllowedSourcesAndNoMoreThanTheLimitGetIn) {
    Start({"--allow", "127.0.0.2/32", "--max-clients", "2"}, "127.0.0.2");
    auto allowed = Client("127.0.0.2");
    ASSERT_TRUE(allowed) << daemon->Log();
    RawPeer stranger(rawPort, "127.0.0.3");
    EXPECT_TRUE(stranger.WaitForClose(kWait));
    EXPECT_TRUE(daemon->LogHas("refused 127.0.0.3", kWait));
    // Start's own client has left; its place is free once the daemon has seen it go.
    std::unique_ptr<RawPeer> second;
    ASSERT_TRUE(WaitFor([&] { return (second = Client("127.0.0.2")) != nullptr; }, kWait));
    RawPeer third(rawPort, "127.0.0.2");
    EXPECT_TRUE(third.WaitForClose(kWait)) << "the third client is one too many";
    second.reset();
    ASSERT_TRUE(WaitFor([&] { return Client("127.0.0.2") != nullptr; }, kWait))
        << "a place that was freed is taken again";
}

TEST_F(DaemonServiceTest, LinkLossIsSilenceForRawClientsAndAnEventForJsonOnes) {
    Start();
    auto client = Client();
    JsonPeer watcher(jsonPort);
    ASSERT_TRUE(client);
    watcher.Send(R"({"cmd":"watch"})");
    ASSERT_NE(watcher.WaitForLine(R"("reply":"watch")", kWait), "");
    device->HangUp();
    EXPECT_NE(watcher.WaitForLine(R"("event":"link","state":"lost")", kWait), "");
    client->Pump(Millis(100));
    EXPECT_TRUE(client->Received().empty()) << "silence, as from a pulled cable";
    // The daemon opens the port again by itself and the full report reaches every client.
    EXPECT_NE(watcher.WaitForLine(R"("event":"link","state":"open")", kWait), "");
    EXPECT_TRUE(client->WaitForBytes(kReport, kWait));
    EXPECT_TRUE(AllFrames(client->Received()));
}

TEST_F(DaemonServiceTest, BytesThatAreNoCommandNeverReachTheDevice) {
    Start();
    device->ClearRecord();
    RawPeer noisy(rawPort);
    std::vector<std::uint8_t> noise;
    for (int i = 0; i < 200; ++i) noise.push_back(static_cast<std::uint8_t>(i % 0xD0));
    noisy.Send(noise);
    EXPECT_TRUE(noisy.WaitForClose(kWait));
    EXPECT_TRUE(daemon->LogHas("that are no command", kWait));
    EXPECT_TRUE(device->Received().empty());
}

TEST_F(DaemonServiceTest, ThreeR512ctlAtOnce) {
    const auto trace = scratch / "r512d.trace";
    Start({"--trace", trace.string()});
    auto connected = [&](int count) {
        return WaitFor(
            [&] {
                const std::string text = ReadFile(trace);
                int n = 0;
                for (std::size_t at = 0; (at = text.find("] connected", at)) != std::string::npos;
                     ++at)
                    ++n;
                return n >= count;
            },
            kWait);
    };
    const pid_t watch = StartCtl({"watch", "--count", "5"}, scratch / "watch.out");
    ASSERT_TRUE(connected(2));
    device->ClearRecord();
    const pid_t names = StartCtl({"names", "get"}, scratch / "names.out");
    // The set begins once the names download holds the line: its keys wait for it. (Begun
    // earlier, a report could reach r512ctl between its purge and its download request, as it
    // could from a device, and shift the image it reads.)
    ASSERT_TRUE(WaitFor(
        [&] {
            for (const auto& b : device->Received())
                if (b.byte == 0xDC) return true;
            return false;
        },
        kWait));
    const pid_t set = StartCtl({"set", "volume", "-30"}, scratch / "set.out");
    EXPECT_EQ(WaitExit(set, Millis(15000)), 0) << ReadFile(scratch / "set.out");
    EXPECT_EQ(WaitExit(names, Millis(15000)), 0) << ReadFile(scratch / "names.out");
    EXPECT_EQ(WaitExit(watch, Millis(15000)), 0) << ReadFile(scratch / "watch.out");
    EXPECT_NE(ReadFile(scratch / "set.out").find("vol: -30"), std::string::npos);
    EXPECT_NE(ReadFile(scratch / "names.out").find("source-1 = "), std::string::npos);
    EXPECT_NE(ReadFile(scratch / "watch.out").find("RS_VOLUME"), std::string::npos);
    EXPECT_EQ(device->Register(RS_VOLUME), 70);
}

#ifdef R512_PATH
// The desktop program, unchanged, on socket:// to the daemon: its refresh is answered from the
// daemon's copy of the registers, and the device's reports reach it (its protocol trace shows
// every byte it received).
TEST_F(DaemonServiceTest, TheDesktopProgramWorksThroughTheDaemon) {
    Start();
    std::filesystem::create_directories(scratch / "ZEL");
    std::ofstream(scratch / "ZEL" / "R512 Control Software.conf")
        << "[Config]\nConfigured=1\nPort=socket://127.0.0.1:" << rawPort << "\nSpeed=12000\n";
    const auto trace = scratch / "program.trace";
    device->ClearRecord();
    const pid_t program = ::fork();
    if (program == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("R512_TRACE", trace.c_str(), 1);
        // Under ThreadSanitizer, Qt's own thread pool (not instrumented) is reported falsely;
        // this test is about the daemon, whose reports stay on.
        ::setenv("TSAN_OPTIONS", "report_bugs=0", 1);
        ::execl(R512_PATH, R512_PATH, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_TRUE(
        WaitFor([&] { return ReadFile(trace).find("RS_THX") != std::string::npos; }, Millis(15000)))
        << ReadFile(trace);
    EXPECT_TRUE(device->Commands().empty()) << "the program's refresh cost the device nothing";
    const int lowered = device->Register(RS_VOLUME) - 1;
    device->PressKey(cmd::kKnobDown);
    const std::string report = "RS_VOLUME = " + std::to_string(lowered);
    EXPECT_TRUE(WaitFor([&] { return ReadFile(trace).find(report) != std::string::npos; }, kWait))
        << ReadFile(trace);
    ::kill(program, SIGTERM);
    WaitExit(program, kWait);
}
#endif

TEST_F(DaemonServiceTest, JsonRequestsAndTheirErrors) {
    Start();
    JsonPeer json(jsonPort);
    struct Case {
        const char* request;
        const char* answer;
    };
    const Case cases[] = {
        {R"({"cmd":"status","id":1})", R"("reply":"status","link":"open")"},
        {R"({"cmd":"key","key":"mute","id":2})", R"("reply":"key","sent":1)"},
        {R"({"cmd":"key","key":"no-such-key","id":3})", R"("error":"unknown-key")"},
        {R"({"cmd":"key","key":"mute","repeat":0,"id":4})", R"("error":"bad-value")"},
        {R"({"cmd":"set","target":"loudness","value":"1","id":5})", R"("error":"unknown-target")"},
        {R"({"cmd":"set","target":"volume","value":"-200","id":6})", R"("error":"bad-value")"},
        {R"({"cmd":"set","target":"bass","value":"3","id":7})", R"("text":"Bass +3")"},
        {R"({"cmd":"names","op":"get","id":8})", R"("source-1":)"},
        {R"({"cmd":"names","op":"set","names":{"source-2":"Tooooo long"},"id":9})",
         R"("error":"bad-value")"},
        {R"({"cmd":"names","op":"set","names":{"source-2":"Sat"},"id":10})", R"("source-2":"Sat")"},
        {R"({"cmd":"frobnicate","id":11})", R"("error":"bad-request")"},
        {R"({"cmd":"refresh","id":12})", R"("reply":"refresh")"},
        {R"([1,2,3])", R"("error":"bad-request")"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(json.Send(c.request));
        const std::string reply = json.WaitForLine("\"reply\"", Millis(10000));
        EXPECT_NE(reply.find(c.answer), std::string::npos) << c.request << " -> " << reply;
    }
    EXPECT_TRUE(WaitFor([&] { return device->UploadsAccepted() == 1; }, kWait));
    const auto memory = device->NamesMemory();
    EXPECT_EQ(std::string(memory.begin() + 709, memory.begin() + 716), "Sat    ");
}

TEST_F(DaemonServiceTest, TraceTagsEachLineWithItsClientAndSighupReopensIt) {
    const auto trace = scratch / "r512d.trace";
    Start({"--trace", trace.string()});
    auto client = Client();
    ASSERT_TRUE(client);
    client->SendCommand(cmd::kMuteToggle);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(trace).find("mute") != std::string::npos; }, kWait));
    // A log rotation moves the file away; after SIGHUP the daemon writes to a new one.
    const auto rotated = scratch / "r512d.trace.1";
    std::filesystem::rename(trace, rotated);
    daemon->Signal(SIGHUP);
    std::string written;
    EXPECT_TRUE(WaitFor(
        [&] {
            client->SendCommand(cmd::kBrightness);
            std::this_thread::sleep_for(Millis(20));
            written = ReadFile(trace);
            return written.find("E0 52 53 21 79") != std::string::npos;
        },
        kWait))
        << written;
    EXPECT_NE(written.find("[raw#"), std::string::npos) << written;
    EXPECT_NE(written.find("[device] <-"), std::string::npos) << written;
    EXPECT_NE(ReadFile(rotated).find("mute"), std::string::npos) << "the old file keeps its lines";
}

TEST_F(DaemonServiceTest, SigtermEndsCleanlyClosingEveryClient) {
    Start();
    auto client = Client();
    JsonPeer json(jsonPort);
    ASSERT_TRUE(client);
    daemon->Signal(SIGTERM);
    EXPECT_EQ(daemon->Wait(kWait), 0) << daemon->Log();
    EXPECT_TRUE(client->WaitForClose(kWait));
}

}  // namespace
}  // namespace r512::test
