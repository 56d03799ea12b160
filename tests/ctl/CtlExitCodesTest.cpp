// r512ctl's exit status for what goes wrong before the device is reached: the arguments and
// the port.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ctl/Ctl.h"
#include "ctl/ExitCode.h"

namespace r512::test {
namespace {

struct Case {
    std::vector<std::string> args;
    int status;
    const char* error;  // the first words of the one-line message
};

int RunQuietly(const std::vector<std::string>& args, std::string& err) {
    std::ostringstream out, errors;
    std::istringstream in;
    const int status = ctl::RunCtl(args, {out, errors, in});
    err = errors.str();
    return status;
}

TEST(CtlExitCodes, EachKindOfFailureHasItsStatus) {
    const Case cases[] = {
        {{}, ctl::kExitBadArguments, "r512ctl: no command given"},
        {{"frobnicate"}, ctl::kExitBadArguments, "r512ctl: unknown command 'frobnicate'"},
        {{"key"}, ctl::kExitBadArguments, "r512ctl: wrong words for 'key'"},
        {{"key", "warp-speed"}, ctl::kExitBadArguments, "r512ctl: no key 'warp-speed'"},
        {{"set", "volume", "-95"},
         ctl::kExitBadArguments,
         "r512ctl: set volume: '-95' is not a number from -90 to 15"},
        {{"set", "source", "Phono"}, ctl::kExitBadArguments, "r512ctl: set source: 'Phono' is not"},
        {{"set", "warmth", "3"}, ctl::kExitBadArguments, "r512ctl: set: no target 'warmth'"},
        {{"--speed", "4800", "status"}, ctl::kExitBadArguments, "r512ctl: --speed takes"},
        {{"status", "--repeat", "2"}, ctl::kExitBadArguments, "r512ctl: --repeat goes with"},
        {{"--port=", "status"}, ctl::kExitBadArguments, "r512ctl: --port needs a port name"},
        {{"--json=yes", "status"}, ctl::kExitBadArguments, "r512ctl: --json takes no value"},
        {{"--speed=4800", "status"}, ctl::kExitBadArguments, "r512ctl: --speed takes"},
        {{"names", "set", "--", "-q"}, ctl::kExitBadArguments, "r512ctl: -q: can't be read"},
        {{"names", "set", "/"}, ctl::kExitBadArguments, "r512ctl: /: not a regular file"},
        {{"names", "set", "/dev/zero"},
         ctl::kExitBadArguments,
         "r512ctl: /dev/zero: not a regular file"},
        {{"names", "set", "/nonexistent/names.txt"},
         ctl::kExitBadArguments,
         "r512ctl: /nonexistent/names.txt: can't be read"},
        {{"--port", "socket://127.0.0.1", "status"},
         ctl::kExitBadArguments,
         "r512ctl: socket://127.0.0.1: a socket port is socket://HOST:PORT"},
        {{"--port", "/nonexistent/ttyR512", "status"},
         ctl::kExitPortFailed,
         "r512ctl: /nonexistent/ttyR512: Could not open serial port. Please make sure"},
    };
    for (const Case& c : cases) {
        std::string err;
        std::string args;
        for (const std::string& arg : c.args) args += arg + " ";
        EXPECT_EQ(RunQuietly(c.args, err), c.status) << args;
        EXPECT_EQ(err.rfind(c.error, 0), 0u) << args << "-> " << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
    }
}

TEST(CtlExitCodes, PortThatCannotBeOpenedSaysWhy) {
    struct Case {
        const char* port;
        const char* message;  // the program's own words
        const char* cause;    // the system's, at the end of the line
    };
    const Case cases[] = {
        // Nobody listens on port 1 of the loopback address (a privileged port).
        {"socket://127.0.0.1:1", "Could not open serial port.", " (Connection refused)\n"},
        {"/nonexistent/ttyR512", "Could not open serial port.", " (No such file or directory)\n"},
        {"/dev/null", "Could not configure serial port.", " (not a serial port)\n"},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(RunQuietly({"--port", c.port, "status"}, err), ctl::kExitPortFailed) << c.port;
        EXPECT_EQ(err.rfind(std::string("r512ctl: ") + c.port + ": " + c.message, 0), 0u) << err;
        const std::string cause = c.cause;
        EXPECT_TRUE(err.size() > cause.size() &&
                    err.compare(err.size() - cause.size(), cause.size(), cause) == 0)
            << err;
    }
}

TEST(CtlExitCodes, NamesFileLongerThanANamesFileCanBeIsRefused) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("r512ctl-long-" + std::to_string(::getpid()));
    std::ofstream(file) << std::string(70000, '#') << "\nsource-1 = \"Phono\"\n";
    std::string err;
    EXPECT_EQ(RunQuietly({"--port", "/nonexistent/ttyR512", "names", "set", file.string()}, err),
              ctl::kExitBadArguments);
    EXPECT_EQ(err,
              "r512ctl: " + file.string() + ": longer than a names file can be (at most 64 KiB)\n");
    std::filesystem::remove(file);
}

TEST(CtlExitCodes, HelpAndKeysNeedNoDevice) {
    std::ostringstream out, err;
    std::istringstream in;
    EXPECT_EQ(ctl::RunCtl({"--help"}, {out, err, in}), ctl::kExitOk);
    EXPECT_NE(out.str().find("Exit status: 0 done;"), std::string::npos);
    EXPECT_NE(out.str().find("  zone-source   video-1|"), std::string::npos) << out.str();
    std::ostringstream keys;
    EXPECT_EQ(ctl::RunCtl({"keys"}, {keys, err, in}), ctl::kExitOk);
    EXPECT_NE(keys.str().find("volume-up            0x31  volume up\n"), std::string::npos);
}

}  // namespace
}  // namespace r512::test
