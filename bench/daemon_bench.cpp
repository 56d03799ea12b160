// r512d against the direct connection, in the same run, on loopback only:
//   daemon_bench latency [N]          a command's round trip (frame out, its report back)
//                                     direct to one simulated device and through r512d to
//                                     another, taken in turn: the
//                                     daemon's added p50/p99 (target: p99 <= 0.2 ms)
//   daemon_bench fanout [CLIENTS] [FRAMES]   a device frame to each of CLIENTS raw clients,
//                                     against the one direct client (target: p99 <= 1 ms)
//   daemon_bench cycles [N]           N connect/refresh/disconnect cycles: r512d's descriptors
//                                     and resident memory before and after (target: flat,
//                                     within 1 MB)
//   daemon_bench idle [SECONDS]       r512d's CPU time with clients connected and the device idle
//   daemon_bench soak [SECONDS] [CLIENTS]   keys pressed on the device throughout and its line
//                                     dropped every few seconds (an unplug; r512d opens it
//                                     again): after each cycle every client's copy of the 26
//                                     registers must equal the device (default 600 s, 20)
//   daemon_bench                      all five, bounded (2000, 100x200, 1000, 10 s, 30 s)
// Exits non-zero when a target is missed.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "daemon/DaemonHarness.h"
#include "simulator/Simulator.h"

namespace {

using namespace r512;
using Clock = std::chrono::steady_clock;
using test::DaemonProcess;
using test::RawPeer;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[at];
}

// Round trips of a key through `peer`: the mute toggle, until its report comes back.
std::vector<double> RoundTrips(RawPeer& peer, int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        peer.Received().clear();
        const auto start = Clock::now();
        peer.SendCommand(cmd::kMuteToggle);
        if (!peer.WaitForBytes(3, test::Millis(2000))) break;
        times.push_back(Micros(Clock::now() - start));
    }
    return times;
}

std::unique_ptr<RawPeer> DirectClient(sim::Simulator& device) {
    const std::string port = device.PortPath().substr(device.PortPath().rfind(':') + 1);
    return std::make_unique<RawPeer>(std::stoi(port));
}

struct Daemon {
    std::unique_ptr<DaemonProcess> process;
    int port = 0;
};

Daemon StartDaemon(sim::Simulator& device) {
    Daemon d;
    d.process = std::make_unique<DaemonProcess>(std::vector<std::string>{
        "--port", device.PortPath(), "--listen", "127.0.0.1:0", "--max-clients", "200"});
    d.port = d.process->PortOf("raw");
    device.WaitForCommands(1, test::Millis(5000));
    return d;
}

std::unique_ptr<RawPeer> Ready(int port) {
    auto peer = std::make_unique<RawPeer>(port);
    peer->SendCommand(cmd::kRefresh);
    if (!peer->WaitForBytes(78, test::Millis(5000))) return nullptr;
    peer->Received().clear();
    return peer;
}

long ProcValue(pid_t pid, const char* key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

int Descriptors(pid_t pid) {
    int count = 0;
    for (auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

double CpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15) ticks += std::atol(field.c_str());
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool Latency(int count) {
    // Two simulated devices, one reached directly and one through r512d, the round trips taken
    // in turn, so that both see the same load of the machine.
    std::string error;
    auto directDevice = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    auto sharedDevice = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    if (!directDevice || !sharedDevice) return std::fprintf(stderr, "%s\n", error.c_str()), false;
    auto directPeer = DirectClient(*directDevice);
    Daemon d = StartDaemon(*sharedDevice);
    auto peer = Ready(d.port);
    if (!peer) return false;
    RoundTrips(*directPeer, 50);
    RoundTrips(*peer, 50);
    std::vector<double> direct;
    std::vector<double> through;
    for (int i = 0; i < count; ++i) {
        for (double t : RoundTrips(*directPeer, 1)) direct.push_back(t);
        for (double t : RoundTrips(*peer, 1)) through.push_back(t);
    }
    const double added = Percentile(through, 0.99) - Percentile(direct, 0.99);
    std::printf(
        "latency: %zu round trips each, in turn; direct p50 %.0f us p99 %.0f us; through "
        "r512d p50 %.0f us p99 %.0f us; added at p50 %.0f us, at p99 %.0f us (target "
        "<= 200)\n",
        through.size(), Percentile(direct, 0.5), Percentile(direct, 0.99), Percentile(through, 0.5),
        Percentile(through, 0.99), Percentile(through, 0.5) - Percentile(direct, 0.5), added);
    return through.size() == static_cast<std::size_t>(count) && added <= 200;
}

// Times from the device's frame to its arrival at each of the peers.
std::vector<double> FanOut(sim::Simulator& device, std::vector<std::unique_ptr<RawPeer>>& peers,
                           std::vector<int> fds, int frames) {
    std::vector<double> times;
    for (int f = 0; f < frames; ++f) {
        std::vector<bool> arrived(peers.size(), false);
        std::size_t left = peers.size();
        const auto start = Clock::now();
        device.PressKey(f % 2 ? cmd::kKnobUp : cmd::kKnobDown);
        while (left > 0 && Clock::now() - start < std::chrono::seconds(2)) {
            std::vector<pollfd> polls;
            for (int fd : fds) polls.push_back({fd, POLLIN, 0});
            if (::poll(polls.data(), polls.size(), 100) <= 0) continue;
            const auto now = Clock::now();
            for (std::size_t i = 0; i < polls.size(); ++i) {
                if (!(polls[i].revents & POLLIN) || arrived[i]) continue;
                peers[i]->Pump(test::Millis(0));
                if (peers[i]->Received().size() >= 3) {
                    peers[i]->Received().clear();
                    arrived[i] = true;
                    --left;
                    times.push_back(Micros(now - start));
                }
            }
        }
    }
    return times;
}

bool FanOutBench(int clients, int frames) {
    std::string error;
    auto device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    if (!device) return false;
    std::vector<double> direct;
    {
        std::vector<std::unique_ptr<RawPeer>> one;
        one.push_back(DirectClient(*device));
        one.back()->SendCommand(cmd::kRefresh);
        one.back()->WaitForBytes(78, test::Millis(2000));
        one.back()->WaitForBytes(1u << 30, test::Millis(50));
        one.back()->Received().clear();
        direct = FanOut(*device, one, {one.back()->Fd()}, frames);
    }
    Daemon d = StartDaemon(*device);
    std::vector<std::unique_ptr<RawPeer>> peers;
    std::vector<int> fds;
    for (int i = 0; i < clients; ++i) {
        peers.push_back(Ready(d.port));
        if (!peers.back()) return false;
        fds.push_back(peers.back()->Fd());
    }
    const std::vector<double> through = FanOut(*device, peers, fds, frames);
    const double p99 = Percentile(through, 0.99);
    std::printf(
        "fanout: %d clients x %d frames; direct (1 client) p50 %.0f us p99 %.0f us; "
        "through r512d to all p50 %.0f us p99 %.0f us, added at p99 %.0f us "
        "(target <= 1000)\n",
        clients, frames, Percentile(direct, 0.5), Percentile(direct, 0.99),
        Percentile(through, 0.5), p99, p99 - Percentile(direct, 0.99));
    return through.size() == static_cast<std::size_t>(clients * frames) &&
           p99 - Percentile(direct, 0.99) <= 1000;
}

bool Cycles(int count) {
    std::string error;
    auto device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    if (!device) return false;
    Daemon d = StartDaemon(*device);
    const pid_t pid = d.process->Pid();
    auto cycle = [&] {
        auto peer = Ready(d.port);
        return peer != nullptr;
    };
    for (int i = 0; i < 100; ++i) cycle();  // warm-up: allocator pools, the first clients
    test::WaitFor([&] { return Descriptors(pid) < 20; }, test::Millis(2000));
    const int fdsBefore = Descriptors(pid);
    const long rssBefore = ProcValue(pid, "VmRSS:");
    int done = 0;
    for (int i = 0; i < count; ++i) done += cycle();
    test::WaitFor([&] { return Descriptors(pid) <= fdsBefore; }, test::Millis(2000));
    const int fdsAfter = Descriptors(pid);
    const long rssAfter = ProcValue(pid, "VmRSS:");
    std::printf(
        "cycles: %d of %d connect/refresh/disconnect; descriptors %d -> %d; resident "
        "%ld kB -> %ld kB (target: same descriptors, within 1024 kB)\n",
        done, count, fdsBefore, fdsAfter, rssBefore, rssAfter);
    return done == count && fdsAfter <= fdsBefore && rssAfter - rssBefore <= 1024;
}

bool Idle(int seconds) {
    std::string error;
    auto device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    if (!device) return false;
    Daemon d = StartDaemon(*device);
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (int i = 0; i < 10; ++i) peers.push_back(Ready(d.port));
    const double before = CpuSeconds(d.process->Pid());
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double used = CpuSeconds(d.process->Pid()) - before;
    std::printf("idle: %d s with 10 clients and a quiet device: %.3f s CPU (%.3f%%)\n", seconds,
                used, 100.0 * used / seconds);
    return used <= 0.01 * seconds;
}

// A raw client's own copy of the registers, from the frames it was sent.
struct MirrorPeer {
    std::unique_ptr<RawPeer> peer;
    std::array<int, kRegisterCount> values{};
    std::size_t taken = 0;
    void Take() {
        peer->Pump(test::Millis(0));
        auto& bytes = peer->Received();
        for (; taken + 3 <= bytes.size(); taken += 3) {
            if (bytes[taken] >= kFirstRegister && bytes[taken] <= kLastRegister &&
                bytes[taken + 2] == kFrameEnd)
                values[bytes[taken] - kFirstRegister] = bytes[taken + 1];
        }
    }
};

bool Soak(int seconds, int clients) {
    std::string error;
    auto device = sim::Simulator::ListenTcp("127.0.0.1:0", &error);
    if (!device) return false;
    Daemon d = StartDaemon(*device);
    std::vector<MirrorPeer> peers(static_cast<std::size_t>(clients));
    for (MirrorPeer& p : peers) {
        p.peer = std::make_unique<RawPeer>(d.port);
        p.peer->SendCommand(cmd::kRefresh);
    }
    const std::uint8_t keys[] = {cmd::kKnobUp,     cmd::kKnobDown, cmd::kMuteToggle,
                                 cmd::kBrightness, cmd::kVideo2,   cmd::kCd,
                                 cmd::kBassUp,     cmd::kBassDown, cmd::kZoneSourceNext};
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    int cycles = 0;
    int bad = 0;
    unsigned n = 0;
    while (Clock::now() < end) {
        // Keys on the device and through the clients for a while, then the line drops.
        const auto until = Clock::now() + test::Millis(2500);
        while (Clock::now() < until) {
            device->PressKey(keys[n++ % std::size(keys)]);
            peers[n % peers.size()].peer->SendCommand(keys[(n * 7) % std::size(keys)]);
            for (MirrorPeer& p : peers) p.Take();
            std::this_thread::sleep_for(test::Millis(20));
        }
        device->HangUp();
        // r512d opens the line again and asks for a full report, which every client gets.
        const bool settled = test::WaitFor(
            [&] {
                for (MirrorPeer& p : peers) p.Take();
                for (MirrorPeer& p : peers)
                    for (int i = 0; i < kRegisterCount; ++i)
                        if (p.values[static_cast<std::size_t>(i)] !=
                            device->Register(static_cast<std::uint8_t>(kFirstRegister + i)))
                            return false;
                return true;
            },
            test::Millis(8000));
        ++cycles;
        if (!settled) ++bad;
        std::printf("soak: cycle %d: %s; r512d resident %ld kB\n", cycles,
                    settled ? "every client's registers equal the device's" : "MISMATCH",
                    ProcValue(d.process->Pid(), "VmRSS:"));
        std::fflush(stdout);
    }
    std::printf("soak: %d cycles, %d with a client's registers not equal to the device's\n", cycles,
                bad);
    return bad == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "all";
    auto arg = [&](int index, int fallback) {
        return argc > index ? std::atoi(argv[index]) : fallback;
    };
    bool ok = true;
    if (mode == "latency" || mode == "all") ok &= Latency(arg(2, 2000));
    if (mode == "fanout" || mode == "all") ok &= FanOutBench(arg(2, 100), arg(3, 200));
    if (mode == "cycles" || mode == "all") ok &= Cycles(arg(2, 1000));
    if (mode == "idle" || mode == "all") ok &= Idle(arg(2, 10));
    if (mode == "soak") ok &= Soak(arg(2, 600), arg(3, 20));
    if (mode == "all") ok &= Soak(30, 20);
    return ok ? 0 : 1;
}
