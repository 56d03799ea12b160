#include "FolderRemoval.h"

#include <windows.h>

#include <cstring>

#include "PathText.h"

namespace r512::uninstall {

void RemoveInstallationFolders(const char* installFolder) {
    char windowsFolder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        SetCurrentDirectoryA(windowsFolder);
    }

    char folder[MAX_PATH];
    if (!installer::CopyText(folder, installFolder)) {
        return;
    }
    const std::size_t folderLength = std::strlen(folder);
    if (folderLength > 0 && folder[folderLength - 1] == '\\') {
        folder[folderLength - 1] = '\0';
    }
    // RemoveDirectoryA leaves a folder that still holds anything.
    RemoveDirectoryA(folder);

    char* lastBackslash = std::strrchr(folder, '\\');
    if (lastBackslash != nullptr) {
        *lastBackslash = '\0';
    } else {
        folder[0] = '\0';
    }
    RemoveDirectoryA(folder);
}

}  // namespace r512::uninstall
