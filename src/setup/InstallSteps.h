#pragma once
// What the "Next >>" button does: register the uninstaller, make the chosen shortcuts, say that
// the installation is complete and start the program if asked to.
#include <windows.h>

#include "MessageBoxes.h"
#include "RegistryRoots.h"
#include "SetupPaths.h"
#include "ShellFolders.h"

namespace r512::setup {

// The three check boxes of the dialog, read when the user presses Next.
struct InstallChoices {
    bool startMenuShortcut = true;
    bool desktopShortcut = true;
    bool runProgram = true;
};

// Everything the installation steps work with; the program passes the real machine, the tests
// scratch folders, a registry sandbox and scripted message boxes.
struct SetupContext {
    SetupPaths paths;
    installer::RegistryRoots roots;
    installer::MessageBoxes* boxes = nullptr;
    installer::ShellFolders* folders = nullptr;
};

inline constexpr char kSetupCaption[] = "R512 Control Software Setup";

// Carries out the installation steps in their order. dialog owns the registration message. Only
// a failed registration is reported; the other steps fail silently and the completion message is
// shown in any case.
void PerformInstallation(HWND dialog, const InstallChoices& choices, const SetupContext& context);

}  // namespace r512::setup
