#include "ProgramFileRemoval.h"

#include <initializer_list>
#include <string>

#include "PathText.h"

namespace r512::uninstall {
namespace {

void DeleteWithRetry(const char* path, installer::MessageBoxes& boxes) {
    while (!DeleteFileA(path) && GetLastError() == ERROR_ACCESS_DENIED) {
        const std::string text = std::string(kCannotDeletePrefix) + path + kCannotDeleteSuffix;
        // No caption of its own: the system's default caption.
        if (boxes.Show(nullptr, text.c_str(), nullptr, MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY) {
            return;
        }
    }
}

}  // namespace

void DeleteProgramFiles(const char* installFolder, installer::MessageBoxes& boxes) {
    for (const char* name : {"R512.exe", "Setup.exe", "Uninstall.exe"}) {
        char path[MAX_PATH];
        if (installer::CopyText(path, installFolder) && installer::AppendText(path, name)) {
            DeleteWithRetry(path, boxes);
        }
    }
}

}  // namespace r512::uninstall
