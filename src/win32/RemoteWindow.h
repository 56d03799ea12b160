#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "base/Profile.h"
#include "ui/HotSpotTable.h"
#include "ui/RemoteSession.h"
#include "ui/WindowPlacement.h"
#include "win32/AboutDialog.h"
#include "win32/ControlPanelDialog.h"
#include "win32/FrontPanelDisplay.h"
#include "win32/PopupPanel.h"
#include "win32/SkinBitmap.h"

namespace r512 {

// The program's main window: a frameless 775 x 168 popup painted from the skin, with its own
// Minimize and Close buttons drawn in the corner, the thirteen hot spots of the core's table,
// the front-panel display child, the context menus and the Tone and Levels popups. Its session
// (the core's) owns the device link and decides; the window draws, runs the five timers and the
// dialogs.
class RemoteWindow final : public RemoteWindowFrontEnd {
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

private:
    // Called on the link's I/O thread: posts the notice (WM_DEVICE_DATA, WM_PORT_FAILED or
    // WM_PORT_OPENED) to the window.
    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override {
        PostMessageA(hwnd_, message, requested, received);
    }
    void SetLine(const char* text, int line, bool redraw) override {
        display_.SetLine(text, line, redraw);
    }
    // SetTimer's result can't tell whether it ran: a window timer's identifier may be 0.
    bool StartWindowTimer(int id, unsigned periodMs) override {
        if (hwnd_) SetTimer(hwnd_, static_cast<UINT_PTR>(id), periodMs, nullptr);
        return hwnd_ != nullptr;
    }
    void StopWindowTimer(int id) override {
        if (hwnd_) KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    }
    // Modal on this window, with the Control Panel as the session leaves it.
    bool RunConfigDialog(bool firstRun) override;
    void RunAboutDialog() override { AboutDialog::Run(instance_, hwnd_); }
    void RunNames() override;
    void EnablePanel(bool enabled) override;
    void OpenPanel() override {
        if (controlPanel_.Handle()) controlPanel_.Open();
    }
    void ReloadPanelIfVisible() override {
        if (controlPanel_.Handle() && IsWindowVisible(controlPanel_.Handle()))
            controlPanel_.UpdateFromMirror();
    }
    void SavePositions() override;
    void CloseWindow() override { DestroyWindow(hwnd_); }
    void ApplyPointer(const PointerEffect& effect) override;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Paint();
    void DrawCaptionButton(HDC dc, int index);
    void RedrawCaptionButton(int index);
    void OnPaletteChanged();
    LRESULT OnNcHitTest(LPARAM lParam);
    bool OnSetCursor(LPARAM lParam);
    // A mouse message of the window (a right press on the body comes as WM_NCRBUTTONDOWN).
    void OnPointer(UINT message, LPARAM lParam);
    void TrackMenu(int menuResource, POINT screenPoint);
    // Whether the button that presses (the primary one, the right one when swapped) is down.
    static bool PrimaryButtonDown();
    void CreateToolTips();
    HCURSOR CursorFor(PanelCursor kind) const;
    void CreatePanel(const std::vector<Rect>& monitors);

    Profile& profile_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    SkinBitmap skin_;
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

    RemoteSession session_{profile_, *this, PrimaryButtonDown};
};

}  // namespace r512
