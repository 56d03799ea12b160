#pragma once

#include <windows.h>

#include "base/Profile.h"

namespace r512 {

// "Program Configuration" (dialog 158): the serial port (COM1 to COM4 or any other name) and
// the speed. It fills itself from the settings when it opens and stores the choice itself on
// OK; its first-run form explains itself with message 1040 and offers no Cancel.
class ConfigDialog {
public:
    explicit ConfigDialog(Profile& profile) : profile_(profile) {}

    bool firstRun = false;

    // Runs the dialog modally with `owner` disabled meanwhile; IDOK (both settings written) or
    // IDCANCEL.
    INT_PTR Run(HINSTANCE instance, HWND owner);

private:
    INT_PTR OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Fill(HWND hwnd);
    void Store(HWND hwnd);

    Profile& profile_;
};

}  // namespace r512
