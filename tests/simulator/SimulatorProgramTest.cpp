// The r512-sim program itself: its options, its help, and its link going with it however its
// standard input is connected.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace r512::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class SimulatorProgram : public ::testing::Test {
protected:
    SimulatorProgram()
        : folder(fs::temp_directory_path() / ("r512-sim-test-" + std::to_string(::getpid()))) {
        fs::create_directories(folder);
    }
    ~SimulatorProgram() override { fs::remove_all(folder); }

    // Starts r512-sim with its standard input opened from `input` and its output in files.
    pid_t Start(std::vector<std::string> args, const std::string& input) {
        args.insert(args.begin(), R512_SIM_PATH);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (folder / "out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (folder / "err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        const int failed =
            posix_spawn(&pid, R512_SIM_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return failed == 0 ? pid : -1;
    }

    // The exit status, or -1 when the program has not ended within `limit` (it is then ended).
    static int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > until) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                return -1;
            }
            std::this_thread::sleep_for(10ms);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Output(const char* name) const {
        std::ifstream file(folder / name);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    fs::path folder;
};

TEST_F(SimulatorProgram, OptionsAreCheckedAndHelpGoesToStandardOutput) {
    struct Case {
        std::vector<std::string> args;
        bool fails;
        const char* said;  // on standard error when it fails, on standard output otherwise
    };
    const Case cases[] = {
        {{"--help"}, false, "usage: r512-sim"},
        {{"--tcp", "127.0.0.1:65536"}, true, "65535"},
        {{"--tcp", "127.0.0.1:http"}, true, "65535"},
        {{"--cycles", "abc"}, true, "--cycles"},
        {{"--unplug-after", "1", "--cycles", "-1"}, true, "--cycles"},
        {{"--split", "5ms"}, true, "--split"},
        {{"--delay", "99999999999999999999"}, true, "--delay"},
        {{"--unplug-after", "soon"}, true, "--unplug-after"},
        {{"--baud", "0"}, true, "--baud"},
        {{"--names-report-at", "1025"}, true, "--names-report-at"},
        {{"--names", "odd"}, true, "--names"},
        {{"--frobnicate"}, true, "--frobnicate"},
    };
    for (const Case& c : cases) {
        const std::string what = c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : "");
        const pid_t pid = Start(c.args, "/dev/null");
        ASSERT_GT(pid, 0);
        const int status = WaitFor(pid, 5000ms);
        if (c.fails) {
            EXPECT_GT(status, 0) << what;
            EXPECT_NE(Output("err").find(c.said), std::string::npos)
                << what << ": " << Output("err");
            EXPECT_EQ(Output("out"), "") << what;
        } else {
            EXPECT_EQ(status, 0) << what;
            EXPECT_NE(Output("out").find(c.said), std::string::npos) << what;
            EXPECT_EQ(Output("err"), "") << what;
        }
    }
}

// Standard input on a terminal or a pipe keeps a reader blocked when the signal comes; the
// link must go all the same.
TEST_F(SimulatorProgram, LinkGoesAtAnInterruptWhateverStandardInputIs) {
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const std::string terminalPath = ::ptsname(terminal);
    const fs::path fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int fifoWriter = ::open(fifo.c_str(), O_RDWR);  // kept open: the reader never ends
    ASSERT_GE(fifoWriter, 0);

    struct Case {
        std::string input;
        int signal;
    };
    const Case cases[] = {{terminalPath, SIGINT},
                          {terminalPath, SIGTERM},
                          {fifo, SIGINT},
                          {fifo, SIGTERM},
                          {"/dev/null", SIGINT}};
    for (const Case& c : cases) {
        const std::string what = c.input + " " + std::to_string(c.signal);
        const fs::path link = folder / "ttyR512";
        const pid_t pid = Start({"--link", link.string()}, c.input);
        ASSERT_GT(pid, 0);
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (!fs::is_symlink(link) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(fs::is_symlink(link)) << what;
        ::kill(pid, c.signal);
        EXPECT_EQ(WaitFor(pid, 5000ms), 0) << what;
        EXPECT_FALSE(fs::is_symlink(link)) << what;
        fs::remove(link);
    }
    ::close(fifoWriter);
    ::close(terminal);
}

}  // namespace
}  // namespace r512::test
