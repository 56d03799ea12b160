#pragma once

#include <windows.h>

namespace r512 {

// A tiny caption-less panel of +/- buttons (the Tone popup, dialog 183, and the Levels popup,
// dialog 184): a modeless dialog owned by the remote window, hidden until a right click shows it
// at the pointer, hidden again as soon as it loses activation. A button's click is posted to the
// owner as WM_COMMAND with the button's identifier; the owner's command set sends the device
// command.
class PopupPanel {
public:
    PopupPanel() = default;
    ~PopupPanel();
    PopupPanel(const PopupPanel&) = delete;
    PopupPanel& operator=(const PopupPanel&) = delete;

    // Creates the dialog's window from its template, hidden. False when it can't be made.
    bool Create(HINSTANCE instance, int templateId, HWND owner);

    // Moves the panel's top-left corner to a screen point (no resizing, no change of z-order)
    // and shows it, which activates it.
    void ShowAt(POINT screenPoint);

    HWND Handle() const { return hwnd_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace r512
