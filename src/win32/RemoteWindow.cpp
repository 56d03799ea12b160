#include "win32/RemoteWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "device/NamesFields.h"
#include "ui/HotSpotTable.h"
#include "ui/NamesCommand.h"
#include "ui/WindowPlacement.h"
#include "win32/ConfigDialog.h"
#include "win32/MenuResources.h"
#include "win32/NamesDialog.h"
#include "win32/Win32MessagePump.h"
#include "win32/Win32Resources.h"
#include "win32/WindowProcedure.h"

namespace r512 {

namespace {

constexpr const char* kClassName = "R512RemoteWindow";

// Set while the window redraws for a palette change, so that the change its own redraw causes
// starts no further one.
bool g_redrawingForPalette = false;

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The work areas of the monitors, the primary's first.
BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    AddWorkArea(*reinterpret_cast<std::vector<Rect>*>(list),
                {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom},
                (info.dwFlags & MONITORINFOF_PRIMARY) != 0);
    return TRUE;
}

std::vector<Rect> MonitorWorkAreas() {
    std::vector<Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        RECT desktop{};
        GetClientRect(GetDesktopWindow(), &desktop);
        areas.push_back(Rect{0, 0, desktop.right, desktop.bottom});
    }
    return areas;
}

POINT PointFrom(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

RemoteWindow::RemoteWindow(Profile& profile, HINSTANCE instance)
    : profile_(profile), instance_(instance) {}

RemoteWindow::~RemoteWindow() {
    // The link's thread posts to this window: it ends before anything else goes.
    session_.Link().ClosePort();
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool RemoteWindow::Create() {
    using namespace settings;
    const StoredPlacement stored = LoadPlacement(profile_, PlacedWindow::Remote);
    const std::vector<Rect> monitors = MonitorWorkAreas();
    const WindowPosition at = PlaceOnMonitors(stored, {kWindowWidth, kWindowHeight}, monitors);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc =
        WindowProcedure<RemoteWindow, &RemoteWindow::OnMessage, &RemoteWindow::hwnd_>;
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = kClassName;
    if (!GetClassInfoA(instance_, kClassName, &windowClass) && !RegisterClassA(&windowClass))
        return false;
    CreateWindowExA(0, kClassName, kApplication,
                    WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX, at.x, at.y, kWindowWidth,
                    kWindowHeight, nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;

    HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_R512));
    HICON smallIcon = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_R512),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(smallIcon ? smallIcon : icon));

    const RECT displayRect = ToRect(kDisplayRect);
    if (display_.Create(hwnd_, displayRect, instance_)) {
        display_.LoadFontBitmap();
        ShowWindow(display_.Handle(), SW_SHOW);
    }

    arrowCursor_ = LoadCursor(nullptr, IDC_ARROW);
    waitCursor_ = LoadCursor(nullptr, IDC_WAIT);
    cursors_ = {LoadCursorA(instance_, MAKEINTRESOURCEA(IDCUR_HAND)),
                LoadCursorA(instance_, MAKEINTRESOURCEA(IDCUR_KNOB_DOWN)),
                LoadCursorA(instance_, MAKEINTRESOURCEA(IDCUR_KNOB_UP)), arrowCursor_};
    nonClientCursor_ = arrowCursor_;

    skin_.Load(instance_, IDB_SKIN);  // a missing skin is not fatal: the window paints what it has
    HDC windowDc = GetDC(hwnd_);
    skin_.SelectInto(windowDc);
    ReleaseDC(hwnd_, windowDc);
    display_.SetPalette(skin_.Palette());
    // The picture is complete: show it now rather than after the popups, the tooltips and the
    // port have been set up (and, on a first run, the configuration dialog has been answered).
    UpdateWindow(hwnd_);

    // The popups of the Levels and Tone buttons, made hidden; one that can't be made leaves its
    // button without a popup.
    levels_.Create(instance_, IDD_LEVELS, hwnd_);
    tone_.Create(instance_, IDD_TONE, hwnd_);

    CreateToolTips();  // loads the common controls, which the Control Panel's up-downs need
    CreatePanel(monitors);

    if (stored.firstRun) session_.FirstRun();

    // The window the user sees is the active one (not a hidden popup), so that Alt+F4 and the
    // messages below go to it.
    if (GetActiveWindow() != hwnd_) SetForegroundWindow(hwnd_);

    // A failed connection leaves the window up without a link (the link has said why).
    session_.Connect();
    return true;
}

void RemoteWindow::CreatePanel(const std::vector<Rect>& monitors) {
    panel_ = LoadPlacement(profile_, PlacedWindow::ControlPanel);
    // Without its window the program goes on; closing then stores the values read above.
    if (!controlPanel_.Create(instance_, hwnd_)) return;
    HWND panel = controlPanel_.Handle();
    RECT size{};
    GetWindowRect(panel, &size);
    const WindowPosition at =
        PlaceOnMonitors(panel_, {size.right - size.left, size.bottom - size.top}, monitors);
    SetWindowPos(panel, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Shown with its initial values: nothing is known of the device before its first report.
    if (panel_.visible) controlPanel_.Open();
    controlPanel_.SetLink(&session_.Link());
}

void RemoteWindow::CreateToolTips() {
    // The common controls are loaded only now, after the first paint: loading them registers
    // many window classes, which would otherwise delay the program's start by a good part.
    HMODULE commonControls = LoadLibraryA("comctl32.dll");
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = commonControls ? reinterpret_cast<InitFunction>(reinterpret_cast<void (*)()>(
                                           GetProcAddress(commonControls, "InitCommonControlsEx")))
                                     : nullptr;
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    if (!init || !init(&controls)) return;  // no tooltips, everything else as usual
    toolTips_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                nullptr, instance_, nullptr);
    if (!toolTips_) return;
    UINT_PTR id = 0;
    for (const PanelTip& tip : PanelPointer::Tips()) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = id++;
        tool.rect = ToRect(tip.area);
        tool.lpszText = const_cast<char*>(tip.name);
        SendMessageA(toolTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool RemoteWindow::IsPopupMessage(MSG* message) {
    for (HWND popup : {levels_.Handle(), tone_.Handle(), controlPanel_.Handle()}) {
        if (popup && IsWindowVisible(popup) && IsDialogMessageA(popup, message)) return true;
    }
    return false;
}

LRESULT RemoteWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // the skin covers the whole window
        case WM_PALETTECHANGED:
            DefWindowProcA(hwnd_, message, wParam, lParam);
            OnPaletteChanged();
            return 0;
        case WM_NCHITTEST:
            return OnNcHitTest(lParam);
        case WM_SETCURSOR:
            if (OnSetCursor(lParam)) return TRUE;
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
            OnPointer(message, lParam);
            return 0;
        case WM_CONTEXTMENU:
            return 0;  // the body has the File menu, not the system menu
        case WM_TIMER:
            session_.TimerExpired(static_cast<int>(wParam));
            break;
        // Every way of losing the pointer ends a held knob's repeat: a release over another
        // window never reaches this one.
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd_)
                session_.StopRepeating(RepeatStop::CaptureLost);
            return 0;
        case WM_CANCELMODE:
            session_.StopRepeating(RepeatStop::CancelMode);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) session_.StopRepeating(RepeatStop::Deactivated);
            break;
        case WM_ACTIVATEAPP:
            if (!wParam) session_.StopRepeating(RepeatStop::Deactivated);
            break;
        case WM_SHOWWINDOW:
            if (!wParam) session_.StopRepeating(RepeatStop::Hidden);
            break;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) session_.StopRepeating(RepeatStop::Hidden);
            break;
        case WM_ENABLE:
            // A modal dialog or message box disables its owner.
            if (!wParam) session_.StopRepeating(RepeatStop::DialogOrMenu);
            break;
        case WM_ENTERMENULOOP:
            session_.StopRepeating(RepeatStop::DialogOrMenu);
            break;
        case WM_QUERYENDSESSION:
            return TRUE;  // nothing unsaved to ask about
        case WM_ENDSESSION:
            // The session ends without a WM_CLOSE: positions are stored as on Exit.
            if (wParam) SavePositions();
            return 0;
        case WM_COMMAND:
            session_.Command(LOWORD(wParam));
            return 0;
        case WM_DEVICE_DATA:
        case WM_PORT_OPENED:
        case WM_PORT_FAILED:
            session_.Notice(message, static_cast<std::uint32_t>(wParam),
                            static_cast<std::uint32_t>(lParam));
            return 0;
        case WM_CLOSE:
            session_.Close();
            return 0;
        case WM_DESTROY:
            session_.Link().ClosePort();
            for (int id = 0; id < RemoteSession::kTimerCount; ++id) session_.StopTimer(id);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void RemoteWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    if (skin_.Palette()) {
        SelectPalette(dc, skin_.Palette(), FALSE);
        RealizePalette(dc);
    }
    if (skin_.MemoryDc()) {
        BitBlt(dc, 0, 0, kWindowWidth, kWindowHeight, skin_.MemoryDc(), 0, 0, SRCCOPY);
    } else {
        PatBlt(dc, 0, 0, kWindowWidth, kWindowHeight, WHITENESS);
    }
    DrawCaptionButton(dc, 0);
    DrawCaptionButton(dc, 1);
    EndPaint(hwnd_, &paint);
}

void RemoteWindow::DrawCaptionButton(HDC dc, int index) {
    const auto i = static_cast<std::size_t>(index);
    static constexpr int kImages[2][2] = {{IDB_MINIMIZE_UP, IDB_MINIMIZE_DOWN},
                                          {IDB_CLOSE_UP, IDB_CLOSE_DOWN}};
    HBITMAP image = static_cast<HBITMAP>(
        LoadImageA(instance_, MAKEINTRESOURCEA(kImages[i][session_.CaptionDown(index)]),
                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!image) return;
    BITMAP size{};
    GetObjectA(image, sizeof(size), &size);
    HDC imageDc = CreateCompatibleDC(dc);
    HGDIOBJ original = SelectObject(imageDc, image);
    if (skin_.Palette()) {
        SelectPalette(dc, skin_.Palette(), FALSE);
        RealizePalette(dc);
    }
    // The button's rectangle is drawn inclusive of its right and bottom edge; the image may be
    // shorter, and nothing is copied from beyond it.
    const Rect& r = CaptionButtons()[i].rect;
    const int width = std::min<int>(r.right - r.left + 1, size.bmWidth);
    const int height = std::min<int>(r.bottom - r.top + 1, size.bmHeight);
    BitBlt(dc, r.left, r.top, width, height, imageDc, 0, 0, SRCCOPY);
    SelectObject(imageDc, original);
    DeleteDC(imageDc);
    DeleteObject(image);
}

void RemoteWindow::RedrawCaptionButton(int index) {
    HDC dc = GetDC(hwnd_);
    DrawCaptionButton(dc, index);
    ReleaseDC(hwnd_, dc);
}

void RemoteWindow::OnPaletteChanged() {
    if (g_redrawingForPalette) return;
    g_redrawingForPalette = true;
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    g_redrawingForPalette = false;
}

LRESULT RemoteWindow::OnNcHitTest(LPARAM lParam) {
    POINT p = PointFrom(lParam);
    ScreenToClient(hwnd_, &p);
    // The buttons and hot spots are the window's own; the body drags it and opens the File menu.
    return PanelPointer::OverBody(p.x, p.y) ? HTCAPTION : HTCLIENT;
}

bool RemoteWindow::OnSetCursor(LPARAM lParam) {
    if (LOWORD(lParam) == HTCLIENT) return true;  // the mouse move sets it
    if (!nonClientCursor_) return false;
    SetCursor(nonClientCursor_);
    return true;
}

HCURSOR RemoteWindow::CursorFor(PanelCursor kind) const {
    if (kind == PanelCursor::Body) return nonClientCursor_;
    HCURSOR cursor = cursors_[static_cast<std::size_t>(kind)];
    return cursor ? cursor : arrowCursor_;  // one that could not be loaded
}

bool RemoteWindow::PrimaryButtonDown() {
    // GetAsyncKeyState reads the physical buttons: a left-handed user presses with the right.
    const int key = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

void RemoteWindow::OnPointer(UINT message, LPARAM lParam) {
    POINT p = PointFrom(lParam);
    if (message == WM_NCRBUTTONDOWN) ScreenToClient(hwnd_, &p);  // the body, in screen coordinates
    const PointerEvent event = message == WM_MOUSEMOVE   ? PointerEvent::Move
                               : message == WM_LBUTTONUP ? PointerEvent::Release
                                                         : PointerEvent::Press;
    const PointerButton button = message == WM_MOUSEMOVE ? PointerButton::None
                                 : message == WM_LBUTTONDOWN || message == WM_LBUTTONUP
                                     ? PointerButton::Left
                                     : PointerButton::Right;
    session_.Pointer(event, button, p.x, p.y);
}

void RemoteWindow::ApplyPointer(const PointerEffect& effect) {
    using Kind = PointerEffect::Kind;
    POINT screen{effect.x, effect.y};
    switch (effect.kind) {
        case Kind::Capture:
            SetCapture(hwnd_);
            break;
        case Kind::ReleaseCapture:
            if (GetCapture() == hwnd_) ReleaseCapture();
            break;
        case Kind::Cursor:
            SetCursor(CursorFor(effect.cursor));
            break;
        case Kind::OpenMenu:
            ClientToScreen(hwnd_, &screen);
            if (const int menu = MenuResourceFor(effect.menu)) {
                TrackMenu(menu, screen);
            } else if (effect.menu == RightClick::LevelsPopup) {
                levels_.ShowAt(screen);
            } else if (effect.menu == RightClick::TonePopup) {
                tone_.ShowAt(screen);
            }
            break;
        case Kind::RedrawCaption:
            RedrawCaptionButton(effect.caption);
            break;
        case Kind::Minimise:
            PostMessageA(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            break;
        default:  // the body is the caption (OnNcHitTest): the system drags; the session sends
            break;
    }
}

void RemoteWindow::TrackMenu(int menuResource, POINT screenPoint) {
    HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(menuResource));
    if (!menu) return;
    // A menu tracked for a window that is not in the foreground would not close when the user
    // clicks elsewhere.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                   screenPoint.x, screenPoint.y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
}

void RemoteWindow::EnablePanel(bool enabled) {
    if (controlPanel_.Handle()) EnableWindow(controlPanel_.Handle(), enabled ? TRUE : FALSE);
}

void RemoteWindow::RunNames() {
    class FrontEnd final : public NamesCommandFrontEnd {
    public:
        explicit FrontEnd(RemoteWindow& window) : window_(window) {}
        void BlockInput(bool blocked) override {
            EnableWindow(window_.hwnd_, blocked ? FALSE : TRUE);
            window_.EnablePanel(!blocked);
            // A closing dialog found the window disabled: make it the active one again.
            if (!blocked && !GetActiveWindow()) SetActiveWindow(window_.hwnd_);
        }
        void ShowBusy(bool busy) override {
            window_.nonClientCursor_ = busy ? window_.waitCursor_ : window_.arrowCursor_;
            SetCursor(window_.nonClientCursor_);
        }
        bool EditNames(names_fields::Texts& texts) override {
            dialog_.texts = texts;
            // Owned by the window, as the framework owns a dialog made without a parent: it
            // stays in front of it, and the window is active again when it closes.
            if (dialog_.Run(window_.instance_, window_.hwnd_) != IDOK) return false;
            texts = dialog_.texts;
            return true;
        }
        void ShowMessage(int messageId) override { r512::ShowMessage(messageId); }

    private:
        RemoteWindow& window_;
        NamesDialog dialog_;  // made first, gone when the command ends
    } frontEnd(*this);
    Win32MessagePump pump;
    RunNamesCommand(session_.Link(), pump, frontEnd);
}

bool RemoteWindow::RunConfigDialog(bool firstRun) {
    ConfigDialog dialog(profile_);
    dialog.firstRun = firstRun;
    return dialog.Run(instance_, hwnd_) == IDOK;
}

void RemoteWindow::SavePositions() {
    // The normal (restored) rectangle, so that a minimised window stores where it comes back.
    auto normalCorner = [](HWND window) -> std::optional<WindowPosition> {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (!GetWindowPlacement(window, &placement)) return std::nullopt;
        return WindowPosition{placement.rcNormalPosition.left, placement.rcNormalPosition.top};
    };
    if (const auto main = normalCorner(hwnd_))
        SavePlacement(profile_, PlacedWindow::Remote, *main, true);
    if (HWND panel = controlPanel_.Handle()) {
        panel_.corner = normalCorner(panel).value_or(panel_.corner);
        panel_.visible = controlPanel_.IsOpen();  // also while it hides with its minimised owner
    }
    SavePlacement(profile_, PlacedWindow::ControlPanel, panel_.corner, panel_.visible);
}

}  // namespace r512
