#pragma once
// The entry in the system's list of installed programs that points at the uninstaller.
#include <windows.h>

namespace r512::setup {

enum class Registration {
    Registered,   // both values written
    PathTooLong,  // the uninstall command would not fit in MAX_PATH: nothing was written
    Refused,      // the key or a value could not be written (no administrative rights, mostly)
};

// Creates (or opens) the key "R512 Control" in the uninstall list under machineRoot and writes
// "UninstallString" (installFolder followed by "\uninstall.exe", between double quotes) and then
// "DisplayName". Registered only when both values were written; "DisplayName" is not tried once
// "UninstallString" failed. A command that would not fit is never cut: PathTooLong, before the
// registry is touched.
Registration RegisterUninstaller(HKEY machineRoot, const char* installFolder);

// The message shown when the registration is refused.
inline constexpr char kRegistrationFailedText[] =
    "Could not add program to the uninstall list.  This is most likely because the current "
    "user does not have administrative privileges.\n\nYou can still uninstall the program by "
    "running the uninstall.exe program manually from the program directory.";

// The message shown when the installation folder's path is too long for the uninstall entry:
// blaming the user's rights then would send them looking in the wrong place.
inline constexpr char kPathTooLongText[] =
    "Could not add program to the uninstall list, because the path of the program directory is "
    "too long for it (the uninstall command must fit in 259 characters).\n\nYou can still "
    "uninstall the program by running the uninstall.exe program manually from the program "
    "directory, or install it in a folder with a shorter path.";

}  // namespace r512::setup
