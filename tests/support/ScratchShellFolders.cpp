#include "support/ScratchShellFolders.h"

#include <cstring>

namespace r512::testkit {

bool ScratchShellFolders::PathOf(int csidl, char (&path)[MAX_PATH]) {
    const std::string* folder = csidl == CSIDL_PROGRAMS           ? &programs_
                                : csidl == CSIDL_DESKTOPDIRECTORY ? &desktop_
                                                                  : nullptr;
    if (folder == nullptr || folder->size() >= MAX_PATH) {
        path[0] = '\0';
        return false;
    }
    std::memcpy(path, folder->c_str(), folder->size() + 1);
    return true;
}

}  // namespace r512::testkit
