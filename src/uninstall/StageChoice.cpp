#include "StageChoice.h"

#include <string>

#include "CodePageText.h"

namespace r512::uninstall {

Stage ChooseStage(const char* moduleName, UINT codePage) {
    const char* lastBackslash = installer::LastBackslash(moduleName, codePage);
    if (lastBackslash == nullptr) {
        return Stage::NoPath;
    }
    // Compared in capitals, so that letter case does not matter; the name itself is left alone.
    return installer::AsciiCapitals(lastBackslash, codePage) == "\\R512UNINSTALL.EXE"
               ? Stage::Second
               : Stage::First;
}

}  // namespace r512::uninstall
