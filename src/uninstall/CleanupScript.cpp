#include "CleanupScript.h"

#include <windows.h>

namespace r512::uninstall {

std::string CleanupScriptText(const char* copyPath, const char* scriptPath) {
    const std::string copy = std::string("\"") + copyPath + "\"";
    return ":repeat\n"
           "del " +
           copy +
           "\n"
           "if exist " +
           copy +
           " goto repeat\n"
           "del \"" +
           scriptPath + "\"\n";
}

bool WriteCleanupScript(const char* scriptPath, const std::string& text) {
    HANDLE file = CreateFileA(scriptPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

bool StartHidden(const char* scriptPath) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(scriptPath, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace r512::uninstall
