#include "win32/NamesDialog.h"

#include <string>

#include "ui/ResourceIds.h"
#include "win32/DialogPlacement.h"
#include "win32/Win32Resources.h"
#include "win32/WindowProcedure.h"

namespace r512 {

namespace {

// The edit control of each text, in the order of NamesFields.
int EditOf(int field) { return IDC_SOURCE_NAME_1 + field; }

}  // namespace

INT_PTR NamesDialog::Run(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_NAMES), owner,
                           DialogProcedure<NamesDialog, &NamesDialog::OnMessage>,
                           reinterpret_cast<LPARAM>(this));
}

void NamesDialog::Fill(HWND hwnd) {
    for (int i = 0; i < names_fields::kCount; ++i) {
        const std::string& text = texts[static_cast<std::size_t>(i)];
        const int width = names_fields::kFields[static_cast<std::size_t>(i)].width;
        // The device stores no more: the edit takes no more.
        SendDlgItemMessageA(hwnd, EditOf(i), EM_LIMITTEXT, static_cast<WPARAM>(width), 0);
        SetDlgItemTextA(hwnd, EditOf(i), text.c_str());
    }
}

void NamesDialog::Store(HWND hwnd) {
    for (int i = 0; i < names_fields::kCount; ++i) {
        char text[64] = {};
        GetDlgItemTextA(hwnd, EditOf(i), text, sizeof(text));
        texts[static_cast<std::size_t>(i)] = text;
    }
}

INT_PTR NamesDialog::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        Fill(hwnd);
        CenterOnOwner(hwnd);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            Store(hwnd);
            EndDialog(hwnd, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(hwnd, IDCANCEL);
            return TRUE;
        case IDC_DEFAULTS:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            // Shown only; the user still has to choose OK.
            texts = names_fields::Defaults();
            Fill(hwnd);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace r512
