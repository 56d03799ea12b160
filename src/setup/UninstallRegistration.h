#pragma once
// The entry in the system's list of installed programs that points at the uninstaller.
#include <windows.h>

namespace r512::setup {

// Creates (or opens) the key "R512 Control" in the uninstall list under machineRoot and writes
// "UninstallString" (installFolder followed by "\uninstall.exe", between double quotes) and then
// "DisplayName". True only when both values were written; "DisplayName" is not tried once
// "UninstallString" failed.
bool RegisterUninstaller(HKEY machineRoot, const char* installFolder);

// The message shown when the registration fails.
inline constexpr char kRegistrationFailedText[] =
    "Could not add program to the uninstall list.  This is most likely because the current "
    "user does not have administrative privileges.\n\nYou can still uninstall the program by "
    "running the uninstall.exe program manually from the program directory.";

}  // namespace r512::setup
