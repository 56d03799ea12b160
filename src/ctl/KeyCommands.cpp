// key and set: sending keys, and following the reports until a register shows a target.
#include <ostream>

#include "ctl/DeviceCommands.h"
#include "ctl/ExitCode.h"
#include "ctl/RegisterLine.h"
#include "device/KeyNames.h"
#include "device/RegisterJson.h"
#include "device/RegisterText.h"
#include "ui/SetTargets.h"

namespace r512::ctl {

namespace {

std::string Shown(std::uint8_t code, std::uint8_t value) {
    return std::string(RegisterName(code)) + " is " + RegisterText(code, value);
}

}  // namespace

int RunKey(Session& session, const CommandLine& line, Io io) {
    const auto code = static_cast<std::uint8_t>(KeyCode(line.key));
    for (int i = 0; i < line.repeat; ++i) session.Link().SendCommand(code);
    // The program ends with the port closed, which would drop writes still queued.
    switch (session.FlushWrites(Timeout(line))) {
        case Session::Wait::Done:
            break;
        case Session::Wait::Stopped:
            return Interrupted(session.StopSignal(), io);
        case Session::Wait::Lost:
            return ConnectionLost(io);
        case Session::Wait::TimedOut:
            ReportError(io, "the key could not be sent within the time-out");
            return kExitNotDone;
    }
    if (line.json) {
        io.out << "{\"key\":" << JsonQuote(line.key) << ",\"code\":" << int{code}
               << ",\"sent\":" << line.repeat << "}\n";
    }
    return kExitOk;
}

int RunSet(Session& session, const CommandLine& line, Io io) {
    SetGoal goal;
    (void)ParseSetGoal(line.what, line.value, goal);  // checked before the port was opened
    const std::uint8_t reg = goal.target->reg;
    const RegisterMirror& mirror = session.Mirror();
    // The placeholder of a register the device never reported is no value to start from.
    if (mirror.State(reg) == RegisterState::Pending) {
        ReportError(io, std::string("set ") + goal.target->name + " " + line.value + ": " +
                            RegisterName(reg) +
                            " was not reported by the R512 within the time-out");
        return kExitNoAnswer;
    }
    const Session::Clock::time_point deadline = Session::Clock::now() + Timeout(line);
    const int budget = KeyBudget(goal, mirror.Value(reg));
    const std::string target = std::string(goal.target->name) + " " + line.value;

    auto fail = [&](const std::string& why) {
        std::string text = "set " + target + ": " + why + "; " + Shown(reg, mirror.Value(reg));
        if (reg != RS_OPER_MODE && mirror.State(RS_OPER_MODE) != RegisterState::Pending &&
            mirror.Value(RS_OPER_MODE) == 0)
            text += " (the R512 is in standby)";
        ReportError(io, text);
        return kExitNotDone;
    };

    int sent = 0;
    for (;;) {
        const std::uint8_t before = mirror.Value(reg);
        if (GoalReached(goal, before)) {
            io.out << (line.json ? RegisterJson(reg, before, true)
                                 : RegisterLine(reg, before, true))
                   << '\n';
            return kExitOk;
        }
        const int key = NextKey(goal, before);
        if (key < 0) return fail("no key leads there from here");
        if (sent >= budget || Session::Clock::now() >= deadline)
            return fail("the device did not get there after " + std::to_string(sent) + " keys");

        const Session::Clock::time_point keySent = Session::Clock::now();
        if (!session.Link().SendCommand(static_cast<std::uint8_t>(key))) {
            if (session.ConnectionLost()) return ConnectionLost(io);
            return fail("the key could not be sent");
        }
        ++sent;
        // Only a report that came after the key was sent and moves the register is the key's
        // effect. An answer to a refresh asked earlier (a slow device answers the repeated
        // request late) repeats the value and must not count, or a toggle would go out twice.
        bool moved = false;
        bool unmoved = false;
        const Session::Wait wait =
            session.PumpUntil([&] { return moved; }, deadline,
                              [&](const RegisterFrame& frame) {
                                  if (frame.code != reg || session.FrameArrived() < keySent) return;
                                  (mirror.Value(reg) != before ? moved : unmoved) = true;
                              });
        if (wait == Session::Wait::Stopped) return Interrupted(session.StopSignal(), io);
        if (wait == Session::Wait::Lost) return ConnectionLost(io);
        if (wait == Session::Wait::TimedOut && unmoved)
            return fail("the device does not move any further");
        if (wait == Session::Wait::TimedOut) {
            return fail(std::string("no report of ") + RegisterName(reg) + " after key " +
                        KeyNameOf(static_cast<std::uint8_t>(key)) +
                        ": the device did not get there");
        }
    }
}

}  // namespace r512::ctl
