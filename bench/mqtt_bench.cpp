// r512-mqtt through a real mosquitto on the loopback address: a register frame of the simulated
// device (a key pressed on its panel) to the state message at a subscriber, then the bridge's
// CPU while nothing happens and its peak resident memory.
//   mqtt_bench [FRAMES] [IDLE_SECONDS]     (200 and 5 by default)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "mqtt/MqttHarness.h"

using namespace r512::test;

namespace {

double CpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) ticks += std::atol(field.c_str());
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long PeakRssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = std::clamp(argc > 1 ? std::atoi(argv[1]) : 200, 10, 5000);
    const int idleSeconds = std::clamp(argc > 2 ? std::atoi(argv[2]) : 5, 1, 60);
    ScratchDir dir;
    const int port = FreeLoopbackPort();
    Broker broker(dir, port);
    Simulator sim(dir);
    const std::string broker_url = "mqtt://127.0.0.1:" + std::to_string(port);
    Child bridge({R512_MQTT_PATH, "--port", sim.port, "--broker", broker_url}, false, "/dev/null",
                 dir.File("bridge.log"));
    Subscriber subscriber({"tcp://127.0.0.1:" + std::to_string(port), "", "", ""});
    if (!subscriber.WaitFor("r512/volume", "-35", 10s)) {
        std::fprintf(stderr, "mqtt_bench: the bridge did not publish the state\n");
        return 1;
    }
    std::vector<double> latencies;
    int volume = -35;
    for (int i = 0; i < frames; ++i) {
        const bool up = (i / 10) % 2 == 0;  // up and down again in runs of ten
        volume += up ? 1 : -1;
        const auto sent = std::chrono::steady_clock::now();
        sim.process->WriteLine(up ? "volume-up" : "volume-down");
        if (!subscriber.WaitFor("r512/volume", std::to_string(volume), 2s)) {
            std::fprintf(stderr, "mqtt_bench: no state for volume %d\n", volume);
            return 1;
        }
        latencies.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent)
                .count());
    }
    std::sort(latencies.begin(), latencies.end());
    const double p50 = latencies[latencies.size() / 2];
    const double p99 = latencies[latencies.size() * 99 / 100];
    std::printf(
        "frame -> state at subscriber: %d frames, p50 %.2f ms, p99 %.2f ms (target p99 <= 10)\n",
        frames, p50, p99);

    std::this_thread::sleep_for(6s);  // the display's announcement of the last change ends
    const double before = CpuSeconds(bridge.Pid());
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double idle = CpuSeconds(bridge.Pid()) - before;
    const long rss = PeakRssKb(bridge.Pid());
    std::printf(
        "idle CPU over %d s: %.3f s (%.2f %%); peak resident memory %ld kB (target <= 10240)\n",
        idleSeconds, idle, 100.0 * idle / idleSeconds, rss);
    bridge.Signal(SIGTERM);
    bridge.Wait(5s);
    // Idle: nothing but the rare wake of a timer (under 1 % of a core).
    return p99 <= 10.0 && rss <= 10240 && idle < 0.01 * idleSeconds ? 0 : 1;
}
