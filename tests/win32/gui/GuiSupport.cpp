#include "gui/GuiSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/SettingsLayout.h"
#include "device/Protocol.h"
#include "support/SimulatorByteLog.h"
#include "win32/RegistryProfile.h"

namespace r512::test {

namespace {

constexpr const char* kWindowClass = "R512RemoteWindow";

struct Search {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !IsWindowVisible(hwnd)) return TRUE;
    char className[64] = {};
    char title[256] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    GetWindowTextA(hwnd, title, sizeof(title));
    if (std::string(className) != search->className) return TRUE;
    if (search->title && std::string(title) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

void SendMouse(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = MulDiv(screen.x, 65535, width - 1);
    input.mi.dy = MulDiv(screen.y, 65535, height - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
    // Each step reaches the program before the next one is sent.
    std::this_thread::sleep_for(30ms);
}

// Strings here are appended step by step: GCC 12 warns falsely about some chains of + on them.
std::string SectionKey(const char* section) {
    std::string key = RegistryProfile::ProgramKey();
    key += '\\';
    key += section;
    return key;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const Clock::time_point until = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= until) return done();
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 10000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool ProgramUnderTest::Start() {
    std::string commandLine = "\"";
    commandLine += Setting("R512_EXE");
    commandLine += '"';
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process_) != 0;
}

HWND ProgramUnderTest::FindTopLevel(const char* className, const char* title) const {
    Search search{process_.dwProcessId, className, title, nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramUnderTest::WaitForTopLevel(const char* className, const char* title,
                                       std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(className, title)) != nullptr; }, timeout);
    return found;
}

HWND ProgramUnderTest::WaitForWindow(std::chrono::milliseconds timeout) {
    window_ = WaitForTopLevel(kWindowClass, settings::kApplication, timeout);
    return window_;
}

HWND ProgramUnderTest::Display() const {
    return window_ ? FindWindowExA(window_, nullptr, nullptr, "display") : nullptr;
}

bool ProgramUnderTest::WaitForExit(std::chrono::milliseconds timeout) {
    return process_.hProcess &&
           WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) ==
               WAIT_OBJECT_0;
}

bool ProgramUnderTest::CloseAndWait(std::chrono::milliseconds timeout) {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    return WaitForExit(timeout);
}

std::vector<std::uint8_t> DeviceLog::Bytes() const { return test::ReceivedBytesInLog(path_); }

std::vector<std::uint8_t> DeviceLog::Commands() const {
    const std::vector<std::uint8_t> bytes = Bytes();
    const CommandFrame prefix = MakeCommandFrame(0);
    std::vector<std::uint8_t> codes;
    for (std::size_t i = 0; i + 5 <= bytes.size(); ++i) {
        if (std::equal(prefix.begin(), prefix.begin() + 4, bytes.begin() + static_cast<long>(i))) {
            codes.push_back(bytes[i + 4]);
            i += 4;
        }
    }
    return codes;
}

bool DeviceLog::WaitForCommands(std::size_t from, const std::vector<std::uint8_t>& codes,
                                std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [&] {
            const std::vector<std::uint8_t> all = Commands();
            if (all.size() < from) return false;
            // The codes in order, other commands allowed between them.
            std::size_t next = 0;
            for (std::size_t i = from; i < all.size() && next < codes.size(); ++i)
                if (all[i] == codes[next]) ++next;
            return next == codes.size();
        },
        timeout);
}

void MoveTo(POINT screen) { SendMouse(0, screen); }
void Press(POINT screen) { SendMouse(MOUSEEVENTF_LEFTDOWN, screen); }
void Release(POINT screen) { SendMouse(MOUSEEVENTF_LEFTUP, screen); }

void Click(POINT screen, bool right) {
    MoveTo(screen);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, screen);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, screen);
}

void Key(WORD virtualKey) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
    std::this_thread::sleep_for(30ms);
}

POINT OnScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

std::vector<std::uint32_t> ScreenPixels(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ original = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = source[i] & 0xFFFFFFu;
    SelectObject(memory, original);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void ClearSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, RegistryProfile::ProgramKey().c_str()); }

void WriteSetting(const char* section, const char* key, int value) {
    RegistryProfile(RegistryProfile::ProgramKey()).WriteProfileInt(section, key, value);
}

void WriteSetting(const char* section, const char* key, const char* value) {
    RegistryProfile(RegistryProfile::ProgramKey()).WriteProfileString(section, key, value);
}

bool ReadDword(const char* section, const char* key, int* value) {
    DWORD type = REG_NONE, data = 0, size = sizeof(data);
    if (RegGetValueA(HKEY_CURRENT_USER, SectionKey(section).c_str(), key, RRF_RT_ANY, &type, &data,
                     &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    *value = static_cast<int>(data);
    return true;
}

bool ReadText(const char* section, const char* key, std::string* value) {
    char data[512] = {};
    DWORD type = REG_NONE, size = sizeof(data) - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, SectionKey(section).c_str(), key, RRF_RT_ANY, &type, data,
                     &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    *value = data;
    return true;
}

}  // namespace r512::test
