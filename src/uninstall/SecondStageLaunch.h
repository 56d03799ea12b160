#pragma once
// The hand-over from the first stage to the second: a copy of the uninstaller in the temporary
// folder, started with the installation folder as its command line. The copy runs from outside
// the installation folder, so it can delete that folder and the original uninstaller in it.
#include <windows.h>

#include <cstddef>

namespace r512::uninstall {

// The temporary folder followed by "\R512Uninstall.exe". GetTempPathA's path already ends in a
// backslash, so two stand together; the file system treats them as one. False when the
// temporary folder is unknown or the path would not fit.
bool FormCopyPath(char (&copyPath)[MAX_PATH]);

// The second stage's command line: the copy's path between double quotes (so that a temporary
// folder with a space in its path is skipped whole when the second stage takes its command-line
// tail), a space, and the folder of moduleName with its trailing backslash. False when
// moduleName has no backslash or the line would not fit.
bool FormSecondStageCommandLine(const char* copyPath, const char* moduleName, char* commandLine,
                                std::size_t capacity);

// Copies the module's file to copyPath, replacing an older copy, clears the copy's read-only
// attribute (which it takes over from a read-only original) and starts the copy with the command
// line above without waiting for it. False when the process could not be started.
bool LaunchSecondStage(const char* moduleName, const char* copyPath);

}  // namespace r512::uninstall
