// The r512ctl program itself: its signals, its standard streams and its exit status as the
// shell sees them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "simulator/Simulator.h"

extern char** environ;

namespace r512::test {
namespace {

using namespace std::chrono_literals;

// Where the program's standard streams go: files (or devices) by name; stdin also a descriptor.
struct Streams {
    std::string out = "/dev/null";
    std::string err = "/dev/null";
    int in = -1;  // -1: /dev/null
};

pid_t Start(std::vector<std::string> args, const Streams& streams = {}) {
    args.insert(args.begin(), R512CTL_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams.in >= 0) {
        posix_spawn_file_actions_adddup2(&actions, streams.in, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, streams.out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, streams.err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, R512CTL_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

// The exit status, or -1 when the program has not ended within `limit`.
int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(20ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class CtlProgram : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("r512ctl-program-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::string error;
        device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
        ASSERT_TRUE(device) << error;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    std::unique_ptr<sim::Simulator> device;
};

TEST_F(CtlProgram, InterruptEndsWatchNormally) {
    const pid_t pid = Start({"--port", device->PortPath(), "watch"});
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(device->WaitForCommands(1, 5000ms));  // it has asked for its full report
    std::this_thread::sleep_for(200ms);
    ::kill(pid, SIGINT);
    EXPECT_EQ(WaitFor(pid, 5000ms), 0);
}

TEST_F(CtlProgram, InterruptBeforeTheDeviceAnsweredIsNoSuccess) {
    sim::Faults faults;
    faults.silent = true;
    device->SetFaults(faults);
    std::ofstream(folder / "names.txt") << "source-1 = \"Phono\"\n";
    struct Case {
        std::vector<std::string> command;
        int signal;
    };
    const Case cases[] = {
        {{"status"}, SIGINT},
        {{"set", "volume", "-30"}, SIGTERM},
        {{"key", "mute"}, SIGINT},
        {{"names", "get"}, SIGTERM},
        {{"names", "set", (folder / "names.txt").string()}, SIGINT},
        {{"watch"}, SIGTERM},  // nothing watched yet: the device never answered
    };
    for (const Case& c : cases) {
        device->ClearRecord();
        std::vector<std::string> args = {"--port", device->PortPath(), "--timeout", "30"};
        args.insert(args.end(), c.command.begin(), c.command.end());
        const pid_t pid = Start(args, {"/dev/null", (folder / "err").string()});
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(device->WaitForCommands(1, 5000ms)) << c.command[0];
        ::kill(pid, c.signal);
        EXPECT_EQ(WaitFor(pid, 5000ms), 128 + c.signal) << c.command[0];
        EXPECT_EQ(Contents(folder / "err"), std::string("r512ctl: interrupted (") +
                                                (c.signal == SIGINT ? "SIGINT" : "SIGTERM") +
                                                ") before the command was done\n")
            << c.command[0];
    }
}

TEST_F(CtlProgram, SignalEndsAReadThatWouldBlock) {
    // Standard input stays open and silent: the read of the names file waits in the kernel.
    int input[2];
    ASSERT_EQ(::pipe(input), 0);
    const pid_t pid = Start({"--port", device->PortPath(), "names", "set", "-"},
                            {"/dev/null", (folder / "err").string(), input[0]});
    ASSERT_GT(pid, 0);
    ::close(input[0]);
    std::this_thread::sleep_for(300ms);  // into the read
    ::kill(pid, SIGINT);
    EXPECT_EQ(WaitFor(pid, 3000ms), 130);
    ::close(input[1]);
    EXPECT_TRUE(device->Received().empty()) << "the port was opened";
}

TEST_F(CtlProgram, FifoThatNobodyReadsIsNoTraceToWaitFor) {
    const std::filesystem::path fifo = folder / "trace.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const pid_t pid = Start({"--trace", fifo.string(), "--port", device->PortPath(), "status"},
                            {"/dev/null", (folder / "err").string()});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitFor(pid, 3000ms), 2);
    EXPECT_EQ(Contents(folder / "err"),
              "r512ctl: --trace " + fifo.string() + ": a FIFO that nobody reads\n");
}

TEST_F(CtlProgram, OutputThatCannotBeWrittenIsAFailure) {
    const pid_t pid =
        Start({"--port", device->PortPath(), "status"}, {"/dev/full", (folder / "err").string()});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitFor(pid, 5000ms), 5);
    EXPECT_EQ(Contents(folder / "err"), "r512ctl: standard output can't be written\n");
}

TEST_F(CtlProgram, VersionAndTraceOnStandardError) {
    const pid_t version = Start({"--version"}, {(folder / "out").string()});
    ASSERT_GT(version, 0);
    EXPECT_EQ(WaitFor(version, 5000ms), 0);
    EXPECT_EQ(Contents(folder / "out").rfind("r512ctl 1.", 0), 0u) << Contents(folder / "out");

    const pid_t traced = Start({"--trace=-", "--port", device->PortPath(), "key", "mute"},
                               {(folder / "out").string(), (folder / "err").string()});
    ASSERT_GT(traced, 0);
    EXPECT_EQ(WaitFor(traced, 5000ms), 0);
    const std::string err = Contents(folder / "err");
    EXPECT_NE(err.find("-- open " + device->PortPath()), std::string::npos) << err;
    EXPECT_NE(err.find(" \xE2\x86\x92 E0 52 53 21 07  key mute\n"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST_F(CtlProgram, StatusReachesTheShell) {
    const pid_t bad = Start({"frobnicate"});
    ASSERT_GT(bad, 0);
    EXPECT_EQ(WaitFor(bad, 5000ms), 2);
    const pid_t refused = Start({"--port", "socket://127.0.0.1:1", "status"});
    ASSERT_GT(refused, 0);
    EXPECT_EQ(WaitFor(refused, 10000ms), 3);
}

}  // namespace
}  // namespace r512::test
