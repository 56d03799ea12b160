#include "CleanupScript.h"

#include <windows.h>

#include "CodePageText.h"
#include "PathText.h"

namespace r512::uninstall {

namespace {

// cmd expands %NAME% in a script even between double quotes; "%%" stands for one "%". Every other
// character of a path is literal between double quotes (delayed expansion, which would take "!",
// is off by default).
std::string Literal(const char* path) {
    std::string text;
    for (const char* c = path; *c != '\0'; ++c) {
        text.push_back(*c);
        if (*c == '%') {
            text.push_back('%');
        }
    }
    return text;
}

}  // namespace

std::string CleanupScriptText(const char* copyPath, const char* scriptPath) {
    std::string copy = "\"";
    copy += Literal(copyPath);
    copy += '"';
    // Without "@echo off" cmd echoes every command it runs (into the hidden window).
    return "@echo off\n"
           ":repeat\n"
           "del " +
           copy +
           "\n"
           "if exist " +
           copy +
           " goto repeat\n"
           "del \"" +
           Literal(scriptPath) + "\"\n";
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
    // A script is run by cmd, which expands %NAME% in its own command line too, and there "%%"
    // is no escape. So cmd is started in the script's folder and given the script's name alone
    // (the copy's name and ".bat", which hold no "%"), never the folder's path.
    const char* lastBackslash = installer::LastBackslash(scriptPath);
    char interpreter[MAX_PATH];
    const UINT length = GetSystemDirectoryA(interpreter, MAX_PATH);
    if (lastBackslash == nullptr || length == 0 || length >= MAX_PATH ||
        !installer::AppendToFolder(interpreter, "cmd.exe")) {
        return false;
    }
    const std::string folder(scriptPath, lastBackslash + 1);
    std::string commandLine = "cmd.exe /d /c \"";
    commandLine += lastBackslash + 1;
    commandLine += '"';

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(interpreter, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace r512::uninstall
