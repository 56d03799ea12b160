#include "SecondStageLaunch.h"

#include <cstring>

#include "CodePageText.h"
#include "PathText.h"
#include "StageChoice.h"

namespace r512::uninstall {

using installer::AppendText;
using installer::CopyText;

bool FormCopyPath(char (&copyPath)[MAX_PATH]) {
    copyPath[0] = '\0';
    const DWORD length = GetTempPathA(MAX_PATH, copyPath);
    if (length == 0 || length >= MAX_PATH) {
        copyPath[0] = '\0';
        return false;
    }
    // GetTempPathA's path ends in a backslash already: the name goes right after it.
    return installer::AppendToFolder(copyPath, kCopyName);
}

bool FormSecondStageCommandLine(const char* copyPath, const char* moduleName, char* commandLine,
                                std::size_t capacity) {
    const char* lastBackslash = installer::LastBackslash(moduleName);
    if (lastBackslash == nullptr || !CopyText(commandLine, capacity, "\"") ||
        !AppendText(commandLine, capacity, copyPath) || !AppendText(commandLine, capacity, "\" ")) {
        return false;
    }
    // The module's folder, cut just after its last backslash.
    const std::size_t used = std::strlen(commandLine);
    const std::size_t folderLength = static_cast<std::size_t>(lastBackslash - moduleName) + 1;
    if (used + folderLength + 1 > capacity) {
        return false;
    }
    std::memcpy(commandLine + used, moduleName, folderLength);
    commandLine[used + folderLength] = '\0';
    return true;
}

namespace {

// A copy takes over the attributes of its original. A read-only copy could be neither replaced
// by the next uninstall nor deleted by the clean-up script, whose loop would then never end.
void ClearReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

}  // namespace

bool LaunchSecondStage(const char* moduleName, const char* copyPath) {
    // A copy left by an earlier, interrupted uninstall is replaced.
    ClearReadOnly(copyPath);
    CopyFileA(moduleName, copyPath, FALSE);
    ClearReadOnly(copyPath);

    // Quotes, a space and a folder on top of a path: more than MAX_PATH may be needed.
    char commandLine[2 * MAX_PATH + 4];
    if (!FormSecondStageCommandLine(copyPath, moduleName, commandLine, sizeof commandLine)) {
        return false;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace r512::uninstall
