#include "StageChoice.h"

#include <cstring>

namespace r512::uninstall {

Stage ChooseStage(char* moduleName) {
    // Only a to z: other bytes of an ANSI code page are left as they are.
    for (char* c = moduleName; *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z') {
            *c = static_cast<char>(*c - 'a' + 'A');
        }
    }
    const char* lastBackslash = std::strrchr(moduleName, '\\');
    if (lastBackslash == nullptr) {
        return Stage::NoPath;
    }
    return std::strcmp(lastBackslash, "\\R512UNINSTALL.EXE") == 0 ? Stage::Second : Stage::First;
}

}  // namespace r512::uninstall
