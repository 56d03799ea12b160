#pragma once
// The second stage, run as the copy "R512Uninstall.exe" in the temporary folder.
#include "UninstallContext.h"

namespace r512::uninstall {

// commandTail is the installation folder (the command line after the program name); moduleName
// is the copy's own file name as the system gives it; the script lies beside the copy under that
// name followed by ".bat". Deletes the program files, the empty folders and the
// settings, says "Uninstall Complete" and leaves a hidden script to delete the copy. Returns the
// exit code: 1 for an empty command line (nothing is removed), else 0.
int RunSecondStage(const char* commandTail, const char* moduleName,
                   const UninstallContext& context);

}  // namespace r512::uninstall
