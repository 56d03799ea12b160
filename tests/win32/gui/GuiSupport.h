// What the GUI tests of R512.exe use to drive and watch the real program under Wine's X11
// driver: the program's process and windows, the simulated devices' logs, the pointer and the
// keyboard (SendInput, as a user's hand would), the screen's pixels and the program's settings.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace r512::test {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Polls `done` every 20 ms until it holds or `timeout` has passed; its last answer.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// A setting of the environment the runner passes (empty when missing).
std::string Setting(const char* name);

// R512.exe as a user starts it: one process, its remote window, and the windows it shows.
class ProgramUnderTest {
public:
    ProgramUnderTest() = default;
    ~ProgramUnderTest();  // ends a program that is still running
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool Start();
    // The remote window once it is visible (null after the time-out).
    HWND WaitForWindow(std::chrono::milliseconds timeout = 30s);
    // A visible top-level window of the program with this class and title (title null: any).
    HWND FindTopLevel(const char* className, const char* title) const;
    HWND WaitForTopLevel(const char* className, const char* title,
                         std::chrono::milliseconds timeout = 10s) const;
    // Asks the window to close and waits for the program to end.
    bool CloseAndWait(std::chrono::milliseconds timeout = 15s);
    bool WaitForExit(std::chrono::milliseconds timeout);

    HWND Window() const { return window_; }
    HWND Display() const;  // the front-panel display child

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// What a simulated device has received, read back from its log ("received 0x.. 0x.." lines).
class DeviceLog {
public:
    explicit DeviceLog(std::string path) : path_(std::move(path)) {}
    std::vector<std::uint8_t> Bytes() const;
    // The command codes of the command frames among the bytes, in order.
    std::vector<std::uint8_t> Commands() const;
    std::size_t CommandCount() const { return Commands().size(); }
    // Waits until the commands after the first `from` hold `codes` in order; true if they do.
    bool WaitForCommands(std::size_t from, const std::vector<std::uint8_t>& codes,
                         std::chrono::milliseconds timeout) const;

private:
    std::string path_;
};

// The user's hand: pointer and keys through SendInput, in screen coordinates.
void MoveTo(POINT screen);
void Click(POINT screen, bool right = false);
void Press(POINT screen);
void Release(POINT screen);
void Key(WORD virtualKey);

// A client point of a window in screen coordinates.
POINT OnScreen(HWND window, POINT client);

// The pixels of a window's client area as they are on the screen, 0x00RRGGBB each, row by row.
std::vector<std::uint32_t> ScreenPixels(HWND window);

// The program's settings in the registry of the test's Wine prefix.
void ClearSettings();
void WriteSetting(const char* section, const char* key, int value);
void WriteSetting(const char* section, const char* key, const char* value);
// The stored value and its registry type (REG_NONE when missing).
bool ReadDword(const char* section, const char* key, int* value);
bool ReadText(const char* section, const char* key, std::string* value);

}  // namespace r512::test
