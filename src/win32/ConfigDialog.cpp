#include "win32/ConfigDialog.h"

#include <string>

#include "base/Messages.h"
#include "serial/PortList.h"
#include "ui/PortChoice.h"
#include "ui/ResourceIds.h"
#include "win32/DialogPlacement.h"
#include "win32/Win32Resources.h"
#include "win32/WindowProcedure.h"

namespace r512 {

namespace {

void UpdateOtherField(HWND hwnd) {
    EnableWindow(GetDlgItem(hwnd, IDC_OTHER_PORT_NAME),
                 IsDlgButtonChecked(hwnd, IDC_PORT_OTHER) == BST_CHECKED);
}

}  // namespace

INT_PTR ConfigDialog::Run(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), owner,
                           DialogProcedure<ConfigDialog, &ConfigDialog::OnMessage>,
                           reinterpret_cast<LPARAM>(this));
}

void ConfigDialog::Fill(HWND hwnd) {
    const PortChoice choice = PortChoice::Load(profile_);
    CheckRadioButton(hwnd, IDC_PORT_COM1, IDC_PORT_OTHER, IDC_PORT_COM1 + choice.port);
    CheckRadioButton(hwnd, IDC_SPEED_12000, IDC_SPEED_9600, IDC_SPEED_12000 + choice.speed);
    // The ports present now, to pick from; the stored name stays in the field as it is.
    HWND other = GetDlgItem(hwnd, IDC_OTHER_PORT_NAME);
    for (const std::string& port : ListSerialPorts())
        SendMessageA(other, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port.c_str()));
    SetWindowTextA(other, choice.otherName.c_str());
    UpdateOtherField(hwnd);
}

void ConfigDialog::Store(HWND hwnd) {
    PortChoice choice;
    for (int i = 0; i <= IDC_PORT_OTHER - IDC_PORT_COM1; ++i) {
        if (IsDlgButtonChecked(hwnd, IDC_PORT_COM1 + i) == BST_CHECKED) choice.port = i;
    }
    choice.speed = IsDlgButtonChecked(hwnd, IDC_SPEED_9600) == BST_CHECKED ? 1 : 0;
    char name[MAX_PATH] = {};
    GetDlgItemTextA(hwnd, IDC_OTHER_PORT_NAME, name, MAX_PATH);
    choice.otherName = name;
    choice.Store(profile_);
}

INT_PTR ConfigDialog::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        Fill(hwnd);
        // The speed note follows the 9600 button; the speed group box precedes the 12000 one.
        GrowToFitText(hwnd, GetWindow(GetDlgItem(hwnd, IDC_SPEED_9600), GW_HWNDNEXT),
                      GetWindow(GetDlgItem(hwnd, IDC_SPEED_12000), GW_HWNDPREV));
        CenterOnOwner(hwnd);
        if (firstRun) {
            // The first run can't be cancelled, and says why the dialog appears before it
            // becomes visible.
            HWND cancel = GetDlgItem(hwnd, IDCANCEL);
            EnableWindow(cancel, FALSE);
            ShowWindow(cancel, SW_HIDE);
            ShowMessage(IDS_FIRST_RUN);
        }
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    switch (id) {
        case IDOK:
            Store(hwnd);
            EndDialog(hwnd, IDOK);
            return TRUE;
        case IDCANCEL:
            // Escape and the close box; in the first-run form too, whose caller doesn't look
            // at the result.
            EndDialog(hwnd, IDCANCEL);
            return TRUE;
        case IDC_PORT_COM1:
        case IDC_PORT_COM2:
        case IDC_PORT_COM3:
        case IDC_PORT_COM4:
        case IDC_PORT_OTHER:
            if (HIWORD(wParam) == BN_CLICKED) UpdateOtherField(hwnd);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace r512
