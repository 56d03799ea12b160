#pragma once

#include <optional>
#include <string>
#include <vector>

namespace r512::ctl {

// r512ctl's command line: global options (anywhere), a command and its words and options.
struct CommandLine {
    enum class Command { Help, Keys, Status, Key, Set, Watch, NamesGet, NamesSet };

    Command command = Command::Help;
    std::optional<std::string> port;  // none: the desktop program's saved port
    std::optional<int> speed;         // none: the saved speed
    double timeoutSeconds = 5;        // how long to wait for the device
    std::string trace;                // file for the protocol trace; empty for none
    bool json = false;
    int repeat = 1;           // key
    int count = 0;            // watch: stop after this many reports; 0 for no limit
    std::string key;          // key
    std::string what, value;  // set
    std::string namesFile;    // names set ("-" is standard input)
};

// Reads the arguments after the program's name; false with `error` set for a command line that
// makes no sense.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string* error);

// The --help text.
std::string UsageText();

}  // namespace r512::ctl
