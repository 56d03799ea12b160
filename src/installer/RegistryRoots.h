#pragma once
// The two registry roots the programs write under. The programs use the machine's and the
// user's real roots; tests hand in keys of a sandbox so that they never touch real entries.
#include <windows.h>

namespace r512::installer {

struct RegistryRoots {
    HKEY machine = HKEY_LOCAL_MACHINE;  // holds the uninstall entry
    HKEY user = HKEY_CURRENT_USER;      // holds the main program's settings
};

}  // namespace r512::installer
