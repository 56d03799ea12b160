// r512-sim: plays the R512 on a pseudo-terminal (or a real serial port) until it is stopped.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

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

void Usage() {
    std::fprintf(stderr,
                 "usage: r512-sim [--link PATH] [--device PATH [--baud N]] [--tcp HOST:PORT]\n"
                 "                [--silent]\n"
                 "                [--garbage] [--filler] [--split MS] [--delay MS]\n"
                 "                [--names full|short|none|slow] [--hangup-after SECONDS]\n"
                 "                [--log-bytes]\n"
                 "Plays the R512 on the master side of a new pseudo-terminal and prints the\n"
                 "slave's path (the program's serial port); --link also makes a symbolic link\n"
                 "to it. --device uses a real serial port instead (null-modem cable check).\n"
                 "--tcp serves the device over TCP instead, one client at a time (e.g.\n"
                 "127.0.0.1:4001; port 0 picks a free one), and prints the program's port name\n"
                 "for it, socket://HOST:PORT.\n"
                 "--log-bytes also logs every byte received, in hex.\n"
                 "Key names on standard input, one per line (volume-up, mute, ...; as\n"
                 "r512ctl keys lists them), act as keys pressed on the device itself.\n");
}

bool NeedValue(int i, int argc, const char* option) {
    if (i + 1 < argc) return true;
    std::fprintf(stderr, "r512-sim: %s needs a value\n", option);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string link, device, tcp;
    std::uint32_t baud = 11520;
    double hangupAfter = -1;
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
            baud = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--silent") {
            faults.silent = true;
        } else if (arg == "--garbage") {
            faults.garbage = true;
        } else if (arg == "--filler") {
            faults.filler = true;
        } else if (arg == "--split" && NeedValue(i, argc, "--split")) {
            faults.splitDelayMs = std::atoi(argv[++i]);
        } else if (arg == "--delay" && NeedValue(i, argc, "--delay")) {
            faults.replyDelayMs = std::atoi(argv[++i]);
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
                Usage();
                return 2;
            }
        } else if (arg == "--log-bytes") {
            logBytes = true;
        } else if (arg == "--hangup-after" && NeedValue(i, argc, "--hangup-after")) {
            hangupAfter = std::atof(argv[++i]);
        } else {
            Usage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }

    // The signals that end the simulator are taken synchronously below; blocked before the
    // simulator's thread starts, so that it inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

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

    if (!link.empty() && tcp.empty()) {
        ::unlink(link.c_str());
        if (::symlink(sim->PortPath().c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "r512-sim: cannot link %s: %s\n", link.c_str(),
                         std::strerror(errno));
            return 1;
        }
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

    if (hangupAfter >= 0) {
        timespec wait{};
        wait.tv_sec = static_cast<time_t>(hangupAfter);
        wait.tv_nsec = static_cast<long>((hangupAfter - static_cast<double>(wait.tv_sec)) * 1e9);
        if (sigtimedwait(&stopSignals, nullptr, &wait) < 0) {
            sim->HangUp();
            int signal = 0;
            sigwait(&stopSignals, &signal);
        }
    } else {
        int signal = 0;
        sigwait(&stopSignals, &signal);
    }
    if (!link.empty()) ::unlink(link.c_str());
    return 0;
}
