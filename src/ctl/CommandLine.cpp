#include "ctl/CommandLine.h"

#include <cstdlib>

#include "base/NumberText.h"
#include "ui/SetTargets.h"

namespace r512::ctl {

bool ParseSpeed(const std::string& text, int& speed) {
    return ParseIntInRange(text, 0, 1000000, speed) && (speed == 9600 || speed == 12000);
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what;
        return false;
    };
    std::vector<std::string> words;
    bool help = false;
    bool version = false;
    bool repeatGiven = false;
    bool countGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        // A word such as "-30" (a level) is a value, not an option; after "--" every word is
        // one (a names file called "-q", say).
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' ||
            (arg[1] != '-' && arg != "-h" && arg != "-q")) {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // "--port=COM2" is "--port COM2".
        std::optional<std::string> attached;
        if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
            attached = arg.substr(equals + 1);
            arg.resize(equals);
        }
        bool valueTaken = false;
        auto value = [&](std::string& into) {
            valueTaken = true;
            if (attached) {
                into = *attached;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--json") {
            line.json = true;
        } else if (arg == "--quiet" || arg == "-q") {
            line.quiet = true;
        } else if (arg == "--port") {
            if (!value(text) || text.empty()) return fail("--port needs a port name");
            line.port = text;
        } else if (arg == "--speed") {
            int speed = 0;
            if (!value(text) || !ParseSpeed(text, speed))
                return fail("--speed takes 9600 or 12000");
            line.speed = speed;
        } else if (arg == "--timeout") {
            char* end = nullptr;
            if (!value(text)) return fail("--timeout needs seconds");
            line.timeoutSeconds = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' ||
                !(line.timeoutSeconds > 0 && line.timeoutSeconds <= 3600))
                return fail("--timeout takes seconds, more than 0 and at most 3600");
        } else if (arg == "--trace") {
            if (!value(line.trace) || line.trace.empty()) return fail("--trace needs a file name");
        } else if (arg == "--repeat") {
            if (!value(text) || !ParseIntInRange(text, 1, 1000, line.repeat))
                return fail("--repeat takes a number from 1 to 1000");
            repeatGiven = true;
        } else if (arg == "--count") {
            if (!value(text) || !ParseIntInRange(text, 1, 1000000, line.count))
                return fail("--count takes a number from 1 up");
            countGiven = true;
        } else {
            return fail("unknown option " + arg);
        }
        if (attached && !valueTaken) return fail(arg + " takes no value");
    }
    if (help || version || words.empty()) {
        line.command =
            version && !help ? CommandLine::Command::Version : CommandLine::Command::Help;
        return help || version || fail("no command given (r512ctl --help lists them)");
    }

    const std::string& command = words[0];
    const std::size_t extra = words.size() - 1;
    using C = CommandLine::Command;
    if (command == "status" && extra == 0) {
        line.command = C::Status;
    } else if (command == "keys" && extra == 0) {
        line.command = C::Keys;
    } else if (command == "key" && extra == 1) {
        line.command = C::Key;
        line.key = words[1];
    } else if (command == "set" && extra == 2) {
        line.command = C::Set;
        line.what = words[1];
        line.value = words[2];
    } else if (command == "watch" && extra == 0) {
        line.command = C::Watch;
    } else if (command == "names" && extra == 1 && words[1] == "get") {
        line.command = C::NamesGet;
    } else if (command == "names" && extra == 2 && words[1] == "set") {
        line.command = C::NamesSet;
        line.namesFile = words[2];
    } else if (command == "status" || command == "keys" || command == "key" || command == "set" ||
               command == "watch" || command == "names") {
        return fail("wrong words for '" + command + "' (r512ctl --help shows them)");
    } else {
        return fail("unknown command '" + command + "' (r512ctl --help lists them)");
    }

    if (repeatGiven && line.command != C::Key) return fail("--repeat goes with 'key' only");
    if (countGiven && line.command != C::Watch) return fail("--count goes with 'watch' only");
    return true;
}

std::string UsageText() {
    return "usage: r512ctl [--port PORT] [--speed 9600|12000] [--timeout SECONDS] [--trace FILE]\n"
           "               [--json] [-q] COMMAND\n"
           "\n"
           "Controls the R512 from scripts, through the desktop program's own device link.\n"
           "\n"
           "Commands:\n"
           "  status                 all 26 registers, with the values as the display shows them\n"
           "  keys                   the key names\n"
           "  key NAME [--repeat N]  sends a key (volume-up, mute, source-cd, ...)\n"
           "  set TARGET VALUE       sends keys until the device reports VALUE (targets below)\n"
           "  watch [--count N]      one line per report after the full report, until\n"
           "                         interrupted (or N reports)\n"
           "  names get              the source names and the welcome and standby messages\n"
           "  names set FILE         stores them from FILE (as 'names get' writes it; - is\n"
           "                         standard input); fields the file leaves out stay\n"
           "\n"
           "Targets of set:\n" +
           SetTargetsHelp() +
           "\n"
           "Options (a value may also follow an '=': --port=COM2; -- ends the options):\n"
           "  --port PORT     COM1..COM4, a device path, or socket://HOST:PORT for a raw TCP\n"
           "                  connection (a serial-to-Ethernet bridge); default: R512_PORT, else\n"
           "                  the port the R512 program is configured for\n"
           "  --speed N       9600 or 12000 (11520 baud); default: R512_SPEED, else the\n"
           "                  configured speed; no meaning for socket:// ports\n"
           "  --timeout S     how long to wait for the device (default 5)\n"
           "  --trace FILE    appends every byte sent and received, decoded, to FILE (- for\n"
           "                  standard error), as the R512_TRACE environment variable does\n"
           "  --json          output and errors as JSON on standard output\n"
           "  -q, --quiet     nothing on standard output; the exit status tells\n"
           "  --version       the program's version\n"
           "\n"
           "Exit status: 0 done; 1 the device answered but did not do what was asked; 2 bad\n"
           "arguments or input file; 3 the port can't be opened; 4 no answer from the device or\n"
           "the connection lost; 5 the output could not be written; 130 or 143 interrupted\n"
           "(SIGINT or SIGTERM) before the command was done.\n";
}

std::string VersionText() { return std::string("r512ctl ") + R512CTL_VERSION + "\n"; }

}  // namespace r512::ctl
