#include "win32/AboutDialog.h"

#include "win32/DialogPlacement.h"
#include "win32/Win32Resources.h"

namespace r512 {

INT_PTR AboutDialog::Run(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, DialogProc, 0);
}

INT_PTR CALLBACK AboutDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        CenterOnOwner(hwnd);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace r512
