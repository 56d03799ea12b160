#include "SetupPaths.h"

#include "PathText.h"

namespace r512::setup {

bool FormSetupPaths(SetupPaths& paths) {
    paths.installFolder[0] = '\0';
    paths.programPath[0] = '\0';
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, paths.installFolder);
    if (length == 0 || length >= MAX_PATH) {
        paths.installFolder[0] = '\0';
        return false;
    }
    if (!installer::CopyText(paths.programPath, paths.installFolder) ||
        !installer::AppendToFolder(paths.programPath, "R512.exe")) {
        paths.programPath[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace r512::setup
