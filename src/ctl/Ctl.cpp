#include "ctl/Ctl.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "ctl/DeviceCommands.h"
#include "ctl/ExitCode.h"
#include "ctl/SavedPort.h"
#include "device/KeyNames.h"
#include "device/NamesText.h"
#include "device/Protocol.h"
#include "serial/SocketPortName.h"
#include "ui/SetTargets.h"

namespace r512::ctl {

namespace {

void ListKeys(std::ostream& out) {
    for (const KeyName& key : KeyNames()) {
        char line[96];
        std::snprintf(line, sizeof line, "%-20s 0x%02X  %s\n", key.name, key.code,
                      CommandName(key.code));
        out << line;
    }
}

// The names file is read before the port is opened: a missing file is a wrong argument.
bool ReadNamesFile(const std::string& name, Io io, std::string& text) {
    std::stringstream contents;
    if (name == "-") {
        contents << io.in.rdbuf();
    } else {
        std::ifstream file(name, std::ios::binary);
        if (!file) return false;
        contents << file.rdbuf();
    }
    text = contents.str();
    return true;
}

}  // namespace

void ReportError(Io io, const std::string& what) { io.err << "r512ctl: " << what << std::endl; }

std::chrono::milliseconds Timeout(const CommandLine& line) {
    return std::chrono::milliseconds(static_cast<long long>(line.timeoutSeconds * 1000));
}

int RunCtl(const std::vector<std::string>& args, Io io, const std::atomic<bool>* stop) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(args, line, &error)) {
        ReportError(io, error);
        return kExitBadArguments;
    }
    using C = CommandLine::Command;
    if (line.command == C::Help) {
        io.out << UsageText();
        return kExitOk;
    }
    if (line.command == C::Keys) {
        ListKeys(io.out);
        return kExitOk;
    }
    if (line.command == C::Key && KeyCode(line.key) < 0) {
        ReportError(io, "no key '" + line.key + "' (r512ctl keys lists them)");
        return kExitBadArguments;
    }
    std::string namesFile;
    if (line.command == C::NamesSet) {
        if (!ReadNamesFile(line.namesFile, io, namesFile)) {
            ReportError(io, line.namesFile + ": can't be read");
            return kExitBadArguments;
        }
        // A file the device could not take is refused before the device is asked.
        names_fields::Texts texts = names_fields::Defaults();
        if (!names_text::Parse(namesFile, texts, &error)) {
            ReportError(io, line.namesFile + ": " + error);
            return kExitBadArguments;
        }
    }
    if (line.command == C::Set) {
        SetGoal goal;
        if (!ParseSetGoal(line.what, line.value, goal, &error)) {
            ReportError(io, error);
            return kExitBadArguments;
        }
    }

    const SavedPort saved = ReadSavedPort();
    const std::string port = line.port.value_or(saved.port);
    const int speed = line.speed.value_or(saved.speed);
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
    if (!session.Open(port, speed, &error)) {
        ReportError(io, error);
        return kExitPortFailed;
    }
    if (!session.Refresh(Timeout(line))) {
        if (session.Stopped()) return kExitOk;
        ReportError(io, "no answer from the R512 on " + port);
        return kExitNoAnswer;
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
            return RunNamesSet(session, namesFile, io);
        default:
            return kExitBadArguments;
    }
}

}  // namespace r512::ctl
