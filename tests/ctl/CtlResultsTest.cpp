// r512ctl's results are the device's: set waits for the register it needs and counts only the
// reports its keys caused, a lost connection is said as such, every download ends with its
// 0x01, and a script gets JSON and the port it asked for.
#include <fstream>
#include <thread>

#include "ctl/CtlFixture.h"
#include "ctl/ExitCode.h"
#include "device/Protocol.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class CtlResults : public CtlTest {};

TEST_P(CtlResults, SetWaitsForTheRegisterItNeedsAndNeverTakesAPlaceholder) {
    // Each byte 30 ms apart: the full report takes over 2 s, RS_BASS comes after 1.7 s.
    sim::Faults faults;
    faults.splitDelayMs = 30;
    device->SetFaults(faults);
    struct Case {
        const char* timeout;
        int status;
        std::uint8_t bass;  // the device's afterwards
        const char* error;
    };
    const Case cases[] = {
        // Never reported within the time-out: no value to start from, nothing sent.
        {"1", ctl::kExitNoAnswer, 12,
         "r512ctl: set bass -12: RS_BASS was not reported by the R512 within the time-out\n"},
        {"6", ctl::kExitOk, 0, ""},
    };
    for (const Case& c : cases) {
        const Result result = Run({"--timeout", c.timeout, "set", "bass", "-12"});
        EXPECT_EQ(result.status, c.status) << c.timeout << ": " << result.err;
        EXPECT_EQ(result.err, c.error);
        EXPECT_EQ(device->Register(RS_BASS), c.bass) << c.timeout;
    }
}

TEST_P(CtlResults, ToggleGoesOutOnceWhenTheDeviceAnswersSlowly) {
    // Answers come 1.2 s late: the refresh is asked twice, and the second answer comes after
    // the key. It repeats the old value and is no effect of the key.
    sim::Faults faults;
    faults.replyDelayMs = 1200;
    device->SetFaults(faults);
    const Result result = Run({"set", "mute", "on"});
    EXPECT_EQ(result.status, ctl::kExitOk) << result.err;
    EXPECT_EQ(result.out, "RS_MUTE                 1  on\n");
    EXPECT_FALSE(device->WaitForCommands(4, 500ms)) << "a second toggle went out";
    const std::vector<std::uint8_t> commands = device->Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), cmd::kMuteToggle), 1);
    EXPECT_EQ(device->Register(RS_MUTE), 1);
}

TEST_P(CtlResults, LostConnectionIsSaidAsSuchAndEndsTheWaitAtOnce) {
    struct Case {
        std::vector<std::string> args;
        bool standby;  // the device ignores the volume keys
        bool silent;
        std::size_t commandsBeforeHangUp;
    };
    const Case cases[] = {
        {{"--timeout", "8", "set", "volume", "-30"}, true, false, 2},  // waiting for a key's report
        {{"--timeout", "8", "status"}, false, true, 1},                // waiting for the refresh
    };
    for (const Case& c : cases) {
        // A line hung up is gone for good on a pseudo-terminal: each case has a device of its own.
        std::string error;
        device = UsesSocket() ? sim::Simulator::ListenTcp("127.0.0.1:0", &error)
                              : sim::Simulator::OpenPseudoTerminal(&error);
        ASSERT_TRUE(device) << error;
        sim::Faults faults;
        faults.silent = c.silent;
        device->SetFaults(faults);
        device->ChangeRegister(RS_OPER_MODE, c.standby ? 0 : 1);
        std::thread drop([&] {
            ASSERT_TRUE(device->WaitForCommands(c.commandsBeforeHangUp, 5000ms));
            std::this_thread::sleep_for(100ms);
            device->HangUp();
        });
        const Clock::time_point start = Clock::now();
        const Result result = Run(c.args);
        drop.join();
        EXPECT_EQ(result.status, ctl::kExitNoAnswer) << c.args[2];
        EXPECT_EQ(result.err, "r512ctl: the connection to the R512 was lost\n") << c.args[2];
        EXPECT_LT(Clock::now() - start, 4s) << c.args[2] << ": waited out the time-out";
    }
}

TEST_P(CtlResults, EveryNamesDownloadEndsWithItsCommandBeforeTheProgramEnds) {
    for (int i = 0; i < 6; ++i) {
        device->ClearRecord();
        const Result result = Run({"names", "get"});
        ASSERT_EQ(result.status, ctl::kExitOk) << result.err;
        // The refresh, then the 0x01 after the download: written before the port was closed.
        ASSERT_TRUE(device->WaitForCommands(2, 2000ms)) << "run " << i;
        EXPECT_EQ(device->Commands().back(), cmd::kNamesTransferDone) << "run " << i;
    }
}

TEST_P(CtlResults, ScriptsGetJsonForEveryCommandAndForErrors) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"--json", "set", "volume", "-30"},
         ctl::kExitOk,
         R"({"code":225,"name":"RS_VOLUME","value":70,"display":-30,"unit":"dB","text":"vol: -30"})"
         "\n"},
        {{"--json", "key", "volume-down", "--repeat", "2"},
         ctl::kExitOk,
         "{\"key\":\"volume-down\",\"code\":50,\"sent\":2}\n"},
        {{"--json", "names", "set", "-"}, ctl::kExitOk, "{\"stored\":true}\n"},
        {{"--json", "set", "warmth", "3"},
         ctl::kExitBadArguments,
         "{\"error\":\"set: no target 'warmth' (see r512ctl --help)\",\"exit\":2}\n"},
        {{"--json", "-q", "set", "warmth", "3"}, ctl::kExitBadArguments, ""},
        {{"--speed", "4800", "--json", "status"},
         ctl::kExitBadArguments,
         "{\"error\":\"--speed takes 9600 or 12000\",\"exit\":2}\n"},
        {{"-q", "set", "volume", "-31"}, ctl::kExitOk, ""},
    };
    for (const Case& c : cases) {
        const Result result = Run(c.args, "source-7 = \"Phono\"\n");
        EXPECT_EQ(result.status, c.status) << c.args[1] << " " << result.err;
        EXPECT_EQ(result.out, c.out) << c.args[1];
    }
    EXPECT_EQ(device->Register(RS_VOLUME), 69);
}

TEST_P(CtlResults, WatchStartsAfterTheFullReport) {
    sim::Faults faults;
    faults.splitDelayMs = 20;  // the full report takes about 1.6 s
    device->SetFaults(faults);
    std::thread press([&] {
        ASSERT_TRUE(device->WaitForCommands(1, 5000ms));
        const Clock::time_point until = Clock::now() + 5s;
        while (device->ReportsSent() < kRegisterCount && Clock::now() < until)
            std::this_thread::sleep_for(20ms);
        std::this_thread::sleep_for(200ms);  // the last frame's bytes are on their way
        device->PressKey(cmd::kVolumeDown);
    });
    const Result result = Run({"watch", "--count", "1"});
    press.join();
    EXPECT_EQ(result.status, ctl::kExitOk) << result.err;
    EXPECT_EQ(result.out, "RS_VOLUME              64  vol: -36\n");
}

TEST_P(CtlResults, PortFromTheEnvironmentBetweenTheSavedOneAndTheOption) {
    std::ofstream(config / "ZEL" / "R512 Control Software.conf")
        << "\xEF\xBB\xBF[Config]\nConfigured=1\nPort=/nonexistent/saved\nSpeed=12000\n";
    struct Case {
        const char* environment;  // R512_PORT; nullptr: unset
        std::vector<std::string> args;
        int status;
    };
    const std::string here = device->PortPath();
    const Case cases[] = {
        {nullptr, {"status"}, ctl::kExitPortFailed},  // the saved port, read past the mark
        {here.c_str(), {"status"}, ctl::kExitOk},
        {"/nonexistent/environment", {"--port", here, "status"}, ctl::kExitOk},
        {"/nonexistent/environment", {"status"}, ctl::kExitPortFailed},
    };
    for (const Case& c : cases) {
        if (c.environment) {
            ::setenv("R512_PORT", c.environment, 1);
        } else {
            ::unsetenv("R512_PORT");
        }
        std::ostringstream out, err;
        std::istringstream in;
        EXPECT_EQ(ctl::RunCtl(c.args, {out, err, in}), c.status)
            << (c.environment ? c.environment : "unset") << ": " << err.str();
        if (c.status == ctl::kExitPortFailed) {
            EXPECT_NE(err.str().find(c.environment ? c.environment : "/nonexistent/saved"),
                      std::string::npos)
                << err.str();
        }
    }
    ::setenv("R512_SPEED", "4800", 1);
    std::ostringstream out, err;
    std::istringstream in;
    EXPECT_EQ(ctl::RunCtl({"--port", here, "status"}, {out, err, in}), ctl::kExitBadArguments);
    EXPECT_EQ(err.str(), "r512ctl: R512_SPEED takes 9600 or 12000, not '4800'\n");
    ::unsetenv("R512_SPEED");
    ::unsetenv("R512_PORT");
}

INSTANTIATE_TEST_SUITE_P(Transports, CtlResults, ::testing::Bool(), TransportName);

}  // namespace
}  // namespace r512::test
