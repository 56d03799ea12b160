#pragma once

#include <optional>
#include <string>
#include <vector>

namespace r512::ctl {

// r512ctl's command line: global options (anywhere before "--"), a command and its words and
// options. An option's value may follow it as the next word or after "=" ("--port=COM2").
struct CommandLine {
    enum class Command { Help, Version, Keys, Status, Key, Set, Watch, NamesGet, NamesSet };

    Command command = Command::Help;
    std::optional<std::string> port;  // none: R512_PORT, else the desktop program's saved port
    std::optional<int> speed;         // none: R512_SPEED, else the saved speed
    double timeoutSeconds = 5;        // how long to wait for the device
    std::string trace;                // file for the protocol trace ("-": standard error)
    bool json = false;
    bool quiet = false;       // nothing on standard output; the status tells
    int repeat = 1;           // key
    int count = 0;            // watch: stop after this many reports; 0 for no limit
    std::string key;          // key
    std::string what, value;  // set
    std::string namesFile;    // names set ("-" is standard input)
};

// Reads the arguments after the program's name; false with `error` set for a command line that
// makes no sense.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string* error);

// A speed as --speed and R512_SPEED take it: 9600 or 12000.
bool ParseSpeed(const std::string& text, int& speed);

// The --help text.
std::string UsageText();

// The --version line.
std::string VersionText();

}  // namespace r512::ctl
