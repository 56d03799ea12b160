#pragma once
// uninstall runs in two stages and tells them apart by the name of its own file: the copy in the
// temporary folder is the second stage, any other name the first.
#include <windows.h>

namespace r512::uninstall {

enum class Stage {
    NoPath,  // the module name has no backslash: the program can't tell where it is
    First,
    Second,
};

// Chooses the stage from the text of moduleName from its last backslash on, compared without
// regard to the letter case of 'a' to 'z'. moduleName is not changed: its folder may hold
// double-byte characters whose bytes must stay as they are. codePage is the code page of
// moduleName.
Stage ChooseStage(const char* moduleName, UINT codePage = CP_ACP);

inline constexpr char kCopyName[] = "R512Uninstall.exe";
inline constexpr char kNoPathText[] =
    "An error occured determining program path.\n\nUninstall aborted";

}  // namespace r512::uninstall
