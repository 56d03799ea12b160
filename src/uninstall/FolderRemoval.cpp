#include "FolderRemoval.h"

#include <windows.h>

#include <cstring>

#include "CodePageText.h"
#include "PathText.h"
#include "RemovableFolder.h"

namespace r512::uninstall {
namespace {

// RemoveDirectoryA leaves a folder that still holds anything.
void RemoveIfAllowed(const char* folder, installer::ShellFolders& folders) {
    if (IsRemovableFolder(folder, folders)) {
        RemoveDirectoryA(folder);
    }
}

}  // namespace

void RemoveInstallationFolders(const char* installFolder, installer::ShellFolders& folders) {
    char windowsFolder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        SetCurrentDirectoryA(windowsFolder);
    }

    char folder[MAX_PATH];
    if (!installer::CopyText(folder, installFolder)) {
        return;
    }
    if (installer::EndsWithBackslash(folder)) {
        folder[std::strlen(folder) - 1] = '\0';
    }
    RemoveIfAllowed(folder, folders);

    // The parent: cut at the last backslash that is a character of its own.
    const char* lastBackslash = installer::LastBackslash(folder);
    if (lastBackslash == nullptr) {
        return;
    }
    folder[lastBackslash - folder] = '\0';
    RemoveIfAllowed(folder, folders);
}

}  // namespace r512::uninstall
