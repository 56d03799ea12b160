#pragma once
// Deletes the three program files of the installation folder.
#include "MessageBoxes.h"

namespace r512::uninstall {

// Deletes "R512.exe", "Setup.exe" and "Uninstall.exe" in installFolder (which ends in a
// backslash), in that order. A file that is in use or protected (access denied) is offered for
// Retry or Cancel; any other failure, a missing file say, is passed over in silence.
void DeleteProgramFiles(const char* installFolder, installer::MessageBoxes& boxes);

inline constexpr char kCannotDeletePrefix[] = "Could not delete the file: ";
inline constexpr char kCannotDeleteSuffix[] =
    "\n\nPlease make sure the program is not running and you have sufficient privileges to "
    "remove the file.";

}  // namespace r512::uninstall
