#pragma once
// uninstall runs in two stages and tells them apart by the name of its own file: the copy in the
// temporary folder is the second stage, any other name the first.

namespace r512::uninstall {

enum class Stage {
    NoPath,  // the module name has no backslash: the program can't tell where it is
    First,
    Second,
};

// Turns the ASCII letters of moduleName into capitals, in place (the second stage uses the
// capitalised name later), and chooses the stage from the text from its last backslash on.
Stage ChooseStage(char* moduleName);

inline constexpr char kCopyName[] = "R512Uninstall.exe";
inline constexpr char kNoPathText[] =
    "An error occured determining program path.\n\nUninstall aborted";

}  // namespace r512::uninstall
