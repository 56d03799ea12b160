#pragma once
// The dialog procedure of setup's only window, template 101.
#include <windows.h>

namespace r512::setup {

// Run with DialogBoxParamA; the parameter is the SetupContext (InstallSteps.h) that the
// installation steps use, and it must outlive the dialog.
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr char kExitQuestion[] =
    "Are you sure you want to exit?\n\nIf you exit now, the partially installed program will "
    "remain on the hard drive.";

}  // namespace r512::setup
