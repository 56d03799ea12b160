// Benchmarks of R512.exe under Wine (run by hand through run-win32-bench.sh, which provides the
// X server, the Wine prefix and the simulated devices on COM ports):
//   startup N R512.exe BARE.exe   start to first paint of each program, N alternating runs
//                                 (median), with the ratio of the two
//   idle SECONDS R512.exe COMx    the CPU the program uses connected to the device on COMx
//   frame N COMx                  a register frame's notice to the display repainted with the
//                                 new text (p50/p99), in this process on the real window
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "base/SettingsLayout.h"
#include "win32/RegistryProfile.h"
#include "win32/RemoteWindow.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

void Configure(const char* port) {
    r512::RegistryProfile profile(r512::RegistryProfile::ProgramKey());
    profile.WriteProfileInt("Config", "Configured", 1);
    profile.WriteProfileString("Config", "Port", port);
    profile.WriteProfileInt("Position", "main.x", 0);
    profile.WriteProfileInt("Position", "main.y", 0);
}

struct Started {
    PROCESS_INFORMATION process{};
    bool ok = false;
};

Started Start(const std::string& exe) {
    Started started;
    std::string commandLine = "\"";
    commandLine += exe;
    commandLine += '"';
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    started.ok = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &started.process) != 0;
    return started;
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

void Stop(Started& started) {
    Search search{started.process.dwProcessId, nullptr};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(started.process.hProcess, 1);
    CloseHandle(started.process.hProcess);
    CloseHandle(started.process.hThread);
}

// The screen is black where no window is; both programs paint the skin's silver at (10, 10).
COLORREF ProbePixel() {
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, 10, 10);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// Start of a process to its window's first paint on the screen, in milliseconds (-1: none).
double TimeToFirstPaint(const std::string& exe) {
    const COLORREF empty = ProbePixel();
    const Clock::time_point begin = Clock::now();
    Started started = Start(exe);
    if (!started.ok) return -1;
    double result = -1;
    while (Clock::now() - begin < 30s) {
        if (ProbePixel() != empty) {
            result = Milliseconds(Clock::now() - begin);
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    Stop(started);
    // The screen is empty again before the next run starts.
    for (int i = 0; i < 500 && ProbePixel() != empty; ++i) std::this_thread::sleep_for(10ms);
    return result;
}

int Startup(int runs, const std::string& program, const std::string& bare) {
    Configure("COM1");
    std::vector<double> programTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        bareTimes.push_back(TimeToFirstPaint(bare));
        programTimes.push_back(TimeToFirstPaint(program));
    }
    const double p = Percentile(programTimes, 0.5), b = Percentile(bareTimes, 0.5);
    std::printf(
        "start to first paint, %d runs each: R512.exe median %.1f ms, bare window median "
        "%.1f ms, ratio %.2f\n",
        runs, p, b, b > 0 ? p / b : 0.0);
    return 0;
}

double CpuSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

int Idle(int seconds, const std::string& program, const char* port) {
    Configure(port);
    Started started = Start(program);
    if (!started.ok) return 1;
    std::this_thread::sleep_for(5s);  // start-up and the first refresh are not idle time
    const double before = CpuSeconds(started.process.hProcess);
    const Clock::time_point begin = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double used = CpuSeconds(started.process.hProcess) - before;
    const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
    // The start-up's own CPU shows that the process's times are read at all.
    std::printf("CPU on %s over %.0f s: %.4f %% (%.4f s; %.3f s since the start)\n", port, elapsed,
                100.0 * used / elapsed, used, CpuSeconds(started.process.hProcess));
    Stop(started);
    return 0;
}

// The frame benchmark's probes on the real window: when a notice is taken and when the display
// child has finished a paint.
WNDPROC g_windowProc = nullptr;
WNDPROC g_displayProc = nullptr;
Clock::time_point g_noticeTaken;
Clock::time_point g_painted;
int g_paints = 0;
std::vector<double> g_latencies;

LRESULT CALLBACK ProbeDisplay(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(g_displayProc, hwnd, message, wParam, lParam);
    if (message == WM_PAINT) {
        g_painted = Clock::now();
        ++g_paints;
    }
    return result;
}

LRESULT CALLBACK ProbeWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != r512::WM_DEVICE_DATA)
        return CallWindowProcA(g_windowProc, hwnd, message, wParam, lParam);
    const int paints = g_paints;
    g_noticeTaken = Clock::now();
    const LRESULT result = CallWindowProcA(g_windowProc, hwnd, message, wParam, lParam);
    if (g_paints != paints) g_latencies.push_back(Milliseconds(g_painted - g_noticeTaken));
    return result;
}

void Pump(Clock::duration length) {
    const Clock::time_point until = Clock::now() + length;
    MSG message;
    while (Clock::now() < until) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

int Frame(int frames, const char* port) {
    Configure(port);
    r512::RegistryProfile profile(r512::RegistryProfile::ProgramKey());
    r512::RemoteWindow window(profile, GetModuleHandleA(nullptr));
    if (!window.Create()) return 1;
    HWND hwnd = window.Handle();
    HWND display = FindWindowExA(hwnd, nullptr, nullptr, "display");
    g_windowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProbeWindow)));
    g_displayProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(display, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProbeDisplay)));
    Pump(3s);  // the refresh's 26 reports
    g_latencies.clear();
    // The knob's halves in turn: each press changes the volume, which the device reports.
    for (int i = 0; i < frames; ++i) {
        const LPARAM at = i % 2 == 0 ? MAKELPARAM(698, 85) : MAKELPARAM(664, 85);
        const std::size_t before = g_latencies.size();
        PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
        const Clock::time_point until = Clock::now() + 2s;
        while (g_latencies.size() == before && Clock::now() < until) Pump(1ms);
    }
    std::printf(
        "notice of a register frame to display repainted, %zu frames: p50 %.3f ms, p99 "
        "%.3f ms, max %.3f ms\n",
        g_latencies.size(), Percentile(g_latencies, 0.5), Percentile(g_latencies, 0.99),
        Percentile(g_latencies, 1.0));
    DestroyWindow(hwnd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int count = argc > 2 ? std::atoi(argv[2]) : 0;
    if (mode == "startup" && argc == 5) return Startup(count, argv[3], argv[4]);
    if (mode == "idle" && argc == 5) return Idle(count, argv[3], argv[4]);
    if (mode == "frame" && argc == 4) return Frame(count, argv[3]);
    std::fprintf(stderr,
                 "usage: r512_window_bench startup N R512.exe BARE.exe | idle SECONDS R512.exe "
                 "COMx | frame N COMx\n");
    return 2;
}
