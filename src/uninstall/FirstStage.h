#pragma once
// The first stage, run as "uninstall.exe" from the installation folder.
#include "UninstallContext.h"

namespace r512::uninstall {

// Asks for confirmation, removes the shortcuts and the uninstall entry, and starts the copy that
// carries out the second stage. moduleName is the program's own file name in capitals. Returns
// the exit code: 1 when the user stops after the uninstall entry could not be removed or when the
// copy could not be started, else 0.
int RunFirstStage(const char* moduleName, const UninstallContext& context);

inline constexpr char kConfirmationText[] =
    "Are you sure you wish to uninstall R512 Control Software?";

}  // namespace r512::uninstall
