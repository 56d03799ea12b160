#pragma once
// The installation folder is setup's current directory when it starts (not the folder of its own
// file): setup is run from the folder that already holds the program files.
#include <windows.h>

namespace r512::setup {

struct SetupPaths {
    char installFolder[MAX_PATH] = "";
    char programPath[MAX_PATH] = "";  // the installation folder followed by "\R512.exe"
    // (a drive's root such as "C:\" keeps its one backslash: "C:\R512.exe")
};

// Forms both paths from the current directory. False when the directory can't be read or a path
// would not fit in MAX_PATH; the paths that could not be formed are left empty.
bool FormSetupPaths(SetupPaths& paths);

}  // namespace r512::setup
