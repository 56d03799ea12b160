#include "win32/ControlPanelDialog.h"

#include <commctrl.h>

#include "device/DeviceLink.h"
#include "device/Protocol.h"
#include "ui/ControlPanelButtons.h"
#include "ui/ResourceIds.h"
#include "win32/Win32Resources.h"
#include "win32/WindowProcedure.h"

namespace r512 {

ControlPanelDialog::~ControlPanelDialog() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool ControlPanelDialog::Create(HINSTANCE instance, HWND owner) {
    hwnd_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_CONTROL_PANEL), owner,
                               DialogProcedure<ControlPanelDialog, &ControlPanelDialog::OnMessage>,
                               reinterpret_cast<LPARAM>(this));
    return hwnd_ != nullptr;
}

void ControlPanelDialog::Open() {
    if (!hwnd_) return;
    open_ = true;
    ShowWindow(hwnd_, SW_SHOW);  // reloads itself as it shows
}

void ControlPanelDialog::UpdateFromMirror() {
    if (link_) model_.Load(link_->Mirror());
    TransferToControls();
}

void ControlPanelDialog::TransferToControls() {
    if (!hwnd_) return;
    for (const PanelControlValue& v : model_.ControlValues()) {
        if (v.kind == PanelControlValue::Kind::Text)
            SetDlgItemTextA(hwnd_, v.id, v.text.c_str());
        else if (v.kind == PanelControlValue::Kind::Number)
            SetDlgItemInt(hwnd_, v.id, static_cast<UINT>(v.number), TRUE);
        else  // a check box or a radio button
            CheckDlgButton(hwnd_, v.id, v.number == 1 ? BST_CHECKED : BST_UNCHECKED);
    }
}

void ControlPanelDialog::Send(int code) {
    if (link_) link_->SendCommand(static_cast<std::uint8_t>(code));  // answered by a report
}

void ControlPanelDialog::OnButton(int id) {
    const PanelButtonAction action = PanelButton(id);
    switch (action.kind) {
        case PanelButtonAction::Kind::Send:
            Send(action.value);
            break;
        case PanelButtonAction::Kind::Post:
            // The owner's command set decides (the mode codes depend on the mirror).
            PostMessageA(GetWindow(hwnd_, GW_OWNER), WM_COMMAND, MAKEWPARAM(action.value, 0), 0);
            break;
        case PanelButtonAction::Kind::ZoneStep: {
            const int steps = ZoneStepsFromPanel(model_.zoneSourceIndex, action.value);
            for (int i = 0; i < steps; ++i) Send(cmd::kZoneSourceNext);
            break;
        }
        case PanelButtonAction::Kind::None:
            break;
    }
}

void ControlPanelDialog::OnActivate(bool active) {
    if (active && focusControlId_ != 0) {
        HWND control = GetDlgItem(hwnd_, focusControlId_);
        if (!control) return;
        if ((GetWindowLongA(control, GWL_STYLE) & BS_RADIOBUTTON) == 0) {
            SetFocus(control);
            return;
        }
        // A radio button: the focus goes to the checked button of its group, looking forward
        // from the remembered one; a group with none checked keeps the focus where it is.
        HWND candidate = control;
        do {
            if (SendMessageA(candidate, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                SetFocus(candidate);
                return;
            }
            candidate = GetNextDlgGroupItem(hwnd_, candidate, FALSE);
        } while (candidate && candidate != control);
        return;
    }
    HWND focused = GetFocus();
    focusControlId_ = focused && IsChild(hwnd_, focused) ? GetDlgCtrlID(focused) : 0;
}

INT_PTR ControlPanelDialog::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            hwnd_ = hwnd;
            TransferToControls();  // no link yet: the initial values
            // The panel is made hidden: it must not take the activation and the focus now (the
            // remote window is the active one); the first control gets the focus when it is
            // first activated.
            HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
            focusControlId_ = first ? GetDlgCtrlID(first) : 0;
            return FALSE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDCANCEL) {
                open_ = false;
                ShowWindow(hwnd_, SW_HIDE);  // Close, Escape and the close box only hide it
                return TRUE;
            }
            if (HIWORD(wParam) == BN_CLICKED) OnButton(id);  // Enter arrives as Refresh's click
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code != UDN_DELTAPOS) return FALSE;
            // One command per press; the number changes when the device reports it.
            const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
            const int code = UpDownCode(static_cast<int>(header->idFrom), change->iDelta);
            if (code >= 0) Send(code);
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, 0);  // allow the change: the range is unused
            return TRUE;
        }
        case WM_ACTIVATE:
            // Instead of the dialog manager's own saving and restoring of the focus.
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return TRUE;
        case WM_SHOWWINDOW:
            if (wParam) UpdateFromMirror();  // what changed while it was hidden
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace r512
