// status and watch: the registers as the device reports them.
#include <ostream>

#include "ctl/DeviceCommands.h"
#include "ctl/ExitCode.h"
#include "ctl/RegisterLine.h"
#include "device/RegisterJson.h"

namespace r512::ctl {

int RunStatus(Session& session, const CommandLine& line, Io io) {
    const RegisterMirror& mirror = session.Mirror();
    if (line.json) io.out << "{\"registers\":[";
    for (int i = 0; i < kRegisterCount; ++i) {
        const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
        const bool reported = mirror.State(code) != RegisterState::Pending;
        if (line.json) {
            io.out << (i == 0 ? "" : ",") << RegisterJson(code, mirror.Value(code), reported);
        } else {
            io.out << RegisterLine(code, mirror.Value(code), reported) << '\n';
        }
    }
    if (line.json) io.out << "]}\n";
    io.out.flush();
    return kExitOk;
}

int RunWatch(Session& session, const CommandLine& line, Io io) {
    int reports = 0;
    auto print = [&](const RegisterFrame& frame) {
        if (!IsRegisterCode(frame.code)) return;
        io.out << (line.json ? RegisterJson(frame.code, frame.value, true)
                             : RegisterLine(frame.code, frame.value, true))
               << '\n';
        // Each line is for whoever reads the pipe now, not when a buffer fills.
        io.out.flush();
        ++reports;
    };
    const bool limited = line.count > 0;
    // Until interrupted (the user's way to end it: status 0), the count is reached, the
    // connection is gone or the output can't be written (RunCtl says so).
    for (;;) {
        const Session::Wait wait =
            session.PumpUntil([&] { return (limited && reports >= line.count) || !io.out.good(); },
                              Session::Clock::now() + std::chrono::hours(1), print);
        if (wait == Session::Wait::Lost) return ConnectionLost(io);
        if (wait != Session::Wait::TimedOut) return kExitOk;
    }
}

}  // namespace r512::ctl
