#include "win32/PopupPanel.h"

namespace r512 {

PopupPanel::~PopupPanel() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool PopupPanel::Create(HINSTANCE instance, int templateId, HWND owner) {
    hwnd_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, DialogProc, 0);
    return hwnd_ != nullptr;
}

void PopupPanel::ShowAt(POINT screenPoint) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, screenPoint.x, screenPoint.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd_, SW_SHOW);
}

INT_PTR CALLBACK PopupPanel::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return FALSE;  // made hidden: no focus, so no activation, until it is shown
        case WM_ACTIVATE:
            // The default activation processing has run (the dialog manager's); an inactive
            // popup goes away.
            if (LOWORD(wParam) == WA_INACTIVE) ShowWindow(hwnd, SW_HIDE);
            return FALSE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDCANCEL) {
                ShowWindow(hwnd, SW_HIDE);  // Escape
                return TRUE;
            }
            if (HIWORD(wParam) == BN_CLICKED && id != IDOK) {
                // Posted, so that quick clicks queue their commands in order.
                PostMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, 0), 0);
                return TRUE;
            }
            // Enter in a panel without a default button does nothing.
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace r512
