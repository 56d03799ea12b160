#pragma once

#include <windows.h>

#include "ui/ControlPanelModel.h"

namespace r512 {

class DeviceLink;

// The Control Panel: a modeless dialog (template 165) owned by the remote window, made once and
// hidden, shown by the window's "Control Panel" command and hidden by Close or Escape. Its
// controls only show what the device last reported: a click sends a command (or posts a menu
// command to the owner) and changes no mark; the owner reloads the panel after each report
// while it is visible, and it reloads itself whenever it shows again (the restore of its
// minimised owner included). User-interface thread only.
class ControlPanelDialog {
public:
    ControlPanelDialog() = default;
    ~ControlPanelDialog();
    ControlPanelDialog(const ControlPanelDialog&) = delete;
    ControlPanelDialog& operator=(const ControlPanelDialog&) = delete;

    // Creates the dialog's window, hidden, showing the initial values. False when it can't be
    // made (the up-down class needs the common controls loaded first).
    bool Create(HINSTANCE instance, HWND owner);

    // The link whose mirror it shows and to which it sends; not owned, set once after creation.
    void SetLink(DeviceLink* link) { link_ = link; }

    // Reloads every control from the mirror (nothing from a link not yet set).
    void UpdateFromMirror();

    HWND Handle() const { return hwnd_; }

    // Shows it as the user asked (the command, or left open at the last end). IsOpen stays true
    // until the user closes it, also while it hides with its minimised owner.
    void Open();
    bool IsOpen() const { return open_; }

private:
    INT_PTR OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnButton(int id);
    void OnActivate(bool active);
    void TransferToControls();
    void Send(int code);

    HWND hwnd_ = nullptr;
    DeviceLink* link_ = nullptr;
    ControlPanelModel model_;
    int focusControlId_ = 0;  // the control that had the focus when the panel went inactive
    bool open_ = false;
};

}  // namespace r512
