// r512ctl's commands end to end against the simulated device, on a pseudo-terminal and over
// socket://127.0.0.1:PORT.
#include <fstream>
#include <thread>

#include "ctl/CtlFixture.h"
#include "ctl/ExitCode.h"
#include "device/Protocol.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;

TEST_P(CtlTest, StatusShowsEveryRegisterAsTheDisplayShowsIt) {
    const Result result = Run({"status"});
    EXPECT_EQ(result.status, ctl::kExitOk) << result.err;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), kRegisterCount);
    EXPECT_NE(result.out.find("RS_VOLUME              65  vol: -35\n"), std::string::npos);
    EXPECT_NE(result.out.find("RS_SIGNAL_TYPE          2  Digital PCM\n"), std::string::npos);
    EXPECT_NE(result.out.find("RS_THX                  0  off\n"), std::string::npos);

    device->ChangeRegister(RS_SIGNAL_TYPE, 3);
    const Result json = Run({"status", "--json"});
    EXPECT_EQ(json.status, ctl::kExitOk);
    EXPECT_NE(
        json.out.find(
            R"({"code":237,"name":"RS_SIGNAL_TYPE","value":3,"display":3,"unit":"","text":"Dolby Digit."})"),
        std::string::npos)
        << json.out;
}

TEST_P(CtlTest, KeySendsItsCodeTheGivenNumberOfTimes) {
    const Result result = Run({"key", "volume-up", "--repeat", "3"});
    EXPECT_EQ(result.status, ctl::kExitOk) << result.err;
    // All three went out before the port was closed (the refresh, then the keys).
    ASSERT_TRUE(device->WaitForCommands(4, 5000ms));
    EXPECT_EQ(device->Register(RS_VOLUME), 68);
    const std::vector<std::uint8_t> commands = device->Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), cmd::kVolumeUp), 3);
}

TEST_P(CtlTest, SetReachesEachKindOfTarget) {
    struct Case {
        std::vector<std::string> args;
        std::uint8_t reg;
        std::uint8_t value;
    };
    const Case cases[] = {
        {{"set", "volume", "-30"}, RS_VOLUME, 70},
        {{"set", "volume", "-40"}, RS_VOLUME, 60},
        {{"set", "bass", "+3"}, RS_BASS, 15},
        {{"set", "source", "Video 2"}, RS_AUDIO_SOURCE, 2},
        {{"set", "zone-source", "cd"}, RS_ZONE_AUDIO_SOURCE, 7},  // Tuner -> Video 1 ... CD
        {{"set", "mute", "on"}, RS_MUTE, 1},
        {{"set", "mute", "on"}, RS_MUTE, 1},  // already there: nothing to send
        {{"set", "thx", "surround-ex"}, RS_THX, 2},
        {{"set", "power", "off"}, RS_OPER_MODE, 0},
    };
    for (const Case& c : cases) {
        const Result result = Run(c.args);
        EXPECT_EQ(result.status, ctl::kExitOk)
            << c.args[1] << " " << c.args[2] << ": " << result.err;
        EXPECT_EQ(device->Register(c.reg), c.value) << c.args[1] << " " << c.args[2];
    }
}

TEST_P(CtlTest, SetThatTheDeviceDoesNotFollowFailsWithTheReason) {
    device->ChangeRegister(RS_OPER_MODE, 0);  // in standby the device ignores the volume keys
    const Result result = Run({"--timeout", "3", "set", "volume", "-30"});
    EXPECT_EQ(result.status, ctl::kExitNotDone);
    EXPECT_EQ(result.err,
              "r512ctl: set volume -30: no report of RS_VOLUME after key volume-up: the device "
              "did not get there; RS_VOLUME is vol: -35 (the R512 is in standby)\n");
    EXPECT_EQ(device->Register(RS_VOLUME), 65);
}

TEST_P(CtlTest, WatchPrintsOneLinePerReport) {
    std::thread presses([&] {
        // Once the watch has asked for its full report, the device's own keys follow.
        ASSERT_TRUE(device->WaitForCommands(1, 5000ms));
        std::this_thread::sleep_for(200ms);
        device->PressKey(cmd::kVolumeDown);
        device->PressKey(cmd::kMuteToggle);
    });
    const Result result = Run({"watch", "--count", "2"});
    presses.join();
    EXPECT_EQ(result.status, ctl::kExitOk) << result.err;
    EXPECT_EQ(result.out, "RS_VOLUME              64  vol: -36\nRS_MUTE                 1  on\n");
}

TEST_P(CtlTest, WatchEndsWhenTheConnectionIsLost) {
    std::thread drop([&] {
        ASSERT_TRUE(device->WaitForCommands(1, 5000ms));
        std::this_thread::sleep_for(300ms);
        device->HangUp();
    });
    const Result result = Run({"watch"});
    drop.join();
    EXPECT_EQ(result.status, ctl::kExitNoAnswer);
    EXPECT_EQ(result.err, "r512ctl: the connection to the R512 was lost\n");
}

TEST_P(CtlTest, NamesRoundTripChangesOnlyTheFieldsGiven) {
    const Result before = Run({"names", "get"});
    ASSERT_EQ(before.status, ctl::kExitOk) << before.err;
    EXPECT_NE(before.out.find("source-7 = \"CD\"\n"), std::string::npos) << before.out;
    EXPECT_NE(before.out.find("welcome-1 = \"   ZEL R-512\"\n"), std::string::npos);
    const std::vector<std::uint8_t> memory = device->NamesMemory();

    const Result set = Run({"names", "set", "-"},
                           "# from a script\nsource-7 = \"Phono\"\nwelcome-2 = \"  \\\"Hi\\\"\"\n");
    ASSERT_EQ(set.status, ctl::kExitOk) << set.err;
    EXPECT_EQ(device->UploadsAccepted(), 1);

    const Result after = Run({"names", "get", "--json"});
    ASSERT_EQ(after.status, ctl::kExitOk) << after.err;
    EXPECT_NE(after.out.find(R"("source-7":"Phono")"), std::string::npos) << after.out;
    EXPECT_NE(after.out.find(R"("welcome-2":"  \"Hi\"")"), std::string::npos) << after.out;
    EXPECT_NE(after.out.find(R"("source-8":"Aux")"), std::string::npos);
    // Nothing but the two fields changed in the device's memory, padded with blanks.
    std::vector<std::uint8_t> expected = memory;
    const std::string source7 = "Phono  ";
    const std::string welcome2 = "  \"Hi\"              ";
    std::copy(source7.begin(), source7.end(), expected.begin() + 702 + 6 * 7);
    std::copy(welcome2.begin(), welcome2.end(), expected.begin() + 420);
    EXPECT_EQ(device->NamesMemory(), expected);
}

TEST_P(CtlTest, NamesDownloadsLineUpEveryTime) {
    // The download aborts the ordinary read just before the device answers: a read aborted
    // before the I/O thread took it up once kept the answer's first bytes.
    for (int i = 0; i < 8; ++i) {
        const Result result = Run({"names", "get"});
        ASSERT_EQ(result.status, ctl::kExitOk) << result.err;
        ASSERT_EQ(result.out.substr(0, 22), "source-1 = \"Video 1\"\ns") << "run " << i;
    }
}

TEST_P(CtlTest, NamesFileTheDeviceCannotTakeIsRefusedBeforeAnythingIsSent) {
    const Result result = Run({"names", "set", "-"}, "source-1 = \"Caf\xE9\"\n");
    EXPECT_EQ(result.status, ctl::kExitBadArguments);
    EXPECT_EQ(result.err,
              "r512ctl: -: line 1: source-1: character 4 (0xE9) can't be stored in the device "
              "(only 0x14 to 0x7F)\n");
    EXPECT_TRUE(device->Received().empty());
}

TEST_P(CtlTest, SilentDeviceIsNoAnswer) {
    sim::Faults faults;
    faults.silent = true;
    device->SetFaults(faults);
    const Result result = Run({"--timeout", "1.5", "status"});
    EXPECT_EQ(result.status, ctl::kExitNoAnswer);
    EXPECT_EQ(result.err, "r512ctl: no answer from the R512 on " + device->PortPath() + "\n");
}

TEST_P(CtlTest, SavedPortIsTheDefault) {
    std::ofstream(config / "ZEL" / "R512 Control Software.conf")
        << "[Config]\nConfigured=1\nPort=" << device->PortPath() << "\nSpeed=9600\n";
    std::ostringstream out, err;
    std::istringstream in;
    EXPECT_EQ(ctl::RunCtl({"status"}, {out, err, in}), ctl::kExitOk) << err.str();
}

TEST_P(CtlTest, TraceDecodesWhatWentOverTheWire) {
    const std::string trace = (config / "trace.txt").string();
    const Result result = Run({"--trace", trace, "key", "volume-up"});
    ASSERT_EQ(result.status, ctl::kExitOk) << result.err;
    std::ifstream file(trace);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("-- open " + device->PortPath()), std::string::npos) << text;
    EXPECT_NE(text.find(" \xE2\x86\x92 E0 52 53 21 E3  key refresh\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" \xE2\x86\x90 E1 41 FF  RS_VOLUME = 65 (vol: -35)\n"), std::string::npos);
    EXPECT_NE(text.find(" \xE2\x86\x92 E0 52 53 21 31  key volume-up\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Transports, CtlTest, ::testing::Bool(), TransportName);

}  // namespace
}  // namespace r512::test
