#pragma once
// The first stage, run as "uninstall.exe" from the installation folder.
#include "UninstallContext.h"

namespace r512::uninstall {

// Asks for confirmation, removes the shortcuts and the uninstall entry, and starts the copy that
// carries out the second stage. moduleName is the program's own file name, as the system gives
// it. Returns the exit code: 1 when the user stops after the uninstall entry could not be removed
// or when the copy could not be started (which is reported), else 0.
int RunFirstStage(const char* moduleName, const UninstallContext& context);

inline constexpr char kConfirmationText[] =
    "Are you sure you wish to uninstall R512 Control Software?";
// Shown when the copy in the temporary folder can't be started.
inline constexpr char kCopyNotStartedText[] =
    "The uninstall could not be completed: its second part could not be started from the "
    "temporary folder.\n\nThe shortcuts and the entry in the uninstall list have been removed, "
    "but the program files remain. Run uninstall.exe from the program directory again to finish "
    "the uninstall.";

}  // namespace r512::uninstall
