// R512.exe itself under Wine's X11 driver on Xvfb, against the native device simulator on a
// pseudo-terminal mapped to a COM port (run-gui-tests.sh starts them and says where):
//   R512_EXE              the program
//   R512_COM_DEVICE       the simulated device's port; R512_COM_DEVICE_LOG its log
//   R512_COM_WIDE         a port numbered 10 or above, leading to the same device
//   R512_COM_SILENT       a device that never answers; R512_COM_SILENT_LOG its log
// Every test starts the program afresh; the device keeps its state from test to test, so the
// display a test expects is the device model replaying every command the device's log shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "device/Protocol.h"
#include "device/RegisterMirror.h"
#include "gui/GuiSupport.h"
#include "serial/PortList.h"
#include "simulator/DeviceModel.h"
#include "support/FakeDisplayLines.h"
#include "support/RecordingWindowTimers.h"
#include "ui/DisplayComposer.h"
#include "ui/FrontPanelText.h"
#include "ui/HotSpotTable.h"
#include "ui/ResourceIds.h"
#include "win32/Win32Resources.h"

namespace r512::test {
namespace {

using namespace settings;

constexpr std::uint8_t kRefresh = 0xE3;

// The font strip from the program's own resources (linked into this test as well), 0x00RRGGBB.
class FontStrip {
public:
    FontStrip() {
        HBITMAP bitmap =
            static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_FONT),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        BITMAP size{};
        GetObjectA(bitmap, sizeof(size), &size);
        width_ = size.bmWidth;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = size.bmWidth;
        info.bmiHeader.biHeight = -size.bmHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        pixels_.resize(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight), pixels_.data(), &info,
                  DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        DeleteObject(bitmap);
        for (std::uint32_t& p : pixels_) p &= 0xFFFFFFu;
    }
    std::uint32_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }

private:
    int width_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// What the display child must show for a text: every cell copied from the font strip.
std::vector<std::uint32_t> DisplayPixels(const FrontPanelText& text) {
    static const FontStrip font;
    constexpr int w = FrontPanelText::kCellWidth, h = FrontPanelText::kCellHeight;
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < FrontPanelText::kLines * h; ++y)
        for (int x = 0; x < FrontPanelText::kColumns * w; ++x)
            pixels.push_back(
                font.At(FrontPanelText::FontCellX(text.At(y / h, x / w)) + x % w, y % h));
    return pixels;
}

// The core's composition of a mirror: the text the program's display must hold.
FrontPanelText Composed(const RegisterMirror& mirror) {
    RegisterMirror copy = mirror;
    FakeDisplayLines lines;
    RecordingWindowTimers timers;
    DisplayComposer composer(copy, lines, timers);
    composer.UpdateDisplay();
    return lines.screen;
}

// The device's registers now: its model replaying every command it has received.
RegisterMirror DeviceState(const DeviceLog& log) {
    sim::DeviceModel model;
    for (std::uint8_t code : log.Commands()) model.Apply(code);
    RegisterMirror mirror;
    for (int code = kFirstRegister; code < kFirstRegister + kRegisterCount; ++code) {
        const auto c = static_cast<std::uint8_t>(code);
        mirror[c] = {model.Register(c), RegisterState::Known};
    }
    return mirror;
}

std::string Shown(const FrontPanelText& text) {
    std::string shown;
    for (int line = 0; line < FrontPanelText::kLines; ++line) {
        shown += '[';
        for (int column = 0; column < FrontPanelText::kColumns; ++column)
            shown += text.At(line, column) ? text.At(line, column) : ' ';
        shown += ']';
    }
    return shown;
}

// The centre of a hot spot on the screen.
POINT HotSpotOnScreen(HWND window, const char* name) {
    for (const HotSpot& spot : HotSpots()) {
        if (std::string(spot.name) != name) continue;
        Rect box = spot.region.ellipse;
        if (spot.region.clip.right > spot.region.clip.left) {
            box.left = std::max(box.left, spot.region.clip.left);
            box.right = std::min(box.right, spot.region.clip.right);
        }
        return OnScreen(window, POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    }
    ADD_FAILURE() << "no hot spot " << name;
    return POINT{0, 0};
}

// The message of a message box: its longest static text (the other one holds the icon).
std::string LongestStaticText(HWND box) {
    std::string longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        char text[1024] = {};
        GetClassNameA(child, className, sizeof(className));
        GetWindowTextA(child, text, sizeof(text));
        if (std::string(className) == "Static" && std::strlen(text) > longest.size())
            longest = text;
    }
    return longest;
}

// A point of the body: silver, neither button nor hot spot nor display.
POINT BodyOnScreen(HWND window) { return OnScreen(window, POINT{150, 40}); }

class R512Gui : public ::testing::Test {
protected:
    R512Gui() : device_(Setting("R512_COM_DEVICE_LOG")), silent_(Setting("R512_COM_SILENT_LOG")) {}

    void SetUp() override {
        ASSERT_FALSE(Setting("R512_EXE").empty()) << "run through run-gui-tests.sh";
        ClearSettings();
    }
    void TearDown() override { ClearSettings(); }

    void Configure(const std::string& port) {
        WriteSetting(kConfig, kConfigured, 1);
        WriteSetting(kConfig, kPort, port.c_str());
    }

    // Starts the program and waits for its window.
    HWND Start() {
        EXPECT_TRUE(program_.Start());
        HWND window = program_.WaitForWindow();
        EXPECT_NE(window, nullptr) << "the window did not appear";
        return window;
    }

    // Waits until the display child shows `text` pixel for pixel.
    bool DisplayShows(const FrontPanelText& text, std::chrono::milliseconds timeout = 10s) {
        const std::vector<std::uint32_t> expected = DisplayPixels(text);
        return WaitUntil([&] { return ScreenPixels(program_.Display()) == expected; }, timeout);
    }

    // Waits until the device has answered its refresh and the display shows its state.
    void ExpectDisplayFollowsDevice() { ExpectDisplayFollowsDevice(program_); }
    void ExpectDisplayFollowsDevice(const ProgramUnderTest& program) {
        // The device's state includes every command it has acted on by now.
        FrontPanelText text;
        const bool shown = WaitUntil(
            [&] {
                text = Composed(DeviceState(device_));
                return ScreenPixels(program.Display()) == DisplayPixels(text);
            },
            10s);
        EXPECT_TRUE(shown) << "the display does not show " << Shown(text);
    }

    ProgramUnderTest program_;
    DeviceLog device_;
    DeviceLog silent_;
};

TEST_F(R512Gui, RefreshesAtStartAndShowsTheDevicesState) {
    const std::size_t before = device_.CommandCount();
    Configure(Setting("R512_COM_DEVICE"));
    ASSERT_NE(Start(), nullptr);
    EXPECT_TRUE(device_.WaitForCommands(before, {kRefresh}, 10s)) << "no refresh at start";
    ExpectDisplayFollowsDevice();
    EXPECT_TRUE(program_.CloseAndWait());
}

TEST_F(R512Gui, SilentDeviceShowsNoConnectionAndIsAskedAgainAbout2sApart) {
    Configure(Setting("R512_COM_SILENT"));
    ASSERT_NE(Start(), nullptr);

    RegisterMirror waiting;
    waiting.MarkAllPending();
    EXPECT_TRUE(DisplayShows(Composed(waiting))) << "no no-connection screen";

    // When each refresh arrives at the device.
    std::vector<Clock::time_point> arrivals;
    std::size_t seen = silent_.CommandCount();
    WaitUntil(
        [&] {
            const std::size_t now = silent_.CommandCount();
            for (; seen < now; ++seen) arrivals.push_back(Clock::now());
            return arrivals.size() >= 3;
        },
        12s);
    ASSERT_GE(arrivals.size(), 3u) << "the refresh is not repeated";
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
        const auto gap =
            std::chrono::duration_cast<std::chrono::milliseconds>(arrivals[i] - arrivals[i - 1]);
        EXPECT_GE(gap.count(), 1500) << "retry " << i;
        EXPECT_LE(gap.count(), 3000) << "retry " << i;
    }
    for (std::uint8_t code : silent_.Commands()) EXPECT_EQ(code, kRefresh);
    EXPECT_TRUE(program_.CloseAndWait());
}

TEST_F(R512Gui, ClicksOnHotSpotsSendTheirCodesAndTheDisplayFollows) {
    Configure(Setting("R512_COM_DEVICE"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ExpectDisplayFollowsDevice();

    struct Press {
        const char* hotSpot;
        std::uint8_t code;
    };
    for (const Press& press : {Press{"Audio", 0x74}, Press{"Mode", 0x77}, Press{"Control +", 0x15},
                               Press{"Control -", 0x16}, Press{"Control +", 0x15}}) {
        const std::size_t before = device_.CommandCount();
        Click(HotSpotOnScreen(window, press.hotSpot));
        EXPECT_TRUE(device_.WaitForCommands(before, {press.code}, 5s)) << press.hotSpot;
        ExpectDisplayFollowsDevice();
    }
    // The body and the caption buttons' gap send nothing.
    const std::size_t before = device_.CommandCount();
    Click(OnScreen(window, POINT{681, 85}));  // the strip between the knob's halves
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(device_.CommandCount(), before);
    EXPECT_TRUE(program_.CloseAndWait());
}

TEST_F(R512Gui, HeldKnobHalfRepeatsUntilReleased) {
    Configure(Setting("R512_COM_DEVICE"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ExpectDisplayFollowsDevice();

    const POINT knob = HotSpotOnScreen(window, "Control -");
    const std::size_t before = device_.CommandCount();
    MoveTo(knob);
    const Clock::time_point pressed = Clock::now();
    Press(knob);
    // Once at the press, then every 100 ms while held.
    EXPECT_TRUE(device_.WaitForCommands(before, {0x16, 0x16, 0x16, 0x16}, 5s));
    Release(knob);
    const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pressed);
    const std::size_t atRelease = device_.CommandCount();
    std::this_thread::sleep_for(400ms);
    const std::size_t sent = device_.CommandCount() - before;
    EXPECT_LE(device_.CommandCount(), atRelease + 1) << "the repeat goes on after the release";
    EXPECT_LE(sent, static_cast<std::size_t>(held.count() / 100 + 2)) << "held " << held.count();
    for (std::size_t i = before; i < device_.CommandCount(); ++i)
        EXPECT_EQ(device_.Commands()[i], 0x16);
    ExpectDisplayFollowsDevice();
    EXPECT_TRUE(program_.CloseAndWait());
}

TEST_F(R512Gui, CloseButtonAndExitItemStoreThePositionAndEnd) {
    Configure(Setting("R512_COM_DEVICE"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    Click(OnScreen(window, POINT{762, 11}));  // the drawn Close button
    EXPECT_TRUE(program_.WaitForExit(10s)) << "the Close button did not end the program";
    int x = -5;
    EXPECT_TRUE(ReadDword(kPosition, kMainX, &x));
    EXPECT_EQ(x, 0);

    WriteSetting(kPosition, kMainX, 21);
    ProgramUnderTest again;
    ASSERT_TRUE(again.Start());
    HWND second = again.WaitForWindow();
    ASSERT_NE(second, nullptr);
    // Up and connected, as a user would find it, before the menu is asked for.
    ExpectDisplayFollowsDevice(again);
    Click(BodyOnScreen(second), true);
    ASSERT_NE(again.WaitForTopLevel("#32768", nullptr), nullptr) << "no File menu";
    for (int i = 0; i < 6; ++i) Key(VK_DOWN);  // Configure ... About, Exit
    Key(VK_RETURN);
    EXPECT_TRUE(again.WaitForExit(10s)) << "Exit did not end the program";
    EXPECT_TRUE(ReadDword(kPosition, kMainX, &x));
    EXPECT_EQ(x, 21);
}

TEST_F(R512Gui, RightClickMenusSendTheChosenItemsCode) {
    Configure(Setting("R512_COM_DEVICE"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ExpectDisplayFollowsDevice();

    struct Choice {
        const char* hotSpot;  // null: the body, whose menu is File
        int downs;            // items from the top, separators skipped by the menu itself
        std::uint8_t code;
    };
    for (const Choice& choice :
         {Choice{"Audio", 3, 0x48}, Choice{"Video", 2, 0x0E}, Choice{nullptr, 4, kRefresh}}) {
        SCOPED_TRACE(choice.hotSpot ? choice.hotSpot : "body");
        const std::size_t before = device_.CommandCount();
        Click(choice.hotSpot ? HotSpotOnScreen(window, choice.hotSpot) : BodyOnScreen(window),
              true);
        ASSERT_NE(program_.WaitForTopLevel("#32768", nullptr), nullptr) << "no menu";
        for (int i = 0; i < choice.downs; ++i) Key(VK_DOWN);
        Key(VK_RETURN);
        EXPECT_TRUE(device_.WaitForCommands(before, {choice.code}, 5s));
        EXPECT_TRUE(WaitUntil([&] { return !program_.FindTopLevel("#32768", nullptr); }, 5s));
    }
    ExpectDisplayFollowsDevice();
    EXPECT_TRUE(program_.CloseAndWait());
}

TEST_F(R512Gui, TonePopupForwardsItsButtonsAndStaysUp) {
    Configure(Setting("R512_COM_DEVICE"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ExpectDisplayFollowsDevice();

    const POINT at = HotSpotOnScreen(window, "Tone");
    Click(at, true);
    HWND popup = program_.WaitForTopLevel("#32770", "");
    ASSERT_NE(popup, nullptr) << "no Tone popup";
    RECT placed{};
    GetWindowRect(popup, &placed);
    EXPECT_EQ(placed.left, at.x);
    EXPECT_EQ(placed.top, at.y);

    HWND trebleUp = GetDlgItem(popup, IDC_TREBLE_UP);
    ASSERT_NE(trebleUp, nullptr);
    RECT button{};
    GetWindowRect(trebleUp, &button);
    const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    const std::size_t before = device_.CommandCount();
    for (int i = 0; i < 3; ++i) Click(centre);
    EXPECT_TRUE(device_.WaitForCommands(before, {0x46, 0x46, 0x46}, 5s));
    EXPECT_TRUE(IsWindowVisible(popup));

    // Another window taking the activation hides it; no command goes out.
    const std::size_t after = device_.CommandCount();
    Click(BodyOnScreen(window));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(popup); }, 5s));
    EXPECT_EQ(device_.CommandCount(), after);
    EXPECT_TRUE(program_.CloseAndWait());
}

TEST_F(R512Gui, PositionIsStoredOnExitAndUsedAtTheNextStart) {
    Configure(Setting("R512_COM_DEVICE"));
    WriteSetting(kPosition, kMainX, 37);
    WriteSetting(kPosition, kMainY, 53);
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, 37);
    EXPECT_EQ(placed.top, 53);
    EXPECT_EQ(placed.right - placed.left, kWindowWidth);
    EXPECT_EQ(placed.bottom - placed.top, kWindowHeight);

    // Dragging the body moves the window.
    const POINT grip = BodyOnScreen(window);
    MoveTo(grip);
    Press(grip);
    MoveTo(POINT{grip.x + 20, grip.y + 15});
    MoveTo(POINT{grip.x + 40, grip.y + 30});
    Release(POINT{grip.x + 40, grip.y + 30});
    EXPECT_TRUE(WaitUntil(
        [&] {
            GetWindowRect(window, &placed);
            return placed.left == 77 && placed.top == 83;
        },
        5s))
        << "the window is at " << placed.left << "," << placed.top;
    // The window follows the pointer before the system's move loop has seen the release; a
    // close posted meanwhile can be lost with that loop, so wait for the drag to end first.
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    EXPECT_TRUE(WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) == 0 &&
                   info.hwndCapture == nullptr;
        },
        5s))
        << "the drag has not ended";
    ASSERT_TRUE(program_.CloseAndWait());

    int x = 0, y = 0, panelX = 0, panelY = 0, panelVisible = 1;
    ASSERT_TRUE(ReadDword(kPosition, kMainX, &x));
    ASSERT_TRUE(ReadDword(kPosition, kMainY, &y));
    EXPECT_EQ(x, placed.left);
    EXPECT_EQ(y, placed.top);
    EXPECT_TRUE(ReadDword(kPosition, kControlX, &panelX));
    EXPECT_TRUE(ReadDword(kPosition, kControlY, &panelY));
    EXPECT_TRUE(ReadDword(kPosition, kControlVisible, &panelVisible));
    EXPECT_EQ(panelVisible, 0);

    ProgramUnderTest again;
    ASSERT_TRUE(again.Start());
    HWND second = again.WaitForWindow();
    ASSERT_NE(second, nullptr);
    RECT reopened{};
    GetWindowRect(second, &reopened);
    EXPECT_EQ(reopened.left, x);
    EXPECT_EQ(reopened.top, y);
    EXPECT_TRUE(again.CloseAndWait());
}

TEST_F(R512Gui, PositionBeyondTheDesktopIsPulledBack) {
    Configure(Setting("R512_COM_DEVICE"));
    WriteSetting(kPosition, kMainX, 5000);
    WriteSetting(kPosition, kMainY, "wrong type");  // reads as never stored: -1, then 0
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, GetSystemMetrics(SM_CXSCREEN) - kWindowWidth);
    EXPECT_EQ(placed.top, 0);
    EXPECT_TRUE(program_.CloseAndWait());
}

TEST_F(R512Gui, FirstRunExplainsItselfAsksForThePortAndConnectsToIt) {
    const std::size_t before = device_.CommandCount();
    ASSERT_TRUE(program_.Start());

    // Message 1040 comes first, before the dialog is visible; Configured is already stored.
    HWND box = program_.WaitForTopLevel("#32770", kApplication, 30s);
    ASSERT_NE(box, nullptr) << "no first-run message";
    EXPECT_EQ(LongestStaticText(box), MessageText(IDS_FIRST_RUN));
    EXPECT_EQ(program_.FindTopLevel("#32770", "Program Configuration"), nullptr);
    int configured = 0;
    EXPECT_TRUE(ReadDword(kConfig, kConfigured, &configured));
    EXPECT_EQ(configured, 1);
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    HWND dialog = program_.WaitForTopLevel("#32770", "Program Configuration");
    ASSERT_NE(dialog, nullptr) << "no configuration dialog";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PORT_COM1), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SPEED_12000), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_OTHER_PORT_NAME)));
    // The Other field's list offers the ports of the machine's serial-port map, in its order.
    const std::vector<std::string> present = ListSerialPorts();
    EXPECT_FALSE(present.empty()) << "Wine maps no COM port";
    HWND other = GetDlgItem(dialog, IDC_OTHER_PORT_NAME);
    ASSERT_EQ(SendMessageA(other, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(present.size()));
    for (std::size_t i = 0; i < present.size(); ++i) {
        // Asked in UTF-16: Wine hands an item to another process in that form whichever was
        // asked for.
        wchar_t item[64] = {};
        SendMessageW(other, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(std::wstring(item), std::wstring(present[i].begin(), present[i].end()));
    }
    // No connection is tried while the dialog is open.
    EXPECT_EQ(device_.CommandCount(), before);

    // Other: a port numbered above 9, typed with trailing blanks.
    SendMessageA(GetDlgItem(dialog, IDC_PORT_OTHER), BM_CLICK, 0, 0);
    EXPECT_TRUE(
        WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_OTHER_PORT_NAME)); }, 5s));
    const std::string wide = Setting("R512_COM_WIDE");
    SetDlgItemTextA(dialog, IDC_OTHER_PORT_NAME, (wide + "  ").c_str());
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);

    EXPECT_TRUE(device_.WaitForCommands(before, {kRefresh}, 15s)) << "no connection to " << wide;
    HWND window = program_.WaitForWindow();
    ASSERT_NE(window, nullptr);
    ExpectDisplayFollowsDevice();
    std::string port;
    int speed = 0;
    EXPECT_TRUE(ReadText(kConfig, kPort, &port));
    EXPECT_EQ(port, wide);
    EXPECT_TRUE(ReadDword(kConfig, kSpeed, &speed));
    EXPECT_EQ(speed, 12000);
    EXPECT_TRUE(program_.CloseAndWait());

    // A second start opens no dialog.
    ProgramUnderTest again;
    ASSERT_TRUE(again.Start());
    ASSERT_NE(again.WaitForWindow(), nullptr);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(again.FindTopLevel("#32770", nullptr), nullptr);
    EXPECT_TRUE(again.CloseAndWait());
}

}  // namespace
}  // namespace r512::test
