#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "base/NoticeTarget.h"
#include "base/Profile.h"
#include "base/WindowTimers.h"
#include "device/DeviceLink.h"
#include "ui/ConnectionController.h"
#include "ui/DisplayComposer.h"
#include "ui/DisplayLines.h"
#include "ui/HotSpotTable.h"
#include "ui/PanelPointer.h"
#include "ui/WindowPlacement.h"
#include "win32/ControlPanelDialog.h"
#include "win32/FrontPanelDisplay.h"
#include "win32/PopupPanel.h"
#include "win32/SkinBitmap.h"

namespace r512 {

// The program's main window: a frameless 775 x 168 popup painted from the skin, with its own
// Minimize and Close buttons drawn in the corner, the thirteen hot spots of the core's table,
// the front-panel display child, the context menus and the Tone and Levels popups. It owns the
// device link and runs the window's five timers; the core decides, the window draws.
class RemoteWindow final : public NoticeTarget, public WindowTimers, public DisplayLines {
public:
    RemoteWindow(Profile& profile, HINSTANCE instance);
    ~RemoteWindow() override;
    RemoteWindow(const RemoteWindow&) = delete;
    RemoteWindow& operator=(const RemoteWindow&) = delete;

    // Builds, places and shows the window and its parts, runs the first-run configuration and
    // connects. False when the window can't be made (the program then ends).
    bool Create();

    HWND Handle() const { return hwnd_; }

    // Gives the modeless popups their keyboard handling (Tab, Escape); true when the message
    // was theirs.
    bool IsPopupMessage(MSG* message);

    // NoticeTarget: called on the link's I/O thread; posts the notice (WM_DEVICE_DATA,
    // WM_PORT_FAILED or WM_PORT_OPENED) to the window.
    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override;

    // WindowTimers: window timers of this window, ids 0 to 4.
    void StartTimer(int id, unsigned periodMs) override;
    void StopTimer(int id) override;
    bool IsTimerRunning(int id) const override;

    // DisplayLines: the composer's lines go to the display child.
    void SetLine(const char* text, int line, bool redraw) override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Paint();
    void DrawCaptionButton(HDC dc, int index);
    void RedrawCaptionButton(int index);
    void OnPaletteChanged();
    LRESULT OnNcHitTest(LPARAM lParam);
    bool OnSetCursor(LPARAM lParam);
    // A mouse message of the window (a right press on the body comes as WM_NCRBUTTONDOWN).
    void OnPointer(UINT message, LPARAM lParam);
    // Does what the pointer decided, in order.
    void ApplyPointer(const PointerEffects& effects);
    void TrackMenu(int menuResource, POINT screenPoint);
    void OnCommand(int id);
    void ConfigureCommand();
    void AboutCommand();
    void ControlPanelCommand();
    void NamesCommand();
    void EnablePanel(bool enabled);
    void SavePositions();
    // The window has lost the pointer for `reason`: ends the knob's repeat (and the capture
    // it holds).
    void StopRepeating(RepeatStop reason) { ApplyPointer(pointer_.Cancel(reason)); }
    // Lets the capture go once neither the repeat nor a caption button needs it.
    void ReleaseIdleCapture() { ApplyPointer(pointer_.Settle()); }
    // Whether the button that presses (the primary one, the right one when swapped) is down.
    static bool PrimaryButtonDown();
    void CreateToolTips();
    HCURSOR CursorFor(PanelCursor kind) const;
    void CreatePanel(const std::vector<Rect>& monitors);

    Profile& profile_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    SkinBitmap skin_;
    DeviceLink link_;
    FrontPanelDisplay display_;
    PopupPanel levels_;
    PopupPanel tone_;
    HWND toolTips_ = nullptr;
    // Where the Control Panel was and whether it was open, kept so that closing the window
    // stores them again unchanged when the panel's window could not be made.
    StoredPlacement panel_{PlacedWindow::ControlPanel};
    ControlPanelDialog controlPanel_;

    HCURSOR arrowCursor_ = nullptr;
    HCURSOR waitCursor_ = nullptr;
    std::array<HCURSOR, 4> cursors_{};   // the first four of PanelCursor: Hand ... Arrow
    HCURSOR nonClientCursor_ = nullptr;  // over the body
    // Whether each timer runs. SetTimer's result can't tell: for a window timer it may be the
    // timer's own identifier, and identifier 0 is one of ours.
    std::array<bool, 5> timerRunning_{};

    DisplayComposer composer_;
    ConnectionController controller_;
    PanelPointer pointer_{controller_.Repeat()};
};

}  // namespace r512
