#pragma once

#include <windows.h>

namespace r512 {

// The About box (dialog 186): fixed texts and the application icon; OK, Escape and the close
// box end it.
class AboutDialog {
public:
    static INT_PTR Run(HINSTANCE instance, HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace r512
