// R512.exe losing the pointer, the foreground and its session under Wine's X11 driver, against
// the native device simulator (run-gui-tests.sh starts them; GuiTest.cpp lists the settings):
// a held knob half stops whenever the window loses the pointer, the remote window is the active
// one after start, and the end of the session stores the positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "base/SettingsLayout.h"
#include "gui/GuiSupport.h"
#include "ui/HotSpotTable.h"

namespace r512::test {
namespace {

using namespace settings;

constexpr std::uint8_t kRefresh = 0xE3;
constexpr std::uint8_t kKnobUp = 0x15;

// The centre of the knob's right half ("Control +") on the screen.
POINT KnobUpOnScreen(HWND window) {
    for (const HotSpot& spot : HotSpots()) {
        if (spot.code != kKnobUp) continue;
        const int left = std::max(spot.region.ellipse.left, spot.region.clip.left);
        const int right = std::min(spot.region.ellipse.right, spot.region.clip.right);
        return OnScreen(window, POINT{(left + right) / 2,
                                      (spot.region.ellipse.top + spot.region.ellipse.bottom) / 2});
    }
    ADD_FAILURE() << "no knob half sends 0x15";
    return POINT{0, 0};
}

// Alt+F4 as a user types it.
void AltF4() {
    INPUT inputs[4]{};
    const WORD keys[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, inputs, sizeof(INPUT));
}

// Another program's window that takes the foreground: Wine's own Notepad in the same prefix.
class OtherProgram {
public:
    OtherProgram() {
        char commandLine[] = "notepad.exe";
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != 0;
    }
    ~OtherProgram() {
        if (!started_) return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Its main window once it is the foreground window (null after the time-out).
    HWND WaitForForeground() const {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                HWND foreground = GetForegroundWindow();
                DWORD owner = 0;
                GetWindowThreadProcessId(foreground, &owner);
                if (!started_ || owner != process_.dwProcessId) return false;
                found = foreground;
                return true;
            },
            20s);
        return found;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

class FocusAndSession : public ::testing::Test {
protected:
    FocusAndSession() : device_(Setting("R512_COM_DEVICE_LOG")) {}

    void SetUp() override {
        ASSERT_FALSE(Setting("R512_EXE").empty()) << "run through run-gui-tests.sh";
        ClearSettings();
        WriteSetting(kConfig, kConfigured, 1);
        WriteSetting(kConfig, kPort, Setting("R512_COM_DEVICE").c_str());
    }
    void TearDown() override { ClearSettings(); }

    HWND StartConnected() {
        const std::size_t before = device_.CommandCount();
        EXPECT_TRUE(program_.Start());
        HWND window = program_.WaitForWindow();
        EXPECT_TRUE(device_.WaitForCommands(before, {kRefresh}, 10s)) << "not connected";
        // The refresh's report has arrived and the settle time is over.
        std::this_thread::sleep_for(1200ms);
        return window;
    }

    // Holds the knob's right half until it has repeated a few times; the count before the press.
    std::size_t HoldKnob(HWND window) {
        const POINT knob = KnobUpOnScreen(window);
        MoveTo(knob);
        const std::size_t before = device_.CommandCount();
        Press(knob);
        EXPECT_TRUE(device_.WaitForCommands(before, {kKnobUp, kKnobUp, kKnobUp}, 5s))
            << "the knob does not repeat";
        return before;
    }

    // The commands that arrive within `span` after `from` (the device's log settled).
    std::size_t CommandsWithin(std::size_t from, std::chrono::milliseconds span) {
        std::this_thread::sleep_for(span);
        return device_.CommandCount() - from;
    }

    ProgramUnderTest program_;
    DeviceLog device_;
};

// Another program takes the foreground while the knob is held, and the button comes up over
// it: the window never sees the button-up, yet the repeat stops.
TEST_F(FocusAndSession, HeldKnobStopsWhenAnotherProgramTakesTheForeground) {
    HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    HoldKnob(window);
    OtherProgram notepad;
    HWND other = notepad.WaitForForeground();
    ASSERT_NE(other, nullptr) << "Notepad did not take the foreground";
    const std::size_t atForeground = device_.CommandCount();
    RECT otherRect{};
    GetWindowRect(other, &otherRect);
    const POINT overOther{(otherRect.left + otherRect.right) / 2, otherRect.bottom - 20};
    MoveTo(overOther);
    Release(overOther);
    const std::size_t atRelease = device_.CommandCount();
    const std::size_t after = CommandsWithin(atRelease, 1500ms);
    EXPECT_LE(atRelease - atForeground, 1u) << "codes after the foreground went elsewhere";
    EXPECT_LE(after, 1u) << "the repeat goes on after a release over another window";
    EXPECT_TRUE(program_.CloseAndWait());
}

// The window loses the capture while the button is still held: the repeat stops at once (within
// 200 ms: at most two ticks), although no button-up comes.
TEST_F(FocusAndSession, HeldKnobStopsWhenTheCaptureIsLost) {
    HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    const struct {
        const char* what;
        UINT message;
    } kLosses[] = {{"WM_CANCELMODE", WM_CANCELMODE}, {"WM_CAPTURECHANGED", WM_CAPTURECHANGED}};
    for (const auto& loss : kLosses) {
        SCOPED_TRACE(loss.what);
        const POINT knob = KnobUpOnScreen(window);
        HoldKnob(window);
        const Clock::time_point lost = Clock::now();
        SendMessageA(window, loss.message, 0, 0);
        const std::size_t atLoss = device_.CommandCount();
        std::size_t last = atLoss;
        Clock::time_point lastCode = lost;
        // Watch for 1 s while the button stays down: when did the last code arrive?
        while (Clock::now() - lost < 1s) {
            const std::size_t now = device_.CommandCount();
            if (now != last) {
                last = now;
                lastCode = Clock::now();
            }
            std::this_thread::sleep_for(10ms);
        }
        const auto stoppedAfter =
            std::chrono::duration_cast<std::chrono::milliseconds>(lastCode - lost).count();
        EXPECT_LE(stoppedAfter, 200) << "the repeat went on " << stoppedAfter << " ms";
        EXPECT_LE(last - atLoss, 2u);
        Release(knob);
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_TRUE(program_.CloseAndWait());
}

// Right after start the remote window is the foreground window (not a hidden popup), and
// Alt+F4 ends the program, storing its positions as Exit does.
TEST_F(FocusAndSession, RemoteWindowIsActiveAfterStartAndAltF4EndsIt) {
    WriteSetting(kPosition, kMainX, 37);
    WriteSetting(kPosition, kMainY, 44);
    WriteSetting(kPosition, kControlVisible, 0);
    HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetForegroundWindow(), window);
    char title[64] = {};
    GetWindowTextA(GetForegroundWindow(), title, sizeof(title));
    EXPECT_STREQ(title, kApplication);
    WriteSetting(kPosition, kMainX, -5);  // proves that the end stores it again
    AltF4();
    EXPECT_TRUE(program_.WaitForExit(10s)) << "Alt+F4 did not end R512";
    int x = 0;
    EXPECT_TRUE(ReadDword(kPosition, kMainX, &x));
    EXPECT_EQ(x, 37);
}

// A port that can't be opened at start: its message is a plain OK box (no icon) owned by the
// remote window the user sees, not by a hidden popup.
TEST_F(FocusAndSession, MessageAtStartIsAPlainBoxOwnedByTheVisibleWindow) {
    WriteSetting(kConfig, kPort, "COM7");  // mapped to nothing
    ASSERT_TRUE(program_.Start());
    HWND box = program_.WaitForTopLevel("#32770", kApplication, 15s);
    ASSERT_NE(box, nullptr) << "no message";
    HWND owner = GetWindow(box, GW_OWNER);
    ASSERT_NE(owner, nullptr) << "the message has no owner";
    char className[64] = {};
    GetClassNameA(owner, className, sizeof(className));
    EXPECT_STREQ(className, "R512RemoteWindow");
    EXPECT_TRUE(IsWindowVisible(owner));
    EXPECT_FALSE(IsWindowEnabled(owner)) << "not modal to the window";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        char childClass[32] = {};
        GetClassNameA(child, childClass, sizeof(childClass));
        if (std::string(childClass) != "Static" || (style & SS_TYPEMASK) != SS_ICON) continue;
        EXPECT_EQ(SendMessageA(child, STM_GETICON, 0, 0), 0) << "the box shows an icon";
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    program_.WaitForWindow();
    EXPECT_TRUE(program_.CloseAndWait());
}

// Windows ends the session: WM_QUERYENDSESSION is answered yes, and WM_ENDSESSION stores the
// positions (no WM_CLOSE follows).
TEST_F(FocusAndSession, EndOfTheSessionStoresThePositions) {
    HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 61, 52, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_NE(SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
    SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    int x = 0, y = 0;
    EXPECT_TRUE(ReadDword(kPosition, kMainX, &x));
    EXPECT_TRUE(ReadDword(kPosition, kMainY, &y));
    EXPECT_EQ(x, 61);
    EXPECT_EQ(y, 52);
    int visible = -1;
    EXPECT_TRUE(ReadDword(kPosition, kControlVisible, &visible));
    EXPECT_TRUE(program_.CloseAndWait());
}

}  // namespace
}  // namespace r512::test
