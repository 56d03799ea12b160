#include "UninstallRegistration.h"

#include <cstring>

#include "InstallLayout.h"
#include "PathText.h"

namespace r512::setup {
namespace {

bool WriteText(HKEY key, const char* name, const char* text) {
    const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);  // with the terminating zero
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) ==
           ERROR_SUCCESS;
}

}  // namespace

Registration RegisterUninstaller(HKEY machineRoot, const char* installFolder) {
    // Between double quotes: the system runs the value as a command line, and unquoted a path
    // with a space ("C:\Program Files\...") would start "C:\Program.exe" if there were one.
    char uninstallString[MAX_PATH] = "\"";
    if (!installer::AppendText(uninstallString, installFolder) ||
        !installer::AppendToFolder(uninstallString, "uninstall.exe") ||
        !installer::AppendText(uninstallString, "\"")) {
        return Registration::PathTooLong;
    }
    char keyPath[MAX_PATH] = "";
    installer::CopyText(keyPath, installer::kUninstallListKey);
    installer::AppendText(keyPath, "\\");
    installer::AppendText(keyPath, installer::kUninstallEntryName);

    HKEY key = nullptr;
    if (RegCreateKeyA(machineRoot, keyPath, &key) != ERROR_SUCCESS) {
        return Registration::Refused;
    }
    const bool written = WriteText(key, "UninstallString", uninstallString) &&
                         WriteText(key, "DisplayName", installer::kProductName);
    RegCloseKey(key);
    return written ? Registration::Registered : Registration::Refused;
}

}  // namespace r512::setup
