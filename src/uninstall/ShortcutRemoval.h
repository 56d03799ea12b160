#pragma once
// Removes the shortcuts that setup made and the maker's Start Menu folder when it is left empty.
#include "ShellFolders.h"

namespace r512::uninstall {

// Results are not examined: a shortcut the user never chose simply isn't there.
void RemoveShortcuts(installer::ShellFolders& folders);

}  // namespace r512::uninstall
