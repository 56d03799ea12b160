#include "ctl/Ctl.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "ctl/DeviceCommands.h"
#include "ctl/ExitCode.h"
#include "ctl/NamesFile.h"
#include "ctl/SavedPort.h"
#include "device/KeyNames.h"
#include "device/NamesText.h"
#include "device/Protocol.h"
#include "device/RegisterJson.h"
#include "serial/SocketPortName.h"
#include "ui/SetTargets.h"

namespace r512::ctl {

namespace {

// However a command ended, the writes it queued go out before the port is closed (closing
// drops what is still queued): the 0x01 that ends a names transfer above all.
constexpr std::chrono::seconds kLastWrites{2};

void ListKeys(std::ostream& out, bool json) {
    if (json) out << "{\"keys\":[";
    bool first = true;
    for (const KeyName& key : KeyNames()) {
        if (json) {
            out << (first ? "" : ",") << "{\"name\":" << JsonQuote(key.name)
                << ",\"code\":" << int{key.code} << ",\"text\":" << JsonQuote(CommandName(key.code))
                << '}';
        } else {
            char line[96];
            std::snprintf(line, sizeof line, "%-20s 0x%02X  %s\n", key.name, key.code,
                          CommandName(key.code));
            out << line;
        }
        first = false;
    }
    if (json) out << "]}\n";
}

// The port and speed: --port and --speed, else R512_PORT and R512_SPEED, else what the desktop
// program saved. False (with `error`) for an R512_SPEED that is no speed.
bool ChoosePort(const CommandLine& line, std::string& port, int& speed, std::string* error) {
    const SavedPort saved = ReadSavedPort();
    port = saved.port;
    speed = saved.speed;
    if (const char* name = std::getenv("R512_PORT"); name != nullptr && *name != '\0') port = name;
    if (const char* text = std::getenv("R512_SPEED"); text != nullptr && *text != '\0') {
        if (!ParseSpeed(text, speed)) {
            if (error) *error = std::string("R512_SPEED takes 9600 or 12000, not '") + text + "'";
            return false;
        }
    }
    if (line.port) port = *line.port;
    if (line.speed) speed = *line.speed;
    return true;
}

// What the device must have reported before the command can start: set needs its register,
// key only an answer; the others wait for the whole report, so that watch starts after it and
// a names download does not meet the report's last frames.
std::function<bool()> RefreshComplete(const CommandLine& line, const RegisterMirror& mirror) {
    using C = CommandLine::Command;
    if (line.command == C::Key) return [&mirror] { return !mirror.AllPending(); };
    if (line.command == C::Set) {
        SetGoal goal;
        (void)ParseSetGoal(line.what, line.value, goal);  // checked before the port was opened
        const std::uint8_t reg = goal.target->reg;
        return [&mirror, reg] { return mirror.State(reg) != RegisterState::Pending; };
    }
    return [&mirror] {
        for (int i = 0; i < kRegisterCount; ++i) {
            if (mirror.State(static_cast<std::uint8_t>(kFirstRegister + i)) ==
                RegisterState::Pending)
                return false;
        }
        return true;
    };
}

// Everything up to and including the command; the exit status.
int Run(const CommandLine& line, Io io, const std::atomic<int>* stop) {
    using C = CommandLine::Command;
    std::string error;
    if (line.command == C::Help) {
        io.out << UsageText();
        return kExitOk;
    }
    if (line.command == C::Version) {
        io.out << (line.json ? "{\"version\":" + JsonQuote(R512CTL_VERSION) + "}\n"
                             : VersionText());
        return kExitOk;
    }
    if (line.command == C::Keys) {
        ListKeys(io.out, line.json);
        return kExitOk;
    }
    if (line.command == C::Key && KeyCode(line.key) < 0) {
        ReportError(io, "no key '" + line.key + "' (r512ctl keys lists them)");
        return kExitBadArguments;
    }
    std::string namesFile;
    if (line.command == C::NamesSet) {
        const bool read = ReadNamesFile(line.namesFile, io.in, namesFile, &error);
        // An interrupted read can look like the end of the file: what came is not all there is.
        if (stop != nullptr && stop->load() != 0) return Interrupted(stop->load(), io);
        if (!read) {
            ReportError(io, line.namesFile + ": " + error);
            return kExitBadArguments;
        }
        // A file the device could not take is refused before the device is asked.
        names_fields::Texts texts = names_fields::Defaults();
        if (const auto fault = names_text::Parse(namesFile, texts)) {
            ReportError(io, line.namesFile + ": " + fault->Text());
            return kExitBadArguments;
        }
    }
    if (line.command == C::Set) {
        SetGoal goal;
        if (const SetProblem problem = ParseSetGoal(line.what, line.value, goal);
            problem != SetProblem::None) {
            ReportError(io, SetProblemText(problem, line.what, line.value));
            return kExitBadArguments;
        }
    }

    std::string port;
    int speed = 0;
    if (!ChoosePort(line, port, speed, &error)) {
        ReportError(io, error);
        return kExitBadArguments;
    }
    if (IsSocketPortName(port)) {
        SocketAddress address;
        if (!ParseSocketPortName(port, address)) {
            ReportError(io, port + ": a socket port is socket://HOST:PORT");
            return kExitBadArguments;
        }
    }

    Session session(stop);
    if (!line.trace.empty() && !session.TraceTo(line.trace, &error)) {
        ReportError(io, "--trace " + error);
        return kExitBadArguments;
    }
    session.SetOpenTimeLimit(Timeout(line));  // the lookup and connection of a socket:// port
    if (!session.Open(port, speed, &error)) {
        if (session.Stopped()) return Interrupted(session.StopSignal(), io);
        ReportError(io, error);
        return kExitPortFailed;
    }
    const int status = [&] {
        const Session::Wait refresh = session.Refresh(Session::Clock::now() + Timeout(line),
                                                      RefreshComplete(line, session.Mirror()));
        if (refresh == Session::Wait::Stopped) return Interrupted(session.StopSignal(), io);
        if (refresh == Session::Wait::Lost) return ConnectionLost(io);
        if (session.Mirror().AllPending()) {
            ReportError(io, "no answer from the R512 on " + port);
            return static_cast<int>(kExitNoAnswer);
        }
        switch (line.command) {
            case C::Status:
                return RunStatus(session, line, io);
            case C::Watch:
                return RunWatch(session, line, io);
            case C::Key:
                return RunKey(session, line, io);
            case C::Set:
                return RunSet(session, line, io);
            case C::NamesGet:
                return RunNamesGet(session, line, io);
            case C::NamesSet:
                return RunNamesSet(session, line, namesFile, io);
            default:
                return static_cast<int>(kExitBadArguments);
        }
    }();
    session.FlushWrites(kLastWrites, false);
    return status;
}

}  // namespace

void ReportError(Io io, const std::string& what) {
    io.err << "r512ctl: " << what << std::endl;
    if (io.lastError != nullptr) *io.lastError = what;
}

int Interrupted(int signal, Io io) {
    ReportError(io, std::string("interrupted (") + (signal == SIGTERM ? "SIGTERM" : "SIGINT") +
                        ") before the command was done");
    return kExitSignalBase + signal;
}

int ConnectionLost(Io io) {
    ReportError(io, "the connection to the R512 was lost");
    return kExitNoAnswer;
}

std::chrono::milliseconds Timeout(const CommandLine& line) {
    return std::chrono::milliseconds(static_cast<long long>(line.timeoutSeconds * 1000));
}

int RunCtl(const std::vector<std::string>& args, Io io, const std::atomic<int>* stop) {
    std::string lastError;
    Io own{io.out, io.err, io.in, &lastError};
    CommandLine line;
    std::string error;
    int status = kExitOk;
    std::ostringstream discarded;
    if (!ParseCommandLine(args, line, &error)) {
        ReportError(own, error);
        status = kExitBadArguments;
        // A script that asked for JSON gets its error as JSON, wherever the line went wrong.
        for (const std::string& arg : args) {
            if (arg == "--") break;
            line.json |= arg == "--json";
            line.quiet |= arg == "-q" || arg == "--quiet";
        }
    } else {
        // -q: whatever the command prints goes nowhere; errors still reach standard error.
        status = Run(line, line.quiet ? Io{discarded, io.err, io.in, &lastError} : own, stop);
    }
    if (status != kExitOk && line.json && !line.quiet)
        io.out << "{\"error\":" << JsonQuote(lastError) << ",\"exit\":" << status << "}\n";
    // A full disk or a closed pipe: what was printed did not arrive, so the command failed.
    // (The stream keeps no cause: the write that failed may have been any of the command's.)
    if (!io.out.flush()) {
        ReportError(own, "standard output can't be written");
        if (status == kExitOk) status = kExitOutputFailed;
    }
    if (io.lastError != nullptr) *io.lastError = lastError;
    return status;
}

}  // namespace r512::ctl
