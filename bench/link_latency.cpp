// Round trips through the device link on a pseudo-terminal, measured:
//   SendCommandToDevice  SendCommand until the fifth byte is readable at the device's end;
//   FrameToNotice        a register frame written at the device's end until its read notice
//                        is delivered.
// Each reports p50 and p99 (microseconds) over its iterations as counters. Run with
//   build/bench/link_latency --benchmark_min_time=2
// and, for the idle check (CPU use and wake-ups of a connected, silent link):
//   build/bench/link_latency --idle 30
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <dirent.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "device/DeviceLink.h"
#include "simulator/PseudoTerminal.h"

namespace {

using Clock = std::chrono::steady_clock;

void ReportPercentiles(benchmark::State& state, std::vector<double>& samples) {
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) {
        return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))];
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = samples.back();
    state.counters["samples"] = static_cast<double>(samples.size());
}

// A device link open on a fresh pseudo-terminal whose master plays the device.
struct OpenLink {
    r512::sim::PseudoTerminal pty;
    r512::BlockingNoticeQueue notices;
    r512::DeviceLink link;
    bool open = pty.Valid() &&
                link.OpenPort(pty.Path().c_str(), "baud=11520 parity=N data=8 stop=1", &notices) ==
                    r512::SerialLink::OpenResult::Opened;
};

void SendCommandToDevice(benchmark::State& state) {
    OpenLink connection;
    if (!connection.open) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    r512::sim::PseudoTerminal& pty = connection.pty;
    r512::DeviceLink& link = connection.link;
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        static_cast<void>(link.SendCommand(0x31));  // the bytes arriving are what is measured
        if (pty.Read(5, std::chrono::seconds(1)).size() < 5) {
            state.SkipWithError("the command did not arrive");
            return;
        }
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        state.SetIterationTime(us / 1e6);
        samples.push_back(us);
    }
    ReportPercentiles(state, samples);
}
BENCHMARK(SendCommandToDevice)->UseManualTime()->Iterations(2000);

void FrameToNotice(benchmark::State& state) {
    OpenLink connection;
    if (!connection.open) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    r512::sim::PseudoTerminal& pty = connection.pty;
    r512::BlockingNoticeQueue& notices = connection.notices;
    r512::DeviceLink& link = connection.link;
    std::vector<double> samples;
    std::uint8_t value = 0;
    for (auto _ : state) {
        const std::uint8_t frame = value++;
        const auto start = Clock::now();
        pty.Write({0xE1, frame, 0xFF});
        const auto notice = notices.Take(std::chrono::seconds(10));
        if (!notice) {
            state.SkipWithError("no notice");
            return;
        }
        // Queues the next read, as the window does.
        link.ProcessReceived(notice->requested, notice->received);
        const double us = std::chrono::duration<double, std::micro>(notice->at - start).count();
        state.SetIterationTime(us / 1e6);
        samples.push_back(us);
    }
    ReportPercentiles(state, samples);
}
BENCHMARK(FrameToNotice)->UseManualTime()->Iterations(2000);

double CpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Voluntary context switches of the threads of this process other than `excluded`: each is one
// wake-up after a wait.
long Wakeups(const std::vector<long>& excluded = {}) {
    long total = 0;
    DIR* dir = ::opendir("/proc/self/task");
    if (!dir) return -1;
    while (dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        if (std::find(excluded.begin(), excluded.end(), std::atol(entry->d_name)) != excluded.end())
            continue;
        std::ifstream status(std::string("/proc/self/task/") + entry->d_name + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                total += std::stol(line.substr(std::strlen("voluntary_ctxt_switches:")));
        }
    }
    ::closedir(dir);
    return total;
}

int Idle(int seconds) {
    OpenLink connection;
    if (!connection.open) return 1;
    r512::BlockingNoticeQueue& notices = connection.notices;
    r512::DeviceLink& link = connection.link;
    // The window's side: hand each (empty) read notice back, as the program does.
    std::atomic<long> windowTid{0};
    std::thread window([&] {
        windowTid = static_cast<long>(::gettid());
        for (;;) {
            const auto notice = notices.Take(std::chrono::hours(1));
            if (!notice) continue;
            if (notice->requested == 0) return;
            link.ProcessReceived(notice->requested, notice->received);
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const double cpu0 = CpuSeconds();
    // The link's own thread is every thread but this one and the window's.
    const std::vector<long> notLink = {static_cast<long>(::gettid()), windowTid.load()};
    const long wake0 = Wakeups(notLink);
    const long all0 = Wakeups();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    const long wakeups = Wakeups(notLink) - wake0;
    const long allWakeups = Wakeups() - all0;
    notices.PostNotice(0, 0, 0);
    window.join();
    std::printf(
        "idle %.1f s: cpu %.4f s (%.4f%%); I/O thread wake-ups %ld (one per %.2f s); "
        "all threads %ld\n",
        wall, cpu, 100.0 * cpu / wall, wakeups,
        wakeups > 0 ? wall / static_cast<double>(wakeups) : 0, allWakeups);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--idle") == 0) return Idle(std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
