#include "RemovableFolder.h"

#include <string>

#include "CodePageText.h"

namespace r512::uninstall {
namespace {

// The special folders that stay even when empty, user's and all users' alike.
constexpr int kSpecialFolders[] = {
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_PROGRAMS,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU,
    CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
    CSIDL_PROFILE,
    CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,
    CSIDL_COMMON_APPDATA,
    CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_WINDOWS,
    CSIDL_SYSTEM,
};

std::string WithoutTrailingBackslashes(const char* folder) {
    std::string text = folder;
    while (installer::EndsWithBackslash(text.c_str())) {
        text.pop_back();
    }
    return text;
}

// "X:\..." or "\\server\share\...".
bool IsFullPath(const std::string& path) {
    const bool drive = path.size() >= 3 &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && path[2] == '\\';
    return drive || path.compare(0, 2, "\\\\") == 0;
}

int CountBackslashes(std::string text) {
    int count = 0;
    for (const char* last; (last = installer::LastBackslash(text.c_str())) != nullptr; ++count) {
        text.resize(static_cast<std::size_t>(last - text.c_str()));
    }
    return count;
}

// "X:" (once the trailing backslash of "X:\" is gone), "\\server" or "\\server\share".
bool IsRoot(const std::string& path) {
    if (path.size() == 2 && path[1] == ':') {
        return true;
    }
    return path.compare(0, 2, "\\\\") == 0 && CountBackslashes(path.substr(2)) <= 1;
}

// Letter case is ignored as the file system ignores it: on the UTF-16 names, ordinally.
bool SameFolder(const std::string& a, const std::string& b) {
    wchar_t wideA[MAX_PATH], wideB[MAX_PATH];
    const int lengthA = MultiByteToWideChar(CP_ACP, 0, a.c_str(), -1, wideA, MAX_PATH);
    const int lengthB = MultiByteToWideChar(CP_ACP, 0, b.c_str(), -1, wideB, MAX_PATH);
    return lengthA > 0 && lengthB > 0 &&
           CompareStringOrdinal(wideA, -1, wideB, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

bool IsRemovableFolder(const char* folder, installer::ShellFolders& folders) {
    const std::string path = WithoutTrailingBackslashes(folder);
    if (!IsFullPath(path) || IsRoot(path)) {
        return false;
    }
    for (int csidl : kSpecialFolders) {
        char special[MAX_PATH];
        if (folders.PathOf(csidl, special) &&
            SameFolder(path, WithoutTrailingBackslashes(special))) {
            return false;
        }
    }
    return true;
}

}  // namespace r512::uninstall
