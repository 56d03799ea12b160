#include "win32/ControlPanelDialog.h"

#include <commctrl.h>

#include <string>

#include "device/DeviceLink.h"
#include "device/Protocol.h"
#include "ui/ControlPanelButtons.h"
#include "ui/ResourceIds.h"
#include "win32/Win32Resources.h"
#include "win32/WindowProcedure.h"

namespace r512 {

namespace {

// The first button of each radio group and how many follow it in the template.
struct RadioGroup {
    int first;
    int count;
};

// Radio buttons whose identifiers are not in template order (the modes) are listed by index.
constexpr int kModeButtons[] = {
    IDC_MODE_STEREO_DIRECT, IDC_MODE_STEREO_DOWNMIX, IDC_MODE_MONO_DOWNMIX, IDC_MODE_BYPASS,
    IDC_MODE_EARS,          IDC_MODE_PROLOGIC,       IDC_MODE_SURROUND_61};

void CheckOnly(HWND dialog, const int* ids, int count, int index) {
    for (int i = 0; i < count; ++i)
        CheckDlgButton(dialog, ids[i], i == index ? BST_CHECKED : BST_UNCHECKED);
}

void CheckOnly(HWND dialog, RadioGroup group, int index) {
    for (int i = 0; i < group.count; ++i)
        CheckDlgButton(dialog, group.first + i, i == index ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

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
    auto number = [this](int id, int value) {
        SetDlgItemTextA(hwnd_, id, std::to_string(value).c_str());
    };
    auto check = [this](int id, int value) {
        // Only 1 shows a check mark.
        CheckDlgButton(hwnd_, id, value == 1 ? BST_CHECKED : BST_UNCHECKED);
    };
    auto text = [this](int id, const std::string& value) {
        SetDlgItemTextA(hwnd_, id, value.c_str());
    };
    number(IDC_VOLUME, model_.volume);
    check(IDC_MUTE, model_.mute);
    number(IDC_BASS, model_.bass);
    number(IDC_TREBLE, model_.treble);
    check(IDC_DIMMER, model_.dimmer);
    check(IDC_LATE_NIGHT, model_.lateNight);
    check(IDC_POWER_ON, model_.powerOn);
    check(IDC_TAPE_MONITOR, model_.tapeMonitor);
    check(IDC_TRIGGER_1, model_.trigger1);
    check(IDC_TRIGGER_2, model_.trigger2);
    number(IDC_CENTER, model_.centre);
    number(IDC_SUBWOOFER, model_.subwoofer);
    number(IDC_SURROUND, model_.surround);
    number(IDC_ZONE_VOLUME, model_.zoneVolume);
    check(IDC_ZONE_MUTE, model_.zoneMute);
    CheckOnly(hwnd_, RadioGroup{IDC_SOURCE_VIDEO_1, 10}, model_.sourceIndex);
    CheckOnly(hwnd_, kModeButtons, 7, model_.modeIndex);
    CheckOnly(hwnd_, RadioGroup{IDC_ZONE_SOURCE_VIDEO_1, 9}, model_.zoneSourceIndex);
    CheckOnly(hwnd_, RadioGroup{IDC_THX_OFF, 3}, model_.thxIndex);
    text(IDC_AUDIO_FORMAT, model_.audioFormat);
    text(IDC_AUDIO_INPUT, model_.audioInput);
    text(IDC_VIDEO_FORMAT, model_.videoFormat);
    text(IDC_VIDEO_INPUT, model_.videoInput);
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
