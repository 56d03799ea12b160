// The r512ctl program itself: an interrupt ends watch with status 0, and the status of a
// command reaches the shell.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "simulator/Simulator.h"

extern char** environ;

namespace r512::test {
namespace {

using namespace std::chrono_literals;

pid_t Start(std::vector<std::string> args) {
    args.insert(args.begin(), R512CTL_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
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

TEST(CtlProgram, InterruptEndsWatchNormally) {
    std::string error;
    auto device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    ASSERT_TRUE(device) << error;
    const pid_t pid = Start({"--port", device->PortPath(), "watch"});
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(device->WaitForCommands(1, 5000ms));  // it has asked for its full report
    std::this_thread::sleep_for(200ms);
    ::kill(pid, SIGINT);
    EXPECT_EQ(WaitFor(pid, 5000ms), 0);
}

TEST(CtlProgram, StatusReachesTheShell) {
    const pid_t bad = Start({"frobnicate"});
    ASSERT_GT(bad, 0);
    EXPECT_EQ(WaitFor(bad, 5000ms), 2);
    const pid_t refused = Start({"--port", "socket://127.0.0.1:1", "status"});
    ASSERT_GT(refused, 0);
    EXPECT_EQ(WaitFor(refused, 10000ms), 3);
}

}  // namespace
}  // namespace r512::test
