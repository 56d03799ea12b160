// key and set: sending keys, and following the reports until a register shows a target.
#include <ostream>

#include "ctl/DeviceCommands.h"
#include "ctl/ExitCode.h"
#include "ctl/RegisterLine.h"
#include "device/KeyNames.h"
#include "device/RegisterText.h"
#include "ui/SetTargets.h"

namespace r512::ctl {

namespace {

// How long a key's report may take before the device counts as not acting on the key.
constexpr std::chrono::milliseconds kReportWait{1500};

std::string Shown(std::uint8_t code, std::uint8_t value) {
    return std::string(RegisterName(code)) + " is " + RegisterText(code, value);
}

}  // namespace

int RunKey(Session& session, const CommandLine& line, Io io) {
    const auto code = static_cast<std::uint8_t>(KeyCode(line.key));
    for (int i = 0; i < line.repeat; ++i) session.Link().SendCommand(code);
    // The program ends with the port closed, which would drop writes still queued.
    if (!session.FlushWrites(Timeout(line))) {
        if (session.Stopped()) return kExitOk;
        ReportError(io, "the key could not be sent within the time-out");
        return kExitNotDone;
    }
    return kExitOk;
}

int RunSet(Session& session, const CommandLine& line, Io io) {
    SetGoal goal;
    ParseSetGoal(line.what, line.value, goal, nullptr);  // checked before the port was opened
    const std::uint8_t reg = goal.target->reg;
    const RegisterMirror& mirror = session.Mirror();
    const Session::Clock::time_point deadline = Session::Clock::now() + Timeout(line);
    const int budget = KeyBudget(goal, mirror.Value(reg));
    const std::string target = std::string(goal.target->name) + " " + line.value;

    auto fail = [&](const std::string& why) {
        std::string text = "set " + target + ": " + why + "; " + Shown(reg, mirror.Value(reg));
        if (reg != RS_OPER_MODE && mirror.Value(RS_OPER_MODE) == 0)
            text += " (the R512 is in standby)";
        ReportError(io, text);
        return kExitNotDone;
    };

    int sent = 0;
    int stalls = 0;
    for (;;) {
        const std::uint8_t before = mirror.Value(reg);
        if (GoalReached(goal, before)) {
            io.out << RegisterLine(reg, before, true) << '\n';
            io.out.flush();
            return kExitOk;
        }
        const int key = NextKey(goal, before);
        if (key < 0) return fail("no key leads there from here");
        if (sent >= budget || Session::Clock::now() >= deadline)
            return fail("the device did not get there after " + std::to_string(sent) + " keys");

        session.Link().SendCommand(static_cast<std::uint8_t>(key));
        ++sent;
        bool reported = false;
        session.PumpUntil([&] { return reported; },
                          std::min(deadline, Session::Clock::now() + kReportWait),
                          [&](const RegisterFrame& frame) { reported |= frame.code == reg; });
        if (session.Stopped()) return kExitNotDone;
        if (!reported) {
            return fail(std::string("no report of ") + RegisterName(reg) + " after key " +
                        KeyNameOf(static_cast<std::uint8_t>(key)) +
                        ": the device did not get there");
        }
        // A report that doesn't move the register (at the end of its range, say) twice in a
        // row: the keys lead nowhere.
        stalls = mirror.Value(reg) == before ? stalls + 1 : 0;
        if (stalls >= 2) return fail("the device does not move any further");
    }
}

}  // namespace r512::ctl
