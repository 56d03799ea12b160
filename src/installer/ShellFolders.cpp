#include "ShellFolders.h"

#include <shlobj.h>

namespace r512::installer {

bool SystemShellFolders::PathOf(int csidl, char (&path)[MAX_PATH]) {
    path[0] = '\0';
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) {
        return false;
    }
    const BOOL found = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    if (!found) {
        path[0] = '\0';
    }
    return found != FALSE;
}

}  // namespace r512::installer
