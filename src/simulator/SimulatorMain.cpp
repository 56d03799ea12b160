// r512-sim: plays the R512 on a pseudo-terminal (or a real serial port) until it is stopped.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "device/KeyNames.h"
#include "simulator/Simulator.h"

namespace {

void Usage(std::FILE* to) {
    std::fprintf(to,
                 "usage: r512-sim [--link PATH] [--device PATH [--baud N]] [--tcp HOST:PORT]\n"
                 "                [--silent]\n"
                 "                [--garbage] [--filler] [--split MS] [--delay MS]\n"
                 "                [--names full|short|none|slow] [--names-report-at N]\n"
                 "                [--hangup-after SECONDS]\n"
                 "                [--log-bytes] [--unplug-after SECONDS [--replug-after SECONDS]\n"
                 "                [--cycles N]]\n"
                 "Plays the R512 on the master side of a new pseudo-terminal and prints the\n"
                 "slave's path (the program's serial port); --link also makes a symbolic link\n"
                 "to it. --device uses a real serial port instead (null-modem cable check).\n"
                 "--tcp serves the device over TCP instead, one client at a time (e.g.\n"
                 "127.0.0.1:4001; port 0 picks a free one), and prints the program's port name\n"
                 "for it, socket://HOST:PORT.\n"
                 "--log-bytes also logs every byte received, in hex.\n"
                 "--names-report-at sends a register report with every names reply, N bytes\n"
                 "into it (0: just ahead of it, 1024: right after it).\n"
                 "Key names on standard input, one per line (volume-up, mute, ...; as\n"
                 "r512ctl keys lists them), act as keys pressed on the device itself.\n"
                 "--unplug-after plays a USB adapter pulled out: the line closes and the link\n"
                 "goes; --replug-after seconds later (default 3) a new pseudo-terminal is made\n"
                 "and the link points at it; --cycles repeats that (0: for ever). SIGUSR1\n"
                 "unplugs at once (and plugs in again --replug-after seconds later). Over TCP\n"
                 "an unplug drops the client's connection and closes every connection that\n"
                 "comes until the replug.\n");
}

enum class Woken { Stop, Unplug, TimeUp };

// Waits for a signal, at most `seconds` (for ever when negative): SIGUSR1 asks for an unplug,
// the others for the end.
Woken Wait(const sigset_t& signals, double seconds) {
    timespec wait{};
    if (seconds >= 0) {
        wait.tv_sec = static_cast<time_t>(seconds);
        wait.tv_nsec = static_cast<long>((seconds - static_cast<double>(wait.tv_sec)) * 1e9);
    }
    for (;;) {
        const int signal =
            seconds >= 0 ? sigtimedwait(&signals, nullptr, &wait) : sigwaitinfo(&signals, nullptr);
        if (signal == SIGUSR1) return Woken::Unplug;
        if (signal > 0) return Woken::Stop;
        if (errno != EINTR) return Woken::TimeUp;
    }
}

bool NeedValue(int i, int argc, const char* option) {
    if (i + 1 < argc) return true;
    std::fprintf(stderr, "r512-sim: %s needs a value\n", option);
    std::exit(2);
}

// The value of a number option, or a message and the end of the program: a typing error must
// not turn into another number (--cycles abc unplugging for ever).
long WholeNumber(const char* option, const char* text, long min, long max) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < min || value > max) {
        std::fprintf(stderr, "r512-sim: %s: '%s' is not a whole number from %ld to %ld\n", option,
                     text, min, max);
        std::exit(2);
    }
    return value;
}

double Seconds(const char* option, const char* text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno == ERANGE || !(value >= 0) || value > 1e6) {
        std::fprintf(stderr, "r512-sim: %s: '%s' is not a number of seconds from 0 to 1000000\n",
                     option, text);
        std::exit(2);
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    std::string link, device, tcp;
    std::uint32_t baud = 11520;
    double hangupAfter = -1;
    double unplugAfter = -1;
    double replugAfter = 3;
    long cycles = 1;
    bool logBytes = false;
    r512::sim::Faults faults;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--link" && NeedValue(i, argc, "--link")) {
            link = argv[++i];
        } else if (arg == "--device" && NeedValue(i, argc, "--device")) {
            device = argv[++i];
        } else if (arg == "--tcp" && NeedValue(i, argc, "--tcp")) {
            tcp = argv[++i];
        } else if (arg == "--baud" && NeedValue(i, argc, "--baud")) {
            baud = static_cast<std::uint32_t>(WholeNumber("--baud", argv[++i], 1, 4000000));
        } else if (arg == "--silent") {
            faults.silent = true;
        } else if (arg == "--garbage") {
            faults.garbage = true;
        } else if (arg == "--filler") {
            faults.filler = true;
        } else if (arg == "--split" && NeedValue(i, argc, "--split")) {
            faults.splitDelayMs = static_cast<int>(WholeNumber("--split", argv[++i], 0, 60000));
        } else if (arg == "--delay" && NeedValue(i, argc, "--delay")) {
            faults.replyDelayMs = static_cast<int>(WholeNumber("--delay", argv[++i], 0, 60000));
        } else if (arg == "--names" && NeedValue(i, argc, "--names")) {
            const std::string mode = argv[++i];
            using R = r512::sim::Faults::NamesReply;
            if (mode == "full")
                faults.namesReply = R::Full;
            else if (mode == "short")
                faults.namesReply = R::Short;
            else if (mode == "none")
                faults.namesReply = R::None;
            else if (mode == "slow")
                faults.namesReply = R::Slow;
            else {
                std::fprintf(stderr, "r512-sim: --names: '%s' is not full, short, none or slow\n",
                             mode.c_str());
                return 2;
            }
        } else if (arg == "--names-report-at" && NeedValue(i, argc, arg.c_str())) {
            faults.namesReportAt = static_cast<int>(
                WholeNumber("--names-report-at", argv[++i], 0, r512::names_layout::kImageSize));
        } else if (arg == "--log-bytes") {
            logBytes = true;
        } else if (arg == "--hangup-after" && NeedValue(i, argc, "--hangup-after")) {
            hangupAfter = Seconds("--hangup-after", argv[++i]);
        } else if (arg == "--unplug-after" && NeedValue(i, argc, "--unplug-after")) {
            unplugAfter = Seconds("--unplug-after", argv[++i]);
        } else if (arg == "--replug-after" && NeedValue(i, argc, "--replug-after")) {
            replugAfter = Seconds("--replug-after", argv[++i]);
        } else if (arg == "--cycles" && NeedValue(i, argc, "--cycles")) {
            cycles = WholeNumber("--cycles", argv[++i], 0, 1000000000);
        } else if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "r512-sim: unknown option '%s'\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }

    // The signals that end the simulator (and SIGUSR1) are taken synchronously below; blocked
    // before the simulator's thread starts, so that it inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    std::string error;
    std::shared_ptr<r512::sim::Simulator> sim =
        !tcp.empty()     ? r512::sim::Simulator::ListenTcp(tcp, &error)
        : device.empty() ? r512::sim::Simulator::OpenPseudoTerminal(&error)
                         : r512::sim::Simulator::OpenDevice(device, baud, &error);
    if (!sim) {
        std::fprintf(stderr, "r512-sim: %s\n", error.c_str());
        return 1;
    }
    sim->SetFaults(faults);
    sim->SetByteLogging(logBytes);
    sim->SetLogger([](const std::string& line) { std::cerr << "r512-sim: " << line << std::endl; });

    if (!link.empty() && tcp.empty() && !sim->LinkAs(link, &error)) {
        std::fprintf(stderr, "r512-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", sim->PortPath().c_str());
    std::fflush(stdout);

    // The device's own front panel: key names on standard input. The reader keeps the
    // simulator alive for as long as it may use it; it ends with the process.
    std::thread([sim] {
        for (std::string name; std::getline(std::cin, name);) {
            const int code = r512::KeyCode(name);
            if (code >= 0) {
                sim->PressKey(static_cast<std::uint8_t>(code));
            } else if (!name.empty()) {
                std::cerr << "r512-sim: no key '" << name << "'" << std::endl;
            }
        }
    }).detach();

    // The stdin reader may still hold the simulator (blocked on a terminal or a FIFO) when the
    // program ends, so the simulator may never be destroyed: its link goes here, whatever
    // ended the run.
    const auto run = [&]() -> int {
        if (hangupAfter >= 0) {
            if (Wait(signals, hangupAfter) != Woken::TimeUp) return 0;
            sim->HangUp();
            while (Wait(signals, -1) == Woken::Unplug) {
            }
            return 0;
        }
        // Unplugged by the clock (--unplug-after, for --cycles) or at once by SIGUSR1; plugged in
        // again --replug-after seconds later.
        long cyclesLeft = unplugAfter >= 0 ? (cycles <= 0 ? -1 : cycles) : 0;
        for (;;) {
            const Woken woken = Wait(signals, cyclesLeft != 0 ? unplugAfter : -1);
            if (woken == Woken::Stop) break;
            if (woken == Woken::TimeUp && cyclesLeft > 0) --cyclesLeft;
            sim->Unplug();
            if (Wait(signals, replugAfter) == Woken::Stop) break;
            if (!sim->Replug(&error)) {
                std::fprintf(stderr, "r512-sim: %s\n", error.c_str());
                return 1;
            }
            // The new line, for whoever follows the output.
            std::printf("%s\n", sim->PortPath().c_str());
            std::fflush(stdout);
        }
        return 0;
    };
    const int status = run();
    sim->RemoveLink();
    return status;
}
