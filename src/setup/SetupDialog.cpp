#include "SetupDialog.h"

#include <initializer_list>

#include "InstallSteps.h"
#include "SetupResource.h"

namespace r512::setup {
namespace {

// What the dialog keeps between messages: the context it was started with and the handles of the
// three check boxes, taken once when it opens.
struct DialogState {
    const SetupContext* context = nullptr;
    HWND startMenuBox = nullptr;
    HWND desktopBox = nullptr;
    HWND runBox = nullptr;
    // Set while the installation steps run. Their message boxes run message loops of their own,
    // and "Installation Complete" has no owner, so the dialog can still receive a click on
    // "Next >>" (or the close box) meanwhile: such a click must not start a second run.
    bool installing = false;
};

bool IsChecked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

INT_PTR OnInitDialog(HWND dialog, LPARAM parameter) {
    auto* state = new DialogState;
    state->context = reinterpret_cast<const SetupContext*>(parameter);
    state->startMenuBox = GetDlgItem(dialog, IDC_START_MENU_SHORTCUT);
    state->desktopBox = GetDlgItem(dialog, IDC_DESKTOP_SHORTCUT);
    state->runBox = GetDlgItem(dialog, IDC_RUN_PROGRAM);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    for (HWND box : {state->startMenuBox, state->desktopBox, state->runBox}) {
        SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    }
    return TRUE;
}

void OnNext(HWND dialog, DialogState& state) {
    if (state.installing) {
        return;
    }
    state.installing = true;
    // Shows that the click was taken; the flag above is what keeps a second run out, since a
    // message box owned by the dialog enables the dialog again when it closes.
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    InstallChoices choices;
    choices.startMenuShortcut = IsChecked(state.startMenuBox);
    choices.desktopShortcut = IsChecked(state.desktopBox);
    choices.runProgram = IsChecked(state.runBox);
    PerformInstallation(dialog, choices, *state.context);
    EndDialog(dialog, 0);
}

void OnClose(HWND dialog, const DialogState& state) {
    if (state.installing) {
        return;  // the dialog closes by itself when the steps are done
    }
    if (state.context->boxes->Show(dialog, kExitQuestion, kSetupCaption,
                                   MB_YESNO | MB_ICONQUESTION) == IDYES) {
        EndDialog(dialog, 0);
    }
}

}  // namespace

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog(dialog, lParam);
    }
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (state == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            // Only "Next >>" (or Enter, its default button) acts. Escape's IDCANCEL and every
            // other command are swallowed so that the dialog stays open.
            if (wParam == IDOK) {
                OnNext(dialog, *state);
            }
            return TRUE;
        case WM_CLOSE:
            OnClose(dialog, *state);
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
            delete state;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace r512::setup
