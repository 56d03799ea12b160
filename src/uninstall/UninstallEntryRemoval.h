#pragma once
// Takes the program off the system's list of installed programs.
#include <windows.h>

namespace r512::uninstall {

// Deletes the key "R512 Control" of the uninstall list under machineRoot. False when the list
// can't be opened or the entry can't be deleted (a missing entry included).
bool RemoveUninstallEntry(HKEY machineRoot);

inline constexpr char kEntryRemovalFailedText[] =
    "An error occured removing the program from uninstall list.\n\nDo you wish to continue "
    "with uninstall?";

}  // namespace r512::uninstall
