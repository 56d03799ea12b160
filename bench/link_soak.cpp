// Soak: the program's link (device link, connection controller and display composition, the
// window's timers run by the clock) against the simulated device for a long run, with garbage,
// filler units, bytes split apart, delayed replies and the adapter pulled out and plugged in
// again, commands sent throughout. Reports, per cycle and in all:
//   - reports the device sent while plugged in against register frames the link took (every
//     report must be taken), and whether the mirror matches the device at each quiet point;
//   - the stall after each replug: from the new line being there to the display showing the
//     device again (at most one retry cycle, about 2 s, plus the refresh);
//   - resident memory at the start and at the end.
// Run with
//   build/bench/link_soak [SECONDS]        (600 for the ten-minute soak; 60 by default)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "simulator/Simulator.h"
#include "support/LiveWindow.h"

namespace {

using namespace r512;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The faults of one cycle, chosen in turn.
sim::Faults CycleFaults(int cycle) {
    sim::Faults faults;
    faults.garbage = cycle % 2 == 0;
    faults.filler = cycle % 3 == 0;
    faults.splitDelayMs = cycle % 4 == 1   ? 3
                          : cycle % 4 == 3 ? 120
                                           : 0;  // 120: past the 100 ms gap
    faults.replyDelayMs = cycle % 5 == 2 ? 300 : 0;
    return faults;
}

constexpr const char* kUsage =
    "usage: link_soak [SECONDS]\n"
    "Runs the program's link against the simulated device for SECONDS (60 by default; 600 for\n"
    "the ten-minute soak) with faults and unplug/replug cycles, and prints per cycle the reports\n"
    "sent and taken, the mirror check, the stall after the replug and the resident memory.\n"
    "Exits non-zero when a report was lost, a command made while unplugged went out, or a\n"
    "replug stalled 3 s or more.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    char* end = nullptr;
    const double total = argc > 1 ? std::strtod(argv[1], &end) : 60;
    if (argc > 2 || (argc > 1 && (*end != '\0' || !(total > 0)))) {
        std::fprintf(stderr, "link_soak: SECONDS is a number above 0\n%s", kUsage);
        return 2;
    }
    std::string error;
    auto device = sim::Simulator::OpenPseudoTerminal(&error);
    if (!device) {
        std::fprintf(stderr, "link_soak: %s\n", error.c_str());
        return 1;
    }
    char folder[] = "/tmp/r512-soak.XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string linkPath = std::string(folder) + "/usb-R512-if00";
    if (!device->LinkAs(linkPath, &error)) {
        std::fprintf(stderr, "link_soak: %s\n", error.c_str());
        return 1;
    }

    test::LiveWindow window(linkPath);
    std::uint64_t framesTaken = 0, bogusFrames = 0, extraFrames = 0;
    // Frames of no register (garbage before a filler unit reads as one) change nothing and
    // are counted apart.
    window.onFrame = [&](const RegisterFrame& frame) {
        if (IsRegisterCode(frame.code)) {
            ++framesTaken;
        } else {
            ++bogusFrames;
        }
    };
    auto run = [&](const std::function<bool()>& done, std::chrono::milliseconds limit) {
        return window.RunUntil(done, limit);
    };
    window.controller.Connect();
    auto displayBack = [&] {
        return !window.ShowsNoConnection() && !window.link->Mirror().AllPending() &&
               window.link->IsOpen();
    };
    if (!run(displayBack, 10s)) {
        std::fprintf(stderr, "link_soak: no first connection\n");
        return 1;
    }
    run([] { return false; }, 500ms);
    const long rssStart = ResidentKb();
    const Clock::time_point start = Clock::now();

    std::mt19937 random(512);
    const std::uint8_t keys[] = {cmd::kVolumeUp, cmd::kVolumeDown, cmd::kMuteToggle,
                                 cmd::kZoneVolumeUp, cmd::kZoneVolumeDown};
    std::uint64_t commands = 0, refusedWhileIn = 0, refused = 0, sentWhileOut = 0, reportsLost = 0,
                  mismatches = 0;
    double worstStall = 0, stallSum = 0;
    int cycles = 0;
    std::printf("cycle  faults              commands  sent  taken  mirror  stall_s  rss_kB\n");
    while (Seconds(Clock::now() - start) < total) {
        const sim::Faults faults = CycleFaults(cycles);
        device->SetFaults(faults);
        // The simulator's record of what it received and the display's record of its lines
        // are the harness's, not the link's: they are emptied so that they don't count in the
        // resident memory.
        device->ClearRecord();
        window.lines.calls.clear();
        // The refresh after the replug has been answered in full before counting starts.
        run([&] { return window.link->Mirror().State(RS_THX) != RegisterState::Pending; }, 5s);
        run([] { return false; }, 500ms);
        const std::uint64_t sentBefore = device->ReportsSent();
        const std::uint64_t takenBefore = framesTaken;

        // Plugged in: commands every 50 to 250 ms for 8 to 14 s (every 500 to 700 ms while the
        // bytes come 120 ms apart, so that the device's line keeps up).
        const bool slowLine = faults.splitDelayMs > 50;
        const Clock::time_point until =
            Clock::now() +
            std::chrono::milliseconds(std::uniform_int_distribution<int>(8000, 14000)(random));
        std::uint64_t cycleCommands = 0;
        while (Clock::now() < until) {
            const std::uint8_t key = keys[std::uniform_int_distribution<int>(0, 4)(random)];
            if (window.link->SendCommand(key)) {
                ++cycleCommands;
            } else {
                ++refusedWhileIn;  // must not happen on a working line
            }
            run([] { return false; }, std::chrono::milliseconds(std::uniform_int_distribution<int>(
                                          slowLine ? 500 : 50, slowLine ? 700 : 250)(random)));
        }
        // Quiet: every report on its way arrives, then the mirror must match the device.
        run([] { return false; }, slowLine ? 4000ms : 1200ms);
        const std::uint64_t sent = device->ReportsSent() - sentBefore;
        const std::uint64_t taken = framesTaken - takenBefore;
        bool same = true;
        for (int i = 0; i < kRegisterCount; ++i) {
            const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
            same = same && window.link->Mirror().Value(code) == device->Register(code);
        }
        mismatches += same ? 0 : 1;
        reportsLost += sent > taken ? sent - taken : 0;
        extraFrames += taken > sent ? taken - sent : 0;
        commands += cycleCommands;

        // Pulled out for 1 to 4 s, then plugged in again.
        device->Unplug();
        run([&] { return window.ShowsNoConnection(); }, 5s);
        // Keys pressed meanwhile are refused, never kept for the next open.
        const Clock::time_point back =
            Clock::now() +
            std::chrono::milliseconds(std::uniform_int_distribution<int>(1000, 4000)(random));
        while (Clock::now() < back) {
            if (window.link->SendCommand(keys[std::uniform_int_distribution<int>(0, 4)(random)]))
                ++sentWhileOut;
            ++refused;
            run([] { return false; }, 200ms);
        }
        device->SetFaults({});
        if (!device->Replug(&error)) {
            std::fprintf(stderr, "link_soak: %s\n", error.c_str());
            return 1;
        }
        const Clock::time_point replugged = Clock::now();
        const bool shown = run(displayBack, 10s);
        const double stall = Seconds(Clock::now() - replugged);
        worstStall = std::max(worstStall, shown ? stall : 99.0);
        stallSum += stall;
        std::printf("%5d  g%d f%d s%-3d d%-3d      %8llu  %4llu  %5llu  %-6s  %7.2f  %6ld\n",
                    cycles, faults.garbage, faults.filler, faults.splitDelayMs, faults.replyDelayMs,
                    static_cast<unsigned long long>(cycleCommands),
                    static_cast<unsigned long long>(sent), static_cast<unsigned long long>(taken),
                    same ? "same" : "DIFFER", stall, ResidentKb());
        std::fflush(stdout);
        ++cycles;
    }
    const long rssEnd = ResidentKb();
    using ull = unsigned long long;
    std::printf(
        "soak %.0f s: %d unplug/replug cycles; %llu commands sent, %llu refused on a working "
        "line, %llu made while unplugged of which %llu were taken; reports lost %llu, register "
        "frames beyond the reports %llu, frames of no register %llu, mirror differed after %llu "
        "cycles; port failures seen %d; stall after replug mean %.2f s, worst %.2f s; resident "
        "memory %ld kB at the start, %ld kB at the end\n",
        Seconds(Clock::now() - start), cycles, ull{commands}, ull{refusedWhileIn}, ull{refused},
        ull{sentWhileOut}, ull{reportsLost}, ull{extraFrames}, ull{bogusFrames}, ull{mismatches},
        window.failures, cycles ? stallSum / cycles : 0.0, worstStall, rssStart, rssEnd);
    window.link->ClosePort();
    device.reset();
    ::rmdir(folder);
    return reportsLost == 0 && extraFrames == 0 && sentWhileOut == 0 && refusedWhileIn == 0 &&
                   mismatches == 0 && worstStall < 3.0
               ? 0
               : 1;
}
