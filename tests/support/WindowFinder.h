#pragma once
// Finds the dialogs and message boxes that a program under test shows, and reads them, so that a
// test can answer them the way a person would.
#include <windows.h>

#include <string>

namespace r512::testkit {

// The top-level windows shown by a thread or by a process; both 0: by any process.
struct WindowOwner {
    DWORD threadId = 0;   // used when not 0
    DWORD processId = 0;  // used otherwise
};

// The first visible top-level window of owner whose caption is caption and whose static texts,
// joined, contain textPart (any text when textPart is empty). Waits up to timeoutMs; null if none.
HWND WaitForWindow(WindowOwner owner, const std::string& caption, const std::string& textPart,
                   DWORD timeoutMs);

// The texts of the window's static controls, joined with line feeds.
std::string StaticTexts(HWND window);

// Presses a key on the window the way the keyboard would: the key goes through the owning
// thread's message loop, where the dialog manager turns Enter and Escape into commands.
void PressKey(HWND window, UINT virtualKey);

// Ends a message box with the given button (IDOK, IDYES, IDNO, IDRETRY, IDCANCEL).
void ClickButton(HWND box, int button);

}  // namespace r512::testkit
